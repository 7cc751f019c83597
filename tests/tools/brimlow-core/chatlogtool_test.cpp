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
                    QJsonObject { { "name", "Sam" }, { "messages", 2 } } } } }));
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
