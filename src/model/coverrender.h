#pragma once

#include "bookfile.h"

#include <QMap>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <qcorotask.h>

// The cover pictures typst draws from templates/novel/cover.typ, whatever
// the book's style, and the ebook the message tool builds from the book as
// templates/ebook/resolved.typ resolves it. Each render first writes the
// book as a draft of its own beside its pictures, so renders running at
// once in one folder never read each other's book; the draft goes when the
// render ends. File errors are Helpers::Failure of the app, typst's and the
// message tool's failures pass through unchanged.
namespace Helpers {

// What becomes of the pictures of the same kind that lay in the folder
// before a render started, once it succeeded.
enum class Earlier {
    // Removed, so the folder doesn't grow with every change.
    Removed,
    // Left alone: the caller keeps track of the pictures it shows.
    Kept,
};

// The whole sheet at 72 pixels per inch, as a new "cover-XXXXXXXX.png" in
// folder.
QCoro::Task<QString> renderCoverPreview(
    BookFile book, int pages, QString folder, Earlier earlier = Earlier::Removed);
// The front alone at ppi, as a new "cover-front-XXXXXXXX.png".
QCoro::Task<QString> renderCoverFront(
    BookFile book, int pages, int ppi, QString folder, Earlier earlier = Earlier::Removed);
// The whole sheet and its front, as the wizard shows them.
struct CoverPictures
{
    // The whole sheet at 72 pixels per inch: "cover-XXXXXXXX.png".
    QString sheet;
    // The front alone: "cover-front-XXXXXXXX.png".
    QString front;
};
// Both from one typst run: the cover is set as a PDF and drawn here, which
// takes half the time of two PNG runs. Earlier pictures are left alone.
QCoro::Task<CoverPictures> renderCoverPictures(BookFile book, int pages, int frontPpi, QString folder);
// The whole sheet at ppi, always "cover-sheet.png".
QCoro::Task<QString> renderCoverSheet(BookFile book, int pages, int ppi, QString folder);
// Part of the whole sheet at ppi, the pixels cut finds on a sheet of the
// size renderCoverSheet draws, as a PNG at output: the same pixels as
// cutting that sheet, without compressing all of it and reading it back.
QCoro::Task<QString> renderCoverSheetPart(
    BookFile book, int pages, int ppi, QString folder, std::function<QRect(QSize)> cut, QString output);
// One picture per cover design at 36 pixels per inch, keyed by design key,
// in a new folder "cover-gallery-XXXXXXXX" of folder: two galleries drawn
// at once keep apart, and the caller removes the folder it no longer
// shows (removeCoverGallery). Set as one PDF and drawn here; the list of
// designs is asked of the template once a run of the app.
QCoro::Task<QMap<QString, QString>> renderCoverGallery(BookFile book, QString folder);
// Removes the folder of a gallery renderCoverGallery made; anything else
// is left alone.
void removeCoverGallery(const QMap<QString, QString> &gallery);

// Writes the EPUB of the book document at book to to, with the PNG cover
// as its cover when given. The resolved description lies beside to only
// while the message tool reads it.
QCoro::Task<void> makeEbook(QString book, QString id, std::optional<QString> cover, QString to);
// The two halves of makeEbook, for a caller that draws the cover
// meanwhile: the resolved description of the book document at book, and
// the EPUB written from it.
QCoro::Task<QByteArray> ebookDescription(QString book);
QCoro::Task<void> writeEbook(QByteArray description, QString id, std::optional<QString> cover, QString to);
// Where makeEbook puts the resolved description: to without its extension,
// then ".resolved.json".
QString resolvedEbookFile(const QString &to);

} // namespace Helpers
