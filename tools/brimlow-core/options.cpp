#include "options.h"

#include "failure.h"

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

} // namespace

Options Options::parse(const QStringList &arguments)
{
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (!word.startsWith(QLatin1String("--"))) {
            if (options.command != Command::None)
                throw usage(QStringLiteral("Unexpected argument “%1”.").arg(word));
            options.command = commandNamed(word);
            options.commandName = word;
            if (options.command == Command::None)
                throw usage(QStringLiteral("Unknown command “%1”.").arg(word));
            // The commands of later versions take options of their own; they
            // are refused as a whole when they run.
            if (options.command == Command::Wrapped || options.command == Command::Ebook)
                return options;
            continue;
        }
        if (word == QLatin1String("--key-stdin")) {
            options.keyStdin = true;
            continue;
        }
        if (word == QLatin1String("--password-stdin")) {
            options.passwordStdin = true;
            continue;
        }
        if (i + 1 >= arguments.size())
            throw usage(QStringLiteral("%1 needs a value.").arg(word));
        const QString value = arguments.at(++i);
        if (word == QLatin1String("--db"))
            options.database = value;
        else if (word == QLatin1String("--log"))
            options.log = value;
        else if (word == QLatin1String("--limit"))
            options.limit = parseLimit(value);
        else if (word == QLatin1String("--conversation"))
            options.conversation = value;
        else if (word == QLatin1String("--out"))
            options.out = value;
        else if (word == QLatin1String("--title"))
            options.title = value;
        else if (word == QLatin1String("--them"))
            options.them = value;
        else if (word == QLatin1String("--me"))
            options.me = value;
        else if (word == QLatin1String("--me-is"))
            options.meIs = value;
        else if (word == QLatin1String("--backup"))
            options.backup = value;
        else if (word == QLatin1String("--dir"))
            options.dir = value;
        else if (word == QLatin1String("--cache"))
            options.cache = value;
        else
            throw usage(QStringLiteral("Unknown option “%1”.").arg(word));
    }
    if (options.command == Command::None)
        throw usage(QStringLiteral("Say what to do: chats, export, backups or unlock."));
    return options;
}

} // namespace Brimlow
