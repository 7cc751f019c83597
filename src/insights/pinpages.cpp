#include "pinpages.h"

#include <QLocale>

namespace PinPages {

int added(int asked, int natural)
{
    const qint64 pages = qint64(asked) - qint64(natural);
    return pages >= 1 && pages <= most ? int(pages) : 0;
}

std::optional<QString> cost(int asked, int natural)
{
    const qint64 pages = qint64(asked) - qint64(natural);
    if (pages < 1)
        return std::nullopt;
    if (pages > most) {
        return QStringLiteral(
            "Page %1 is too far on: a pin adds at most %2 blank pages, so it stays on page %3.")
            .arg(asked)
            .arg(QLocale().toString(most))
            .arg(natural);
    }
    return QStringLiteral("Page %1 adds about %2 blank %3 before it.")
        .arg(asked)
        .arg(QLocale().toString(pages), pages == 1 ? QStringLiteral("page") : QStringLiteral("pages"));
}

} // namespace PinPages
