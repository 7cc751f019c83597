#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

class QPainter;

// A blurred shadow under a rounded rectangle, as the desktop draws under
// raised pictures. Drawn from a cached picture per size, so a widget can
// paint it on every frame of an animation.
namespace SoftShadow {

// Paints the shadow of shape (corner radius corner) moved by offset,
// blurred over radius pixels, in color (its alpha is the darkest it gets).
void paint(
    QPainter &painter, const QRectF &shape, qreal corner, qreal radius, QPointF offset, const QColor &color);

} // namespace SoftShadow
