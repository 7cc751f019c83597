// The ebook: the front panel of the book's cover sheet as its cover, and
// the EPUB built from the saved book.
#include "bookhome.h"
#include "fileerror.h"
#include "model/coverrender.h"
#include "model/namelimit.h"
#include "model/photocut.h"
#include "project.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSaveFile>
#include <QUuid>
#include <cstring>

namespace {

// Covers of thin books still get a spine worth drawing.
constexpr int leastCoverPages = 40;
constexpr int coverPpi = 320;

void writeCover(const QString &path, const QByteArray &png)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit())
        throw FileError(
            QStringLiteral("The ebook's cover can't be saved at %1: %2.").arg(path, file.errorString()));
}

// The title as a file name, cut as a book's folder is where it runs longer
// than a name may. The files made on the ebook's way are named after it
// too: "<name>.resolved.json" beside it, and the message tool's
// "<name>.epub.part", which the zip library writes through a temporary
// file with six more characters, the longest.
QString ebookName(const QString &title)
{
    static const qsizetype longestSuffix = qsizetype(std::strlen(".epub.part.XXXXXX"));
    return NameLimit::cut(title, NameLimit::bytes - longestSuffix);
}

// The front panel of the book's cover sheet as the ebook's cover, in the
// ebook folder; none when it can't be drawn, as the ebook is still worth
// having without. Only the front is drawn, over a photo cut to it: a sheet
// with a whole photo over it takes seconds at this resolution.
QCoro::Task<std::optional<QString>> ebookCover(BookFile book, int pages, QString folder, QString ebookFolder)
{
    const QString drawn = folder + QStringLiteral("/cover-ebook-")
        + QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".png");
    QByteArray png;
    try {
        book = co_await PhotoCut::withPhotoCut(std::move(book), PhotoCut::bleedBox(coverPpi), folder);
        co_await Helpers::renderCoverSheetPart(
            std::move(book), pages, coverPpi, folder,
            [pages](QSize sheet) { return BookHome::frontPanelRect(sheet, pages); }, drawn);
        QFile file(drawn);
        if (file.open(QIODevice::ReadOnly))
            png = file.readAll();
    } catch (const std::exception &) { }
    QFile::remove(drawn);
    if (png.isEmpty())
        co_return std::nullopt;
    const QString cover = ebookFolder + QStringLiteral("/cover.png");
    writeCover(cover, png);
    co_return cover;
}

} // namespace

QCoro::Task<QString> Project::makeEbook()
{
    const QString folder = m_folder;
    const QString ebookFolder = folder + QStringLiteral("/ebook");
    if (!QDir().mkpath(ebookFolder))
        throw FileError(QStringLiteral("The folder %1 can't be made.").arg(ebookFolder));
    const int pages = std::max(m_layout.pageCount, leastCoverPages);
    const QString id = m_conversation.id();
    const BookFile book = m_book;

    QPointer<Project> self(this);
    // The saved book's description and the cover come side by side; the
    // tool needs both.
    QCoro::Task<QByteArray> describing = Helpers::ebookDescription(folder + QStringLiteral("/book.json"));
    std::exception_ptr failed;
    std::optional<QString> cover;
    try {
        cover = co_await ebookCover(book, pages, folder, ebookFolder);
    } catch (...) {
        failed = std::current_exception();
    }
    QByteArray description;
    try {
        description = co_await std::move(describing);
    } catch (...) {
        // A cover that can't be saved is the first thing that went wrong.
        if (!failed)
            failed = std::current_exception();
    }
    if (failed)
        std::rethrow_exception(failed);

    // The title as it is now; a book closed meanwhile keeps the one it had.
    QString title = self ? m_book.front.title : book.front.title;
    title.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString output = ebookFolder + QLatin1Char('/') + ebookName(title) + QStringLiteral(".epub");
    co_await Helpers::writeEbook(description, id, cover, output);
    co_return output;
}
