#pragma once

#include <QList>
#include <QString>
#include <functional>

// Exports as phones and other clients write them, beyond the one chat the
// samples share: stores of other years, headers of other locales, lines of
// other clients. Each comes with every message it must read as, so that a
// message lost, split, glued to another or given to the wrong person shows.
namespace ExportShapes {

// One message as the book shows it: "Aino Virtanen | 2019-12-24T09:05:33 |
// Hyvää joulua!", and " [photo]" after it for each attachment.
using Message = QString;

struct Chat
{
    QString key; // as "chats" lists it
    QString me; // the user's name as the messages show it
    // Given as --me-is where the export doesn't say who the user is.
    QString meIs;
    QList<Message> messages; // in time order
};

struct Shape
{
    QString name; // what the shape is, for messages
    QList<Chat> chats; // every chat the export holds
    // Writes the export into an empty folder; returns what --log is given.
    std::function<QString(const QString &folder)> write;
};

// An Android msgstore.db of the months WhatsApp moved to its newer tables:
// the history in the older "messages" and the newer "message" holding one
// empty row; and the same store further on, when both hold messages and
// the older ones lie in both.
Shape whatsAppStoreBeforeTheMove();
Shape whatsAppStoreDuringTheMove();

// Text exports whose headers other locales write.
QList<Shape> whatsAppLocales();

// Text exports whose messages hold a date and time written in another
// form than the export's own headers; and French Android's "à" before the
// time.
QList<Shape> whatsAppHeaderLookalikes();

// LINE's Android export of years when messages of several lines went
// unquoted, and midnight's hour was written 24.
Shape lineUnquoted();

// LINE's export where a message goes on after a blank line with a line
// that begins with a date, unquoted.
Shape lineDateAfterABlankLine();

// A log mIRC wrote, with its own lines about the channel and the midnights
// of a session that spans quiet days.
Shape mirc();

// An irssi log of years when some clients sent Windows-1252 and others
// UTF-8, line by line; and a log dircproxy wrote, its days without their
// year and freenode's mark of an identified nick before every text.
Shape ircMixedEncodings();
Shape dircproxy();

// Mail that says what it has to say in its subject: a Gmail mailbox where
// some of it does, and a Thunderbird one where all of it does.
Shape gmailWithSubjectsAlone();
Shape thunderbirdOfSubjectsAlone();

// Meta's downloads with the notices they write about polls: an Instagram
// group, and a chat of Messenger's newer download.
Shape instagramPolls();
Shape messengerPolls();

// A mailbox that several converters write with a blank line before its
// first mail; mail whose charset is ISO-8859-15, its euro sign with it.
Shape mailboxAfterABlankLine();
Shape mailInLatin9();

// A Telegram page whose video and voice messages, photo and file the
// export left out, each standing as a box of its kind.
Shape telegramMediaLeftOut();

// An Android store of the months from the summer of 2021: the history in
// the older table, and no "chat_list" to name its groups.
Shape whatsAppStoreWithoutChatList();

// Files cut short by a copy that broke off: an SMS backup inside its
// fiftieth message, a signal-export file inside its last line. "chats"
// says of each chat in them that the file ends early, and how many
// messages it gave: 49 and 3.
Shape smsBackupCutShort();
Shape signalExportCutShort();

// Every shape above.
QList<Shape> all();

} // namespace ExportShapes
