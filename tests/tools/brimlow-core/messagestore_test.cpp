#include "failure.h"
#include "fixtures.h"
#include "localtime.h"
#include "messagestore.h"
#include "printers.h"
#include "sqlitedatabase.h"
#include "sqlitestatement.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Brimlow;
using Schema = MessagesDbWriter::Schema;
using Fixtures::utc;

namespace {

class MessageStoreSchemas : public ::testing::TestWithParam<Schema>
{
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("chat.db"));
        Fixtures::writeSampleStore(path, GetParam());
    }

    UtcZone zone;
    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_P(MessageStoreSchemas, ListsConversationsNewestFirstWithRealMessagesOnly)
{
    MessageStore store(path);
    const QList<Conversation> list = store.conversations();
    ASSERT_EQ(list.size(), 3);

    EXPECT_EQ(list.at(0).key, "chat900");
    EXPECT_TRUE(list.at(0).group);
    EXPECT_EQ(list.at(0).name, "Hiking Crew");
    EXPECT_EQ(list.at(0).messages, 3); // the group event is no message
    EXPECT_EQ(list.at(0).first, "2024-04-01");

    // iMessage and SMS with the same handle are one conversation.
    EXPECT_EQ(list.at(1).key, "+15550100");
    EXPECT_FALSE(list.at(1).group);
    EXPECT_TRUE(list.at(1).name.isEmpty());
    EXPECT_EQ(list.at(1).chatIds, (QList<qint64> { 1, 2 }));
    EXPECT_EQ(list.at(1).services, (QStringList { "iMessage", "SMS" }));
    EXPECT_EQ(list.at(1).messages, 3); // the tapback is no message
    EXPECT_EQ(list.at(1).first, "2024-03-05");
    EXPECT_EQ(list.at(1).last, "2024-03-05");
    EXPECT_FALSE(list.at(1).people.has_value());

    EXPECT_EQ(list.at(2).key, "alex@example.com");
    EXPECT_EQ(list.at(2).last, "2023-01-10");
}

TEST_P(MessageStoreSchemas, ReadsOneConversationInTimeOrderAcrossServices)
{
    MessageStore store(path);
    const Transcript transcript = store.transcript(QStringLiteral("+15550100"), std::nullopt);
    EXPECT_FALSE(transcript.group);
    EXPECT_EQ(transcript.participants, QStringList { "+15550100" });
    ASSERT_EQ(transcript.messages.size(), 3);
    EXPECT_EQ(transcript.messages.at(0).text, "see you soon");
    EXPECT_EQ(transcript.messages.at(0).at, "2024-03-05T21:14:09");
    EXPECT_EQ(transcript.messages.at(0).sender, 0);
    EXPECT_EQ(transcript.messages.at(1).text, "on my way");
    EXPECT_EQ(transcript.messages.at(1).sender, Transcript::Me);
    EXPECT_EQ(transcript.messages.at(2).text, "sent as text");
    EXPECT_NE(transcript.messages.at(0).id, transcript.messages.at(1).id);
}

TEST_P(MessageStoreSchemas, NamesGroupMembersByHandle)
{
    MessageStore store(path);
    const Transcript transcript = store.transcript(QStringLiteral("chat900"), std::nullopt);
    EXPECT_TRUE(transcript.group);
    EXPECT_EQ(transcript.name, "Hiking Crew");
    EXPECT_EQ(transcript.participants, (QStringList { "+15550100", "alex@example.com", "+15550102" }));
    ASSERT_EQ(transcript.messages.size(), 3);
    EXPECT_EQ(transcript.messages.at(0).sender, 1);
    EXPECT_EQ(transcript.messages.at(1).sender, 2);
    EXPECT_EQ(transcript.messages.at(2).sender, Transcript::Me);
}

INSTANTIATE_TEST_SUITE_P(
    AllVersions, MessageStoreSchemas, ::testing::Values(Schema::Old, Schema::HighSierra, Schema::Ventura));

TEST(MessageStore, WritesTimesInTheLocalTimeZone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chat.db"));
    Fixtures::writeSampleStore(path, Schema::HighSierra);
    UtcZone zone("EST5EDT,M3.2.0,M11.1.0");
    MessageStore store(path);
    const Transcript transcript = store.transcript(QStringLiteral("alex@example.com"), std::nullopt);
    ASSERT_EQ(transcript.messages.size(), 1);
    EXPECT_EQ(transcript.messages.at(0).at, "2023-01-10T04:00:00");
    // The day of a message late in the evening is the local day.
    const Transcript sam = store.transcript(QStringLiteral("+15550100"), std::nullopt);
    EXPECT_EQ(sam.messages.at(0).at, "2024-03-05T16:14:09");
}

TEST(MessageStore, TurnsAttachmentsIntoKindsAndKeepsPhotoPaths)
{
    UtcZone zone;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chat.db"));
    {
        MessagesDbWriter db(path, Schema::Ventura);
        const qint64 sam = db.handle(QStringLiteral("+15550100"));
        const qint64 chat = db.chat(QStringLiteral("+15550100"), MessagesDbWriter::Style::OneToOne,
            QStringLiteral("iMessage"), { sam });
        using A = MessagesDbWriter::Attachment;
        db.add({ .chat = chat,
            .handle = sam,
            .at = utc(2024, 6, 1, 10, 0),
            .text = QString(QChar(0xFFFC)) + "look!",
            .attachments = { A { "~/Library/Messages/Attachments/ab/IMG_0001.jpeg", "image/jpeg",
                "public.jpeg", "IMG_0001.jpeg" } } });
        db.add({ .chat = chat,
            .handle = sam,
            .at = utc(2024, 6, 1, 10, 1),
            .audio = true,
            .attachments = { A { "~/Audio Message.caf", "audio/x-caf", "com.apple.coreaudio-format",
                "Audio Message.caf" } } });
        db.add({ .chat = chat,
            .fromMe = true,
            .at = utc(2024, 6, 1, 10, 2),
            .attachments = { A { "~/clip.mov", "video/quicktime", "com.apple.quicktime-movie", "clip.mov" },
                A { "~/sticker.heic", "image/heic", "public.heic", "sticker.heic", true },
                A { "~/song.mp3", "audio/mpeg", "public.mp3", "song.mp3" },
                A { "~/plan.pdf", "application/pdf", "com.adobe.pdf", "plan.pdf" } } });
        // A link preview: the URL is the text, the payload is hidden.
        db.add({ .chat = chat,
            .fromMe = true,
            .at = utc(2024, 6, 1, 10, 3),
            .text = "https://example.com",
            .attachments = { A { "~/x.pluginPayloadAttachment", "",
                "com.apple.messages.pluginPayloadAttachment", "x.pluginPayloadAttachment", false, true } } });
        // An unsent message keeps neither text nor attachment.
        db.add({ .chat = chat, .fromMe = true, .at = utc(2024, 6, 1, 10, 4) });
    }
    MessageStore store(path);
    const Transcript transcript = store.transcript(QStringLiteral("+15550100"), std::nullopt);
    ASSERT_EQ(transcript.messages.size(), 4);
    EXPECT_EQ(transcript.messages.at(0).text, "look!");
    ASSERT_EQ(transcript.messages.at(0).attachments.size(), 1);
    EXPECT_EQ(transcript.messages.at(0).attachments.at(0).kind, "photo");
    EXPECT_EQ(
        transcript.messages.at(0).attachments.at(0).path, "~/Library/Messages/Attachments/ab/IMG_0001.jpeg");
    EXPECT_EQ(transcript.messages.at(1).attachments.at(0).kind, "voice memo");
    QStringList kinds;
    for (const auto &attachment : transcript.messages.at(2).attachments)
        kinds.append(attachment.kind);
    EXPECT_EQ(kinds, (QStringList { "video", "sticker", "audio", "file" }));
    EXPECT_EQ(transcript.messages.at(3).text, "https://example.com");
    EXPECT_TRUE(transcript.messages.at(3).attachments.isEmpty());
}

TEST(MessageStore, TellsWhyAStoreCannotBeRead)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("nowhere/chat.db"));
    EXPECT_EQ(Fixtures::failureOf([&] { MessageStore store(missing); }),
        QStringLiteral("There's no messages database at %1.").arg(missing));

    const QString text = dir.filePath(QStringLiteral("notes.db"));
    QFile file(text);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_EQ(Fixtures::failureOf([&] { MessageStore store(text); }), "That file isn't a Messages database.");

    const QString other = dir.filePath(QStringLiteral("other.db"));
    {
        SqliteDatabase db(other, SqliteDatabase::Mode::ReadWrite);
        db.execute("CREATE TABLE recipes (name TEXT)");
    }
    EXPECT_EQ(
        Fixtures::failureOf([&] { MessageStore store(other); }), "That file isn't a Messages database.");
    EXPECT_EQ(
        Fixtures::failureOf([&] { MessageStore store(dir.path()); }), "That file isn't a Messages database.");

    const QString path = dir.filePath(QStringLiteral("chat.db"));
    Fixtures::writeSampleStore(path, Schema::HighSierra);
    MessageStore store(path);
    EXPECT_EQ(Fixtures::failureOf([&] { store.transcript(QStringLiteral("+19995550000"), std::nullopt); }),
        "That conversation isn't in these messages anymore.");
}

TEST(MessageStore, ReportsAStoreLockedByAWriter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chat.db"));
    Fixtures::writeSampleStore(path, Schema::HighSierra);
    SqliteDatabase writer(path, SqliteDatabase::Mode::ReadWrite);
    writer.execute("BEGIN EXCLUSIVE");
    writer.execute("INSERT INTO handle (id, service) VALUES ('+15550199', 'SMS')");
    EXPECT_EQ(Fixtures::failureOf([&] { MessageStore(path, 20).conversations(); }),
        "The messages database is locked by another program. Try again in a moment.");
    writer.execute("ROLLBACK");
    EXPECT_EQ(MessageStore(path, 20).conversations().size(), 3);
}

TEST(MessageStore, ReadsAStoreInUseWithoutTouchingIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chat.db"));
    Fixtures::writeSampleStore(path, Schema::Ventura);
    // Messages keeps its store in WAL mode, with recent messages only in
    // the WAL file while it runs.
    SqliteDatabase writer(path, SqliteDatabase::Mode::ReadWrite);
    writer.execute("PRAGMA journal_mode=WAL");
    writer.execute("PRAGMA wal_autocheckpoint=0");
    writer.execute("INSERT INTO message (guid, text, handle_id, is_from_me, date) VALUES "
                   "('LATE', 'still in the wal', 1, 0, 740000000000000000)");
    writer.execute("INSERT INTO chat_message_join (chat_id, message_id) VALUES (1, last_insert_rowid())");
    // The -shm file is SQLite's shared lock memory, not the store.
    const QStringList before = Fixtures::snapshot(dir.path());

    MessageStore store(path);
    const Transcript transcript = store.transcript(QStringLiteral("+15550100"), std::nullopt);
    EXPECT_EQ(transcript.messages.last().text, "still in the wal");
    EXPECT_EQ(Fixtures::snapshot(dir.path()), before);
}

TEST(MessageStore, ListsALargeStoreAsItsOwnGroupingCountsIt)
{
    // Large enough to be read in slices side by side, with message ids
    // far apart, a message in two chats and messages in none.
    UtcZone zone;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chat.db"));
    {
        MessagesDbWriter writer(path, Schema::HighSierra);
        const qint64 sam = writer.handle(QStringLiteral("+15550100"));
        const qint64 alex = writer.handle(QStringLiteral("alex@example.com"));
        writer.chat(QStringLiteral("+15550100"), MessagesDbWriter::Style::OneToOne,
            QStringLiteral("iMessage"), { sam });
        writer.chat(QStringLiteral("alex@example.com"), MessagesDbWriter::Style::OneToOne,
            QStringLiteral("iMessage"), { alex });
        writer.chat(QStringLiteral("chat900"), MessagesDbWriter::Style::Group, QStringLiteral("iMessage"),
            { sam, alex });
        writer.database().execute(R"(
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 220000)
  INSERT INTO message (ROWID, guid, text, handle_id, date, associated_message_type, item_type)
  SELECT CASE WHEN i > 219990 THEN i * 1000000000 ELSE i END, 'G' || i, 'text ' || i, 1 + i % 2,
         700000000000000000 + (i % 1000) * 86400000000000 + i, CASE WHEN i % 97 = 0 THEN 2000 ELSE 0 END,
         CASE WHEN i % 89 = 0 THEN 1 ELSE 0 END FROM n;
INSERT INTO chat_message_join (chat_id, message_id, message_date)
  SELECT 1 + ROWID % 3, ROWID, date FROM message WHERE ROWID % 1000 <> 7;
INSERT INTO chat_message_join (chat_id, message_id, message_date) SELECT 3, ROWID, date FROM message WHERE ROWID % 5000 = 1 AND ROWID % 3 <> 2;
COMMIT;)");
    }
    const char *const grouping = "SELECT cmj.chat_id, COUNT(*), MIN(m.date), MAX(m.date) FROM message m "
                                 "JOIN chat_message_join cmj ON cmj.message_id = m.ROWID WHERE "
                                 "m.associated_message_type = 0 AND m.item_type = 0 GROUP BY cmj.chat_id";
    QStringList expected;
    {
        SqliteDatabase db(path, SqliteDatabase::Mode::ReadOnly);
        SqliteStatement query(db, grouping);
        while (query.next())
            expected.append(QStringLiteral("%1 %2 %3 %4")
                                .arg(query.integer(0))
                                .arg(query.integer(1))
                                .arg(LocalTime::text(LocalTime::fromAppleTime(query.integer(2))).left(10),
                                    LocalTime::text(LocalTime::fromAppleTime(query.integer(3))).left(10)));
    }
    QStringList listed;
    for (const Conversation &conversation : MessageStore(path).conversations())
        listed.append(QStringLiteral("%1 %2 %3 %4")
                          .arg(conversation.chatIds.first())
                          .arg(conversation.messages)
                          .arg(conversation.first, conversation.last));
    listed.sort();
    EXPECT_EQ(listed, expected);
}
