#include "bookfile.h"

#include "json.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Json;

BookFile::Front BookFile::Front::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "title"), requiredString(object, "colophon"),
        requiredStringList(object, "dedication"), optionalBool(object, "colophonTyped").value_or(false) };
}

QJsonObject BookFile::Front::toJson() const
{
    QJsonObject object { { QStringLiteral("title"), title }, { QStringLiteral("colophon"), colophon },
        { QStringLiteral("dedication"), QJsonArray::fromStringList(dedication) } };
    if (colophonTyped)
        object.insert(QStringLiteral("colophonTyped"), true);
    return object;
}

BookFile::Person BookFile::Person::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "id"), requiredString(object, "name"), requiredBool(object, "me") };
}

QJsonObject BookFile::Person::toJson() const
{
    return { { QStringLiteral("id"), id }, { QStringLiteral("name"), name }, { QStringLiteral("me"), me } };
}

BookFile::Message BookFile::Message::fromJson(const QJsonObject &object)
{
    Message message;
    message.id = requiredString(object, "id");
    message.at = requiredString(object, "at");
    message.from = requiredString(object, "from");
    message.who = optionalString(object, "who");
    message.text = optionalString(object, "text");
    message.media = optionalStringList(object, "media");
    message.photos = optionalStringList(object, "photos");
    return message;
}

QJsonObject BookFile::Message::toJson() const
{
    QJsonObject object { { QStringLiteral("id"), id }, { QStringLiteral("at"), at },
        { QStringLiteral("from"), from } };
    insertOptional(object, QStringLiteral("who"), who);
    insertOptional(object, QStringLiteral("text"), text);
    insertOptional(object, QStringLiteral("media"), media);
    insertOptional(object, QStringLiteral("photos"), photos);
    return object;
}

BookFile::Stats BookFile::Stats::fromJson(const QJsonObject &object)
{
    return { requiredInt(object, "messages"), optionalString(object, "first"),
        optionalString(object, "last") };
}

QJsonObject BookFile::Stats::toJson() const
{
    QJsonObject object { { QStringLiteral("messages"), messages } };
    insertOptional(object, QStringLiteral("first"), first);
    insertOptional(object, QStringLiteral("last"), last);
    return object;
}

BookFile::Dates BookFile::Dates::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "day"), requiredString(object, "date"), requiredString(object, "month"),
        requiredString(object, "time") };
}

QJsonObject BookFile::Dates::toJson() const
{
    return { { QStringLiteral("day"), day }, { QStringLiteral("date"), date },
        { QStringLiteral("month"), month }, { QStringLiteral("time"), time } };
}

BookFile BookFile::fromJson(const QByteArray &bytes)
{
    return fromJson(parseObject(bytes));
}

BookFile BookFile::fromJson(const QJsonObject &object)
{
    BookFile book;
    book.format = requiredInt(object, "format");
    book.style = requiredString(object, "style");
    book.front = requiredRecord(object, "front", Front::fromJson);
    book.people = requiredRecords(object, "people", Person::fromJson);
    book.messages = requiredRecords(object, "messages", Message::fromJson);
    book.edits = requiredRecord(object, "edits", Edits::fromJson);
    book.design = optionalRecord(object, "design", Design::fromJson);
    book.order = optionalRecord(object, "order", Order::fromJson);
    book.stats = optionalRecord(object, "stats", Stats::fromJson);
    book.dates = optionalRecord(object, "dates", Dates::fromJson);
    return book;
}

QJsonObject BookFile::toJson() const
{
    QJsonObject object { { QStringLiteral("format"), format }, { QStringLiteral("style"), style },
        { QStringLiteral("front"), front.toJson() }, { QStringLiteral("people"), arrayOf(people) },
        { QStringLiteral("messages"), arrayOf(messages) }, { QStringLiteral("edits"), edits.toJson() } };
    if (design)
        object.insert(QStringLiteral("design"), design->toJson());
    if (order)
        object.insert(QStringLiteral("order"), order->toJson());
    if (stats)
        object.insert(QStringLiteral("stats"), stats->toJson());
    if (dates)
        object.insert(QStringLiteral("dates"), dates->toJson());
    return object;
}

QByteArray BookFile::toJsonBytes() const
{
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
}
