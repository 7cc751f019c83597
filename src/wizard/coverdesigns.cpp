#include "coverdesigns.h"

#include "ui/accessibility.h"
#include "ui/softshadow.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "wizardmodel.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int thumbWidth = 70;
constexpr int thumbHeight = 112;
// Each entry carries half the gap between columns on either side, so the
// selected one's shadow isn't cut off.
constexpr int gutter = 5;
constexpr int top = 3;
constexpr int captionGap = 6;
constexpr int captionHeight = 14;

} // namespace

// One design: its thumbnail, ringed when chosen, and its caption.
class DesignThumb : public QAbstractButton
{
public:
    DesignThumb(const QString &caption, QWidget *parent = nullptr)
        : QAbstractButton(parent)
    {
        Accessibility::setKind(this, Accessibility::Kind::Choice);
        setText(caption);
        setAccessibleName(caption);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        setFixedSize(thumbWidth + 2 * gutter, top + thumbHeight + captionGap + captionHeight);
        // Checked is the design the cover has; the model decides, not a click.
        setCheckable(true);
    }

    void setImage(const QImage &image)
    {
        m_image = image;
        m_scaled = QPixmap();
        update();
    }

protected:
    void nextCheckState() override { }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF box(gutter, top, thumbWidth, thumbHeight);
        const bool selected = isChecked();
        if (!m_image.isNull()) {
            SoftShadow::paint(
                painter, box, 2, selected ? 6 : 2, QPointF(0, 2), QColor(0, 0, 0, selected ? 64 : 20));
            const qreal ratio = devicePixelRatioF();
            const QSize pixels = (box.size() * ratio).toSize();
            if (m_scaled.size() != pixels) {
                m_scaled = QPixmap::fromImage(
                    m_image.scaled(pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation));
                m_scaled.setDevicePixelRatio(ratio);
            }
            QPainterPath clip;
            clip.addRoundedRect(box, 2, 2);
            painter.save();
            painter.setClipPath(clip);
            painter.drawPixmap(box.topLeft(), m_scaled);
            painter.restore();
            if (selected) {
                painter.setPen(QPen(Style::brand(), 2.5));
                painter.drawRoundedRect(box.adjusted(1.25, 1.25, -1.25, -1.25), 3, 3);
            } else {
                QColor edge = Style::color(Style::Tone::Secondary);
                edge.setAlphaF(0.25);
                painter.setPen(QPen(edge, 0.5));
                painter.drawRoundedRect(box.adjusted(0.25, 0.25, -0.25, -0.25), 3, 3);
            }
            if (isDown()) {
                painter.fillPath(clip, QColor(0, 0, 0, 30));
            }
        }
        if (hasFocus()) {
            QColor focus = Style::brand();
            focus.setAlphaF(0.45);
            painter.setPen(QPen(focus, 3));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(box.adjusted(-2, -2, 2, 2), 4, 4);
        }
        QFont font
            = Style::font(Style::Text::Caption2, selected ? Style::Weight::Medium : Style::Weight::Regular);
        painter.setFont(font);
        painter.setPen(Style::color(selected ? Style::Tone::Primary : Style::Tone::Tertiary));
        painter.drawText(QRectF(0, top + thumbHeight + captionGap, width(), captionHeight),
            Qt::AlignHCenter | Qt::AlignTop, text());
    }

private:
    QImage m_image;
    QPixmap m_scaled;
};

// A cloth colour: a dot, with a white inner ring and a brand outer ring
// when it is the cover's.
class SwatchButton : public QAbstractButton
{
public:
    SwatchButton(const CoverDesigns::Swatch &swatch, QWidget *parent = nullptr)
        : QAbstractButton(parent)
        , m_swatch(swatch)
    {
        Accessibility::setKind(this, Accessibility::Kind::Choice);
        const QString name = swatch.name.left(1).toUpper() + swatch.name.mid(1);
        setToolTip(name);
        setAccessibleName(name);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        setFixedSize(30, 30);
        // Checked is the cover's colour; the model decides, not a click.
        setCheckable(true);
    }

    const QString &name() const { return m_swatch.name; }

protected:
    void nextCheckState() override { }

    void paintEvent(QPaintEvent *) override
    {
        const bool current = isChecked();
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF dot(3, 3, 24, 24);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_swatch.color);
        painter.drawEllipse(dot);
        if (current) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::white, 3));
            painter.drawEllipse(dot.adjusted(1.5, 1.5, -1.5, -1.5));
            painter.setPen(QPen(Style::brand(), 1));
            painter.drawEllipse(dot.adjusted(-2.5, -2.5, 2.5, 2.5));
        } else {
            // A hairline keeps a dark dot apart from a dark window.
            QColor edge = Style::color(Style::Tone::Primary);
            edge.setAlphaF(Style::appearance() == Color::Appearance::Dark ? 0.3 : 0.12);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(edge, 0.5));
            painter.drawEllipse(dot.adjusted(0.25, 0.25, -0.25, -0.25));
        }
        if (hasFocus()) {
            QColor focus = Style::brand();
            focus.setAlphaF(0.45);
            painter.setPen(QPen(focus, 2));
            painter.drawEllipse(dot.adjusted(-2, -2, 2, 2));
        }
    }

private:
    CoverDesigns::Swatch m_swatch;
};

// The grid of thumbnails, placed by hand: up to five columns 70 wide and
// 10 apart, as many as the column's width holds, so a narrow window gets
// more rows instead of cut designs. Each entry keeps a gutter for its
// shadow inside the grid.
class DesignGrid : public QWidget
{
public:
    using QWidget::QWidget;

    void place(const QList<DesignThumb *> &thumbs)
    {
        m_thumbs = thumbs;
        arrange();
        updateGeometry();
    }
    QSize sizeHint() const override { return { widthOf(mostColumns), heightOf(mostColumns) }; }
    QSize minimumSizeHint() const override { return { widthOf(fewestColumns), heightOf(fewestColumns) }; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return heightOf(columnsIn(width)); }

protected:
    void resizeEvent(QResizeEvent *) override { arrange(); }

private:
    static constexpr int mostColumns = 5;
    static constexpr int fewestColumns = 3;
    static constexpr int rowGap = 8;
    static constexpr int entryWidth = thumbWidth + 2 * gutter;
    static int entryHeight() { return top + thumbHeight + captionGap + captionHeight; }
    static int widthOf(int columns) { return columns * entryWidth; }
    static int columnsIn(int width) { return std::clamp(width / entryWidth, 1, mostColumns); }

    int heightOf(int columns) const
    {
        const int rows = (int(m_thumbs.size()) + columns - 1) / columns;
        return rows == 0 ? 0 : rows * entryHeight() + (rows - 1) * rowGap;
    }

    void arrange()
    {
        const int columns = columnsIn(width());
        for (int i = 0; i < m_thumbs.size(); ++i)
            m_thumbs[i]->move(i % columns * entryWidth, i / columns * (entryHeight() + rowGap));
    }

    QList<DesignThumb *> m_thumbs;
};

const QStringList &CoverDesigns::keys()
{
    static const QStringList keys { QStringLiteral("cloth"), QStringLiteral("paper"),
        QStringLiteral("monogram"), QStringLiteral("bubble"), QStringLiteral("calendar"),
        QStringLiteral("split"), QStringLiteral("typewriter"), QStringLiteral("minimal"),
        QStringLiteral("receipt"), QStringLiteral("photo") };
    return keys;
}

QString CoverDesigns::caption(const QString &key)
{
    if (key == QLatin1String("split"))
        return QStringLiteral("Two Inks");
    return key.left(1).toUpper() + key.mid(1);
}

const QList<CoverDesigns::Swatch> &CoverDesigns::swatches()
{
    static const QList<Swatch> swatches { { QStringLiteral("oxblood"),
                                              QColor::fromRgbF(0.42f, 0.12f, 0.14f) },
        { QStringLiteral("navy"), QColor::fromRgbF(0.12f, 0.16f, 0.27f) },
        { QStringLiteral("forest"), QColor::fromRgbF(0.18f, 0.29f, 0.23f) },
        { QStringLiteral("plum"), QColor::fromRgbF(0.29f, 0.15f, 0.25f) },
        { QStringLiteral("sky"), QColor::fromRgbF(0.24f, 0.35f, 0.45f) },
        { QStringLiteral("sand"), QColor::fromRgbF(0.79f, 0.71f, 0.56f) },
        { QStringLiteral("ink"), QColor::fromRgbF(0.11f, 0.11f, 0.11f) } };
    return swatches;
}

bool CoverDesigns::isColoured(const QString &style)
{
    static const QStringList coloured { QStringLiteral("cloth"), QStringLiteral("monogram"),
        QStringLiteral("bubble"), QStringLiteral("calendar") };
    return coloured.contains(style);
}

CoverDesigns::CoverDesigns(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_grid(new DesignGrid)
    , m_spinner(new Spinner(Spinner::Size::Small))
    , m_failed(Style::label(
          QStringLiteral("The designs didn't come out; they're drawn again with your next change."),
          Style::Text::Callout, Style::Tone::Secondary))
    , m_swatchRow(new QWidget)
{
    setObjectName(QStringLiteral("coverDesigns"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    column->addWidget(m_grid);
    for (const QString &key : keys()) {
        auto *thumb = new DesignThumb(caption(key), m_grid);
        thumb->setObjectName(QStringLiteral("design-") + key);
        thumb->hide();
        m_thumbs.insert(key, thumb);
        connect(thumb, &QAbstractButton::clicked, this, [this, key] { choose(key); });
    }
    column->addWidget(m_spinner, 0, Qt::AlignLeft);
    column->addWidget(m_failed);

    auto *swatches = new QHBoxLayout(m_swatchRow);
    // The dots line up with the thumbnails, which start a gutter in; each
    // button keeps 3 around its dot for the rings.
    swatches->setContentsMargins(gutter - 3, 0, 0, 0);
    // Ten between the dots, less the room each button keeps for its ring.
    swatches->setSpacing(4);
    for (const Swatch &swatch : CoverDesigns::swatches()) {
        auto *button = new SwatchButton(swatch);
        m_swatches.append(button);
        swatches->addWidget(button);
        connect(button, &QAbstractButton::clicked, this, [this, name = swatch.name] {
            Design design = m_model->design();
            design.cover.color = name;
            m_model->setDesign(design);
        });
    }
    swatches->addStretch(1);
    column->addWidget(m_swatchRow);

    connect(model, &WizardModel::galleryChanged, this, &CoverDesigns::reloadThumbnails);
    for (auto signal : { &WizardModel::designChanged, &WizardModel::renderingGalleryChanged })
        connect(model, signal, this, &CoverDesigns::refresh);
    reloadThumbnails();
}

void CoverDesigns::choose(const QString &key)
{
    Design design = m_model->design();
    design.cover.style = key;
    if (key == QLatin1String("photo"))
        design.cover.fit = QStringLiteral("bleed");
    m_model->setDesign(design);
}

QStringList CoverDesigns::shownKeys() const
{
    QStringList shown;
    for (const QString &key : keys()) {
        if (m_model->gallery().contains(key))
            shown.append(key);
    }
    return shown;
}

void CoverDesigns::reloadThumbnails()
{
    // Placed afresh in order: a design without a thumbnail leaves no hole.
    QList<DesignThumb *> shown;
    for (DesignThumb *thumb : std::as_const(m_thumbs))
        thumb->hide();
    for (const QString &key : shownKeys()) {
        DesignThumb *thumb = m_thumbs.value(key);
        // A thumbnail that can't be read keeps its caption.
        thumb->setImage(QImageReader(m_model->gallery().value(key)).read());
        thumb->show();
        shown.append(thumb);
    }
    m_grid->place(shown);
    refresh();
}

void CoverDesigns::refresh()
{
    const Design::Cover &cover = m_model->design().cover;
    for (auto it = m_thumbs.cbegin(); it != m_thumbs.cend(); ++it)
        it.value()->setChecked(cover.style == it.key());
    const bool empty = m_model->gallery().isEmpty();
    m_spinner->setVisible(empty && m_model->isRenderingGallery());
    m_failed->setVisible(empty && !m_model->isRenderingGallery());
    m_swatchRow->setVisible(isColoured(cover.style));
    for (SwatchButton *swatch : std::as_const(m_swatches))
        swatch->setChecked(swatch->name() == cover.color);
}
