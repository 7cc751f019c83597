#include "design.h"

#include "json.h"

#include <QJsonArray>

using namespace Json;

Design::Cover::Custom Design::Cover::Custom::fromJson(const QJsonObject &object)
{
    Custom custom;
    custom.background = requiredString(object, "background");
    custom.ink = requiredString(object, "ink");
    custom.font = requiredString(object, "font");
    custom.position = requiredString(object, "position");
    return custom;
}

QJsonObject Design::Cover::Custom::toJson() const
{
    return { { QStringLiteral("background"), background }, { QStringLiteral("ink"), ink },
        { QStringLiteral("font"), font }, { QStringLiteral("position"), position } };
}

Design::Cover Design::Cover::fromJson(const QJsonObject &object)
{
    Cover cover;
    cover.style = requiredString(object, "style");
    cover.color = requiredString(object, "color");
    cover.image = optionalString(object, "image");
    cover.fit = optionalString(object, "fit");
    cover.custom = optionalRecord(object, "custom", Custom::fromJson);
    return cover;
}

QJsonObject Design::Cover::toJson() const
{
    QJsonObject object { { QStringLiteral("style"), style }, { QStringLiteral("color"), color } };
    insertOptional(object, QStringLiteral("image"), image);
    insertOptional(object, QStringLiteral("fit"), fit);
    if (custom)
        object.insert(QStringLiteral("custom"), custom->toJson());
    return object;
}

Design Design::fromJson(const QJsonObject &object)
{
    Design design;
    design.font = requiredString(object, "font");
    design.chapters = requiredString(object, "chapters");
    design.receipt = requiredBool(object, "receipt");
    if (const std::optional<QJsonArray> lines = optionalArray(object, "receiptLines"))
        design.receiptLines = within("receiptLines", [&] { return mapArray(*lines, toStringList); });
    design.colourCoding = optionalBool(object, "colourCoding");
    design.layout = optionalString(object, "layout");
    design.cover = requiredRecord(object, "cover", Cover::fromJson);
    return design;
}

QJsonObject Design::toJson() const
{
    QJsonObject object { { QStringLiteral("font"), font }, { QStringLiteral("chapters"), chapters },
        { QStringLiteral("receipt"), receipt }, { QStringLiteral("cover"), cover.toJson() } };
    if (receiptLines) {
        QJsonArray lines;
        for (const QStringList &line : *receiptLines)
            lines.append(QJsonArray::fromStringList(line));
        object.insert(QStringLiteral("receiptLines"), lines);
    }
    insertOptional(object, QStringLiteral("colourCoding"), colourCoding);
    insertOptional(object, QStringLiteral("layout"), layout);
    return object;
}
