#pragma once

#include "http.h"
#include "model/json.h"
#include "model/order.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>
#include <optional>
#include <qcorotask.h>
#include <stdexcept>

// Placing a printed order with the service: the ordering mode, gift cards,
// creating an order, uploading its print files and submitting it. No state
// is kept between calls.
namespace Ordering {

// The postal address sent when a gift card pays for everything.
struct Address
{
    QString name;
    QString line1;
    QString line2;
    QString city;
    QString state;
    // Named as on the wire.
    QString postal_code;
    QString phone;
    QString country;

    // Name, first line, city, state and postal code each hold more than
    // spaces and tabs.
    bool complete() const;
    // All eight keys in the order above, empty strings included.
    QByteArray toJsonBytes() const;
    friend bool operator==(const Address &, const Address &) = default;
};

struct Gift
{
    bool valid = false;
    std::optional<int> balanceCents;
    std::optional<QString> to;
    std::optional<QString> from;

    static Gift fromJson(const QJsonObject &object);
};

// The service's answer to a new order.
struct Created
{
    struct File
    {
        QString name;
        // Where this print file is to be uploaded.
        QUrl url;
    };

    struct Cover
    {
        int volume = 0;
        QString printer;
        double spine = 0;
        std::optional<double> wrap;
    };

    QString id;
    // The bearer token of the uploads and the submit.
    QString token;
    QString mode;
    QList<File> files;
    std::optional<QList<Cover>> covers;

    static Created fromJson(const QJsonObject &object);
};

struct Submitted
{
    std::optional<QUrl> checkoutUrl;
    std::optional<bool> concierge;
    std::optional<QString> message;

    static Submitted fromJson(const QJsonObject &object);
};

// An unsuccessful reply; what() is the sentence for the user.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

// Throws Failure unless the reply's status is from 200 to 299: the reply's
// "error" when it is a JSON object of strings holding one, else "The order
// didn't go through (<status>). Nothing was charged.".
void check(const Http::Reply &reply);

// Sends the request, checks the reply and reads it as Record.
template<typename Record> QCoro::Task<Record> send(Http::Request request)
{
    const Http::Reply reply = co_await Http::send(std::move(request));
    check(reply);
    co_return Record::fromJson(Json::parseObject(reply.body));
}

// The service's ordering mode ("stripe", "off", ...); "off" when it cannot
// be read.
QCoro::Task<QString> mode();
// The service's verdict on a gift card code, or nullopt when there is no
// code or no readable answer.
QCoro::Task<std::optional<Gift>> gift(QString code);
QCoro::Task<Created> create(QString title, Order order, QList<int> volumePages, std::optional<QString> email,
    std::optional<QString> giftCode, std::optional<QString> discountCode);
// PUTs the PDF at file to destination, streamed from disk.
QCoro::Task<void> upload(QString file, QUrl destination, QString token);
QCoro::Task<Submitted> submit(
    QString id, QString token, std::optional<QString> email, std::optional<Address> address);

// The body of submit(), as it goes on the wire.
QByteArray submitBody(const std::optional<QString> &email, const std::optional<Address> &address);

} // namespace Ordering
