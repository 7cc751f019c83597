#include "wrappedcardview.h"

#include "cardtext.h"
#include "wrappedfooter.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

using CardText::Digits;
using Format = WrappedSettings::Format;

namespace {

// The card's measures in points, story then post.
struct Measures
{
    bool story;

    qreal pick(qreal s, qreal p) const { return story ? s : p; }

    qreal sidePadding() const { return pick(30, 24); }
    qreal endPadding() const { return pick(34, 20); }
    qreal minimumSpace() const { return pick(24, 10); }
    qreal heroSpacing() const { return pick(6, 2); }
    qreal detailSpace() const { return pick(10, 4); }
    int detailLines() const { return story ? 3 : 2; }
    qreal rowsSpace() const { return pick(26, 12); }
    qreal rowSpacing() const { return pick(12, 6); }
    int shownRows() const { return story ? 7 : 4; }
};

constexpr qreal barHeight = 3;
constexpr qreal rowBottom = 5;

struct Row
{
    QString name;
    QString value;
    double share = 0;
    double progress = 0;
};

// Where everything goes, worked out before anything is drawn.
class Layout
{
public:
    Layout(const QPaintDevice *device, const WrappedCardView::Content &content);

    void paint(QPainter &painter) const;

private:
    qreal heroHeight() const;
    qreal rowsHeight() const;
    qreal rowHeight() const;
    void fitVertically(qreal available);
    qreal paintHero(QPainter &painter, qreal top) const;
    void paintRows(QPainter &painter, qreal top) const;
    void paintHeader(QPainter &painter) const;
    // Opacity on top of the one the card is drawn at (the video fades it).
    void setOpacity(QPainter &painter, qreal opacity) const { painter.setOpacity(m_opacity * opacity); }

    const QPaintDevice *m_device;
    const WrappedCardView::Content &m_content;
    Measures m_measures;
    WrappedSettings::Palette m_palette;
    QSizeF m_size;
    qreal m_width;

    QFont m_eyebrow;
    QFont m_title;
    QString m_big;
    QFont m_bigFont;
    qreal m_bigSize;
    qreal m_bigScale = 1;
    QString m_unit;
    QFont m_unitFont;
    qreal m_unitSize;
    CardText::Paragraph m_unitText;
    CardText::Paragraph m_detail;
    QList<Row> m_rows;
    bool m_mirrored;
    bool m_bars;
    QFont m_name;
    QFont m_value;
    qreal m_footer;
    mutable qreal m_opacity = 1;
};

Layout::Layout(const QPaintDevice *device, const WrappedCardView::Content &content)
    : m_device(device)
    , m_content(content)
    , m_measures { content.shape() == Format::Story }
    , m_palette(content.settings.palette())
    , m_size(WrappedCardView::size(content.shape()))
    , m_width(m_size.width() - 2 * m_measures.sidePadding())
{
    const WrappedSettings &settings = content.settings;
    const QList<Wrapped::Person> &people = content.wrapped.people;
    const Wrapped::Card &card = content.card;
    const QString serif = settings.family();
    const QString sans = WrappedSettings::sansFamily();

    m_eyebrow = CardText::font(device, sans, 10.5, QFont::DemiBold, false, 1.6);
    m_title = CardText::font(device, serif, 13, QFont::Normal, true);

    m_big = WrappedCardView::shownBig(content);
    // A name is longer than a figure, so it starts smaller.
    m_bigSize = card.big.startsWith(u'{') ? m_measures.pick(96, 64) : m_measures.pick(150, 96);
    m_bigFont = CardText::font(device, serif, m_bigSize);
    if (!m_big.isEmpty()) {
        const qreal natural = CardText::width(device, m_bigFont, m_big, Digits::Tabular);
        m_bigScale = std::clamp(natural > 0 ? m_width / natural : 1.0, 0.3, 1.0);
        // Too long even at its smallest: cut, as any one-line text is.
        if (natural * m_bigScale > m_width)
            m_big = CardText::elided(
                device, CardText::resized(device, m_bigFont, m_bigSize * m_bigScale), m_big, m_width);
    }
    m_unit = settings.named(card.unit, people);
    m_unitSize = m_big.isEmpty() ? m_measures.pick(52, 34) : m_measures.pick(34, 24);
    m_unitFont = CardText::font(device, serif, m_unitSize, QFont::Normal, true);
    m_unitText = CardText::shrinkToFit(device, m_unitFont, m_unitSize, m_unit, m_width, 3, 0.6);
    if (!card.detail.isEmpty()) {
        QFont detail = CardText::font(device, sans, m_measures.pick(14, 11.5));
        m_detail = CardText::wrap(
            device, detail, settings.named(card.detail, people), m_width, m_measures.detailLines());
    }

    m_mirrored = card.kind == Wrapped::Kind::Superlatives;
    m_bars = card.kind != Wrapped::Kind::Words && !m_mirrored;
    m_name = CardText::font(device, serif, m_measures.pick(26, 19));
    m_value = m_mirrored ? CardText::font(device, sans, m_measures.pick(13, 11), QFont::Medium)
                         : CardText::font(device, sans, m_measures.pick(14, 12), QFont::Medium);
    const int count = int(card.rows.size());
    for (int i = 0; i < count && i < m_measures.shownRows(); ++i) {
        const Wrapped::Row &row = card.rows.at(i);
        const Wrapped::Person *person = content.wrapped.person(row.who);
        m_rows.append({ person ? settings.display(*person, people) : QString(), row.value,
            std::clamp(row.share, 0.0, 1.0), WrappedCardView::rowProgress(content.progress, i, count) });
    }

    m_footer = WrappedFooter::height(device, settings);
    const QFontMetricsF eyebrow = CardText::metrics(device, m_eyebrow);
    const QFontMetricsF title = CardText::metrics(device, m_title);
    const qreal header
        = std::max(eyebrow.ascent(), title.ascent()) + std::max(eyebrow.descent(), title.descent());
    fitVertically(m_size.height() - 2 * m_measures.endPadding() - header - m_footer);
}

// When the hero and the rows don't fit between header and footer, the big
// figure gives way first, then the unit, as far as they may shrink.
void Layout::fitVertically(qreal available)
{
    const auto overflow
        = [&] { return heroHeight() + rowsHeight() + 2 * m_measures.minimumSpace() - available; };
    if (m_big.isEmpty() || overflow() <= 0)
        return;
    const QFontMetricsF big = CardText::metrics(m_device, m_bigFont);
    const qreal bigHeight = big.ascent() + big.descent();
    m_bigScale = std::max(0.3, std::min(m_bigScale, (bigHeight * m_bigScale - overflow()) / bigHeight));
    if (overflow() > 0)
        m_unitText = CardText::shrinkToFit(m_device, m_unitFont, m_unitSize * 0.6, m_unit, m_width, 3, 1);
}

qreal Layout::heroHeight() const
{
    qreal height = 0;
    if (!m_big.isEmpty()) {
        const QFontMetricsF big = CardText::metrics(m_device, m_bigFont);
        height += (big.ascent() + big.descent()) * m_bigScale + m_measures.heroSpacing();
    }
    height += m_unitText.height(m_device);
    if (!m_detail.lines.isEmpty())
        height += m_measures.heroSpacing() + m_measures.detailSpace() + m_detail.height(m_device);
    return height;
}

qreal Layout::rowHeight() const
{
    const QFontMetricsF name = CardText::metrics(m_device, m_name);
    const QFontMetricsF value = CardText::metrics(m_device, m_value);
    return std::max(name.ascent(), value.ascent()) + std::max(name.descent(), value.descent())
        + (m_bars ? rowBottom : 0);
}

qreal Layout::rowsHeight() const
{
    if (m_rows.isEmpty())
        return 0;
    return m_measures.rowsSpace() + m_rows.size() * rowHeight()
        + (m_rows.size() - 1) * m_measures.rowSpacing();
}

void Layout::paint(QPainter &painter) const
{
    painter.save();
    m_opacity = painter.opacity();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setClipRect(QRectF(QPointF(0, 0), m_size), Qt::IntersectClip);
    painter.fillRect(QRectF(QPointF(0, 0), m_size), m_palette.background);
    painter.setPen(m_palette.ink);

    paintHeader(painter);
    const QFontMetricsF eyebrow = CardText::metrics(m_device, m_eyebrow);
    const QFontMetricsF title = CardText::metrics(m_device, m_title);
    const qreal top = m_measures.endPadding() + std::max(eyebrow.ascent(), title.ascent())
        + std::max(eyebrow.descent(), title.descent());
    const qreal footerTop = m_size.height() - m_measures.endPadding() - m_footer;
    // The two flexible spaces share what is left.
    const qreal space
        = std::max(m_measures.minimumSpace(), (footerTop - top - heroHeight() - rowsHeight()) / 2);
    const qreal heroBottom = paintHero(painter, top + space);
    if (!m_rows.isEmpty())
        paintRows(painter, heroBottom + m_measures.rowsSpace());
    WrappedFooter::paint(painter, QRectF(m_measures.sidePadding(), footerTop, m_width, m_footer),
        m_content.settings, m_content.code);
    painter.restore();
}

void Layout::paintHeader(QPainter &painter) const
{
    const QFontMetricsF eyebrow = CardText::metrics(m_device, m_eyebrow);
    const QFontMetricsF title = CardText::metrics(m_device, m_title);
    const qreal baseline = m_measures.endPadding() + std::max(eyebrow.ascent(), title.ascent());
    const qreal left = m_measures.sidePadding();
    painter.setPen(m_palette.accent);
    const QString label = m_content.card.eyebrow;
    CardText::draw(painter, m_eyebrow, QPointF(left, baseline), label);
    const qreal used = CardText::width(m_device, m_eyebrow, label) + 8;
    const QString text = CardText::elided(m_device, m_title,
        m_content.settings.named(m_content.wrapped.title, m_content.wrapped.people), m_width - used);
    painter.setPen(m_palette.ink);
    setOpacity(painter, 0.8);
    CardText::draw(painter, m_title, QPointF(left + m_width - title.horizontalAdvance(text), baseline), text);
    setOpacity(painter, 1);
}

// Returns the bottom of the hero.
qreal Layout::paintHero(QPainter &painter, qreal top) const
{
    const qreal left = m_measures.sidePadding();
    qreal y = top;
    if (!m_big.isEmpty()) {
        const QFont big = CardText::resized(m_device, m_bigFont, m_bigSize * m_bigScale);
        const QFontMetricsF m = CardText::metrics(m_device, big);
        CardText::draw(painter, big, QPointF(left, y + m.ascent()), m_big, Digits::Tabular);
        y += m.ascent() + m.descent() + m_measures.heroSpacing();
    }
    y += m_unitText.draw(painter, QPointF(left, y));
    if (!m_detail.lines.isEmpty()) {
        setOpacity(painter, 0.78);
        y += m_measures.heroSpacing() + m_measures.detailSpace();
        y += m_detail.draw(painter, QPointF(left, y));
        setOpacity(painter, 1);
    }
    return y;
}

void Layout::paintRows(QPainter &painter, qreal top) const
{
    const QFontMetricsF name = CardText::metrics(m_device, m_name);
    const QFontMetricsF value = CardText::metrics(m_device, m_value);
    const qreal left = m_measures.sidePadding();
    const qreal ascent = std::max(name.ascent(), value.ascent());
    qreal y = top;
    for (const Row &row : m_rows) {
        setOpacity(painter, row.progress);
        const qreal baseline = y + ascent;
        const qreal valueWidth = CardText::width(m_device, m_value, row.value, Digits::Tabular);
        const QString shownName = CardText::elided(m_device, m_name, row.name, m_width - valueWidth - 8);
        painter.setPen(m_palette.ink);
        if (m_mirrored) {
            setOpacity(painter, row.progress * 0.75);
            CardText::draw(painter, m_value, QPointF(left, baseline), row.value, Digits::Tabular);
            setOpacity(painter, row.progress);
            CardText::draw(painter, m_name,
                QPointF(left + m_width - name.horizontalAdvance(shownName), baseline), shownName);
        } else {
            CardText::draw(painter, m_name, QPointF(left, baseline), shownName);
            CardText::draw(
                painter, m_value, QPointF(left + m_width - valueWidth, baseline), row.value, Digits::Tabular);
        }
        const qreal height = rowHeight();
        if (m_bars) {
            const QRectF track(left, y + height - barHeight, m_width, barHeight);
            painter.setPen(Qt::NoPen);
            painter.setBrush(m_palette.faint);
            painter.drawRoundedRect(track, barHeight / 2, barHeight / 2);
            const qreal filled = row.progress * m_width * row.share;
            if (filled > 0) {
                painter.setBrush(m_palette.accent);
                painter.drawRoundedRect(QRectF(track.topLeft(), QSizeF(filled, barHeight)),
                    std::min(barHeight, filled) / 2, barHeight / 2);
            }
            painter.setBrush(Qt::NoBrush);
        }
        y += height + m_measures.rowSpacing();
    }
    setOpacity(painter, 1);
}

} // namespace

WrappedCardView::WrappedCardView(QWidget *parent)
    : QWidget(parent)
{ }

void WrappedCardView::setContent(const Content &content)
{
    m_content = content;
    updateGeometry();
    update();
}

QSize WrappedCardView::sizeHint() const
{
    return size(m_content.shape()).toSize();
}

QSizeF WrappedCardView::size(WrappedSettings::Format format)
{
    return format == Format::Story ? QSizeF(360, 640) : QSizeF(360, 360);
}

void WrappedCardView::paint(QPainter &painter, const Content &content)
{
    Layout(painter.device(), content).paint(painter);
}

QImage WrappedCardView::render(const Content &content, qreal scale)
{
    const QSize pixels = (size(content.shape()) * scale).toSize();
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paint(painter, content);
    return image;
}

QString WrappedCardView::shownBig(const Content &content)
{
    const Wrapped::Card &card = content.card;
    if (card.count && content.progress < 1) {
        const double p = std::max(content.progress, 0.0);
        const double eased = 1 - std::pow(1 - p, 3);
        return QLocale().toString(qint64(std::round(eased * *card.count)));
    }
    return content.settings.named(card.big, content.wrapped.people);
}

double WrappedCardView::rowProgress(double progress, int index, int count)
{
    return std::clamp(progress * (count + 1) - index, 0.0, 1.0);
}

void WrappedCardView::paintEvent(QPaintEvent *)
{
    // Fitted into the widget, keeping its shape, centred.
    const QSizeF card = size(m_content.shape());
    const qreal scale = std::min(width() / card.width(), height() / card.height());
    QPainter painter(this);
    painter.translate((width() - card.width() * scale) / 2, (height() - card.height() * scale) / 2);
    painter.scale(scale, scale);
    paint(painter, m_content);
}
