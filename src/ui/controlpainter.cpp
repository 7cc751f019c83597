#include "controlpainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <cmath>

namespace ControlPainter {

namespace {

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(alpha);
    return color;
}

// A one-pixel line drawn on the pixel grid: half a pixel in from the edge.
QRectF hairlineBox(const QRectF &rect)
{
    return rect.adjusted(0.5, 0.5, -0.5, -0.5);
}

} // namespace

Colors colors(const QPalette &palette)
{
    Colors c;
    c.dark = palette.color(QPalette::Window).lightnessF() < 0.5;
    c.text = palette.color(QPalette::ButtonText);
    c.accent = palette.color(QPalette::Highlight);
    c.onAccent = palette.color(QPalette::HighlightedText);
    c.focus = withAlpha(c.accent, 0.75);
    if (c.dark) {
        // Fields are lit above the window and the cards on it: sunk below
        // them they read as holes.
        c.field = palette.color(QPalette::Window).lighter(135);
        c.face = palette.color(QPalette::Button);
        c.hover = c.face.lighter(115);
        c.pressed = c.face.lighter(135);
        c.edge = QColor(255, 255, 255, 0x24);
        // A step above the window, as a raised sheet of paper is lighter
        // in the dark; its outline is what keeps it off the window.
        c.popup = palette.color(QPalette::Window).lighter(128);
        c.popupEdge = QColor(255, 255, 255, 0x30);
        c.separator = QColor(255, 255, 255, 0x1c);
    } else {
        c.field = palette.color(QPalette::Base);
        c.face = palette.color(QPalette::Base);
        c.hover = QColor(0xf4, 0xf4, 0xf3);
        c.pressed = QColor(0xe6, 0xe6, 0xe4);
        c.edge = QColor(0, 0, 0, 0x2a);
        c.popup = palette.color(QPalette::Base);
        c.popupEdge = QColor(0, 0, 0, 0x38);
        c.separator = QColor(0, 0, 0, 0x18);
    }
    return c;
}

void focusRing(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(colors.focus, 1));
    painter->drawRoundedRect(hairlineBox(rect), radius, radius);
    painter->setPen(QPen(withAlpha(colors.accent, 0.3), 1));
    painter->drawRoundedRect(hairlineBox(rect).adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    painter->restore();
}

void focusHalo(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    // Off the shape by a hair, so a chosen ring on the edge stays a line of
    // its own.
    const qreal middle = 1 + haloWidth / 2 - 0.5;
    painter->setPen(QPen(withAlpha(colors.accent, colors.dark ? 0.6 : 0.5), haloWidth - 1));
    painter->drawRoundedRect(
        rect.adjusted(-middle, -middle, middle, middle), radius + middle, radius + middle);
    painter->restore();
}

void bezel(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors, Touch touch,
    bool enabled, bool focused)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QColor fill = colors.face;
    if (enabled && touch == Touch::Hover)
        fill = colors.hover;
    else if (enabled && touch == Touch::Pressed)
        fill = colors.pressed;
    if (!enabled)
        painter->setOpacity(0.6);
    painter->setPen(QPen(colors.edge, 1));
    painter->setBrush(fill);
    painter->drawRoundedRect(hairlineBox(rect), radius, radius);
    painter->restore();
    if (focused && enabled)
        focusRing(painter, rect, radius, colors);
}

void accentBezel(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors, Touch touch,
    bool enabled, bool focused)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QColor fill = colors.accent;
    if (!enabled)
        fill = withAlpha(colors.text, 0.12);
    else if (touch == Touch::Hover)
        fill = colors.accent.lighter(110);
    else if (touch == Touch::Pressed)
        fill = colors.accent.darker(115);
    painter->setPen(Qt::NoPen);
    painter->setBrush(fill);
    painter->drawRoundedRect(rect, radius, radius);
    if (focused && enabled) {
        // A ring of the fill's own colour would vanish into it: the
        // words' colour inside the edge shows instead.
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(withAlpha(colors.onAccent, 0.55), 1));
        painter->drawRoundedRect(hairlineBox(rect).adjusted(1.5, 1.5, -1.5, -1.5), radius - 2, radius - 2);
    }
    painter->restore();
}

void onBezel(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors, Touch touch,
    bool enabled, bool focused)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!enabled)
        painter->setOpacity(0.6);
    const qreal wash = touch == Touch::Pressed ? 0.24 : touch == Touch::Hover ? 0.18 : 0.14;
    painter->setPen(QPen(colors.accent, 1));
    painter->setBrush(withAlpha(colors.accent, wash));
    painter->drawRoundedRect(hairlineBox(rect), radius, radius);
    painter->restore();
    if (focused && enabled)
        focusRing(painter, rect, radius, colors);
}

void field(QPainter *painter, const QRectF &rect, const Colors &colors, bool enabled, bool focused)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!enabled)
        painter->setOpacity(0.6);
    painter->setPen(QPen(colors.edge, 1));
    painter->setBrush(colors.field);
    painter->drawRoundedRect(hairlineBox(rect), fieldRadius, fieldRadius);
    painter->restore();
    if (focused && enabled)
        focusRing(painter, rect, fieldRadius, colors);
}

void chevron(QPainter *painter, const QRectF &rect, int arrow, qreal size, const QColor &color)
{
    // Drawn as a wide, shallow V, the way symbol chevrons are, rather than
    // as a filled triangle.
    const qreal half = size / 2;
    const qreal depth = size / 4;
    const QPointF c = rect.center();
    QPolygonF v;
    switch (arrow) {
    case Qt::UpArrow:
        v << QPointF(c.x() - half, c.y() + depth) << QPointF(c.x(), c.y() - depth)
          << QPointF(c.x() + half, c.y() + depth);
        break;
    case Qt::LeftArrow:
        v << QPointF(c.x() + depth, c.y() - half) << QPointF(c.x() - depth, c.y())
          << QPointF(c.x() + depth, c.y() + half);
        break;
    case Qt::RightArrow:
        v << QPointF(c.x() - depth, c.y() - half) << QPointF(c.x() + depth, c.y())
          << QPointF(c.x() - depth, c.y() + half);
        break;
    default:
        v << QPointF(c.x() - half, c.y() - depth) << QPointF(c.x(), c.y() + depth)
          << QPointF(c.x() + half, c.y() - depth);
        break;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(color, std::max(1.25, size / 6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->drawPolyline(v);
    painter->restore();
}

void tick(QPainter *painter, const QRectF &rect, const QColor &color, qreal width)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPolygonF mark { QPointF(rect.left() + rect.width() * 0.24, rect.top() + rect.height() * 0.52),
        QPointF(rect.left() + rect.width() * 0.43, rect.top() + rect.height() * 0.71),
        QPointF(rect.left() + rect.width() * 0.77, rect.top() + rect.height() * 0.31) };
    painter->drawPolyline(mark);
    painter->restore();
}

void popupPanel(QPainter *painter, const QRectF &rect, const Colors &colors)
{
    painter->fillRect(rect, colors.popup);
    outline(painter, rect, colors.popupEdge);
}

void outline(QPainter *painter, const QRectF &rect, const QColor &color)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(color, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(hairlineBox(rect));
    painter->restore();
}

void wash(QPainter *painter, const QRectF &rect, qreal radius, const QColor &color)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(color);
    painter->drawRoundedRect(rect, radius, radius);
    painter->restore();
}

} // namespace ControlPainter
