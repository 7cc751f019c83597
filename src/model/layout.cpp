#include "layout.h"

#include "json.h"

using namespace Json;

Layout::PinResult Layout::PinResult::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "id"), requiredInt(object, "page"), requiredInt(object, "natural"),
        requiredBool(object, "ok") };
}

QJsonObject Layout::PinResult::toJson() const
{
    return { { QStringLiteral("id"), id }, { QStringLiteral("page"), page },
        { QStringLiteral("natural"), natural }, { QStringLiteral("ok"), ok } };
}
