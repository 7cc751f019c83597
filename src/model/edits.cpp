#include "edits.h"

#include "json.h"

#include <QJsonArray>

using namespace Json;

Edits::DayRange Edits::DayRange::fromJson(const QJsonObject &object)
{
    return { optionalString(object, "from"), optionalString(object, "to") };
}

QJsonObject Edits::DayRange::toJson() const
{
    QJsonObject object;
    insertOptional(object, QStringLiteral("from"), from);
    insertOptional(object, QStringLiteral("to"), to);
    return object;
}

Edits::Emphasis Edits::Emphasis::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "id"), optionalString(object, "phrase") };
}

QJsonObject Edits::Emphasis::toJson() const
{
    QJsonObject object { { QStringLiteral("id"), id } };
    insertOptional(object, QStringLiteral("phrase"), phrase);
    return object;
}

Edits::ChapterBreak Edits::ChapterBreak::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "start"), requiredString(object, "title") };
}

QJsonObject Edits::ChapterBreak::toJson() const
{
    return { { QStringLiteral("start"), start }, { QStringLiteral("title"), title } };
}

Edits::Insert Edits::Insert::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "before"), requiredString(object, "kind"),
        optionalString(object, "text") };
}

QJsonObject Edits::Insert::toJson() const
{
    QJsonObject object { { QStringLiteral("before"), before }, { QStringLiteral("kind"), kind } };
    insertOptional(object, QStringLiteral("text"), text);
    return object;
}

Edits::Pin Edits::Pin::fromJson(const QJsonObject &object)
{
    return { requiredString(object, "id"), requiredInt(object, "page") };
}

QJsonObject Edits::Pin::toJson() const
{
    return { { QStringLiteral("id"), id }, { QStringLiteral("page"), page } };
}

namespace {

std::optional<QMap<QString, QString>> readTexts(const QJsonObject &object)
{
    const std::optional<QJsonObject> texts = optionalObject(object, "text");
    if (!texts)
        return std::nullopt;
    return within("text", [&] {
        QMap<QString, QString> result;
        for (auto it = texts->begin(); it != texts->end(); ++it)
            result.insert(it.key(), within(it.key(), [&] { return toString(it.value()); }));
        return result;
    });
}

} // namespace

Edits Edits::fromJson(const QJsonObject &object)
{
    Edits edits;
    edits.range = optionalRecord(object, "range", DayRange::fromJson);
    edits.hidden = optionalStringList(object, "hidden");
    edits.text = readTexts(object);
    edits.emphasis = optionalRecords(object, "emphasis", Emphasis::fromJson);
    edits.words = optionalStringList(object, "words");
    edits.chapters = optionalRecords(object, "chapters", ChapterBreak::fromJson);
    edits.inserts = optionalRecords(object, "inserts", Insert::fromJson);
    edits.pins = optionalRecords(object, "pins", Pin::fromJson);
    return edits;
}

QJsonObject Edits::toJson() const
{
    QJsonObject object;
    if (range)
        object.insert(QStringLiteral("range"), range->toJson());
    insertOptional(object, QStringLiteral("hidden"), hidden);
    if (text) {
        QJsonObject texts;
        for (auto it = text->begin(); it != text->end(); ++it)
            texts.insert(it.key(), it.value());
        object.insert(QStringLiteral("text"), texts);
    }
    if (emphasis)
        object.insert(QStringLiteral("emphasis"), arrayOf(*emphasis));
    insertOptional(object, QStringLiteral("words"), words);
    if (chapters)
        object.insert(QStringLiteral("chapters"), arrayOf(*chapters));
    if (inserts)
        object.insert(QStringLiteral("inserts"), arrayOf(*inserts));
    if (pins)
        object.insert(QStringLiteral("pins"), arrayOf(*pins));
    return object;
}

size_t qHash(const Edits::Emphasis &emphasis, size_t seed) noexcept
{
    return qHashMulti(seed, emphasis.id, emphasis.phrase.has_value(), emphasis.phrase.value_or(QString()));
}

size_t qHash(const Edits::ChapterBreak &chapter, size_t seed) noexcept
{
    return qHashMulti(seed, chapter.start, chapter.title);
}

size_t qHash(const Edits::Insert &insert, size_t seed) noexcept
{
    return qHashMulti(
        seed, insert.before, insert.kind, insert.text.has_value(), insert.text.value_or(QString()));
}

size_t qHash(const Edits::Pin &pin, size_t seed) noexcept
{
    return qHashMulti(seed, pin.id, pin.page);
}
