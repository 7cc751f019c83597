#pragma once

#include <QColor>

// Colours the viewer adds to the shared ones, for the appearance in use.
namespace Tones {

// Behind a searched word: yellow at 35 %.
QColor highlight();

} // namespace Tones
