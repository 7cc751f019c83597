#include "wrapped.h"

#include "json.h"
#include "jsonwriter.h"

#include <QIODevice>
#include <array>

using namespace Json;

namespace {

constexpr std::array kindNames { "cover", "first", "love", "streak", "late", "emoji", "words", "busiest",
    "moment", "talks", "leftOnRead", "crew", "superlatives", "starter", "weekday", "hour", "silence",
    "other" };

} // namespace

QString Wrapped::kindName(Kind kind)
{
    return QString::fromLatin1(kindNames[size_t(kind)]);
}

Wrapped::Kind Wrapped::kindNamed(const QString &name)
{
    for (size_t i = 0; i < kindNames.size(); ++i) {
        if (name == QLatin1StringView(kindNames[i]))
            return Kind(i);
    }
    return Kind::Other;
}

Wrapped::Person Wrapped::Person::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "id"), requiredString(object, "name"), requiredInt(object, "messages") };
}

void Wrapped::Person::write(JsonWriter &json) const
{
    json.beginObject();
    json.member("id", id);
    json.member("name", name);
    json.member("messages", qint64(messages));
    json.endObject();
}

Wrapped::Row Wrapped::Row::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "who"), requiredString(object, "value"),
        requiredDouble(object, "share") };
}

void Wrapped::Row::write(JsonWriter &json) const
{
    json.beginObject();
    json.member("who", who);
    json.member("value", value);
    json.member("share", share);
    json.endObject();
}

Wrapped::Card Wrapped::Card::fromJson(const QJsonObject &object)
{
    Card card;
    card.id = requiredString(object, "id");
    // A kind of a later tool reads as Other; one that isn't text at all
    // means the document is not one.
    card.kind = kindNamed(requiredString(object, "kind"));
    card.eyebrow = requiredString(object, "eyebrow");
    card.big = requiredString(object, "big");
    card.count = optionalInt(object, "count");
    card.unit = requiredString(object, "unit");
    card.detail = requiredString(object, "detail");
    card.rows = optionalRecords(object, "rows", Row::fromJson).value_or(QList<Row>());
    card.day = optionalString(object, "day");
    return card;
}

void Wrapped::Card::write(JsonWriter &json) const
{
    json.beginObject();
    json.member("id", id);
    json.member("kind", kindName(kind));
    json.member("eyebrow", eyebrow);
    json.member("big", big);
    if (count)
        json.member("count", qint64(*count));
    json.member("unit", unit);
    json.member("detail", detail);
    // No rows and absent rows read alike.
    if (!rows.isEmpty()) {
        json.key("rows");
        json.beginArray();
        for (const Row &row : rows)
            row.write(json);
        json.endArray();
    }
    if (day)
        json.member("day", *day);
    json.endObject();
}

Wrapped::Month Wrapped::Month::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "key"), requiredInt(object, "count") };
}

void Wrapped::Month::write(JsonWriter &json) const
{
    json.beginObject();
    json.member("key", key);
    json.member("count", qint64(count));
    json.endObject();
}

Wrapped::Year Wrapped::Year::fromJson(const QJsonObject &object)
{
    return { requiredInt(object, "year"), requiredInt(object, "count") };
}

void Wrapped::Year::write(JsonWriter &json) const
{
    json.beginObject();
    json.member("year", qint64(year));
    json.member("count", qint64(count));
    json.endObject();
}

Wrapped Wrapped::fromJson(const QByteArray &bytes)
{
    return fromJson(parseObject(bytes));
}

Wrapped Wrapped::fromJson(const QJsonObject &object)
{
    Wrapped wrapped;
    wrapped.group = requiredBool(object, "group");
    wrapped.title = requiredString(object, "title");
    wrapped.people = requiredRecords(object, "people", Person::fromJson);
    wrapped.total = requiredInt(object, "total");
    wrapped.firstDay = requiredString(object, "firstDay");
    wrapped.lastDay = requiredString(object, "lastDay");
    wrapped.span = requiredString(object, "span");
    wrapped.months = requiredRecords(object, "months", Month::fromJson);
    wrapped.cards = requiredRecords(object, "cards", Card::fromJson);
    wrapped.defaultSelection = requiredStringList(object, "defaultSelection");
    wrapped.years = requiredRecords(object, "years", Year::fromJson);
    wrapped.year = optionalInt(object, "year");
    return wrapped;
}

namespace {

template<typename Record> void writeArray(JsonWriter &json, const char *key, const QList<Record> &records)
{
    json.key(key);
    json.beginArray();
    for (const Record &record : records)
        record.write(json);
    json.endArray();
}

} // namespace

void Wrapped::write(JsonWriter &json) const
{
    json.beginObject();
    json.member("group", group);
    json.member("title", title);
    writeArray(json, "people", people);
    json.member("total", qint64(total));
    json.member("firstDay", firstDay);
    json.member("lastDay", lastDay);
    json.member("span", span);
    writeArray(json, "months", months);
    writeArray(json, "cards", cards);
    json.member("defaultSelection", defaultSelection);
    writeArray(json, "years", years);
    if (year)
        json.member("year", qint64(*year));
    json.endObject();
}

bool Wrapped::write(QIODevice &device) const
{
    JsonWriter json(&device);
    write(json);
    return json.flush();
}

const Wrapped::Person *Wrapped::person(const QString &id) const
{
    for (const Person &entry : people) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

const Wrapped::Card *Wrapped::card(const QString &id) const
{
    for (const Card &entry : cards) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}
