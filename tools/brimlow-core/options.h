#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace Brimlow {

// The command line, read into one record. Which options a command needs is
// checked by the command itself.
struct Options
{
    enum class Command { None, Chats, Export, Backups, Unlock, Wrapped, Ebook };

    Command command = Command::None;

    QString database; // --db: a Messages store
    QString log; // --log: a chat export or pasted chat, file or folder
    std::optional<int> limit; // --limit

    QString conversation; // --conversation
    QString out; // --out
    std::optional<QString> title; // --title
    std::optional<QString> them; // --them
    std::optional<QString> me; // --me
    std::optional<QString> meIs; // --me-is

    QString backup; // --backup
    bool keyStdin = false; // --key-stdin
    std::optional<QString> dir; // --dir
    QString cache; // --cache
    bool passwordStdin = false; // --password-stdin

    QString resolved; // --resolved: the book as the ebook template resolves it
    QString id; // --id
    std::optional<QString> cover; // --cover: a PNG

    std::optional<int> year; // --year: the one calendar year a Wrapped covers

    // Throws Failure (kind Usage) for an unknown option, a missing value or
    // a second command word. "wrapped" reads its book from standard input
    // and takes no option but --year, which no other command takes.
    static Options parse(const QStringList &arguments);
};

} // namespace Brimlow
