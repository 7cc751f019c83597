#include "bookhome.h"

namespace BookHome {

namespace {

constexpr double panel = 5.0;
constexpr double bleed = 0.125;

} // namespace

double spineWidth(int pages)
{
    return pages / 444.0 + 0.06;
}

QRect frontPanelRect(QSize sheet, int pages)
{
    const int width = sheet.width();
    const int height = sheet.height();
    const double spine = spineWidth(pages);
    // The additions in this order, so every caller gets the same pixels.
    const double spread = spine + 2 * panel + 2 * bleed;
    const int x = int((spine + panel + bleed) * width / spread);
    const int b = int(width * bleed / spread);
    return QRect(x, b, width - x - b, height - 2 * b).intersected(QRect(QPoint(0, 0), sheet));
}

std::optional<QImage> frontPanel(const QString &picture, int pages)
{
    const QImage sheet(picture);
    if (sheet.isNull())
        return std::nullopt;
    const QRect cut = frontPanelRect(sheet.size(), pages);
    if (cut.isEmpty())
        return std::nullopt;
    return sheet.copy(cut);
}

} // namespace BookHome
