#include "ribbon.h"

#include <algorithm>

namespace Ribbon {

QPainterPath path(const QRectF &rect)
{
    // Points on a 32-unit grid.
    const qreal s = std::min(rect.width(), rect.height()) / 32;
    const auto at = [&](qreal x, qreal y) { return QPointF(rect.x() + x * s, rect.y() + y * s); };
    QPainterPath ribbon;
    ribbon.moveTo(at(10, 3));
    ribbon.lineTo(at(22, 3));
    ribbon.lineTo(at(22, 29));
    ribbon.lineTo(at(16, 23.4));
    ribbon.lineTo(at(10, 29));
    ribbon.closeSubpath();
    return ribbon;
}

} // namespace Ribbon
