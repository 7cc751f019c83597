#pragma once

#include <QPainterPath>
#include <QRectF>

// The bookmark mark of the cards' footer and the video's last frame: a
// ribbon with a notch in its lower end, centred in a square rectangle.
namespace Ribbon {

QPainterPath path(const QRectF &rect);

} // namespace Ribbon
