#include "wrappedfooter.h"

#include "cardtext.h"
#include "ribbon.h"

#include <QPainter>

namespace WrappedFooter {

namespace {

constexpr qreal spacing = 7;

struct Faces
{
    qreal ribbon;
    QFont site;
    QFont code;
    QFont ad;
};

Faces faces(const QPaintDevice *device, const WrappedSettings &settings)
{
    const bool story = settings.format == WrappedSettings::Format::Story;
    const QString sans = WrappedSettings::sansFamily();
    return { story ? 18.0 : 15.0, CardText::font(device, settings.family(), story ? 17 : 14),
        CardText::font(device, sans, story ? 11 : 9.5, QFont::DemiBold, false, 1),
        CardText::font(device, sans, story ? 11 : 9.5, QFont::Bold) };
}

qreal textHeight(const QPaintDevice *device, const QFont &font)
{
    const QFontMetricsF m = CardText::metrics(device, font);
    return m.ascent() + m.descent();
}

// Draws text centred on the line y, from x; returns its width.
qreal drawCentred(QPainter &painter, const QFont &font, qreal x, qreal y, const QString &text)
{
    const QFontMetricsF m = CardText::metrics(painter.device(), font);
    CardText::draw(painter, font, QPointF(x, y - (m.ascent() + m.descent()) / 2 + m.ascent()), text);
    return m.horizontalAdvance(text);
}

} // namespace

QString siteName()
{
    return QStringLiteral(QUORVEL_SITE_HOST);
}

qreal height(const QPaintDevice *device, const WrappedSettings &settings)
{
    const Faces f = faces(device, settings);
    return std::max({ f.ribbon, textHeight(device, f.site), textHeight(device, f.ad) + 3 });
}

void paint(QPainter &painter, const QRectF &rect, const WrappedSettings &settings,
    const std::optional<QString> &code)
{
    const QPaintDevice *device = painter.device();
    const Faces f = faces(device, settings);
    const WrappedSettings::Palette palette = settings.palette();
    const qreal middle = rect.center().y();
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.accent);
    painter.drawPath(Ribbon::path(QRectF(rect.left(), middle - f.ribbon / 2, f.ribbon, f.ribbon)));
    painter.setPen(palette.ink);
    drawCentred(painter, f.site, rect.left() + f.ribbon + spacing, middle, siteName());

    qreal right = rect.right();
    if (settings.disclose) {
        const QString ad = QStringLiteral("#ad");
        const QRectF box(right - CardText::width(device, f.ad, ad) - 10,
            middle - textHeight(device, f.ad) / 2 - 1.5, CardText::width(device, f.ad, ad) + 10,
            textHeight(device, f.ad) + 3);
        drawCentred(painter, f.ad, box.left() + 5, middle, ad);
        QColor border = palette.ink;
        border.setAlphaF(0.6f);
        painter.setPen(QPen(border, 0.8));
        painter.setBrush(Qt::NoBrush);
        // Stroked inside its edge.
        painter.drawRoundedRect(box.adjusted(0.4, 0.4, -0.4, -0.4), 3, 3);
        painter.setPen(palette.ink);
        right = box.left() - spacing;
    }
    if (code) {
        const QString text = QStringLiteral("code ") + *code;
        drawCentred(painter, f.code, right - CardText::width(device, f.code, text), middle, text);
    }
    painter.restore();
}

} // namespace WrappedFooter
