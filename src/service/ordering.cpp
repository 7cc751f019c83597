#include "ordering.h"

#include "coverart.h"
#include "model/text.h"
#include "pricing.h"
#include "wirejson.h"

namespace Ordering {

namespace {

QUrl urlFrom(const QJsonObject &object, QAnyStringView key)
{
    const QString text = Json::requiredString(object, key);
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        throw JsonError(QStringLiteral("not a valid address"), key.toString());
    return url;
}

// Tokens travel only where they cannot be read on the way.
void requireSecure(const QUrl &url)
{
    if (!Http::isSecure(url))
        throw Failure(QStringLiteral("The order didn't go through (the service's address isn't secure). "
                                     "Nothing was charged."));
}

} // namespace

bool Address::complete() const
{
    for (const QString *field : { &name, &line1, &city, &state, &postal_code }) {
        if (Text::isBlank(*field))
            return false;
    }
    return true;
}

QByteArray Address::toJsonBytes() const
{
    return WireJson::object({ { QStringLiteral("name"), WireJson::string(name) },
        { QStringLiteral("line1"), WireJson::string(line1) },
        { QStringLiteral("line2"), WireJson::string(line2) },
        { QStringLiteral("city"), WireJson::string(city) },
        { QStringLiteral("state"), WireJson::string(state) },
        { QStringLiteral("postal_code"), WireJson::string(postal_code) },
        { QStringLiteral("phone"), WireJson::string(phone) },
        { QStringLiteral("country"), WireJson::string(country) } });
}

Gift Gift::fromJson(const QJsonObject &object)
{
    return { Json::requiredBool(object, "valid"), Json::optionalInt(object, "balanceCents"),
        Json::optionalString(object, "to"), Json::optionalString(object, "from") };
}

Created Created::fromJson(const QJsonObject &object)
{
    Created created;
    created.id = Json::requiredString(object, "id");
    created.token = Json::requiredString(object, "token");
    created.mode = Json::requiredString(object, "mode");
    created.files = Json::requiredRecords(object, "files", [](const QJsonObject &file) {
        return File { Json::requiredString(file, "name"), urlFrom(file, "url") };
    });
    created.covers = Json::optionalRecords(object, "covers", [](const QJsonObject &cover) {
        const auto number = [&](QAnyStringView key, bool required) -> std::optional<double> {
            const QJsonValue value = cover.value(key.toString());
            if ((value.isUndefined() || value.isNull()) && !required)
                return std::nullopt;
            if (!value.isDouble())
                throw JsonError(QStringLiteral("expected a number"), key.toString());
            return value.toDouble();
        };
        return Cover { Json::requiredInt(cover, "volume"), Json::requiredString(cover, "printer"),
            *number("spine", true), number("wrap", false) };
    });
    return created;
}

Submitted Submitted::fromJson(const QJsonObject &object)
{
    Submitted submitted;
    if (object.contains(QStringLiteral("checkoutUrl"))
        && !object.value(QStringLiteral("checkoutUrl")).isNull())
        submitted.checkoutUrl = urlFrom(object, "checkoutUrl");
    submitted.concierge = Json::optionalBool(object, "concierge");
    submitted.message = Json::optionalString(object, "message");
    return submitted;
}

Failure::Failure(const QString &message)
    : std::runtime_error(message.toStdString())
{ }

void check(const Http::Reply &reply)
{
    if (reply.isSuccess())
        return;
    const std::optional<QJsonObject> object = Http::stringObject(reply.body);
    if (object && object->contains(QStringLiteral("error")))
        throw Failure(object->value(QStringLiteral("error")).toString());
    throw Failure(QStringLiteral("The order didn't go through (%1). Nothing was charged.").arg(reply.status));
}

QCoro::Task<QString> mode()
{
    Http::Request request;
    request.url = Pricing::address("api/ordering");
    Http::Reply reply;
    try {
        reply = co_await Http::send(request);
    } catch (const Http::TransportError &) {
        co_return QStringLiteral("off");
    }
    const std::optional<QJsonObject> object = Http::stringObject(reply.body);
    if (!object || !object->contains(QStringLiteral("mode")))
        co_return QStringLiteral("off");
    co_return object->value(QStringLiteral("mode")).toString();
}

QCoro::Task<std::optional<Gift>> gift(QString code)
{
    const QString trimmed = Text::trimmedSpaces(code);
    if (trimmed.isEmpty())
        co_return std::nullopt;
    Http::Request request;
    request.url = Pricing::address("api/gifts/" + Pricing::segmentEncoded(trimmed));
    try {
        const Http::Reply reply = co_await Http::send(request);
        co_return Gift::fromJson(Json::parseObject(reply.body));
    } catch (const Http::TransportError &) {
    } catch (const JsonError &) { }
    co_return std::nullopt;
}

QCoro::Task<Created> create(QString title, Order order, QList<int> volumePages, std::optional<QString> email,
    std::optional<QString> giftCode, std::optional<QString> discountCode)
{
    QList<QByteArray> pages;
    for (int count : volumePages)
        pages.append(QByteArray::number(count));
    QList<QByteArray> addons;
    for (const QString &addon : order.addons.value_or(QStringList()))
        addons.append(WireJson::string(addon));
    QList<std::pair<QString, QByteArray>> members {
        { QStringLiteral("title"), WireJson::string(title) },
        { QStringLiteral("binding"), WireJson::string(order.binding) },
        { QStringLiteral("shipping"), WireJson::string(order.shipping) },
        { QStringLiteral("addons"), WireJson::array(addons) },
        { QStringLiteral("volumePages"), WireJson::array(pages) },
    };
    if (email)
        members.append({ QStringLiteral("email"), WireJson::string(*email) });
    if (giftCode && !giftCode->isEmpty())
        members.append({ QStringLiteral("giftCode"), WireJson::string(*giftCode) });
    if (discountCode && !discountCode->isEmpty())
        members.append({ QStringLiteral("discountCode"), WireJson::string(*discountCode) });
    members.append({ QStringLiteral("install"), WireJson::string(CoverArt::install()) });

    Http::Request request;
    request.method = Http::Method::Post;
    request.url = Pricing::address("api/orders");
    request.headers = { { "content-type", "application/json" } };
    request.body = WireJson::object(members);
    co_return co_await send<Created>(std::move(request));
}

QCoro::Task<void> upload(QString file, QUrl destination, QString token)
{
    requireSecure(destination);
    Http::Request request;
    request.method = Http::Method::Put;
    request.url = destination;
    request.headers
        = { { "authorization", "Bearer " + token.toUtf8() }, { "content-type", "application/pdf" } };
    request.bodyFile = file;
    check(co_await Http::send(std::move(request)));
}

QByteArray submitBody(const std::optional<QString> &email, const std::optional<Address> &address)
{
    QList<std::pair<QString, QByteArray>> members;
    if (email)
        members.append({ QStringLiteral("email"), WireJson::string(*email) });
    if (address)
        members.append({ QStringLiteral("address"), address->toJsonBytes() });
    return WireJson::object(members);
}

QCoro::Task<Submitted> submit(
    QString id, QString token, std::optional<QString> email, std::optional<Address> address)
{
    Http::Request request;
    request.method = Http::Method::Post;
    request.url = Pricing::address("api/orders/" + Pricing::pathEncoded(id) + "/submit");
    requireSecure(request.url);
    request.headers
        = { { "authorization", "Bearer " + token.toUtf8() }, { "content-type", "application/json" } };
    request.body = submitBody(email, address);
    co_return co_await send<Submitted>(std::move(request));
}

} // namespace Ordering
