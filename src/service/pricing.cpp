#include "pricing.h"

#include "http.h"
#include "model/json.h"

#include <QJsonArray>
#include <QMutex>
#include <cmath>

namespace {

struct EndpointHolder
{
    QMutex mutex;
    std::optional<QUrl> url;
};

EndpointHolder &holder()
{
    static EndpointHolder instance;
    return instance;
}

// Apple's notion of removing a path's last component: "/a/b/" and "/a/b"
// both become "/a/".
QString withoutLastComponent(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral("/") : path.left(slash + 1);
}

QList<int> intList(const QJsonValue &value)
{
    return Json::mapArray(Json::toArray(value), [](const QJsonValue &v) { return Json::toInt(v); });
}

QJsonArray jsonArray(const QList<int> &numbers)
{
    QJsonArray array;
    for (int number : numbers)
        array.append(number);
    return array;
}

} // namespace

Pricing::Binding Pricing::Binding::fromJson(const QJsonObject &object)
{
    return { Json::requiredString(object, "id"), Json::requiredString(object, "name"),
        Json::requiredString(object, "detail"), Json::requiredInt(object, "price"),
        Json::requiredInt(object, "extraVolume"), Json::optionalString(object, "status") };
}

QJsonObject Pricing::Binding::toJson() const
{
    QJsonObject object { { QStringLiteral("id"), id }, { QStringLiteral("name"), name },
        { QStringLiteral("detail"), detail }, { QStringLiteral("price"), price },
        { QStringLiteral("extraVolume"), extraVolume } };
    Json::insertOptional(object, QStringLiteral("status"), status);
    return object;
}

Pricing::Shipping Pricing::Shipping::fromJson(const QJsonObject &object)
{
    return { Json::requiredString(object, "id"), Json::requiredString(object, "name"),
        Json::requiredInt(object, "price"),
        Json::within("days", [&] { return intList(Json::requiredArray(object, "days")); }) };
}

QJsonObject Pricing::Shipping::toJson() const
{
    return { { QStringLiteral("id"), id }, { QStringLiteral("name"), name },
        { QStringLiteral("price"), price }, { QStringLiteral("days"), jsonArray(days) } };
}

Pricing::Addon Pricing::Addon::fromJson(const QJsonObject &object)
{
    Addon addon;
    addon.id = Json::requiredString(object, "id");
    addon.group = Json::requiredString(object, "group");
    addon.name = Json::requiredString(object, "name");
    addon.detail = Json::requiredString(object, "detail");
    addon.price = Json::requiredInt(object, "price");
    if (const std::optional<QJsonArray> bands = Json::optionalArray(object, "priceBands")) {
        addon.priceBands = Json::within("priceBands", [&] {
            return Json::mapArray(*bands, [](const QJsonValue &value) {
                const QList<int> band = intList(value);
                if (band.size() < 2)
                    throw JsonError(QStringLiteral("a price band needs its page limit and its price"));
                return band;
            });
        });
    }
    addon.requiredAddon = Json::optionalString(object, "requires");
    addon.status = Json::requiredString(object, "status");
    return addon;
}

QJsonObject Pricing::Addon::toJson() const
{
    QJsonObject object { { QStringLiteral("id"), id }, { QStringLiteral("group"), group },
        { QStringLiteral("name"), name }, { QStringLiteral("detail"), detail },
        { QStringLiteral("price"), price }, { QStringLiteral("status"), status } };
    if (priceBands) {
        QJsonArray bands;
        for (const QList<int> &band : *priceBands)
            bands.append(jsonArray(band));
        object.insert(QStringLiteral("priceBands"), bands);
    }
    Json::insertOptional(object, QStringLiteral("requires"), requiredAddon);
    return object;
}

Pricing Pricing::fromJson(const QJsonObject &object)
{
    Pricing pricing;
    pricing.currency = Json::requiredString(object, "currency");
    pricing.pagesPerVolume = Json::requiredInt(object, "pagesPerVolume");
    pricing.bindings = Json::requiredRecords(object, "bindings", Binding::fromJson);
    pricing.shipping = Json::requiredRecords(object, "shipping", Shipping::fromJson);
    pricing.included = Json::requiredStringList(object, "included");
    pricing.addons = Json::optionalRecords(object, "addons", Addon::fromJson).value_or(QList<Addon>());
    return pricing;
}

QJsonObject Pricing::toJson() const
{
    return { { QStringLiteral("currency"), currency }, { QStringLiteral("pagesPerVolume"), pagesPerVolume },
        { QStringLiteral("bindings"), Json::arrayOf(bindings) },
        { QStringLiteral("shipping"), Json::arrayOf(shipping) },
        { QStringLiteral("included"), QJsonArray::fromStringList(included) },
        { QStringLiteral("addons"), Json::arrayOf(addons) } };
}

QUrl Pricing::endpoint()
{
    EndpointHolder &endpoint = holder();
    QMutexLocker lock(&endpoint.mutex);
    if (!endpoint.url) {
        const QString root = qEnvironmentVariableIsSet("QUORVEL_API") ? qEnvironmentVariable("QUORVEL_API")
                                                                      : QStringLiteral(QUORVEL_API_ROOT);
        endpoint.url = QUrl(root + QStringLiteral("/api/pricing"));
    }
    return *endpoint.url;
}

void Pricing::setEndpoint(const QUrl &url)
{
    EndpointHolder &endpoint = holder();
    QMutexLocker lock(&endpoint.mutex);
    endpoint.url = url;
}

QUrl Pricing::address(const QByteArray &encodedPath)
{
    const QUrl pricing = endpoint();
    const QString root = withoutLastComponent(withoutLastComponent(pricing.path(QUrl::FullyEncoded)));
    QUrl base = pricing.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
    return QUrl::fromEncoded(base.toEncoded() + root.toUtf8() + encodedPath, QUrl::StrictMode);
}

QByteArray Pricing::pathEncoded(const QString &text)
{
    return text.toUtf8().toPercentEncoding("!$&'()*+,;=:@/");
}

QByteArray Pricing::segmentEncoded(const QString &text)
{
    return text.toUtf8().toPercentEncoding("!$&'()*+,;=:@");
}

QCoro::Task<std::optional<Pricing>> Pricing::load()
{
    Http::Request request;
    request.url = endpoint();
    Http::Reply reply;
    try {
        reply = co_await Http::send(request);
    } catch (const Http::TransportError &) {
        co_return std::nullopt;
    }
    if (reply.status != 200)
        co_return std::nullopt;
    try {
        co_return fromJson(Json::parseObject(reply.body));
    } catch (const JsonError &) {
        co_return std::nullopt;
    }
}

int Pricing::pageLimit() const
{
    return pagesPerVolume < 1 ? unlimited : pagesPerVolume;
}

int Pricing::volumes(int pages) const
{
    return std::max(1, int(std::ceil(double(pages) / double(pageLimit()))));
}

std::optional<int> Pricing::price(const QString &binding, int pages) const
{
    for (const Binding &candidate : bindings) {
        if (candidate.id == binding)
            return candidate.price + (volumes(pages) - 1) * candidate.extraVolume;
    }
    return std::nullopt;
}

int Pricing::price(const Addon &addon, int pages) const
{
    if (!addon.priceBands || addon.priceBands->isEmpty())
        return addon.price;
    const int count = volumes(pages);
    const double perVolume = double(pages) / double(count);
    const QList<int> *band = &addon.priceBands->last();
    for (const QList<int> &candidate : *addon.priceBands) {
        if (candidate.value(0) >= perVolume) {
            band = &candidate;
            break;
        }
    }
    return band->value(1) * count;
}

QString Pricing::cents(int amount)
{
    const int dollars = amount / 100;
    const int rest = amount - dollars * 100;
    if (rest == 0)
        return QStringLiteral("$") + QString::number(dollars);
    return QString::asprintf("$%d.%02d", dollars, rest);
}
