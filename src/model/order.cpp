#include "order.h"

#include "json.h"

using namespace Json;

Order::MomentPick Order::MomentPick::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "addon"), requiredString(object, "day"),
        requiredString(object, "title") };
}

QJsonObject Order::MomentPick::toJson() const
{
    return { { QStringLiteral("addon"), addon }, { QStringLiteral("day"), day },
        { QStringLiteral("title"), title } };
}

Order Order::fromJson(const QJsonObject &object)
{
    Order order;
    order.binding = requiredString(object, "binding");
    order.shipping = requiredString(object, "shipping");
    order.recipient = requiredString(object, "recipient");
    order.addons = optionalStringList(object, "addons");
    order.moments = optionalRecords(object, "moments", MomentPick::fromJson);
    return order;
}

QJsonObject Order::toJson() const
{
    QJsonObject object { { QStringLiteral("binding"), binding }, { QStringLiteral("shipping"), shipping },
        { QStringLiteral("recipient"), recipient } };
    insertOptional(object, QStringLiteral("addons"), addons);
    if (moments)
        object.insert(QStringLiteral("moments"), arrayOf(*moments));
    return object;
}

size_t qHash(const Order::MomentPick &pick, size_t seed) noexcept
{
    return qHashMulti(seed, pick.addon, pick.day, pick.title);
}
