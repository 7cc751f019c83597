#include "chatexports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ChatExports {

QByteArray photoBytes()
{
    return QByteArray("\xFF\xD8\xFF\xE0"
                      "summit",
        10);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

std::function<QString(const QString &folder)> fileWriter(const QString &name, const QByteArray &bytes)
{
    return [=](const QString &folder) {
        writeFile(folder + QLatin1Char('/') + name, bytes);
        return folder + QLatin1Char('/') + name;
    };
}

std::function<QString(const QString &folder)> fileWriter(const QString &name, const QString &text)
{
    return fileWriter(name, text.toUtf8());
}

QList<Sample> samples()
{
    // Robin is the user; where the export names its owner, Robin (or the
    // word the export uses for the user) is listed first.
    const QStringList robinFirst = { "Robin", "Sam" };
    const QStringList samFirst = { "Sam", "Robin" };
    const QList<qint64> ownerCounts = { 1, 2 };
    const QList<qint64> samCounts = { 2, 1 };
    return {
        { "Telegram JSON, one chat", "Telegram", "Sam", robinFirst, ownerCounts, "Robin", true,
            telegramChat },
        { "Telegram JSON, whole account", "Telegram", "Sam", robinFirst, ownerCounts, "Robin", true,
            telegramAccount },
        { "Telegram HTML", "Telegram", "Sam", samFirst, samCounts, {}, true, telegramHtml },
        { "Android SMS backup", "SMS", "Sam", { "Me", "Sam" }, ownerCounts, "Me", true, smsBackup },
        { "signal-export Markdown", "Signal", "Sam", { "Me", "Sam" }, ownerCounts, "Me", true,
            signalMarkdown },
        { "signal-export JSON", "Signal", "Sam", { "Me", "Sam" }, ownerCounts, "Me", true, signalDataJson },
        { "sigtop text", "Signal", "Sam", { "You", "Sam" }, ownerCounts, "You", false, sigtopText },
        { "sigtop JSON", "Signal", "Sam", { "Me", "Sam" }, ownerCounts, "Me", false, sigtopJson },
        { "Instagram", "Instagram", "Sam", robinFirst, ownerCounts, "Robin", true, instagram },
        { "Instagram, without a header", "Instagram", "Sam & Robin", samFirst, samCounts, {}, true,
            instagramHeaderless },
        { "Messenger", "Messenger", "Sam & Robin", samFirst, samCounts, {}, true, messengerNewer },
        { "Discord JSON", "Discord", "Sam & Robin", samFirst, samCounts, {}, true, discordJson },
        { "Discord CSV", "Discord", "sam & robin", { "sam", "robin" }, samCounts, {}, false, discordCsv },
        { "Slack", "Slack", "#general", samFirst, samCounts, {}, false, slack },
        { "Google Chat", "Google Chat", "Sam", robinFirst, ownerCounts, "Robin", true, googleChat },
        { "Snapchat", "Snapchat", "sam", { "robin", "sam" }, ownerCounts, "robin", false, snapchat },
        { "Snapchat, older", "Snapchat", "sam", { "Me", "sam" }, ownerCounts, "Me", false, snapchatOlder },
        { "LINE", "LINE", "Sam & Robin", samFirst, samCounts, {}, false, line },
        { "KakaoTalk PC", "KakaoTalk", "Sam & Robin", samFirst, samCounts, {}, false, kakaoTalkPc },
        { "KakaoTalk phone", "KakaoTalk", "Sam & Robin", samFirst, samCounts, {}, false, kakaoTalkPhone },
        { "KakaoTalk CSV", "KakaoTalk", "Sam & Robin", samFirst, samCounts, {}, false, kakaoTalkCsv },
        { "Skype", "Skype", "Sam", { "Me", "Sam" }, ownerCounts, "Me", false, skype },
        { "mbox", "Email", "Sam", robinFirst, ownerCounts, "Robin", true, mbox },
        { "eml files", "Email", "Sam & Robin", samFirst, samCounts, {}, true, emlFolder },
        { "irssi", "IRC", "#hiking", { "sam", "robin" }, samCounts, {}, false, irssi },
        { "weechat", "IRC", "#hiking", { "sam", "robin" }, samCounts, {}, false, weechat },
        { "IRC, a log per day", "IRC", "#hiking", { "sam", "robin" }, samCounts, {}, false, bracketedIrc },
        { "IRC, ISO times", "IRC", "#hiking", { "sam", "robin" }, samCounts, {}, false, isoIrc },
        { "WhatsApp database", "WhatsApp", "Sam", { "Me", "Sam" }, ownerCounts, "Me", true,
            whatsAppDatabase },
        { "WhatsApp database, older", "WhatsApp", "+15550100", { "Me", "+15550100" }, ownerCounts, "Me",
            false, whatsAppOlderDatabase },
    };
}

} // namespace ChatExports
