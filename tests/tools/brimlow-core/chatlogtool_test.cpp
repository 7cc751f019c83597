// Chat exports through the staged executable, as the app runs it.
#include "chatexports.h"
#include "printers.h"
#include "toolrunner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QJsonObject readBook(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object();
}

QStringList fromOfEveryMessage(const QJsonObject &book)
{
    QStringList from;
    for (const QJsonValue &message : book.value("messages").toArray())
        from.append(message.toObject().value("from").toString());
    return from;
}

} // namespace

TEST(ChatLogTool, ListsAnExportWithItsPeopleAndNoChatIds)
{
    QTemporaryDir dir;
    const ToolRun run
        = runTool({ "--log", ChatExports::telegramChat(dir.path()), "chats", "--limit", "300" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray list = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.at(0).toObject(),
        (QJsonObject { { "key", "Sam" }, { "group", false }, { "name", "Sam" }, { "chat_ids", QJsonArray() },
            { "services", QJsonArray { "Telegram" } }, { "messages", 3 }, { "first", "2024-03-05" },
            { "last", "2024-03-06" },
            { "people",
                QJsonArray { QJsonObject { { "name", "Robin" }, { "messages", 1 } },
                    QJsonObject { { "name", "Sam" }, { "messages", 2 } } } },
            { "them", "Sam" } }));
}

namespace {

// A Telegram export of one personal chat, as the user saved the other
// person: "Alex", the first word of the user's own name. The chat's id is
// Alexandra's, whose messages carry it.
QString nicknamedChat(const QString &folder, const QStringList &writers)
{
    QJsonArray messages;
    const QHash<QString, QString> ids { { "Alexandra Kim", "user5550" }, { "Alex Rowan", "user7001" } };
    for (int i = 0; i < 4; ++i) {
        const QString from = writers.at(i % writers.size());
        messages.append(QJsonObject { { "id", i + 1 }, { "type", "message" },
            { "date_unixtime", QString::number(1709673240 + i * 60) }, { "from", from },
            { "from_id", ids.value(from) }, { "text", QStringLiteral("Line %1").arg(i + 1) } });
    }
    const QString path = folder + QStringLiteral("/ChatExport_2024-03-07/result.json");
    ChatExports::writeFile(path,
        QJsonDocument(QJsonObject { { "name", "Alex" }, { "type", "personal_chat" }, { "id", 5550 },
                          { "messages", messages } })
            .toJson());
    return path;
}

QJsonObject onlyChat(const QString &log)
{
    const ToolRun run = runTool({ "--log", log, "chats", "--limit", "300" });
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray list = QJsonDocument::fromJson(run.out).array();
    EXPECT_EQ(list.size(), 1);
    return list.at(0).toObject();
}

} // namespace

// The app took "Alex" for the user, Alex Rowan, and made Alexandra the
// user: the answer said nothing of who the chat is with, though the
// export does.
TEST(ChatLogTool, NamesWhoATelegramPersonalChatIsWithByItsId)
{
    QTemporaryDir dir;
    const QJsonObject both = onlyChat(nicknamedChat(dir.filePath("both"), { "Alexandra Kim", "Alex Rowan" }));
    EXPECT_EQ(both.value("name"), "Alex");
    EXPECT_EQ(both.value("them"), "Alexandra Kim");
    // The owner leads, Alexandra follows.
    EXPECT_EQ(both.value("people").toArray().at(0).toObject().value("name"), "Alex Rowan");

    // Only Alexandra wrote: still her.
    EXPECT_EQ(
        onlyChat(nicknamedChat(dir.filePath("hers"), { "Alexandra Kim" })).value("them"), "Alexandra Kim");
    // Only the user wrote: the chat bears her name as the user saved it.
    EXPECT_EQ(onlyChat(nicknamedChat(dir.filePath("mine"), { "Alex Rowan" })).value("them"), "Alex");
}

// A chat export that doesn't say who is who has no "them": the app's
// rules on names decide, as for an answer of an older tool.
TEST(ChatLogTool, SaysNothingOfWhoAChatIsWithWhereTheExportDoesnt)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("WhatsApp Chat with Sam.txt"));
    ChatExports::writeFile(file, "3/5/24, 9:14 PM - Sam: hey\n3/5/24, 9:15 PM - Robin: on my way\n");
    EXPECT_FALSE(onlyChat(file).contains("them"));
}

TEST(ChatLogTool, ExportsTheOwnerAsTheUserUnlessMeIsSaysOtherwise)
{
    QTemporaryDir dir;
    const QString log = ChatExports::telegramChat(dir.path());
    const QString book = dir.filePath(QStringLiteral("book.json"));
    ToolRun run = runTool({ "--log", log, "export", "--conversation", "Sam", "--out", book, "--title",
        "You & Sam", "--them", "Sam", "--me", "Robin" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(fromOfEveryMessage(readBook(book)), (QStringList { "them", "me", "them" }));
    EXPECT_EQ(
        readBook(book).value("messages").toArray().at(2).toObject().value("photos").toArray().size(), 1);

    run = runTool({ "--log", log, "export", "--conversation", "Sam", "--out", book, "--me", "Sam", "--them",
        "Robin", "--me-is", "Sam" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(fromOfEveryMessage(readBook(book)), (QStringList { "me", "them", "me" }));
}

TEST(ChatLogTool, WritesPicturesTheExportCarriesBesideTheBook)
{
    QTemporaryDir dir;
    const QString log = ChatExports::smsBackup(dir.path());
    const QString book = dir.filePath(QStringLiteral("book/book.json"));
    QDir().mkpath(dir.filePath(QStringLiteral("book")));
    const ToolRun run = runTool(
        { "--log", log, "export", "--conversation", "Sam", "--out", book, "--them", "Sam", "--me", "Robin" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray photos
        = readBook(book).value("messages").toArray().at(2).toObject().value("photos").toArray();
    ASSERT_EQ(photos.size(), 1);
    const QString photo = photos.at(0).toString();
    EXPECT_TRUE(photo.startsWith(dir.filePath(QStringLiteral("book/photos/")))) << photo.toStdString();
    QFile file(photo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), ChatExports::photoBytes());
}

TEST(ChatLogTool, TakesBackItsPicturesWhenTheBookCantBeSaved)
{
    QTemporaryDir dir;
    const QString log = ChatExports::smsBackup(dir.path());
    const QString book = dir.filePath(QStringLiteral("book/book.json"));
    QDir().mkpath(book); // a folder where the book should go
    const ToolRun run = runTool({ "--log", log, "export", "--conversation", "Sam", "--out", book });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.lastErrorLine().startsWith(QStringLiteral("Error: The book can't be saved at ")));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("book/photos"))).entryList(QDir::Files).isEmpty());
}

TEST(ChatLogTool, RefusesEncryptedWhatsAppBackupsWithTheReason)
{
    QTemporaryDir dir;
    const QString backup = dir.filePath(QStringLiteral("msgstore.db.crypt15"));
    ChatExports::writeFile(backup, ChatExports::encryptedWhatsApp(15));
    const ToolRun run = runTool({ "--log", backup, "chats" });
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lastErrorLine(),
        "Error: This WhatsApp backup is encrypted (crypt15), and its key can't be entered here. In WhatsApp, "
        "open "
        "the chat and choose Export chat, then add that file instead.");
    EXPECT_TRUE(run.out.isEmpty());
}
