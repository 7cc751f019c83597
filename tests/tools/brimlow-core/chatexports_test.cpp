// Every export format, read the way "chats" and "export" read it: the same
// chat between Robin and Sam in each (see chatexports.h).
#include "chatexports.h"
#include "chatlog.h"
#include "failure.h"
#include "fixtures.h"
#include "model/jsonwriter.h"
#include "printers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Brimlow;

namespace {

std::optional<Conversation> conversationWithKey(ChatLog &log, const QString &key, QStringList &keys)
{
    for (const Conversation &conversation : log.conversations()) {
        keys.append(conversation.key);
        if (conversation.key == key)
            return conversation;
    }
    return std::nullopt;
}

// The log, or nullptr with the sentence reported under the sample's name.
std::unique_ptr<ChatLog> opened(const QString &path)
{
    try {
        return std::make_unique<ChatLog>(path);
    } catch (const Failure &failure) {
        ADD_FAILURE() << failure.sentence().toStdString();
        return nullptr;
    }
}

// The conversations as "chats" prints them.
QByteArray listed(ChatLog &log)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    JsonWriter json(&out);
    json.beginArray();
    for (const Conversation &conversation : log.conversations())
        conversation.write(json);
    json.endArray();
    json.flush();
    return out.data();
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

TEST(ChatExports, EveryFormatListsItsChatWithThePeopleAndTheirCounts)
{
    UtcZone zone;
    for (const ChatExports::Sample &sample : ChatExports::samples()) {
        SCOPED_TRACE(sample.format.toStdString());
        QTemporaryDir dir;
        const auto log = opened(sample.write(dir.path()));
        if (!log)
            continue;
        QStringList keys;
        const auto chat = conversationWithKey(*log, sample.key, keys);
        ASSERT_TRUE(chat.has_value()) << keys.join(" | ").toStdString();
        EXPECT_EQ(chat->services, QStringList { sample.service });
        EXPECT_EQ(chat->messages, 3);
        EXPECT_EQ(chat->first, "2024-03-05");
        EXPECT_EQ(chat->last, "2024-03-06");
        EXPECT_FALSE(chat->group);
        EXPECT_TRUE(chat->chatIds.isEmpty());
        ASSERT_TRUE(chat->people.has_value());
        QStringList names;
        QList<qint64> counts;
        for (const Conversation::Person &person : *chat->people) {
            names.append(person.name);
            counts.append(person.messages);
        }
        EXPECT_EQ(names, sample.people);
        EXPECT_EQ(counts, sample.counts);
        // Where the export says who the user is, it says who the chat is with.
        QStringList others = sample.people;
        others.removeOne(sample.user);
        EXPECT_EQ(chat->them, sample.user.isEmpty() ? QString() : others.value(0));
    }
}

// The apps that name a one-to-one chat after the other person lost that
// name, and with it what tells the app which participant the user is.
// The key stays the one made of the people, or the chat's book and the
// user's choices would be lost.
TEST(ChatExports, OneToOneChatsKeepTheNameTheirAppGivesThePerson)
{
    UtcZone zone;
    const QStringList named = { "Telegram JSON, one chat", "Telegram HTML", "signal-export Markdown",
        "signal-export JSON", "sigtop text", "sigtop JSON", "Instagram", "Messenger", "LINE", "KakaoTalk PC",
        "KakaoTalk phone" };
    for (const ChatExports::Sample &sample : ChatExports::samples()) {
        if (!named.contains(sample.format))
            continue;
        SCOPED_TRACE(sample.format.toStdString());
        QTemporaryDir dir;
        for (const ChatLogReader::Detail detail :
            { ChatLogReader::Detail::Messages, ChatLogReader::Detail::Counts }) {
            ChatLog log(sample.write(dir.path()), detail);
            QStringList keys;
            const auto chat = conversationWithKey(log, sample.key, keys);
            ASSERT_TRUE(chat.has_value()) << keys.join(" | ").toStdString();
            EXPECT_EQ(chat->name, "Sam");
        }
    }
}

TEST(ChatExports, EveryFormatListsTheSameWhenOnlyCounting)
{
    UtcZone zone;
    for (const ChatExports::Sample &sample : ChatExports::samples()) {
        SCOPED_TRACE(sample.format.toStdString());
        QTemporaryDir dir;
        const QString path = sample.write(dir.path());
        ChatLog whole(path);
        ChatLog counted(path, ChatLogReader::Detail::Counts);
        EXPECT_EQ(listed(counted), listed(whole));
    }
}

TEST(ChatExports, EveryFormatExportsTextsTimesAndTheUser)
{
    UtcZone zone;
    for (const ChatExports::Sample &sample : ChatExports::samples()) {
        SCOPED_TRACE(sample.format.toStdString());
        QTemporaryDir dir;
        const auto log = opened(sample.write(dir.path()));
        if (!log)
            continue;
        const Transcript chat = log->transcript(sample.key, std::nullopt);
        ASSERT_EQ(chat.messages.size(), 3);
        EXPECT_EQ(chat.messages.at(0).at, "2024-03-05T21:14:00");
        EXPECT_EQ(chat.messages.at(1).at, "2024-03-05T21:15:00");
        EXPECT_EQ(chat.messages.at(2).at, "2024-03-06T08:00:00");
        EXPECT_EQ(chat.messages.at(0).text, "hey café");
        EXPECT_EQ(chat.messages.at(1).text, "on my way 👋");
        QStringList ids;
        for (const Transcript::Message &message : chat.messages)
            ids.append(message.id);
        EXPECT_EQ(ids, (QStringList { "m1", "m2", "m3" }));

        if (!sample.user.isEmpty()) {
            // The export names its owner: the owner is the user.
            EXPECT_EQ(chat.participants, QStringList { sample.people.at(1) });
            EXPECT_FALSE(chat.group);
            EXPECT_EQ(chat.messages.at(1).sender, Transcript::Me);
            EXPECT_EQ(chat.messages.at(0).sender, 0);
        } else {
            EXPECT_EQ(chat.participants, sample.people);
            EXPECT_NE(chat.messages.at(1).sender, Transcript::Me);
        }

        // --me-is has the last word, also over the owner the export names.
        const Transcript asSam = log->transcript(sample.key, sample.people.at(sample.user.isEmpty() ? 0 : 1));
        EXPECT_EQ(asSam.messages.at(0).sender, Transcript::Me);
        EXPECT_NE(asSam.messages.at(1).sender, Transcript::Me);

        const Transcript::Message &last = chat.messages.at(2);
        if (sample.service == QLatin1String("IRC")) {
            EXPECT_EQ(last.text, "the summit!");
            continue;
        }
        ASSERT_FALSE(last.attachments.isEmpty());
        EXPECT_EQ(last.attachments.first().kind, "photo");
        if (sample.photo) {
            const Transcript::Attachment &photo = last.attachments.first();
            EXPECT_EQ(photo.data.isEmpty() ? contentOf(photo.path) : photo.data, ChatExports::photoBytes());
            if (photo.data.isEmpty()) {
                EXPECT_TRUE(QDir::isAbsolutePath(photo.path));
                EXPECT_TRUE(photo.path.startsWith(dir.path())) << photo.path.toStdString();
            }
        }
    }
}

TEST(ChatExports, EveryFormatReadsInAFolderBesideOtherFiles)
{
    UtcZone zone;
    for (const ChatExports::Sample &sample : ChatExports::samples()) {
        SCOPED_TRACE(sample.format.toStdString());
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("file-3fa85f64/unzipped"));
        sample.write(root);
        ChatExports::writeFile(root + QStringLiteral("/notes.txt"), "Shopping list\n- milk\n- eggs\n");
        ChatExports::writeFile(
            root + QStringLiteral("/readme.html"), "<html><body><p>Hello</p></body></html>");
        ChatExports::writeFile(
            root + QStringLiteral("/__MACOSX/._chat.txt"), "1/30/25, 9:41 PM - Ghost: boo\n");
        const auto log = opened(dir.filePath(QStringLiteral("file-3fa85f64")));
        if (!log)
            continue;
        QStringList keys;
        const auto chat = conversationWithKey(*log, sample.key, keys);
        ASSERT_TRUE(chat.has_value()) << keys.join(" | ").toStdString();
        EXPECT_EQ(chat->messages, 3);
        EXPECT_FALSE(keys.contains(QStringLiteral("Ghost")));
    }
}
