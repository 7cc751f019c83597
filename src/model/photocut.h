#pragma once

#include "bookfile.h"

#include <QSize>
#include <QString>
#include <qcorotask.h>

// A photo drawn over a whole cover panel costs poppler time for every pixel
// of the file, not of the panel: a phone's 12 megapixels take seconds at
// print resolution. The covers that need speed get the photo already cut
// to the panel's box and scaled to the pixels drawn there.
namespace PhotoCut {

// The panel with its bleed at ppi, as the photo bleeds over a front panel
// on a sheet with the usual eighth of an inch of bleed.
QSize bleedBox(int ppi);

// The part of a picture of size photo that covers box when scaled to fill
// it and centred, as typst's "cover" fit draws it.
QRect coveredPart(QSize photo, QSize box);

// book with its cover photo replaced by the photo cut to box, when the
// design draws the photo bleeding over the front and the photo has more
// pixels than box needs; otherwise book as it is. The cut is kept in folder
// under the photo's content hash, so a photo changed in place is cut again
// and the same photo is cut once.
QCoro::Task<BookFile> withPhotoCut(BookFile book, QSize box, QString folder);

} // namespace PhotoCut
