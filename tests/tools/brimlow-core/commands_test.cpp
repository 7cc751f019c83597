// The staged executable, run as the app runs it.
#include "fixtures.h"
#include "printers.h"
#include "toolrunner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QJsonObject readBook(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object();
}

class Tool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = dir.filePath(QStringLiteral("messages/chat.db"));
        QDir().mkpath(dir.filePath(QStringLiteral("messages")));
        Fixtures::writeSampleStore(db, MessagesDbWriter::Schema::Ventura);
        book = dir.filePath(QStringLiteral("book.json"));
    }

    QTemporaryDir dir;
    QString db;
    QString book;
};

} // namespace

TEST_F(Tool, ListsConversationsWithEveryKeyTheAppReads)
{
    const ToolRun run = runTool({ "--db", db, "chats", "--limit", "300" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray list = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(list.size(), 3);
    const QJsonObject sam = list.at(1).toObject();
    EXPECT_EQ(sam.value("key").toString(), "+15550100");
    EXPECT_EQ(sam.value("group").toBool(true), false);
    EXPECT_FALSE(sam.contains("name"));
    EXPECT_EQ(sam.value("chat_ids").toArray(), (QJsonArray { 1, 2 }));
    EXPECT_EQ(sam.value("services").toArray(), (QJsonArray { "iMessage", "SMS" }));
    EXPECT_EQ(sam.value("messages").toInt(), 3);
    EXPECT_EQ(sam.value("first").toString(), "2024-03-05");
    EXPECT_EQ(sam.value("last").toString(), "2024-03-05");
    EXPECT_EQ(list.at(0).toObject().value("name").toString(), "Hiking Crew");

    const ToolRun limited = runTool({ "--db", db, "chats", "--limit", "2" });
    const QJsonArray two = QJsonDocument::fromJson(limited.out).array();
    ASSERT_EQ(two.size(), 2);
    EXPECT_EQ(two.at(1).toObject().value("key").toString(), "+15550100");
    EXPECT_EQ(
        QJsonDocument::fromJson(runTool({ "--db", db, "chats", "--limit", "0" }).out).array().size(), 0);
}

TEST_F(Tool, ExportsAOneToOneConversationAsABook)
{
    const QStringList before = Fixtures::snapshot(dir.filePath(QStringLiteral("messages")));
    const ToolRun run = runTool({ "--db", db, "export", "--conversation", "+15550100", "--out", book,
        "--title", "You & Sam", "--them", "Sam", "--me", "Robin" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(Fixtures::snapshot(dir.filePath(QStringLiteral("messages"))), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "book.json" });

    const QJsonObject document = readBook(book);
    EXPECT_EQ(document.value("format").toInt(), 1);
    EXPECT_FALSE(document.value("style").toString().isEmpty());
    EXPECT_EQ(document.value("front").toObject().value("title").toString(), "You & Sam");
    EXPECT_EQ(document.value("front").toObject().value("colophon").toString(), "2024");
    EXPECT_EQ(document.value("front").toObject().value("dedication").toArray(), QJsonArray());
    EXPECT_EQ(document.value("edits").toObject(), QJsonObject());
    EXPECT_FALSE(document.contains("design"));
    EXPECT_FALSE(document.contains("order"));
    EXPECT_EQ(document.value("people").toArray(),
        (QJsonArray { QJsonObject { { "id", "me" }, { "name", "Robin" }, { "me", true } },
            QJsonObject { { "id", "them" }, { "name", "Sam" }, { "me", false } } }));

    const QJsonArray messages = document.value("messages").toArray();
    ASSERT_EQ(messages.size(), 3);
    QSet<QString> ids;
    QString previous;
    for (const QJsonValue &value : messages) {
        const QJsonObject message = value.toObject();
        ids.insert(message.value("id").toString());
        EXPECT_GE(message.value("at").toString(), previous);
        previous = message.value("at").toString();
        EXPECT_EQ(message.value("who"), message.value("from"));
    }
    EXPECT_EQ(ids.size(), 3);
    EXPECT_EQ(messages.at(0).toObject().value("at").toString(), "2024-03-05T21:14:09");
    EXPECT_EQ(messages.at(0).toObject().value("from").toString(), "them");
    EXPECT_EQ(messages.at(1).toObject().value("from").toString(), "me");
    EXPECT_EQ(messages.at(1).toObject().value("text").toString(), "on my way");
    EXPECT_EQ(document.value("stats").toObject().value("messages").toInt(), 3);
}

TEST_F(Tool, ExportsAGroupWithNumberedMembers)
{
    const ToolRun run = runTool({ "--db", db, "export", "--conversation", "chat900", "--out", book, "--title",
        "You & Hiking Crew", "--them", "Hiking Crew", "--me", "Robin" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject document = readBook(book);
    EXPECT_EQ(document.value("people").toArray(),
        (QJsonArray { QJsonObject { { "id", "me" }, { "name", "Robin" }, { "me", true } },
            QJsonObject { { "id", "p1" }, { "name", "+15550100" }, { "me", false } },
            QJsonObject { { "id", "p2" }, { "name", "alex@example.com" }, { "me", false } },
            QJsonObject { { "id", "p3" }, { "name", "+15550102" }, { "me", false } } }));
    const QJsonArray messages = document.value("messages").toArray();
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages.at(0).toObject().value("from").toString(), "p2");
    EXPECT_EQ(messages.at(1).toObject().value("who").toString(), "p3");
    EXPECT_EQ(messages.at(2).toObject().value("from").toString(), "me");
}

TEST_F(Tool, ExportsAPastedChatForThePersonTheUserIs)
{
    const QString pasted = dir.filePath(QStringLiteral("file-1a2b3c4d/pasted.txt"));
    QDir().mkpath(QFileInfo(pasted).absolutePath());
    QFile file(pasted);
    file.open(QIODevice::WriteOnly);
    file.write("1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Alex: hi\n");
    file.close();

    ToolRun run = runTool({ "--log", pasted, "chats" });
    ASSERT_EQ(run.exitCode, 0);
    const QJsonObject chat = QJsonDocument::fromJson(run.out).array().at(0).toObject();
    EXPECT_EQ(chat.value("people").toArray(),
        (QJsonArray { QJsonObject { { "name", "Sam" }, { "messages", 1 } },
            QJsonObject { { "name", "Alex" }, { "messages", 1 } } }));

    run = runTool({ "--log", pasted, "export", "--conversation", chat.value("key").toString(), "--out", book,
        "--me", "Me", "--them", "Sam", "--me-is", "Alex" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject document = readBook(book);
    EXPECT_EQ(document.value("people").toArray(),
        (QJsonArray { QJsonObject { { "id", "me" }, { "name", "Me" }, { "me", true } },
            QJsonObject { { "id", "them" }, { "name", "Sam" }, { "me", false } } }));
    EXPECT_EQ(document.value("front").toObject().value("title").toString(), "You & Sam");
    EXPECT_EQ(document.value("messages").toArray().at(1).toObject().value("from").toString(), "me");
}

TEST_F(Tool, KeepsAnEarlierBookWhenExportFails)
{
    QFile earlier(book);
    earlier.open(QIODevice::WriteOnly);
    earlier.write("{\"earlier\": true}");
    earlier.close();
    ToolRun run = runTool({ "--db", db, "export", "--conversation", "+19990000000", "--out", book });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lastErrorLine(), "Error: That conversation isn't in these messages anymore.");
    EXPECT_EQ(readBook(book).value("earlier").toBool(), true);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "book.json" });

    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/book.json"));
    run = runTool({ "--db", db, "export", "--conversation", "+15550100", "--out", nowhere });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(
        run.lastErrorLine().startsWith(QStringLiteral("Error: The book can't be saved at %1").arg(nowhere)));
}

TEST_F(Tool, EndsEveryFailureWithOneSentence)
{
    struct Case
    {
        QStringList arguments;
        int status;
        QString line;
    };
    const QList<Case> cases = {
        { {}, 2, "Error: Say what to do: chats, export, backups, unlock, wrapped or ebook." },
        { { "chats" }, 2, "Error: Say what to read with --db or --log." },
        { { "--db", db, "chats", "--limit" }, 2, "Error: --limit needs a value." },
        { { "--db", db, "chats", "--limit", "many" }, 2,
            "Error: --limit needs a whole number of 0 or more, not “many”." },
        { { "--db", db, "chats", "--verbose" }, 2, "Error: Unknown option “--verbose”." },
        { { "--db", db, "chats", "export" }, 2, "Error: Unexpected argument “export”." },
        { { "--db", db, "export", "--out", book }, 2,
            "Error: Say which conversation to export with --conversation." },
        { { "--db", dir.filePath("missing.db"), "chats" }, 1,
            QStringLiteral("Error: There's no messages database at %1.").arg(dir.filePath("missing.db")) },
        { { "wrapped", "--year", "2024" }, 1,
            "Error: The book on standard input can't be read: not valid JSON (illegal value at offset 0)." },
        { { "ebook", "--resolved", "r.json", "--id", "x", "--out", "x.epub" }, 1,
            "Error: The resolved book r.json can't be opened: No such file or directory." },
    };
    for (const Case &c : cases) {
        const ToolRun run = runTool(c.arguments);
        EXPECT_FALSE(run.crashed);
        EXPECT_EQ(run.exitCode, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.lastErrorLine(), c.line);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.constData();
    }
}
