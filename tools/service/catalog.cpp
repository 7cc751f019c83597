#include "catalog.h"

#include <QJsonArray>
#include <cmath>

namespace Catalog {

namespace {

QJsonObject binding(const char *id, const char *name, const char *detail, int price, int extraVolume,
    const char *status = nullptr)
{
    QJsonObject object { { QStringLiteral("id"), QLatin1String(id) },
        { QStringLiteral("name"), QLatin1String(name) }, { QStringLiteral("detail"), QLatin1String(detail) },
        { QStringLiteral("price"), price }, { QStringLiteral("extraVolume"), extraVolume } };
    if (status)
        object.insert(QStringLiteral("status"), QLatin1String(status));
    return object;
}

QJsonObject shipping(const char *id, const char *name, int price, int fastest, int slowest)
{
    return { { QStringLiteral("id"), QLatin1String(id) }, { QStringLiteral("name"), QLatin1String(name) },
        { QStringLiteral("price"), price }, { QStringLiteral("days"), QJsonArray { fastest, slowest } } };
}

QJsonObject addon(const char *id, const char *group, const char *name, const char *detail, int price,
    const char *status, QJsonArray bands = {}, const char *needs = nullptr)
{
    QJsonObject object { { QStringLiteral("id"), QLatin1String(id) },
        { QStringLiteral("group"), QLatin1String(group) }, { QStringLiteral("name"), QLatin1String(name) },
        { QStringLiteral("detail"), QLatin1String(detail) }, { QStringLiteral("price"), price },
        { QStringLiteral("status"), QLatin1String(status) } };
    if (!bands.isEmpty())
        object.insert(QStringLiteral("priceBands"), bands);
    if (needs)
        object.insert(QStringLiteral("requires"), QLatin1String(needs));
    return object;
}

QJsonObject find(const QString &list, const QString &id)
{
    for (const QJsonValue &entry : priceList().value(list).toArray()) {
        if (entry.toObject().value(QStringLiteral("id")).toString() == id)
            return entry.toObject();
    }
    return {};
}

} // namespace

QJsonObject priceList()
{
    static const QJsonObject list {
        { QStringLiteral("currency"), QStringLiteral("USD") },
        { QStringLiteral("pagesPerVolume"), pagesPerVolume },
        { QStringLiteral("bindings"),
            QJsonArray { binding("paperback", "Paperback", "Soft cover, sewn and glued like a novel", 39, 29),
                binding("hardcover", "Hardcover", "Cloth boards with a printed jacket", 59, 45),
                binding("layflat", "Lay-flat", "Opens flat, on thick photo paper", 129, 99, "soon") } },
        { QStringLiteral("shipping"),
            QJsonArray { shipping("economy", "Economy", 6, 7, 12), shipping("standard", "Standard", 10, 4, 7),
                shipping("express", "Express", 25, 2, 3) } },
        { QStringLiteral("included"),
            QJsonArray { QStringLiteral("Every message in the range"), QStringLiteral("A dedication page"),
                QStringLiteral("Printed and bound to order") } },
        // Listed under the groups the book's page shows ("print", "digital",
        // "made"), with one of each kind a shop has: banded, flat, one that
        // needs another, one not on offer yet, and one outside every group.
        { QStringLiteral("addons"),
            QJsonArray {
                addon("colour", "print", "Colour pages", "Photos, stickers and emoji printed in colour", 0,
                    "available",
                    QJsonArray { QJsonArray { 200, 9 }, QJsonArray { 400, 15 }, QJsonArray { 780, 24 } }),
                addon("colour-coding", "print", "Colour-coded names", "Each of you in a colour of your own",
                    5, "available", {}, "colour"),
                addon("voice-notes", "digital", "Voice notes",
                    "A code beside each voice message, to hear it again", 9, "soon"),
                addon("moments", "made", "Moment prints", "A loose print of each special day you mark", 12,
                    "available"),
                addon("moment-poster", "made", "Moment poster", "One day's messages as a poster", 25, "soon"),
                addon("gift-box", "extras", "Gift box", "A keepsake box with a ribbon", 15, "available") } },
    };
    return list;
}

std::optional<QString> problemWith(const QString &binding, const QString &shipping, const QStringList &addons)
{
    const QJsonObject chosen = find(QStringLiteral("bindings"), binding);
    if (chosen.isEmpty())
        return QStringLiteral("There is no binding \"%1\".").arg(binding);
    if (chosen.contains(QStringLiteral("status")))
        return QStringLiteral("%1 isn't available yet.").arg(chosen.value(QStringLiteral("name")).toString());
    if (find(QStringLiteral("shipping"), shipping).isEmpty())
        return QStringLiteral("There is no shipping option \"%1\".").arg(shipping);
    for (const QString &id : addons) {
        const QJsonObject extra = find(QStringLiteral("addons"), id);
        if (extra.isEmpty())
            return QStringLiteral("There is no add-on \"%1\".").arg(id);
        if (extra.value(QStringLiteral("status")).toString() != QLatin1String("available"))
            return QStringLiteral("%1 isn't available yet.")
                .arg(extra.value(QStringLiteral("name")).toString());
        const QString needed = extra.value(QStringLiteral("requires")).toString();
        if (!needed.isEmpty() && !addons.contains(needed))
            return QStringLiteral("%1 needs %2.").arg(extra.value(QStringLiteral("name")).toString(), needed);
    }
    return std::nullopt;
}

qint64 book(const QString &binding, const QStringList &addons, const QList<int> &volumePages)
{
    const qint64 volumes = std::max<qint64>(1, volumePages.size());
    qint64 pages = 0;
    for (int count : volumePages)
        pages += count;
    const QJsonObject chosen = find(QStringLiteral("bindings"), binding);
    qint64 sum = chosen.value(QStringLiteral("price")).toInteger()
        + (volumes - 1) * chosen.value(QStringLiteral("extraVolume")).toInteger();
    for (const QString &id : addons) {
        const QJsonObject extra = find(QStringLiteral("addons"), id);
        const QJsonArray bands = extra.value(QStringLiteral("priceBands")).toArray();
        if (bands.isEmpty()) {
            sum += extra.value(QStringLiteral("price")).toInteger();
            continue;
        }
        const double perVolume = double(pages) / double(volumes);
        QJsonArray band = bands.last().toArray();
        for (const QJsonValue &candidate : bands) {
            if (candidate.toArray().at(0).toDouble() >= perVolume) {
                band = candidate.toArray();
                break;
            }
        }
        sum += band.at(1).toInteger() * volumes;
    }
    return sum;
}

qint64 shippingPrice(const QString &shipping)
{
    return find(QStringLiteral("shipping"), shipping).value(QStringLiteral("price")).toInteger();
}

QString dollars(qint64 amount)
{
    return QStringLiteral("$%1").arg(amount);
}

QString cents(qint64 amount)
{
    if (amount % 100 == 0)
        return dollars(amount / 100);
    return QStringLiteral("$%1.%2").arg(amount / 100).arg(amount % 100, 2, 10, QLatin1Char('0'));
}

QList<Gift> startingGifts()
{
    return {
        { QStringLiteral("GIFT-FULL-2024"), 1000000, QStringLiteral("Sam"), QStringLiteral("Alex") },
        { QStringLiteral("GIFT-2500"), 2500, QStringLiteral("Sam"), QStringLiteral("Grandma") },
        { QStringLiteral("GIFT-4200"), 4200, QStringLiteral("Sam"), QStringLiteral("Jo") },
        { QStringLiteral("GIFT-SPENT"), 0, QStringLiteral("Sam"), QStringLiteral("Alex") },
    };
}

} // namespace Catalog
