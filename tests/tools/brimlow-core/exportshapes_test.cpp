// Exports of other years, locales and clients through the staged tool, as
// the app runs it: every chat listed with its people and days, and every
// message exported with its author, time, text and attachments.
#include "exportshapes.h"
#include "printers.h"
#include "toolrunner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using ExportShapes::Chat;
using ExportShapes::Shape;

namespace {

QString authorOf(const ExportShapes::Message &message)
{
    return message.section(QLatin1String(" | "), 0, 0);
}

// What "chats" says of a chat: "5 messages, 2021-12-23 to 2021-12-26, Aino
// Virtanen 3, Me 2", its people by name.
QString listing(qsizetype count, const QString &first, const QString &last, QMap<QString, qint64> people)
{
    QString text = QStringLiteral("%1 messages, %2 to %3").arg(count).arg(first, last);
    for (auto it = people.cbegin(); it != people.cend(); ++it)
        text += QStringLiteral(", %1 %2").arg(it.key()).arg(it.value());
    return text;
}

QString expectedListing(const Chat &chat)
{
    QMap<QString, qint64> people;
    for (const ExportShapes::Message &message : chat.messages)
        ++people[authorOf(message)];
    const auto dayOf = [](const ExportShapes::Message &message) {
        return message.section(QLatin1String(" | "), 1, 1).left(10);
    };
    return listing(chat.messages.size(), dayOf(chat.messages.first()), dayOf(chat.messages.last()), people);
}

QString listed(const QJsonObject &conversation)
{
    QMap<QString, qint64> people;
    for (const QJsonValue &person : conversation.value("people").toArray())
        people.insert(person["name"].toString(), person["messages"].toInteger());
    return listing(conversation.value("messages").toInteger(), conversation.value("first").toString(),
        conversation.value("last").toString(), people);
}

// The book "export" writes, its messages shown as the shape writes them.
QList<ExportShapes::Message> exported(const QString &log, const Chat &chat, const QString &book)
{
    QString them;
    for (const ExportShapes::Message &message : chat.messages) {
        if (authorOf(message) != chat.me)
            them = authorOf(message);
    }
    QStringList arguments = { "--log", log, "export", "--conversation", chat.key, "--out", book, "--me",
        chat.me, "--them", them };
    if (!chat.meIs.isEmpty())
        arguments << "--me-is" << chat.meIs;
    const ToolRun run = runTool(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    QFile file(book);
    file.open(QIODevice::ReadOnly);
    const QJsonObject document = QJsonDocument::fromJson(file.readAll()).object();
    QHash<QString, QString> names;
    for (const QJsonValue &person : document.value("people").toArray())
        names.insert(person["id"].toString(), person["name"].toString());
    QList<ExportShapes::Message> messages;
    for (const QJsonValue &value : document.value("messages").toArray()) {
        const QJsonObject message = value.toObject();
        QString shown = names.value(message["from"].toString()) + QLatin1String(" | ")
            + message["at"].toString() + QLatin1String(" | ") + message["text"].toString();
        for (const QJsonValue &kind : message["media"].toArray())
            shown += QLatin1String(" [") + kind.toString() + QLatin1Char(']');
        messages.append(shown);
    }
    return messages;
}

// notice: what "chats" must say of each chat of a file read in part.
void readsWhole(const Shape &shape, const QString &notice = {})
{
    SCOPED_TRACE(shape.name.toStdString());
    QTemporaryDir dir;
    const QString log = shape.write(dir.filePath(QStringLiteral("export")));
    const ToolRun run = runTool({ "--log", log, "chats", "--limit", "300" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    QHash<QString, QJsonObject> byKey;
    for (const QJsonValue &conversation : QJsonDocument::fromJson(run.out).array())
        byKey.insert(conversation["key"].toString(), conversation.toObject());
    EXPECT_EQ(byKey.size(), shape.chats.size()) << run.out.constData();
    for (const Chat &chat : shape.chats) {
        SCOPED_TRACE(chat.key.toStdString());
        ASSERT_TRUE(byKey.contains(chat.key)) << run.out.constData();
        EXPECT_EQ(listed(byKey.value(chat.key)), expectedListing(chat));
        EXPECT_EQ(byKey.value(chat.key).value("notice").toString(), notice);
        EXPECT_EQ(exported(log, chat, dir.filePath(QStringLiteral("book.json"))), chat.messages);
    }
}

} // namespace

TEST(ExportShapes, AWhatsAppStoreOfTheMigrationYearsReadsFromTheTableThatHoldsItsHistory)
{
    readsWhole(ExportShapes::whatsAppStoreBeforeTheMove());
    readsWhole(ExportShapes::whatsAppStoreDuringTheMove());
}

TEST(ExportShapes, AWhatsAppStoreWithoutItsOlderChatListNamesItsGroupsFromTheNewerOne)
{
    readsWhole(ExportShapes::whatsAppStoreWithoutChatList());
}

// Each header starts a message, and no line of a person's words that
// merely looks like one of another form does.
TEST(ExportShapes, WhatsAppHeadersOfMoreLocalesEachStartAMessage)
{
    for (const Shape &shape : ExportShapes::whatsAppLocales())
        readsWhole(shape);
}

TEST(ExportShapes, WhatsAppLinesOfAnotherHeaderFormStayInTheirMessage)
{
    for (const Shape &shape : ExportShapes::whatsAppHeaderLookalikes())
        readsWhole(shape);
}

TEST(ExportShapes, LineKeepsUnquotedLinesWithTheirMessageAndTheHourWrittenTwentyFour)
{
    readsWhole(ExportShapes::lineUnquoted());
}

TEST(ExportShapes, LineStartsADayOnlyAtADaysOwnLine)
{
    readsWhole(ExportShapes::lineDateAfterABlankLine());
}

TEST(ExportShapes, MircLeavesOutItsOwnLinesAndKeepsEachDay)
{
    readsWhole(ExportShapes::mirc());
}

TEST(ExportShapes, IrcLogsReadLinesOfEitherEncodingAndTheLogsDircproxyWrites)
{
    readsWhole(ExportShapes::ircMixedEncodings());
    readsWhole(ExportShapes::dircproxy());
}

TEST(ExportShapes, MailSaidInItsSubjectAloneIsAMessage)
{
    readsWhole(ExportShapes::gmailWithSubjectsAlone());
    readsWhole(ExportShapes::thunderbirdOfSubjectsAlone());
}

TEST(ExportShapes, MetaNoticesAboutPollsAreLeftOutLikeTheOtherNotices)
{
    readsWhole(ExportShapes::instagramPolls());
    readsWhole(ExportShapes::messengerPolls());
}

TEST(ExportShapes, AMailboxAfterABlankLineReadsAndLatin9KeepsItsEuroSign)
{
    readsWhole(ExportShapes::mailboxAfterABlankLine());
    readsWhole(ExportShapes::mailInLatin9());
}

TEST(ExportShapes, TelegramKeepsMessagesWhoseMediaTheExportLeftOut)
{
    readsWhole(ExportShapes::telegramMediaLeftOut());
}

// Every whole message before the cut is read, and each chat of the file
// says how many there were.
TEST(ExportShapes, AFileCutShortGivesEveryMessageBeforeTheCutAndSaysSo)
{
    readsWhole(ExportShapes::smsBackupCutShort(), "This file ends early: 49 messages were read.");
    readsWhole(ExportShapes::signalExportCutShort(), "This file ends early: 3 messages were read.");
}

// Nothing to read in a mailbox is said of a mailbox, not with an example
// of WhatsApp's lines.
TEST(ExportShapes, AFileWithoutAChatIsToldInWordsOfItsKind)
{
    QTemporaryDir dir;
    const QByteArray prose = "Notes for the trip\n\nBring boots and a flask.\n";
    for (const auto &[name, sentence] :
        { std::pair { QStringLiteral("notes.mbox"), "Error: There's no mail in that." },
            std::pair { QStringLiteral("notes.txt"), "Error: There's no chat in that." } }) {
        SCOPED_TRACE(name.toStdString());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(prose);
        file.close();
        const ToolRun run = runTool({ "--log", file.fileName(), "chats", "--limit", "300" });
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.err.startsWith(sentence)) << run.err.constData();
    }
}
