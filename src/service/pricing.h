#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <limits>
#include <optional>
#include <qcorotask.h>

// The service's price list, fetched afresh whenever a screen needs it. Every
// amount in it is whole dollars; only gift balances and amounts a percentage
// made fractional are cents, and cents() shows those. Pricing also fixes where the service is: every request
// of the app is addressed from endpoint() by address().
struct Pricing
{
    struct Binding
    {
        QString id;
        QString name;
        QString detail;
        int price = 0;
        int extraVolume = 0;
        // Absent for a binding on offer; "soon" is shown but not orderable.
        std::optional<QString> status;

        static Binding fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const Binding &, const Binding &) = default;
    };

    struct Shipping
    {
        QString id;
        QString name;
        int price = 0;
        QList<int> days;

        static Shipping fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const Shipping &, const Shipping &) = default;
    };

    struct Addon
    {
        QString id;
        QString group;
        QString name;
        QString detail;
        int price = 0;
        // [most pages per volume, dollars per volume], ascending.
        std::optional<QList<QList<int>>> priceBands;
        // The JSON key "requires" (a C++ keyword): an add-on that must be
        // ordered with this one.
        std::optional<QString> requiredAddon;
        QString status;

        static Addon fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const Addon &, const Addon &) = default;
    };

    QString currency;
    int pagesPerVolume = 0;
    QList<Binding> bindings;
    QList<Shipping> shipping;
    QStringList included;
    QList<Addon> addons;

    // Strict. Also refuses a price band of fewer than two numbers: prices
    // could not be worked out from such a list. A page limit below 1 sets
    // no limit: the list is kept, and a book is one volume.
    static Pricing fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    friend bool operator==(const Pricing &, const Pricing &) = default;

    // The price list's address: $QUORVEL_API, else the built-in root, then
    // "/api/pricing"; formed once.
    static QUrl endpoint();
    // Points the whole client at another service (tests do).
    static void setEndpoint(const QUrl &endpoint);
    // The service root (endpoint() without its last two path components)
    // followed by encodedPath, which must be percent-encoded already.
    static QUrl address(const QByteArray &encodedPath);
    // text percent-encoded for a path: characters a path may not hold,
    // "%" among them; "/" stays a separator.
    static QByteArray pathEncoded(const QString &text);
    // text percent-encoded as one path segment: "/", "?", "#" and "%" too.
    static QByteArray segmentEncoded(const QString &text);

    // One GET of endpoint(); nullopt for anything but a status-200 reply
    // that reads as a price list.
    static QCoro::Task<std::optional<Pricing>> load();

    // The page limit of a list that sets none: more than any book has.
    static constexpr int unlimited = std::numeric_limits<int>::max();
    // The most pages a volume is planned with: pagesPerVolume, or
    // unlimited for a list whose limit is below 1.
    int pageLimit() const;
    // Volumes for a page count: at least 1, a new one after every
    // pageLimit() pages.
    int volumes(int pages) const;
    // Dollars for the binding with that id, or nullopt when there is none.
    std::optional<int> price(const QString &binding, int pages) const;
    // Dollars for the add-on: its flat price, or its band's price per volume.
    int price(const Addon &addon, int pages) const;
    // An amount of cents as "$12" or "$12.50".
    static QString cents(int amount);
};
