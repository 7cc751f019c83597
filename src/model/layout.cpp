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

std::optional<int> Layout::pageOneIndex() const
{
    // The body's pages are numbered one after another: any day tells.
    if (days.isEmpty())
        return std::nullopt;
    const Day &first = days.first();
    return first.index - first.printed + 1;
}
