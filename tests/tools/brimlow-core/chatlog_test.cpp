#include "chatexports.h"
#include "chatfile.h"
#include "chatlog.h"
#include "failure.h"
#include "fixtures.h"
#include "printers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Brimlow;

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

const QByteArray twoPeople = "1/31/25, 9:41 PM - Sam: hey\n"
                             "1/31/25, 9:42 PM - Alex: hi\n"
                             "2/1/25, 8:00 AM - Sam: morning\n";

} // namespace

TEST(ChatLog, ListsThePeopleOfAChatWithTheirCounts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pasted.txt"));
    write(path, twoPeople);
    ChatLog log(path);
    const QList<Conversation> list = log.conversations();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.at(0).key, "Sam & Alex");
    EXPECT_FALSE(list.at(0).group);
    EXPECT_TRUE(list.at(0).name.isEmpty());
    EXPECT_EQ(list.at(0).services, QStringList { "WhatsApp" });
    EXPECT_EQ(list.at(0).messages, 3);
    EXPECT_EQ(list.at(0).first, "2025-01-31");
    EXPECT_EQ(list.at(0).last, "2025-02-01");
    ASSERT_TRUE(list.at(0).people.has_value());
    ASSERT_EQ(list.at(0).people->size(), 2);
    EXPECT_EQ(list.at(0).people->at(0).name, "Sam");
    EXPECT_EQ(list.at(0).people->at(0).messages, 2);
    EXPECT_EQ(list.at(0).people->at(1).messages, 1);
}

TEST(ChatLog, MarksThePersonWhoIsTheUser)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pasted.txt"));
    write(path, twoPeople + "2/1/25, 8:01 AM - Jo: me too\n");
    ChatLog log(path);
    const QString key = log.conversations().first().key;

    const Transcript mine = log.transcript(key, QStringLiteral("Alex"));
    EXPECT_TRUE(mine.group);
    EXPECT_EQ(mine.participants, (QStringList { "Sam", "Jo" }));
    EXPECT_EQ(mine.messages.at(1).sender, Transcript::Me);
    EXPECT_EQ(mine.messages.at(3).sender, 1);

    // Without a user, everyone is a member; a name nobody has changes nothing.
    EXPECT_EQ(log.transcript(key, std::nullopt).participants.size(), 3);
    EXPECT_EQ(log.transcript(key, QStringLiteral("Robin")).participants.size(), 3);
    EXPECT_EQ(Fixtures::failureOf([&] { log.transcript(QStringLiteral("Someone else"), std::nullopt); }),
        "That conversation isn't in this chat file anymore.");
}

TEST(ChatLog, SearchesAFolderAndNamesChatsAfterTheExport)
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("file-3fa85f64"));
    write(root + "/WhatsApp Chat - Hiking Crew/_chat.txt", "[1/31/25, 9:41:00 PM] Sam: who's in?\n");
    write(root + "/WhatsApp Chat - Hiking Crew/00000012-PHOTO-2025-01-31-21-41-02.jpg", "jpeg");
    write(root + "/more/WhatsApp Chat with Alex.txt", "1/30/25, 9:41 PM - Alex: hi\n");
    write(root + "/__MACOSX/more/._WhatsApp Chat with Alex.txt", "1/30/25, 9:41 PM - Ghost: boo\n");
    write(root + "/.hidden/chat.txt", "1/30/25, 9:41 PM - Ghost: boo\n");
    write(root + "/notes.txt", "not a chat at all\n");
    ChatLog log(root);
    const QList<Conversation> list = log.conversations();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.at(0).key, "Hiking Crew");
    EXPECT_EQ(list.at(0).name, "Hiking Crew");
    EXPECT_EQ(list.at(1).key, "Alex");
}

TEST(ChatLog, ChatsOfOneNameAreNumberedWithTheNameKeptAsWritten)
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("file-3fa85f64"));
    write(root + "/old/WhatsApp Chat - Club %1/_chat.txt", "[1/31/25, 9:41:00 PM] Sam: who's in?\n");
    write(root + "/new/WhatsApp Chat - Club %1/_chat.txt", "[2/1/25, 9:41:00 PM] Alex: me\n");
    ChatLog log(root);
    const QList<Conversation> list = log.conversations();
    QStringList keys;
    for (const Conversation &conversation : list)
        keys.append(conversation.key);
    keys.sort();
    EXPECT_EQ(keys, (QStringList { "Club %1", "Club %1 (2)" }));
}

TEST(ChatLog, RefusesWhatHoldsNoChat)
{
    QTemporaryDir dir;
    const QString sentence
        = QStringLiteral("There's no chat in that. Each message should start with a date, a time and "
                         "who sent it, like “1/31/25, 9:41 PM - Sam: hey”.");
    write(dir.filePath(QStringLiteral("photos/IMG_0001.jpg")), "jpeg");
    EXPECT_EQ(Fixtures::failureOf([&] { ChatLog log(dir.filePath(QStringLiteral("photos"))); }), sentence);
    write(dir.filePath(QStringLiteral("empty.txt")), "");
    EXPECT_EQ(Fixtures::failureOf([&] { ChatLog log(dir.filePath(QStringLiteral("empty.txt"))); }), sentence);
    // Only system lines: a chat file, but no message in it.
    write(dir.filePath(QStringLiteral("system.txt")), "1/31/25, 9:41 PM - Sam created group \"x\"\n");
    EXPECT_EQ(
        Fixtures::failureOf([&] { ChatLog log(dir.filePath(QStringLiteral("system.txt"))); }), sentence);
    EXPECT_EQ(Fixtures::failureOf([&] { ChatLog log(dir.filePath(QStringLiteral("gone.txt"))); }),
        QStringLiteral("There's no chat file at %1.").arg(dir.filePath(QStringLiteral("gone.txt"))));
}

TEST(ChatLog, NamesAChatAfterItsExportInThePhonesLanguage)
{
    const QByteArray janeAndJohn = "1/31/25, 9:41 PM - Jane Doe: hey\n"
                                   "1/31/25, 9:42 PM - John Doe: hi\n";
    const QStringList exports = { "WhatsApp Chat with Jane Doe", "WhatsApp Chat mit Jane Doe",
        "Discussion WhatsApp avec Jane Doe", "Chat de WhatsApp con Jane Doe", "Chat WhatsApp con Jane Doe",
        "Conversa do WhatsApp com Jane Doe", "WhatsApp-chat met Jane Doe", "Jane Doe ile WhatsApp Sohbeti" };
    for (const QString &name : exports) {
        SCOPED_TRACE(name.toStdString());
        QTemporaryDir dir;
        // The file itself, and an unpacked export whose folder bears the name.
        write(dir.filePath(name + ".txt"), janeAndJohn);
        write(dir.filePath("unpacked/" + name + "/_chat.txt"), janeAndJohn);
        for (const QString &path : { dir.filePath(name + ".txt"), dir.filePath("unpacked/" + name) }) {
            ChatLog log(path);
            const QList<Conversation> list = log.conversations();
            ASSERT_EQ(list.size(), 1);
            EXPECT_EQ(list.at(0).name, "Jane Doe");
            EXPECT_FALSE(list.at(0).group);
            // Keys name books and choices already made: only English names made them.
            EXPECT_EQ(
                list.at(0).key, name.startsWith("WhatsApp Chat with") ? "Jane Doe" : "Jane Doe & John Doe");
            EXPECT_EQ(log.transcript(list.at(0).key, QStringLiteral("John Doe")).participants,
                QStringList { "Jane Doe" });
        }
    }

    // A name that names no one leaves the chat without a name.
    QTemporaryDir dir;
    write(dir.filePath("chat.txt"), janeAndJohn);
    const Conversation plain = ChatLog(dir.filePath("chat.txt")).conversations().first();
    EXPECT_TRUE(plain.name.isEmpty());
    EXPECT_EQ(plain.key, "Jane Doe & John Doe");
    // A copy's number is no part of the name, but stays in the key it always made.
    write(dir.filePath("WhatsApp Chat with Jane Doe (1).txt"), janeAndJohn);
    const Conversation copy
        = ChatLog(dir.filePath("WhatsApp Chat with Jane Doe (1).txt")).conversations().first();
    EXPECT_EQ(copy.name, "Jane Doe");
    EXPECT_EQ(copy.key, "Jane Doe (1)");
}

namespace {

// Each message as text, with the attachments it found.
QStringList messagesOf(ChatLog &log)
{
    QStringList messages;
    for (const Conversation &conversation : log.conversations()) {
        for (const Transcript::Message &message : log.transcript(conversation.key, std::nullopt).messages) {
            QStringList found;
            for (const Transcript::Attachment &attachment : message.attachments)
                found.append(attachment.path);
            messages.append(conversation.key + QStringLiteral(": ") + message.text + QStringLiteral(" [")
                + found.join(QLatin1Char(',')) + QLatin1Char(']'));
        }
    }
    return messages;
}

} // namespace

// An export whose files are held in memory reads as it does from the disk,
// attachments found beside it included; what memory holds is what is read.
TEST(ChatLog, AnExportHeldInMemoryReadsAsItsFiles)
{
    QTemporaryDir dir;
    const QString log = ChatExports::instagram(dir.path());
    ChatLog disk(log);
    const QStringList fromDisk = messagesOf(disk);
    ASSERT_TRUE(fromDisk.join(QLatin1Char('\n')).contains(QStringLiteral("see you")));
    ASSERT_TRUE(fromDisk.join(QLatin1Char('\n')).contains(QStringLiteral("1709712000.jpg")));

    QHash<QString, QByteArray> files;
    QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        files.insert(QFileInfo(file).absoluteFilePath(), file.readAll());
    }
    ChatFile::setInMemory(&files);
    const auto onDisk = qScopeGuard([] { ChatFile::setInMemory(nullptr); });
    ChatLog held(log);
    EXPECT_EQ(messagesOf(held), fromDisk);

    // Changed in memory alone, a message reads as memory has it.
    for (QByteArray &bytes : files)
        bytes.replace("see you", "seen in memory");
    ChatLog changed(log);
    EXPECT_TRUE(messagesOf(changed).join(QLatin1Char('\n')).contains(QStringLiteral("seen in memory")));
}
