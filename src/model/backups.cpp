#include "backups.h"

#include "defaults.h"
#include "json.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString savedKey = QStringLiteral("backups");

} // namespace

namespace Backups {

void save(const QList<Source> &sources)
{
    QJsonArray array;
    for (const Source &source : sources) {
        if (source.id != u"mac")
            array.append(source.toJson());
    }
    Defaults::standard().setData(savedKey, QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QList<Source> saved()
{
    const std::optional<QByteArray> bytes = Defaults::standard().data(savedKey);
    if (!bytes)
        return {};
    QList<Source> sources;
    try {
        sources = Json::mapArray(Json::parseArray(*bytes),
            [](const QJsonValue &value) { return Source::fromJson(Json::toObject(value)); });
    } catch (const JsonError &) {
        // Nothing is kept of a partly readable list.
        return {};
    }
    QList<Source> present;
    for (const Source &source : sources) {
        if (QFileInfo::exists(source.log.value_or(source.database)))
            present.append(source);
    }
    return present;
}

} // namespace Backups
