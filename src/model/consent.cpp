#include "consent.h"

#include "day.h"
#include "defaults.h"

#include <QDateTime>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

std::function<QString()> &fullNameSource()
{
    static std::function<QString()> source;
    return source;
}

QString accountFullName()
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
