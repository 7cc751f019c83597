#include "backupinfo.h"

#include "day.h"
#include "json.h"

using namespace Json;

QString BackupInfo::when() const
{
    const std::optional<QDateTime> at = date ? Day::internetDateTime(*date) : std::nullopt;
    if (!at)
        return QStringLiteral("Date unknown");
    return Day::format(*at, QStringLiteral("yMMMdjmm"));
}

BackupInfo BackupInfo::fromJson(const QJsonObject &object)
{
    BackupInfo info;
    info.path = requiredString(object, "path");
    info.udid = requiredString(object, "udid");
    info.device = requiredString(object, "device");
    info.model = optionalString(object, "model");
    info.ios = optionalString(object, "ios");
    info.date = optionalString(object, "date");
    info.encrypted = requiredBool(object, "encrypted");
    info.messages = requiredBool(object, "messages");
    info.whatsapp = optionalBool(object, "whatsapp");
    return info;
}

size_t qHash(const BackupInfo &info, size_t seed) noexcept
{
    const auto optional = [](const std::optional<QString> &value) { return value.value_or(QString()); };
    return qHashMulti(seed, info.path, info.udid, info.device, info.model.has_value(), optional(info.model),
        info.ios.has_value(), optional(info.ios), info.date.has_value(), optional(info.date), info.encrypted,
        info.messages, info.whatsapp.has_value(), info.whatsapp.value_or(false));
}
