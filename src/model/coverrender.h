#pragma once

#include "bookfile.h"

#include <QMap>
#include <QString>
#include <optional>
#include <qcorotask.h>

// The cover pictures typst draws from templates/novel/cover.typ, whatever
// the book's style, and the ebook the message tool builds from the book as
// templates/ebook/resolved.typ resolves it. Each render first writes the
// book as a draft beside its pictures; file errors are Helpers::Failure of
// the app, typst's and the message tool's failures pass through unchanged.
namespace Helpers {

// The whole sheet at 72 pixels per inch, as a new "cover-XXXXXXXX.png" in
// folder. Once it is written, the previews that were there before it
// started are removed, so the folder doesn't grow with every change.
QCoro::Task<QString> renderCoverPreview(BookFile book, int pages, QString folder);
// The front alone at ppi, as a new "cover-front-XXXXXXXX.png"; earlier
// fronts go as the previews do.
QCoro::Task<QString> renderCoverFront(BookFile book, int pages, int ppi, QString folder);
// The whole sheet at ppi, always "cover-sheet.png".
QCoro::Task<QString> renderCoverSheet(BookFile book, int pages, int ppi, QString folder);
// One picture per cover design at 36 pixels per inch in folder's
// "cover-gallery", keyed by design key.
QCoro::Task<QMap<QString, QString>> renderCoverGallery(BookFile book, QString folder);

// Writes the EPUB of the book document at book to to, with the PNG cover
// as its cover when given. The resolved description lies beside to only
// while the message tool reads it.
QCoro::Task<void> makeEbook(QString book, QString id, std::optional<QString> cover, QString to);
// Where makeEbook puts the resolved description: to without its extension,
// then ".resolved.json".
QString resolvedEbookFile(const QString &to);

} // namespace Helpers
