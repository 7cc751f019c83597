#include "pinpages.h"

#include <QLocale>
#include <limits>

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

bool honoured(int asked, int natural)
{
    return asked == natural || added(asked, natural) > 0;
}

std::optional<Moved> displaced(int shift, const QList<Placed> &later)
{
    qint64 carried = shift;
    for (const Placed &pin : later) {
        if (carried <= 0)
            break;
        const qint64 natural = pin.natural + carried;
        const qint64 before = pin.natural + added(pin.page, pin.natural);
        const bool stays = natural <= pin.page && pin.page - natural <= most;
        const qint64 after = stays ? pin.page : natural;
        if (before == pin.page && !stays)
            return Moved { pin.page, int(std::min<qint64>(after, std::numeric_limits<int>::max())) };
        carried = after - before;
    }
    return std::nullopt;
}

QString movedText(const Moved &moved)
{
    return QStringLiteral("The pin on page %1 can't stay there: it would move to page %2.")
        .arg(moved.page)
        .arg(moved.to);
}

} // namespace PinPages
