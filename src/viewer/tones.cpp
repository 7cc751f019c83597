#include "tones.h"

#include "ui/style.h"

namespace Tones {

QColor orange()
{
    return Style::appearance() == Color::Appearance::Dark ? QColor(0xff, 0x9f, 0x0a)
                                                          : QColor(0xd9, 0x6a, 0x00);
}

QColor highlight()
{
    QColor yellow(0xff, 0xd6, 0x0a);
    yellow.setAlphaF(0.35);
    return yellow;
}

} // namespace Tones
