// The ebook: a cover sheet rendered for the book, its front panel cut out
// as the ebook's cover, and the EPUB built from the saved book.
#include "bookhome.h"
#include "fileerror.h"
#include "model/coverrender.h"
#include "model/namelimit.h"
#include "project.h"

#include <QBuffer>
#include <QDir>
#include <QPointer>
#include <QSaveFile>
#include <cstring>

namespace {

// Covers of thin books still get a spine worth drawing.
constexpr int leastCoverPages = 40;
constexpr int coverPpi = 320;

std::optional<QByteArray> pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return std::nullopt;
    return bytes;
}

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
    std::optional<QString> sheet;
    try {
        sheet = co_await Helpers::renderCoverSheet(book, pages, coverPpi, folder);
    } catch (const std::exception &) {
        // Without a cover the ebook is still worth having.
    }
    std::optional<QString> cover;
    if (sheet) {
        const std::optional<QImage> front = BookHome::frontPanel(*sheet, pages);
        const std::optional<QByteArray> png = front ? pngOf(*front) : std::nullopt;
        if (png) {
            cover = ebookFolder + QStringLiteral("/cover.png");
            writeCover(*cover, *png);
        }
    }

    // The title as it is now; a book closed meanwhile keeps the one it had.
    QString title = self ? m_book.front.title : book.front.title;
    title.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString output = ebookFolder + QLatin1Char('/') + ebookName(title) + QStringLiteral(".epub");
    co_await Helpers::makeEbook(folder + QStringLiteral("/book.json"), id, cover, output);
    co_return output;
}
