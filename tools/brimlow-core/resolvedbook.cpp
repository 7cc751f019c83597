#include "resolvedbook.h"

#include "failure.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Brimlow {

namespace {

Failure bad(const QString &what)
{
    return Failure(QStringLiteral("The resolved book can't be read: %1.").arg(what));
}

QString requiredText(const QJsonObject &object, const char *key, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString())
        throw bad(QStringLiteral("%1 has no text “%2”").arg(where, QLatin1String(key)));
    return value.toString();
}

// Absent and null read as empty.
QString optionalText(const QJsonObject &object, const char *key, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isString())
        throw bad(QStringLiteral("“%2” of %1 is not a text").arg(where, QLatin1String(key)));
    return value.toString();
}

QJsonArray optionalArray(const QJsonObject &object, const char *key, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isArray())
        throw bad(QStringLiteral("“%2” of %1 is not a list").arg(where, QLatin1String(key)));
    return value.toArray();
}

QStringList texts(const QJsonArray &array, const QString &where)
{
    QStringList list;
    for (const QJsonValue &value : array) {
        if (!value.isString())
            throw bad(QStringLiteral("%1 holds something that is not a text").arg(where));
        list.append(value.toString());
    }
    return list;
}

QJsonObject objectAt(const QJsonValue &value, const QString &where)
{
    if (!value.isObject())
        throw bad(QStringLiteral("%1 is not an object").arg(where));
    return value.toObject();
}

QList<ResolvedBook::Run> runsOf(const QJsonValue &value, const QString &where)
{
    if (value.isUndefined() || value.isNull())
        return {};
    if (value.isString())
        return { { value.toString(), false } };
    if (!value.isArray())
        throw bad(QStringLiteral("the text of %1 is neither a text nor a list").arg(where));
    QList<ResolvedBook::Run> runs;
    for (const QJsonValue &part : value.toArray()) {
        const QJsonObject run = objectAt(part, where + QStringLiteral("’s text"));
        runs.append({ requiredText(run, "text", where), run.value(QLatin1String("bold")).toBool() });
    }
    return runs;
}

ResolvedBook::Entry entryOf(const QJsonObject &object, const QString &where)
{
    ResolvedBook::Entry entry;
    const QJsonValue page = object.value(QLatin1String("page"));
    if (page.isString()) {
        entry.page = page.toString();
        return entry;
    }
    entry.name = requiredText(object, "name", where);
    entry.me = object.value(QLatin1String("me")).toBool();
    entry.time = optionalText(object, "time", where);
    entry.text = runsOf(object.value(QLatin1String("text")), where);
    entry.media = texts(optionalArray(object, "media", where), where);
    return entry;
}

} // namespace

ResolvedBook ResolvedBook::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(
            QStringLiteral("The resolved book %1 can't be opened: %2.").arg(path, file.errorString()));
    return fromJson(file.readAll());
}

ResolvedBook ResolvedBook::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw bad(error.errorString());
    if (!document.isObject())
        throw bad(QStringLiteral("the top level is not an object"));
    const QJsonObject root = document.object();
    const QString top = QStringLiteral("the book");

    ResolvedBook book;
    book.title = requiredText(root, "title", top);
    book.colophon = optionalText(root, "colophon", top);
    book.dedication = texts(optionalArray(root, "dedication", top), QStringLiteral("the dedication"));
    if (const QString language = optionalText(root, "language", top); !language.isEmpty())
        book.language = language;
    book.author = optionalText(root, "author", top);
    if (!root.value(QLatin1String("chapters")).isArray())
        throw bad(QStringLiteral("the book has no list of chapters"));
    const QJsonArray chapters = root.value(QLatin1String("chapters")).toArray();
    for (qsizetype c = 0; c < chapters.size(); ++c) {
        const QString where = QStringLiteral("chapter %1").arg(c + 1);
        const QJsonObject object = objectAt(chapters[c], where);
        Chapter chapter { optionalText(object, "title", where), {} };
        const QJsonArray days = optionalArray(object, "days", where);
        for (qsizetype d = 0; d < days.size(); ++d) {
            const QString dayWhere = QStringLiteral("day %1 of %2").arg(d + 1).arg(where);
            const QJsonObject dayObject = objectAt(days[d], dayWhere);
            Day day { requiredText(dayObject, "day", dayWhere), optionalText(dayObject, "label", dayWhere),
                {} };
            const QJsonArray messages = optionalArray(dayObject, "messages", dayWhere);
            for (qsizetype m = 0; m < messages.size(); ++m) {
                const QString entryWhere = QStringLiteral("message %1 of %2").arg(m + 1).arg(dayWhere);
                day.entries.append(entryOf(objectAt(messages[m], entryWhere), entryWhere));
            }
            chapter.days.append(std::move(day));
        }
        book.chapters.append(std::move(chapter));
    }
    return book;
}

} // namespace Brimlow
