#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What the stand-in sells: its price list (every amount whole dollars, as
// the app reckons with them) and the figures of its rewards. Gift balances
// alone are cents.
namespace Catalog {

inline constexpr int pagesPerVolume = 780;
inline constexpr int sharePercent = 15;
inline constexpr int referralPercent = 10;
inline constexpr int viralViews = 100000;
inline constexpr int viralLikes = 10000;

QJsonObject priceList();

// Why an order's choices cannot be sold, or nullopt when they can.
std::optional<QString> problemWith(
    const QString &binding, const QString &shipping, const QStringList &addons);

// The price in whole dollars of a well-formed order.
qint64 total(const QString &binding, const QString &shipping, const QStringList &addons,
    const QList<int> &volumePages);

// "$39".
QString dollars(qint64 amount);

struct Gift
{
    QString code;
    qint64 balanceCents;
    QString to;
    QString from;
};

// Cards that exist from the first start: one that pays for any book, one
// that pays part, one already spent.
QList<Gift> startingGifts();

} // namespace Catalog
