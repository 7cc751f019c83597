#pragma once

#include "chattally.h"
#include "transcript.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace Brimlow {

// One chat-export format. A reader is chosen by what a file holds, never by
// its name, so that a renamed export still reads.
class ChatLogReader
{
public:
    // What reading keeps of each message: all of it, for a book, or only
    // its count, for listing the chats of an export too big to hold.
    enum class Detail { Messages, Counts };

    // One chat, or the share of a chat one file holds.
    struct Chat
    {
        QString service; // the messaging service, as "chats" lists it
        // Every sender is a participant, the user among them; messages in
        // file order, attachment paths absolute. Read for Counts, the
        // messages are left out and counted in tally instead.
        Transcript transcript;
        ChatTally tally;
        // The account owner's name among the participants, where the format
        // says who exported it; the user unless --me-is says otherwise.
        QString owner;
        // Who a one-to-one chat is with, where the format says so whoever
        // wrote (a Telegram personal chat has the other person's id).
        QString other;
        // Exports that spread one chat over several files (a page per file,
        // a day per file) give each file's share the same non-empty key: the
        // format, a colon and the folder the files lie in (and more after a
        // slash where one folder holds several chats).
        QString joinKey;
        // Downloads of one account that list each chat's members but not
        // the owner: the owner is the one member every chat of the account
        // shares.
        QString account;
        QStringList members;
        // Formats that know people by a handle (an address) and name them
        // only here and there: participants, members and the owner are
        // handles, and these the names they are shown by.
        QHash<QString, QString> names;
        // What the chat's key is made of, where that is not its name: an
        // empty text makes the key of the people in it.
        std::optional<QString> keyName;
        // The file was cut short: this is what came before the cut.
        bool endsEarly = false;
        // A sentence for the user about how the chat was read, "This file
        // ends early: 49 messages were read."; empty when it read whole.
        QString notice;
    };

    // What readers of one --log share: the folder that bounds every file
    // they may open, and side files already read.
    struct Context
    {
        QString root; // the folder given, or the folder of the file given
        Detail detail = Detail::Messages;
        QHash<QString, QHash<QString, QString>> lookups; // by side file's path
    };

    virtual ~ChatLogReader() = default;

    // The messaging service the format comes from, as "chats" lists it.
    virtual QString service() const = 0;

    // Whether a file that starts with these bytes is in this format.
    virtual bool recognises(const QByteArray &head) const = 0;

    // The chats in a file of this format; none when no message reads.
    // Throws Failure with a sentence for the user when the file cannot be
    // read at all.
    virtual QList<Chat> read(const QString &path, Context &context) const = 0;
};

} // namespace Brimlow
