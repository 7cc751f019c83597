#include "photostrip.h"

#include "project/project.h"
#include "service/coverart.h"
#include "ui/icons.h"
#include "ui/picturethumb.h"
#include "ui/style.h"
#include "wizardmodel.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {

QColor quietFill()
{
    QColor fill = Style::color(Style::Tone::Primary);
    fill.setAlphaF(Style::appearance() == Color::Appearance::Dark ? 0.09 : 0.06);
    return fill;
}

// The add button: a plus on a quiet square.
class AddButton : public QAbstractButton
{
public:
    AddButton(int size, QWidget *parent = nullptr)
        : QAbstractButton(parent)
    {
        setFixedSize(size, size);
        setToolTip(QStringLiteral("Add photos"));
        setAccessibleName(QStringLiteral("Add photos"));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), 6, 6);
        QColor fill = quietFill();
        if (isDown())
            fill.setAlphaF(fill.alphaF() * 2);
        painter.fillPath(shape, fill);
        const int glyph = Style::font(Style::Text::Title3).pixelSize() + 3;
        const QPixmap plus
            = Icons::pixmap(QStringLiteral("plus"), glyph, Style::color(Style::Tone::Secondary));
        painter.drawPixmap(QPointF((width() - glyph) / 2.0, (height() - glyph) / 2.0), plus);
        if (hasFocus()) {
            QColor focus = Style::brand();
            focus.setAlphaF(0.45);
            painter.setPen(QPen(focus, 2));
            painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
        }
    }
};

} // namespace

PhotoStrip::PhotoStrip(WizardModel *model, int size, QWidget *parent)
    : SideScroll(parent)
    , m_model(model)
    , m_size(size)
    , m_row(new QWidget)
    , m_layout(new QHBoxLayout(m_row))
    , m_hint(
          Style::label(QStringLiteral("Add photos of the two of you, or anything that belongs on the cover."),
              Style::Text::Caption, Style::Tone::Secondary))
{
    setObjectName(QStringLiteral("photoStrip"));
    setWidgetResizable(false);
    setFixedHeight(size + 4);
    m_row->setAutoFillBackground(false);
    m_layout->setContentsMargins(0, 2, 0, 2);
    m_layout->setSpacing(8);
    m_layout->setSizeConstraint(QLayout::SetFixedSize);
    auto *add = new AddButton(size);
    m_layout->addWidget(add);
    m_hint->setWordWrap(true);
    m_hint->setFixedWidth(260);
    // Beside the add button, as the first thing after it.
    m_hint->setContentsMargins(8, 0, 0, 0);
    m_layout->addWidget(m_hint);
    setWidget(m_row);
    connect(add, &QAbstractButton::clicked, this, &PhotoStrip::addRequested);
}

void PhotoStrip::setSelected(const QStringList &paths)
{
    m_selected = paths;
    for (PictureThumb *thumb : std::as_const(m_thumbs))
        thumb->setSelected(paths.contains(thumb->path()));
}

bool PhotoStrip::isLoaded() const
{
    return std::all_of(
        m_thumbs.cbegin(), m_thumbs.cend(), [](PictureThumb *thumb) { return thumb->isLoaded(); });
}

QStringList PhotoStrip::pictures()
{
    if (m_stale)
        rebuild();
    return m_pictures;
}

QWidget *PhotoStrip::thumbnail(const QString &path)
{
    if (m_stale)
        rebuild();
    for (PictureThumb *thumb : m_thumbs) {
        if (thumb->path() == path)
            return thumb;
    }
    return nullptr;
}

void PhotoStrip::reload()
{
    // Listing looks through every message of the book: a strip on a tab
    // not shown, or folded away, waits until it is seen.
    m_stale = true;
    if (isVisible())
        rebuild();
}

void PhotoStrip::rebuild()
{
    m_stale = false;
    const QStringList pictures = CoverArt::photos(m_model->project()->book(), m_model->project()->folder());
    if (pictures == m_pictures && !m_thumbs.isEmpty())
        return;
    m_pictures = pictures;
    qDeleteAll(m_thumbs);
    m_thumbs.clear();
    for (const QString &path : pictures) {
        auto *thumb = new PictureThumb(path, m_size);
        thumb->setSelected(m_selected.contains(path));
        m_layout->addWidget(thumb);
        m_thumbs.append(thumb);
        connect(thumb, &QAbstractButton::clicked, this, [this, path] { emit picked(path); });
        if (m_read.contains(path))
            thumb->setImage(m_read.value(path));
    }
    m_hint->setVisible(pictures.isEmpty());
    if (isVisible())
        loadThumbnails();
}

void PhotoStrip::showEvent(QShowEvent *event)
{
    SideScroll::showEvent(event);
    if (m_stale)
        rebuild();
    loadThumbnails();
}

void PhotoStrip::loadThumbnails()
{
    // Only once the strip is on screen: the painting tab's strip is often
    // never opened.
    for (PictureThumb *thumb : std::as_const(m_thumbs)) {
        if (!thumb->isLoaded() && !m_loading.contains(thumb->path())) {
            m_loading.insert(thumb->path());
            load(thumb->path());
        }
    }
}

QCoro::Task<void> PhotoStrip::load(QString path)
{
    QPointer<PhotoStrip> self(this);
    const QImage image = co_await PictureThumb::read(path, int(2 * m_size * devicePixelRatioF()));
    if (!self)
        co_return;
    m_loading.remove(path);
    m_read.insert(path, image);
    // The row may have been made afresh meanwhile: whichever square shows
    // the picture now gets it.
    if (auto *thumb = static_cast<PictureThumb *>(thumbnail(path)))
        thumb->setImage(image);
}
