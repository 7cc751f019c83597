#include "color.h"

#include <algorithm>

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

namespace Color {

QColor brand(Appearance appearance)
{
    if (appearance == Appearance::Dark)
        return QColor::fromRgbF(0.9f, 0.7f, 0.68f, 1.0f);
    return QColor::fromRgbF(0.42f, 0.12f, 0.14f, 1.0f);
}

std::optional<QColor> fromHex(const QString &hex)
{
    if (hex.size() != 7 || !hex.startsWith(QLatin1Char('#')))
        return std::nullopt;
    int rgb = 0;
    for (const QChar c : QStringView(hex).mid(1)) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        rgb = rgb * 16 + digit;
    }
    return QColor::fromRgb((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

QString hex(const QColor &color)
{
    const QColor rgb = color.isValid() ? color.toRgb() : QColor(Qt::black);
    // Truncated, not rounded: a colour read from "#rrggbb" comes back as the
    // same text.
    const auto channel = [](float value) { return std::clamp(int(value * 255), 0, 255); };
    return QStringLiteral("#%1%2%3")
        .arg(channel(rgb.redF()), 2, 16, QLatin1Char('0'))
        .arg(channel(rgb.greenF()), 2, 16, QLatin1Char('0'))
        .arg(channel(rgb.blueF()), 2, 16, QLatin1Char('0'));
}

} // namespace Color
