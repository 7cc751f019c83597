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
// The app announces the sharing reward as ten percent off ("10% off your
// book" on the Wrapped screen), whatever the answers say.
inline constexpr int sharePercent = 10;
inline constexpr int referralPercent = 10;
inline constexpr const char *welcomeCode = "WELCOME10";
// What the claim sheet names, so the Wrapped screen's strip and its sheet
// speak of one threshold.
inline constexpr int viralViews = 10000;
inline constexpr int viralLikes = 1000;

QJsonObject priceList();

// Why an order's choices cannot be sold, or nullopt when they can.
std::optional<QString> problemWith(
    const QString &binding, const QString &shipping, const QStringList &addons);

// The book of a well-formed order in whole dollars: its binding for every
// volume and its add-ons. A discount's percentage is taken off this.
qint64 book(const QString &binding, const QStringList &addons, const QList<int> &volumePages);
// The shipping of a well-formed order in whole dollars.
qint64 shippingPrice(const QString &shipping);

// "$39"; cents() writes "$51.90", and "$57" for whole dollars.
QString dollars(qint64 amount);
QString cents(qint64 amount);

struct Gift
{
    QString code;
    qint64 balanceCents;
    QString to;
    QString from;
};

// Cards that exist from the first start: one that pays for any book, one
// that pays part, one that pays for a paperback sent by economy only once a
// ten percent code is taken off, one already spent.
QList<Gift> startingGifts();

} // namespace Catalog
