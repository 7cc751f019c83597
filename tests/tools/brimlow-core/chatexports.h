#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Chat exports of every format the tool reads, written from each format's
// published structure with invented people. Each holds the same chat
// between the user Robin and Sam (times in UTC):
//   2024-03-05 21:14 Sam: "hey café"
//   2024-03-05 21:15 Robin: "on my way 👋"
//   2024-03-06 08:00 Sam: "the summit!", with a photo
namespace ChatExports {

struct Sample
{
    QString format; // what the sample is, for messages
    QString service;
    QString key; // the chat's key in "chats"
    QStringList people; // as "chats" lists them, in order
    QList<qint64> counts;
    QString user; // the user's name when the export says who the user is; else empty
    bool photo = false; // the export carries the photo itself
    // Writes the export into an empty folder; returns what --log is given.
    std::function<QString(const QString &folder)> write;
};

QList<Sample> samples();

// The left-to-right mark WhatsApp's text exports put before some lines and
// before the words written in place of a message ("image omitted").
inline const QString lrm = QStringLiteral("\u200E");

// The photo's bytes, as every sample carries them.
QByteArray photoBytes();

void writeFile(const QString &path, const QByteArray &bytes);
// Writes bytes as the file name inside the folder it is given; returns
// the file's path, as --log is given it.
std::function<QString(const QString &folder)> fileWriter(const QString &name, const QByteArray &bytes);
// The same for a text, in UTF-8.
std::function<QString(const QString &folder)> fileWriter(const QString &name, const QString &text);

// The formats one by one.
QString telegramChat(const QString &folder);
QString telegramAccount(const QString &folder);
QString telegramHtml(const QString &folder);
QString smsBackup(const QString &folder);
QString signalMarkdown(const QString &folder);
QString signalDataJson(const QString &folder);
QString sigtopText(const QString &folder);
QString sigtopJson(const QString &folder);
QString instagram(const QString &folder); // two threads, the second with Alex
QString instagramHeaderless(const QString &folder); // a messages list alone
QString messengerNewer(const QString &folder);
QString discordJson(const QString &folder);
QString discordCsv(const QString &folder);
QString slack(const QString &folder);
QString googleChat(const QString &folder);
QString snapchat(const QString &folder);
QString snapchatOlder(const QString &folder);
QString line(const QString &folder);
QString kakaoTalkPc(const QString &folder);
QString kakaoTalkPhone(const QString &folder);
QString kakaoTalkCsv(const QString &folder);
QString skype(const QString &folder);
QString mbox(const QString &folder); // Gmail's, the user's mail labelled "Sent"
QString emlFolder(const QString &folder); // one mail per file
QString irssi(const QString &folder);
QString weechat(const QString &folder);
QString bracketedIrc(const QString &folder); // a log per day, the day in the name
QString isoIrc(const QString &folder); // ISO times, with joins, quits and a nick change
QString whatsAppDatabase(const QString &folder); // msgstore.db and wa.db
QString whatsAppOlderDatabase(const QString &folder);

// The header of an encrypted WhatsApp backup (crypt14 or crypt15) and
// random bytes after it.
QByteArray encryptedWhatsApp(int version);

} // namespace ChatExports
