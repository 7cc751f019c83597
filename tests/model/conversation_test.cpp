#include "model/conversation.h"
#include "model/json.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

const QByteArray chats = R"([
    {"key": "+15550100", "group": false, "chat_ids": [4, 9], "services": ["iMessage", "SMS"],
     "messages": 120, "first": "2023-01-10", "last": "2024-05-31", "unknown_key": true},
    {"key": "chat42", "group": true, "name": "Family", "chat_ids": [5000000000], "services": [],
     "messages": 3, "first": "2024-01-01", "last": "2024-01-02",
     "people": [{"name": "Alex", "messages": 2}, {"name": "Sam", "messages": 1}]},
    {"key": "Alex", "group": false, "name": "Alex", "chat_ids": [], "services": ["Telegram"],
     "messages": 2, "first": "2024-01-01", "last": "2024-01-02",
     "people": [{"name": "Alex Rowan", "messages": 1}, {"name": "Alexandra Kim", "messages": 1}],
     "them": "Alexandra Kim"}
])";

Source sourceWithId(const QString &id)
{
    Source source;
    source.id = id;
    source.name = QStringLiteral("Phone");
    source.database = QStringLiteral("/tmp/sms.db");
    return source;
}

} // namespace

TEST(Conversation, ReadsTheSnakeCaseListWithOptionalPartsAbsent)
{
    const QList<Conversation> list = Conversation::listFromJson(chats);
    ASSERT_EQ(list.size(), 3);
    const Conversation &single = list.at(0);
    EXPECT_EQ(single.key, "+15550100");
    EXPECT_EQ(single.chatIds, (QList<qint64> { 4, 9 }));
    EXPECT_EQ(single.services, (QStringList { "iMessage", "SMS" }));
    EXPECT_EQ(single.messages, 120);
    EXPECT_FALSE(single.name);
    EXPECT_FALSE(single.people);
    EXPECT_FALSE(single.them);
    EXPECT_EQ(single.source, Source::mac());

    const Conversation &group = list.at(1);
    EXPECT_TRUE(group.group);
    EXPECT_EQ(group.name, "Family");
    EXPECT_EQ(group.chatIds, QList<qint64> { 5000000000 });
    ASSERT_TRUE(group.people);
    EXPECT_EQ(group.people->at(1), (Conversation::LogPerson { "Sam", 1 }));

    // Who the export says the chat is with; a list without it reads too.
    EXPECT_EQ(list.at(2).them, "Alexandra Kim");
}

TEST(Conversation, OneConversationWithoutChatIdsFailsTheWholeList)
{
    QByteArray broken = chats;
    broken.replace("\"chat_ids\": [5000000000], ", "");
    EXPECT_THROW(Conversation::listFromJson(broken), JsonError);
    EXPECT_THROW(Conversation::listFromJson("{}"), JsonError);
    EXPECT_THROW(Conversation::listFromJson("not json"), JsonError);
}

TEST(Conversation, IdentifierIsTheBareKeyOnlyForTheComputersOwnSource)
{
    Conversation conversation = Conversation::listFromJson(chats).first();
    EXPECT_EQ(conversation.id(), "+15550100");
    conversation.source = sourceWithId(QStringLiteral("ABC"));
    EXPECT_EQ(conversation.id(), "ABC:+15550100");
}

TEST(Conversation, EqualityAndHashIncludeTheSource)
{
    const Conversation a = Conversation::listFromJson(chats).at(1);
    Conversation b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(qHash(a), qHash(b));
    b.source = sourceWithId(QStringLiteral("ABC"));
    EXPECT_NE(a, b);
    EXPECT_EQ((QSet<Conversation> { a, b, a }).size(), 2);
}
