#include "ownnames.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

QString pathIn(const QString &folder)
{
    return folder + QStringLiteral("/names.json");
}

std::optional<QString> textOf(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? std::optional(value.toString()) : std::nullopt;
}

QJsonObject objectIn(const QString &folder)
{
    QFile file(pathIn(folder));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace

OwnNames OwnNames::read(const QString &folder)
{
    const QJsonObject object = objectIn(folder);
    return { textOf(object, QStringLiteral("me")), textOf(object, QStringLiteral("them")) };
}

void OwnNames::keep(const QString &folder) const
{
    if (isEmpty())
        return;
    QJsonObject object = objectIn(folder);
    if (me)
        object.insert(QStringLiteral("me"), *me);
    if (them)
        object.insert(QStringLiteral("them"), *them);
    QSaveFile file(pathIn(folder));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(object).toJson(QJsonDocument::Compact));
        file.commit();
    }
}
