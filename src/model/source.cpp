#include "source.h"

#include "helpers.h"
#include "json.h"

using namespace Json;

const Source &Source::mac()
{
    static const Source source {
        QStringLiteral("mac"),
        QStringLiteral("This Computer"),
        std::nullopt,
        std::nullopt,
        Helpers::database(),
        false,
        std::nullopt,
    };
    return source;
}

QStringList Source::exportArguments() const
{
    if (!backup)
        return {};
    QStringList arguments { QStringLiteral("--backup"), *backup };
    if (encrypted)
        arguments << QStringLiteral("--key-stdin");
    return arguments;
}

Source Source::fromJson(const QJsonObject &object)
{
    Source source;
    source.id = requiredString(object, "id");
    source.name = requiredString(object, "name");
    source.date = optionalString(object, "date");
    source.backup = optionalString(object, "backup");
    source.database = requiredString(object, "database");
    source.encrypted = requiredBool(object, "encrypted");
    source.log = optionalString(object, "log");
    return source;
}

QJsonObject Source::toJson() const
{
    QJsonObject object { { QStringLiteral("id"), id }, { QStringLiteral("name"), name },
        { QStringLiteral("database"), database }, { QStringLiteral("encrypted"), encrypted } };
    insertOptional(object, QStringLiteral("date"), date);
    insertOptional(object, QStringLiteral("backup"), backup);
    insertOptional(object, QStringLiteral("log"), log);
    return object;
}

size_t qHash(const Source &source, size_t seed) noexcept
{
    const auto optional = [](const std::optional<QString> &value) { return value.value_or(QString()); };
    return qHashMulti(seed, source.id, source.name, source.date.has_value(), optional(source.date),
        source.backup.has_value(), optional(source.backup), source.database, source.encrypted,
        source.log.has_value(), optional(source.log));
}
