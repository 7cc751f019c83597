#include "consent.h"

#include "day.h"
#include "defaults.h"
#include "whatsappexport.h"

#include <QDateTime>
#include <algorithm>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

std::function<QString()> &fullNameSource()
{
    static std::function<QString()> source;
    return source;
}

QString readAccountFullName()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry {};
    passwd *found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_gecos)
        return {};
    // The rest of the field holds room and telephone numbers.
    return QString::fromLocal8Bit(found->pw_gecos).section(QLatin1Char(','), 0, 0);
}

// Read once: the list names its rows with it, for every conversation.
const QString &accountFullName()
{
    static const QString name = readAccountFullName();
    return name;
}

// The participant a name stands for: the one written so, else the one
// written so but for case and surrounding spaces.
std::optional<QString> participantNamed(const QList<Conversation::LogPerson> &people, const QString &name)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return std::nullopt;
    for (const Conversation::LogPerson &person : people) {
        if (person.name == name)
            return person.name;
    }
    for (const Conversation::LogPerson &person : people) {
        if (person.name.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return person.name;
    }
    return std::nullopt;
}

bool isOneToOneChatFile(const Conversation &conversation)
{
    return conversation.source.log && !conversation.group && conversation.people
        && conversation.people->size() >= 2;
}

} // namespace

namespace Consent {

bool mayRead(const QString &identifier)
{
    const Defaults &defaults = Defaults::standard();
    return defaults.string(QStringLiteral("consent:") + identifier)
        || defaults.string(QStringLiteral("consent-wrapped:") + identifier);
}

void record(const QString &identifier)
{
    Defaults::standard().setString(
        QStringLiteral("consent:") + identifier, Day::iso(QDateTime::currentDateTime()));
}

void recordWrapped(const QString &identifier)
{
    Defaults::standard().setString(
        QStringLiteral("consent-wrapped:") + identifier, Day::iso(QDateTime::currentDateTime()));
}

std::optional<QString> me(const Conversation &conversation)
{
    return Defaults::standard().string(QStringLiteral("me:") + conversation.id());
}

void setMe(const Conversation &conversation, const QString &name)
{
    Defaults::standard().setString(QStringLiteral("me:") + conversation.id(), name);
}

std::optional<QString> namedOther(const Conversation &conversation)
{
    if (!isOneToOneChatFile(conversation))
        return std::nullopt;
    const QList<Conversation::LogPerson> &people = *conversation.people;
    if (conversation.name) {
        if (const std::optional<QString> named = participantNamed(people, *conversation.name))
            return named;
    }
    const QString exported = WhatsAppExport::chatName(conversation.source.name);
    return participantNamed(people, exported.isEmpty() ? conversation.source.name : exported);
}

QString user(const Conversation &conversation)
{
    if (!conversation.people || conversation.people->isEmpty())
        return {};
    const QList<Conversation::LogPerson> &people = *conversation.people;
    const std::optional<QString> stored = me(conversation);
    const auto named = [&](const QString &name) {
        return std::any_of(people.cbegin(), people.cend(),
            [&](const Conversation::LogPerson &person) { return person.name == name; });
    };
    if (stored && named(*stored))
        return *stored;
    if (const std::optional<QString> other = namedOther(conversation)) {
        for (const Conversation::LogPerson &person : people) {
            if (person.name != *other)
                return person.name;
        }
    }
    return guessMe(people);
}

std::optional<QString> otherParty(const Conversation &conversation)
{
    if (!isOneToOneChatFile(conversation))
        return std::nullopt;
    const QList<Conversation::LogPerson> &people = *conversation.people;
    if (conversation.name && !conversation.name->isEmpty() && !participantNamed(people, *conversation.name))
        return std::nullopt;
    const QString me = user(conversation);
    for (const Conversation::LogPerson &person : people) {
        if (person.name != me)
            return person.name;
    }
    return std::nullopt;
}

QString guessMe(const QList<Conversation::LogPerson> &people)
{
    if (people.isEmpty())
        return {};
    const QStringList words = fullName().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString first = words.isEmpty() ? QString() : words.first().toLower();
    // An empty first name would match everybody; it matches nobody.
    if (!first.isEmpty()) {
        for (const Conversation::LogPerson &person : people) {
            if (person.name.toLower().startsWith(first))
                return person.name;
        }
    }
    return people.first().name;
}

QString fullName()
{
    if (const std::function<QString()> &source = fullNameSource())
        return source();
    return accountFullName();
}

void setFullNameSource(std::function<QString()> source)
{
    fullNameSource() = std::move(source);
}

} // namespace Consent
