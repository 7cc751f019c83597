#include "conversation.h"

#include "json.h"

using namespace Json;

namespace {

// "chat_ids" -> "chatIds". Leading and trailing underscores stay, a key
// without inner underscores stays as it is (it may be camel case already),
// and otherwise the first word is lower-cased and every later word
// capitalised.
QString fromSnakeCase(const QString &key)
{
    qsizetype begin = 0;
    while (begin < key.size() && key.at(begin) == u'_')
        ++begin;
    if (begin == key.size())
        return key;
    qsizetype end = key.size();
    while (key.at(end - 1) == u'_')
        --end;
    const QStringView inner = QStringView(key).mid(begin, end - begin);
    if (!inner.contains(u'_'))
        return key;
    const QList<QStringView> words = inner.split(u'_', Qt::SkipEmptyParts);
    QString joined = words.first().toString().toLower();
    for (qsizetype i = 1; i < words.size(); ++i)
        joined += words.at(i).left(1).toString().toUpper() + words.at(i).mid(1).toString().toLower();
    return key.left(begin) + joined + key.mid(end);
}

QJsonObject withCamelCaseKeys(const QJsonObject &object)
{
    QJsonObject converted;
    for (auto it = object.begin(); it != object.end(); ++it)
        converted.insert(fromSnakeCase(it.key()), it.value());
    return converted;
}

} // namespace

Conversation::LogPerson Conversation::LogPerson::fromJson(const QJsonObject &snakeCase)
{
    const QJsonObject object = withCamelCaseKeys(snakeCase);
    return { requiredString(object, "name"), requiredInt(object, "messages") };
}

QString Conversation::id() const
{
    if (source.id == u"mac")
        return key;
    return source.id + QLatin1Char(':') + key;
}

Conversation Conversation::fromJson(const QJsonObject &snakeCase)
{
    const QJsonObject object = withCamelCaseKeys(snakeCase);
    Conversation conversation;
    conversation.key = requiredString(object, "key");
    conversation.group = requiredBool(object, "group");
    conversation.name = optionalString(object, "name");
    const QJsonArray chatIds = requiredArray(object, "chatIds");
    conversation.chatIds = within("chatIds", [&] { return mapArray(chatIds, toInt64); });
    conversation.services = requiredStringList(object, "services");
    conversation.messages = requiredInt(object, "messages");
    conversation.first = requiredString(object, "first");
    conversation.last = requiredString(object, "last");
    conversation.people = optionalRecords(object, "people", LogPerson::fromJson);
    conversation.them = optionalString(object, "them");
    conversation.notice = optionalString(object, "notice");
    conversation.source = Source::mac();
    return conversation;
}

QList<Conversation> Conversation::listFromJson(const QByteArray &bytes)
{
    return mapArray(parseArray(bytes), [](const QJsonValue &value) { return fromJson(toObject(value)); });
}

size_t qHash(const Conversation::LogPerson &person, size_t seed) noexcept
{
    return qHashMulti(seed, person.name, person.messages);
}

size_t qHash(const Conversation &conversation, size_t seed) noexcept
{
    const QList<Conversation::LogPerson> noPeople;
    return qHashMulti(seed, conversation.key, conversation.group, conversation.name.has_value(),
        conversation.name.value_or(QString()), conversation.chatIds, conversation.services,
        conversation.messages, conversation.first, conversation.last, conversation.people.has_value(),
        conversation.people.value_or(noPeople), conversation.them.has_value(),
        conversation.them.value_or(QString()), conversation.notice.value_or(QString()), conversation.source);
}
