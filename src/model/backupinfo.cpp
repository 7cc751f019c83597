#include "backupinfo.h"

#include "day.h"
#include "json.h"

#include <QRegularExpression>
#include <QTimeZone>

using namespace Json;

namespace {

// An internet date-time: date, "T", time to the second, then "Z" or an
// offset; no fractional seconds.
std::optional<QDateTime> internetDateTime(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})T([0-9]{2}):([0-9]{2}):([0-9]{2})(?:Z|([+-])([0-9]{"
                       "2}):([0-9]{2}))$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    int offset = 0;
    if (match.hasCaptured(7)) {
        offset = (number(8) * 60 + number(9)) * 60;
        if (match.capturedView(7) == u"-")
            offset = -offset;
    }
    const QTimeZone zone = offset == 0 ? QTimeZone::utc() : QTimeZone(offset);
    if (!date.isValid() || !time.isValid() || !zone.isValid())
        return std::nullopt;
    const QDateTime at(date, time, zone);
    if (!at.isValid())
        return std::nullopt;
    return at;
}

} // namespace

QString BackupInfo::when() const
{
    const std::optional<QDateTime> at = date ? internetDateTime(*date) : std::nullopt;
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
