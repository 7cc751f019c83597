#pragma once

#include "wrappedsettings.h"

#include <QRectF>
#include <QString>
#include <optional>

class QPainter;
class QPaintDevice;

// The foot of every card and of the video's months scene: the ribbon, the
// site's name, the user's code and the "#ad" mark. Its sizes follow the
// settings' format, not the shape of the card it sits on.
namespace WrappedFooter {

// The site's name as the footer prints it.
QString siteName();

qreal height(const QPaintDevice *device, const WrappedSettings &settings);
// Draws the footer across rect, centred in its height.
void paint(QPainter &painter, const QRectF &rect, const WrappedSettings &settings,
    const std::optional<QString> &code);

} // namespace WrappedFooter
