#pragma once

#include <QColor>
#include <QString>
#include <optional>

// Colours the screens share, and the "#rrggbb" colours of the book document.
namespace Color {

// The appearance a colour is drawn in. The UI derives it from the palette's
// window lightness; Unknown is drawn like Light.
enum class Appearance { Dark, Light, Unknown };

// The brand colour in its variant for the appearance.
QColor brand(Appearance appearance);

// "#" and exactly six hexadecimal digits, in either case; anything else is
// no colour.
std::optional<QColor> fromHex(const QString &hex);

// The inverse of fromHex: "#" and six lower-case digits of the colour in
// sRGB, each channel scaled to 255 and truncated; black for a colour that
// can't be expressed in sRGB.
QString hex(const QColor &color);

} // namespace Color
