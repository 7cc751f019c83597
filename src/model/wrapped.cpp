#include "wrapped.h"

#include "helpers.h"
#include "json.h"

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

Wrapped::Row Wrapped::Row::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "who"), requiredString(object, "value"),
        requiredDouble(object, "share") };
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

Wrapped::Month Wrapped::Month::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "key"), requiredInt(object, "count") };
}

Wrapped::Year Wrapped::Year::fromJson(const QJsonObject &object)
{
    return { requiredInt(object, "year"), requiredInt(object, "count") };
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

QCoro::Task<Wrapped> Wrapped::make(BookFile book, std::optional<int> year)
{
    QStringList arguments { QStringLiteral("wrapped") };
    if (year)
        arguments << QStringLiteral("--year") << QString::number(*year);
    const QString input = QString::fromUtf8(book.toJsonBytes());
    // The copy is in the text now; a long book is large enough to count.
    book = BookFile();
    const QByteArray answer = co_await Helpers::run(Helpers::core(), arguments, input);
    co_return fromJson(answer);
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
