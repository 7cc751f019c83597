#include "options.h"

#include "failure.h"

#include <algorithm>

namespace Brimlow {

namespace {

Failure usage(const QString &sentence)
{
    return Failure(sentence, Failure::Kind::Usage);
}

Options::Command commandNamed(const QString &word)
{
    using Command = Options::Command;
    if (word == QLatin1String("chats"))
        return Command::Chats;
    if (word == QLatin1String("export"))
        return Command::Export;
    if (word == QLatin1String("backups"))
        return Command::Backups;
    if (word == QLatin1String("unlock"))
        return Command::Unlock;
    if (word == QLatin1String("wrapped"))
        return Command::Wrapped;
    if (word == QLatin1String("ebook"))
        return Command::Ebook;
    return Command::None;
}

int parseLimit(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0)
        throw usage(QStringLiteral("--limit needs a whole number of 0 or more, not “%1”.").arg(text));
    return value;
}

int parseYear(const QString &text)
{
    const bool digits = !text.isEmpty() && text.size() <= 4
        && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const int year = digits ? text.toInt() : 0;
    if (year < 1)
        throw usage(QStringLiteral("--year needs a year such as 2024, not “%1”.").arg(text));
    return year;
}

// Options that name no input or output of "wrapped" are refused for it, and
// --year for everything else, so that a mistyped command never quietly
// does something other than what was asked.
void checkWrappedOptions(Options::Command command, const QStringList &given)
{
    for (const QString &option : given) {
        if ((command == Options::Command::Wrapped) != (option == QLatin1String("--year")))
            throw usage(QStringLiteral("Unknown option “%1”.").arg(option));
    }
}

} // namespace

Options Options::parse(const QStringList &arguments)
{
    Options options;
    QStringList given;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (!word.startsWith(QLatin1String("--"))) {
            if (options.command != Command::None)
                throw usage(QStringLiteral("Unexpected argument “%1”.").arg(word));
            options.command = commandNamed(word);
            if (options.command == Command::None)
                throw usage(QStringLiteral("Unknown command “%1”.").arg(word));
            continue;
        }
        given.append(word);
        if (word == QLatin1String("--key-stdin")) {
            options.keyStdin = true;
            continue;
        }
        if (word == QLatin1String("--password-stdin")) {
            options.passwordStdin = true;
            continue;
        }
        QString *text = nullptr;
        std::optional<QString> *optionalText = nullptr;
        if (word == QLatin1String("--db"))
            text = &options.database;
        else if (word == QLatin1String("--log"))
            text = &options.log;
        else if (word == QLatin1String("--conversation"))
            text = &options.conversation;
        else if (word == QLatin1String("--out"))
            text = &options.out;
        else if (word == QLatin1String("--backup"))
            text = &options.backup;
        else if (word == QLatin1String("--cache"))
            text = &options.cache;
        else if (word == QLatin1String("--title"))
            optionalText = &options.title;
        else if (word == QLatin1String("--them"))
            optionalText = &options.them;
        else if (word == QLatin1String("--me"))
            optionalText = &options.me;
        else if (word == QLatin1String("--me-is"))
            optionalText = &options.meIs;
        else if (word == QLatin1String("--dir"))
            optionalText = &options.dir;
        else if (word == QLatin1String("--resolved"))
            text = &options.resolved;
        else if (word == QLatin1String("--id"))
            text = &options.id;
        else if (word == QLatin1String("--cover"))
            optionalText = &options.cover;
        else if (word != QLatin1String("--limit") && word != QLatin1String("--year"))
            throw usage(QStringLiteral("Unknown option “%1”.").arg(word));
        if (i + 1 >= arguments.size())
            throw usage(QStringLiteral("%1 needs a value.").arg(word));
        const QString value = arguments.at(++i);
        if (text)
            *text = value;
        else if (optionalText)
            *optionalText = value;
        else if (word == QLatin1String("--year"))
            options.year = parseYear(value);
        else
            options.limit = parseLimit(value);
    }
    if (options.command == Command::None)
        throw usage(QStringLiteral("Say what to do: chats, export, backups, unlock, wrapped or ebook."));
    checkWrappedOptions(options.command, given);
    return options;
}

} // namespace Brimlow
