// The cover side of the wizard's model: its renders, the debounce in front
// of them, paintings and the picture on the cover.
#include "model/coverrender.h"
#include "model/helpers.h"
#include "project/project.h"
#include "service/coverart.h"
#include "ui/errors.h"
#include "wizardmodel.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QPointer>

using namespace std::chrono_literals;

namespace {

// What typst said, as a sentence: its first error line, not the source
// excerpt under it.
QString failureOf(const std::exception &error)
{
    if (const auto *failure = dynamic_cast<const Helpers::Failure *>(&error)) {
        for (const QString &line : failure->message().split(QLatin1Char('\n'))) {
            if (!line.startsWith(QLatin1String("error:")))
                continue;
            QString sentence = line.mid(6).trimmed();
            if (sentence.isEmpty())
                break;
            sentence[0] = sentence[0].toUpper();
            if (!sentence.endsWith(QLatin1Char('.')))
                sentence += QLatin1Char('.');
            return sentence;
        }
    }
    return Errors::toolLine(error);
}

QCoro::Task<void> renderBoth(QPointer<WizardModel> model)
{
    co_await model->renderCover();
    if (model)
        co_await model->renderGallery();
}

QString galleryKeyOf(const QString &title, const QString &colophon, const Design::Cover &cover)
{
    return title + QLatin1Char('|') + colophon + QLatin1Char('|') + cover.color + QLatin1Char('|')
        + cover.image.value_or(QString());
}

} // namespace

QString WizardModel::coverKey(const BookFile &book, int pages)
{
    QJsonObject parts { { QStringLiteral("title"), book.front.title },
        { QStringLiteral("colophon"), book.front.colophon }, { QStringLiteral("pages"), pages } };
    if (book.design)
        parts.insert(QStringLiteral("design"), book.design->toJson());
    if (book.edits.range) {
        parts.insert(QStringLiteral("from"), book.edits.range->from.value_or(QString()));
        parts.insert(QStringLiteral("to"), book.edits.range->to.value_or(QString()));
    }
    return QString::fromUtf8(QJsonDocument(parts).toJson(QJsonDocument::Compact));
}

void WizardModel::setRenderingCover(bool rendering)
{
    assign(m_renderingCover, rendering, &WizardModel::renderingCoverChanged);
}

void WizardModel::setCoverFailure(const std::optional<QString> &failure)
{
    assign(m_coverFailure, failure, &WizardModel::coverFailureChanged);
}

void WizardModel::setRenderingGallery(bool rendering)
{
    assign(m_renderingGallery, rendering, &WizardModel::renderingGalleryChanged);
}

void WizardModel::setPaintings(const QStringList &paintings)
{
    assign(m_paintings, paintings, &WizardModel::paintingsChanged);
}

void WizardModel::setPainting(int running)
{
    assign(m_painting, running, &WizardModel::paintingChanged);
}

void WizardModel::discard(const std::optional<QString> &picture)
{
    if (picture && m_made.remove(*picture))
        QFile::remove(*picture);
}

void WizardModel::replacePicture(
    std::optional<QString> &field, const QString &made, void (WizardModel::*signal)())
{
    const std::optional<QString> before = field;
    m_made.insert(made);
    assign(field, std::optional<QString>(made), signal);
    if (before != field)
        discard(before);
}

QCoro::Task<void> WizardModel::renderCover()
{
    QPointer<WizardModel> self(this);
    const BookFile book = draft();
    const int pages = std::max(this->pages(), 40);
    const QString key = coverKey(book, pages);
    if (key == m_coverKey)
        co_return;
    // typst can't draw a cover whose picture is gone; nor is it asked to.
    if (const std::optional<QString> &image = m_design.cover.image; image && !QFileInfo::exists(*image)) {
        ++m_coverRender;
        m_coverKey.clear();
        setRenderingCover(false);
        setCoverFailure(
            QStringLiteral("The picture on it is no longer on this computer. Choose it again, or another."));
        co_return;
    }
    m_coverKey = key;
    const int generation = ++m_coverRender;
    setRenderingCover(true);
    std::optional<Helpers::CoverPictures> made;
    std::optional<QString> failure;
    try {
        made = co_await m_renderer.cover(book, pages, 110, m_project->folder());
    } catch (const std::exception &error) {
        failure = failureOf(error);
    }
    if (!self || generation < m_coverShown) {
        // Nobody shows these: the model is gone, or a newer render is shown.
        if (made) {
            QFile::remove(made->front);
            QFile::remove(made->sheet);
        }
        co_return;
    }
    const bool newest = generation == m_coverRender;
    if (newest)
        setRenderingCover(false);
    if (made) {
        m_coverShown = generation;
        replacePicture(m_coverFront, made->front, &WizardModel::coverFrontChanged);
        replacePicture(m_coverPreview, made->sheet, &WizardModel::coverPreviewChanged);
    }
    if (!newest)
        co_return;
    // A failure is told once and tried again when asked for again, even
    // with nothing changed.
    if (failure)
        m_coverKey.clear();
    setCoverFailure(failure);
}

QCoro::Task<void> WizardModel::renderGallery()
{
    QPointer<WizardModel> self(this);
    const QString key = galleryKeyOf(m_title, m_colophon, m_design.cover);
    if (key == m_galleryKey) {
        // Back to what is shown: a gallery still being drawn for other words
        // must not replace it.
        m_galleryWanted.clear();
        setRenderingGallery(false);
        co_return;
    }
    if (key == m_galleryWanted)
        co_return;
    m_galleryWanted = key;
    setRenderingGallery(true);
    std::optional<QMap<QString, QString>> made;
    try {
        made = co_await m_renderer.gallery(draft(), m_project->folder());
    } catch (const std::exception &) {
        // The thumbnails there are stay; asking again tries again.
    }
    if (!self || m_galleryWanted != key) {
        if (made)
            Helpers::removeCoverGallery(*made);
        co_return;
    }
    m_galleryWanted.clear();
    setRenderingGallery(false);
    if (!made)
        co_return;
    const QMap<QString, QString> before = m_gallery;
    setGalleryKey(key);
    setGallery(*made);
    Helpers::removeCoverGallery(before);
}

void WizardModel::redraw()
{
    m_redraw.reset();
    renderBoth(this);
}

void WizardModel::redrawSoon()
{
    m_redraw = Clock::current().after(400ms, [this] { redraw(); });
}

void WizardModel::useArt(const QString &path)
{
    Design design = m_design;
    design.cover.image = path;
    if (design.cover.style != QLatin1String("custom")) {
        design.cover.style = QStringLiteral("photo");
        design.cover.fit = QStringLiteral("bleed");
    }
    setDesign(design);
}

void WizardModel::beginCoverVisit()
{
    m_coverOnArrival = true;
}

bool WizardModel::claimPaintAid()
{
    return !std::exchange(m_paintAidUsed, true);
}

void WizardModel::paint(const QString &prompt, const QString &style, const QStringList &references, int times)
{
    setPainting(times);
    for (int i = 0; i < times; ++i)
        paintOne(prompt, style, references, m_project->folder());
}

QCoro::Task<void> WizardModel::paintOne(QString prompt, QString style, QStringList references, QString folder)
{
    QPointer<WizardModel> self(this);
    try {
        const QString painted = co_await CoverArt::generate(prompt, style, references, folder);
        if (!self)
            co_return;
        setPaintings(QStringList { painted } + m_paintings);
        if (std::exchange(m_coverOnArrival, false))
            useArt(painted);
    } catch (const std::exception &error) {
        if (!self)
            co_return;
        emit paintFailed(Errors::sentence(error));
    }
    setPainting(m_painting - 1);
}
