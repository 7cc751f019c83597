#include "tones.h"

#include "ui/style.h"

namespace Tones {

QColor highlight()
{
    QColor yellow(0xff, 0xd6, 0x0a);
    yellow.setAlphaF(0.35);
    return yellow;
}

} // namespace Tones
