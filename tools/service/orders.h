#pragma once

#include "call.h"

#include <QJsonObject>
#include <QString>
#include <mutex>

class Store;

// The shop: price list, ordering mode, gift cards, orders, the upload and
// check of their print files, the submit, and a payment page of its own.
class Orders
{
public:
    Orders(Store &store, const QString &dataFolder, const QString &mode);

    void addRoutes(Routes &routes);

    QString mode() const;
    void setMode(const QString &mode);

    // An order as the admin interface shows it; empty when unknown.
    QJsonObject describe(const QString &id);

private:
    struct Placed
    {
        QString token;
        QString state;
        QList<int> volumePages;
        QString title;
        // Whole dollars, as the price list reckons it.
        qint64 total = 0;
        QString giftCode;
        QString discountCode;
        // What the discount code takes off the book, in cents.
        qint64 discountCents = 0;
        // What the gift card pays, in cents: counted on when the order is
        // made, taken off the card when it is submitted.
        qint64 giftCents = 0;

        // What is left to pay once the code and the card are taken off, in cents.
        qint64 dueCents() const { return total * 100 - discountCents - giftCents; }
    };

    void gift(Call &call);
    void create(Call &call);
    void upload(Call &call);
    void submit(Call &call);
    // Takes the order's card off its balance and notes its single-use code
    // as used, refusing when another order has spent either meanwhile.
    void spendCodes(const Placed &order);
    void payPage(Call &call);
    void pay(Call &call);

    // The order with that id, refusing with 404 when there is none and with
    // 401 when the call does not carry its token.
    Placed placed(Call &call, const QString &id, bool needsToken);
    static QStringList fileNames(const QList<int> &volumePages);

    Store &m_store;
    QString m_folder;
    mutable std::mutex m_mutex;
    QString m_mode;
};
