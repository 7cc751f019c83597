#include "consent.h"

#include "day.h"
#include "defaults.h"
#include "whatsappexport.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <pwd.h>
#include <unicode/uchar.h>
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

// A name's words as a chat's name is compared with it: in one case, without
// emoji (people decorate the names they save: "Sam 🌻") and without the
// spaces around them.
QStringList wordsOf(const QString &name)
{
    QString kept;
    for (const char32_t c : name.toCaseFolded().toUcs4()) {
        if (c == 0x200D || c == 0x20E3 || u_hasBinaryProperty(UChar32(c), UCHAR_EXTENDED_PICTOGRAPHIC)
            || u_hasBinaryProperty(UChar32(c), UCHAR_EMOJI_MODIFIER)
            || u_hasBinaryProperty(UChar32(c), UCHAR_REGIONAL_INDICATOR)
            || u_hasBinaryProperty(UChar32(c), UCHAR_VARIATION_SELECTOR))
            continue;
        kept.append(QString::fromUcs4(&c, 1));
    }
    return kept.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// The participant a chat's name stands for: the one written so; else the
// one whose name it is but for case, emoji and spaces; else the only one
// whose name begins with its words, as apps name a chat by the first name
// the user saved ("Sam" for Sam Rivera). None when two could be meant.
std::optional<QString> participantNamed(const QList<Conversation::LogPerson> &people, const QString &name)
{
    const QStringList wanted = wordsOf(name);
    if (wanted.isEmpty())
        return std::nullopt;
    for (const Conversation::LogPerson &person : people) {
        if (person.name == name)
            return person.name;
    }
    QStringList equal;
    QStringList beginning;
    for (const Conversation::LogPerson &person : people) {
        const QStringList words = wordsOf(person.name);
        if (words == wanted)
            equal.append(person.name);
        else if (words.mid(0, wanted.size()) == wanted)
            beginning.append(person.name);
    }
    if (!equal.isEmpty())
        return equal.size() == 1 ? std::optional(equal.first()) : std::nullopt;
    return beginning.size() == 1 ? std::optional(beginning.first()) : std::nullopt;
}

// A name as apps write it in different places, a file's name among them:
// its letters and digits alone, in one case ("+49 151 2345 6789" and
// "+49 151 23456789" are one number, "Sam / Work" and "Sam _ Work" one
// name).
QString lettersAndDigits(const QString &name)
{
    QString kept;
    for (const QChar c : name.toCaseFolded()) {
        if (c.isLetterOrNumber() || c.isMark())
            kept.append(c);
    }
    return kept;
}

// The one who wrote alone a WhatsApp export named after someone else: the
// user, writing to someone who never answered. Only WhatsApp's export
// names the chat with the very name its lines give that person; a chat's
// name anywhere else may be a nickname the user saved, and a pasted chat's
// is what the user typed for it.
bool wroteToSomeoneElse(const Conversation &conversation)
{
    const QString exported = WhatsAppExport::chatName(conversation.source.name);
    if (exported.isEmpty() || conversation.people->size() != 1)
        return false;
    const QString writer = conversation.people->first().name;
    return !participantNamed(*conversation.people, exported)
        && lettersAndDigits(writer) != lettersAndDigits(exported);
}

bool isOneToOneChatFile(const Conversation &conversation)
{
    return conversation.source.log && !conversation.group && conversation.people
        && !conversation.people->isEmpty();
}

bool hasBothSides(const Conversation &conversation)
{
    return isOneToOneChatFile(conversation) && conversation.people->size() >= 2;
}

bool isAmong(const QList<Conversation::LogPerson> &people, const QString &name)
{
    return std::any_of(people.cbegin(), people.cend(),
        [&](const Conversation::LogPerson &person) { return person.name == name; });
}

// Who the user is by what the export itself says of the other party: the
// one beside them, or, when they never wrote, the one who did. Empty when
// the only one who wrote is them. None when the export doesn't say, or
// says what makes no sense of the people.
std::optional<QString> userBesideThem(const Conversation &conversation)
{
    if (!conversation.them || !isOneToOneChatFile(conversation))
        return std::nullopt;
    const QList<Conversation::LogPerson> &people = *conversation.people;
    if (!isAmong(people, *conversation.them))
        return people.size() == 1 ? std::optional(people.first().name) : std::nullopt;
    for (const Conversation::LogPerson &person : people) {
        if (person.name != *conversation.them)
            return person.name;
    }
    return QString();
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
    if (!hasBothSides(conversation))
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
    if (stored && isAmong(people, *stored))
        return *stored;
    // The export knows better than any rule on names: a chat saved under
    // a nickname may name the user as well as the person it is with.
    if (const std::optional<QString> beside = userBesideThem(conversation))
        return *beside;
    // Only one of them wrote: an export of someone the user never answered,
    // or one side of a pasted chat. The one who wrote is the other party;
    // the user, who wrote nothing, is not among the people. Unless the
    // export names the chat after someone else: then the user wrote alone.
    if (people.size() < 2)
        return wroteToSomeoneElse(conversation) ? people.first().name : QString();
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
    const QString me = user(conversation);
    if (conversation.them && *conversation.them != me && userBesideThem(conversation))
        return *conversation.them;
    if (conversation.name && !conversation.name->isEmpty() && !participantNamed(people, *conversation.name))
        return std::nullopt;
    for (const Conversation::LogPerson &person : people) {
        if (person.name != me)
            return person.name;
    }
    return std::nullopt;
}

bool isNamedAfterUser(const Conversation &conversation)
{
    // An export that says who the chat is with has its name for them, even
    // one that begins like the user's ("Alex" for Alexandra, to Alex).
    if (!hasBothSides(conversation) || !conversation.name
        || (conversation.them && !conversation.them->isEmpty()))
        return false;
    const QString me = user(conversation);
    return !me.isEmpty() && wordsOf(*conversation.name) == wordsOf(me);
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
