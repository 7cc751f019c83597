#include "coverrender.h"

#include "coversheet.h"
#include "helpers.h"
#include "pdfcolourspaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfDocumentRenderOptions>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSet>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>
#include <qcorofuture.h>

namespace Helpers {

namespace {

Failure fileFailure(const QString &sentence)
{
    return Failure(appName(), 0, sentence);
}

QString coverTemplate()
{
    return resources() + QStringLiteral("/templates/novel/cover.typ");
}

QString ebookTemplate()
{
    return resources() + QStringLiteral("/templates/ebook/resolved.typ");
}

// Atomically, so a typst run never reads half a draft. The JSON is made on
// a worker thread: a conversation of years takes seconds to write out, and
// covers are drawn again while the user types.
QCoro::Task<QString> writeDraft(BookFile book, QString folder, QString name)
{
    const QByteArray bytes
        = co_await QtConcurrent::run([book = std::move(book)] { return book.toJsonBytes(); });
    const QString path = folder + QLatin1Char('/') + name;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
        throw fileFailure(
            QStringLiteral("The cover draft can't be saved at %1: %2.").arg(path, file.errorString()));
    co_return path;
}

QString shortId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).left(8).toUpper();
}

// The pictures of one kind of render that lie in folder now.
QStringList picturesIn(const QString &folder, const QRegularExpression &name)
{
    QStringList pictures;
    for (const QString &entry : QDir(folder).entryList(QDir::Files))
        if (name.match(entry).hasMatch())
            pictures.append(folder + QLatin1Char('/') + entry);
    return pictures;
}

// Removes a working file (a draft, the resolved ebook description)
// whichever way the work ends.
class RemovedAtEnd
{
public:
    explicit RemovedAtEnd(QString path)
        : m_path(std::move(path))
    { }
    ~RemovedAtEnd() { QFile::remove(m_path); }
    RemovedAtEnd(const RemovedAtEnd &) = delete;
    RemovedAtEnd &operator=(const RemovedAtEnd &) = delete;

private:
    QString m_path;
};

// One compile of the cover template to a PNG, from a draft of its own.
// With Earlier::Removed, the pictures that matched before the run started
// go once it succeeded; those of runs still under way stay, as their
// callers may still show them.
QCoro::Task<QString> renderCover(BookFile book, QString folder, QStringList own, int ppi, QString output,
    Earlier earlier, QRegularExpression kind)
{
    const QString draft = co_await writeDraft(
        std::move(book), folder, QStringLiteral("cover-draft-") + shortId() + QStringLiteral(".json"));
    const RemovedAtEnd removed(draft);
    const QStringList before = earlier == Earlier::Removed ? picturesIn(folder, kind) : QStringList();
    QStringList arguments { QStringLiteral("compile") };
    arguments += typstArguments(draft, QString());
    arguments += own;
    arguments << QStringLiteral("--format") << QStringLiteral("png") << QStringLiteral("--ppi")
              << QString::number(ppi) << coverTemplate() << output;
    co_await run(typst(), arguments);
    for (const QString &picture : before)
        QFile::remove(picture);
    co_return output;
}

using CoverSheet::bleedInches;
using CoverSheet::frontHeightInches;
using CoverSheet::frontWidthInches;
constexpr int previewPpi = 72;
constexpr int galleryPpi = 36;
// Light compression: the pictures are read once, soon, from the same disk.
constexpr int pngQuality = 80;

// A page of a PDF (or the part of it given in points) at ppi, drawn on
// white as a printed cover is; the PDF's own ground may be transparent.
QImage pageOnWhite(QPdfDocument &document, int page, int ppi, QRectF part = QRectF())
{
    const QSizeF points = document.pagePointSize(page);
    const double scale = ppi / 72.0;
    const QSize whole(int(std::lround(points.width() * scale)), int(std::lround(points.height() * scale)));
    if (part.isNull())
        part = QRectF(QPointF(0, 0), points);
    const QRect cut(int(std::lround(part.x() * scale)), int(std::lround(part.y() * scale)),
        int(std::lround(part.width() * scale)), int(std::lround(part.height() * scale)));
    QPdfDocumentRenderOptions options;
    options.setScaledSize(whole);
    options.setScaledClipRect(cut);
    const QImage drawn = document.render(page, cut.size(), options);
    QImage picture(cut.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage(0, 0, drawn);
    painter.end();
    return picture;
}

// The size in pixels of a page's picture at ppi as poppler draws it for
// the sheet's PNG: each side rounded up.
QSize renderedSize(QSizeF points, int ppi)
{
    const double scale = ppi / 72.0;
    return QSize(int(std::ceil(points.width() * scale)), int(std::ceil(points.height() * scale)));
}

QStringList pagesInput(int pages)
{
    return { QStringLiteral("--input"), QStringLiteral("pages=") + QString::number(pages) };
}

// The whole sheet set as a PDF at pdf, from a draft of its own named by id.
QCoro::Task<void> compileSheet(BookFile book, int pages, QString folder, QString id, QString pdf)
{
    const QString draft = co_await writeDraft(
        std::move(book), folder, QStringLiteral("cover-draft-") + id + QStringLiteral(".json"));
    const RemovedAtEnd removedDraft(draft);
    QStringList arguments { QStringLiteral("compile") };
    arguments += typstArguments(draft, QString());
    arguments += pagesInput(pages);
    arguments << coverTemplate() << pdf;
    co_await run(typst(), arguments);
}

} // namespace

QCoro::Task<QString> renderCoverPreview(BookFile book, int pages, QString folder, Earlier earlier)
{
    static const QRegularExpression previews(QStringLiteral("^cover-[0-9A-F]{8}\\.png$"));
    const QString output = folder + QStringLiteral("/cover-") + shortId() + QStringLiteral(".png");
    co_return co_await renderCover(std::move(book), folder, pagesInput(pages), 72, output, earlier, previews);
}

QCoro::Task<QString> renderCoverFront(BookFile book, int pages, int ppi, QString folder, Earlier earlier)
{
    static const QRegularExpression fronts(QStringLiteral("^cover-front-[0-9A-F]{8}\\.png$"));
    const QString output = folder + QStringLiteral("/cover-front-") + shortId() + QStringLiteral(".png");
    const QStringList own
        = pagesInput(pages) + QStringList { QStringLiteral("--input"), QStringLiteral("front=true") };
    co_return co_await renderCover(std::move(book), folder, own, ppi, output, earlier, fronts);
}

QCoro::Task<QString> renderCoverSheet(BookFile book, int pages, int ppi, QString folder)
{
    const QString output = folder + QStringLiteral("/cover-sheet.png");
    co_return co_await renderCover(
        std::move(book), folder, pagesInput(pages), ppi, output, Earlier::Kept, QRegularExpression());
}

QCoro::Task<QString> renderCoverSheetPart(
    BookFile book, int pages, int ppi, QString folder, std::function<QRect(QSize)> cut, QString output)
{
    const QString id = shortId();
    const QString pdf = folder + QStringLiteral("/cover-sheet-") + id + QStringLiteral(".pdf");
    const RemovedAtEnd removedPdf(pdf);
    co_await compileSheet(std::move(book), pages, folder, id, pdf);

    // The sheet's PNG is poppler's drawing of this PDF; poppler draws the
    // part alone to the very same pixels, and writes them raw, as
    // compressing is left to the app.
    const QRect part = co_await QtConcurrent::run([pdf, ppi, cut = std::move(cut)] {
        QFile file(pdf);
        if (!file.open(QIODevice::ReadWrite))
            return QRect();
        const QByteArray written = file.readAll();
        const QByteArray drawn = PdfColourSpaces::sRgbAsDevice(written);
        if (drawn != written && !(file.seek(0) && file.write(drawn) == drawn.size()))
            return QRect();
        file.close();
        QPdfDocument document;
        if (document.load(pdf) != QPdfDocument::Error::None || document.pageCount() < 1)
            return QRect();
        return cut(renderedSize(document.pagePointSize(0), ppi));
    });
    if (part.isEmpty())
        throw fileFailure(QStringLiteral("The cover sheet at %1 can't be read.").arg(pdf));
    const QString raw = folder + QStringLiteral("/cover-sheet-") + id;
    const RemovedAtEnd removedRaw(raw + QStringLiteral(".ppm"));
    co_await run(QStringLiteral("pdftoppm"),
        { QStringLiteral("-q"), QStringLiteral("-r"), QString::number(ppi), QStringLiteral("-x"),
            QString::number(part.x()), QStringLiteral("-y"), QString::number(part.y()), QStringLiteral("-W"),
            QString::number(part.width()), QStringLiteral("-H"), QString::number(part.height()),
            QStringLiteral("-singlefile"), pdf, raw });
    const bool written = co_await QtConcurrent::run([raw, output] {
        const QImage picture(raw + QStringLiteral(".ppm"), "PPM");
        return !picture.isNull() && picture.save(output, "PNG", pngQuality);
    });
    if (!written) {
        QFile::remove(output);
        throw fileFailure(QStringLiteral("The cover's picture can't be made at %1.").arg(output));
    }
    co_return output;
}

QCoro::Task<CoverPictures> renderCoverPictures(BookFile book, int pages, int frontPpi, QString folder)
{
    const QString id = shortId();
    const QString pdf = folder + QStringLiteral("/cover-") + id + QStringLiteral(".pdf");
    const RemovedAtEnd removedPdf(pdf);
    co_await compileSheet(std::move(book), pages, folder, id, pdf);

    const CoverPictures pictures { folder + QStringLiteral("/cover-") + id + QStringLiteral(".png"),
        folder + QStringLiteral("/cover-front-") + id + QStringLiteral(".png") };
    const bool drawn = co_await QtConcurrent::run([pdf, pictures, frontPpi] {
        QPdfDocument document;
        if (document.load(pdf) != QPdfDocument::Error::None || document.pageCount() < 1)
            return false;
        const QSizeF sheet = document.pagePointSize(0);
        // The front panel: the trim box right of the spine, inside the bleed.
        const double inch = 72;
        const QRectF front(sheet.width() - (frontWidthInches + bleedInches) * inch, bleedInches * inch,
            frontWidthInches * inch, frontHeightInches * inch);
        return pageOnWhite(document, 0, previewPpi).save(pictures.sheet, "PNG", pngQuality)
            && pageOnWhite(document, 0, frontPpi, front).save(pictures.front, "PNG", pngQuality);
    });
    if (!drawn) {
        QFile::remove(pictures.sheet);
        QFile::remove(pictures.front);
        throw fileFailure(QStringLiteral("The cover's pictures can't be made in %1.").arg(folder));
    }
    co_return pictures;
}

QCoro::Task<QMap<QString, QString>> renderCoverGallery(BookFile book, QString folder)
{
    const QString gallery = folder + QStringLiteral("/cover-gallery-") + shortId();
    if (!QDir().mkpath(gallery))
        throw fileFailure(QStringLiteral("The folder %1 can't be made.").arg(gallery));
    // A gallery that fails takes its folder with it.
    bool done = false;
    const auto cleanUp = qScopeGuard([&] {
        if (!done)
            QDir(gallery).removeRecursively();
    });
    const QString draft = co_await writeDraft(std::move(book), gallery, QStringLiteral("draft.json"));
    const RemovedAtEnd removed(draft);

    QStringList common = typstArguments(draft, QString());
    common << QStringLiteral("--input") << QStringLiteral("gallery=true");
    // The list of designs is the template's: asked once, beside the first
    // gallery's compile.
    static QStringList known;
    std::optional<QCoro::Task<QByteArray>> asking;
    if (known.isEmpty()) {
        asking.emplace(run(typst(),
            QStringList { QStringLiteral("eval") } + common
                + QStringList { QStringLiteral("query(<brimlow-cover-designs>).first().value"),
                    QStringLiteral("--in"), coverTemplate() }));
    }
    const QString pdf = gallery + QStringLiteral("/designs.pdf");
    const RemovedAtEnd removedPdf(pdf);
    QCoro::Task<QByteArray> compiling = run(
        typst(), QStringList { QStringLiteral("compile") } + common + QStringList { coverTemplate(), pdf });
    if (asking) {
        const QByteArray answer = co_await std::move(*asking);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(answer, &error);
        if (error.error != QJsonParseError::NoError || !document.isArray())
            throw std::runtime_error("The list of cover designs can't be read.");
        QStringList keys;
        for (const QJsonValue &key : document.array()) {
            if (!key.isString())
                throw std::runtime_error("The list of cover designs holds something that is not a name.");
            keys.append(key.toString());
        }
        known = keys;
    }
    co_await std::move(compiling);
    const QStringList keys = known;

    const bool drawn = co_await QtConcurrent::run([pdf, gallery, count = keys.size()] {
        QPdfDocument document;
        if (document.load(pdf) != QPdfDocument::Error::None || document.pageCount() < count)
            return false;
        for (int page = 0; page < count; ++page) {
            if (!pageOnWhite(document, page, galleryPpi)
                     .save(gallery + QStringLiteral("/%1.png").arg(page + 1), "PNG", pngQuality))
                return false;
        }
        return true;
    });
    if (!drawn)
        throw fileFailure(QStringLiteral("The designs' pictures can't be made in %1.").arg(gallery));

    // A key listed twice keeps its later page.
    QMap<QString, QString> pictures;
    for (qsizetype i = 0; i < keys.size(); ++i)
        pictures.insert(keys[i], gallery + QStringLiteral("/%1.png").arg(i + 1));
    done = true;
    co_return pictures;
}

void removeCoverGallery(const QMap<QString, QString> &gallery)
{
    static const QRegularExpression made(QStringLiteral("^cover-gallery-[0-9A-F]{8}$"));
    QSet<QString> folders;
    for (const QString &picture : gallery)
        folders.insert(QFileInfo(picture).absolutePath());
    for (const QString &folder : folders) {
        if (made.match(QFileInfo(folder).fileName()).hasMatch())
            QDir(folder).removeRecursively();
    }
}

QString resolvedEbookFile(const QString &to)
{
    const QFileInfo info(to);
    const QString name = info.fileName();
    // A leading point starts a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString folder = to.left(to.size() - name.size());
    return folder + base + QStringLiteral(".resolved.json");
}

QCoro::Task<QByteArray> ebookDescription(QString book)
{
    QStringList arguments { QStringLiteral("eval") };
    arguments += typstArguments(book, QString());
    arguments << QStringLiteral("query(<brimlow-ebook>).first().value") << QStringLiteral("--in")
              << ebookTemplate();
    co_return co_await run(typst(), arguments);
}

QCoro::Task<void> writeEbook(QByteArray description, QString id, std::optional<QString> cover, QString to)
{
    const QString resolved = resolvedEbookFile(to);
    const RemovedAtEnd removed(resolved);
    QFile file(resolved);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(description) != description.size())
        throw fileFailure(
            QStringLiteral("The ebook can't be prepared at %1: %2.").arg(resolved, file.errorString()));
    file.close();

    QStringList tool { QStringLiteral("ebook"), QStringLiteral("--resolved"), resolved,
        QStringLiteral("--id"), id, QStringLiteral("--out"), to };
    if (cover)
        tool << QStringLiteral("--cover") << *cover;
    co_await run(core(), tool);
}

QCoro::Task<void> makeEbook(QString book, QString id, std::optional<QString> cover, QString to)
{
    // A failed query leaves no resolved file behind either.
    const RemovedAtEnd removed(resolvedEbookFile(to));
    QByteArray description = co_await ebookDescription(std::move(book));
    co_await writeEbook(std::move(description), std::move(id), std::move(cover), std::move(to));
}

} // namespace Helpers
