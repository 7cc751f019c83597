#include "model/consent.h"
#include "model/day.h"
#include "scopeddefaults.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

class ConsentTest : public ::testing::Test
{
protected:
    ~ConsentTest() override { Consent::setFullNameSource({}); }

    void setFullName(const QString &name)
    {
        Consent::setFullNameSource([name] { return name; });
    }

    ScopedDefaults m_defaults;
};

QList<Conversation::LogPerson> people(const QStringList &names)
{
    QList<Conversation::LogPerson> list;
    for (const QString &name : names)
        list.append({ name, 1 });
    return list;
}

Conversation conversationIn(const QString &sourceId)
{
    Conversation conversation;
    conversation.key = QStringLiteral("chat7");
    conversation.source.id = sourceId;
    return conversation;
}

} // namespace

TEST_F(ConsentTest, RecordStoresTodayUnderConsent)
{
    EXPECT_FALSE(Consent::mayRead(QStringLiteral("chat7")));
    const QString before = Day::iso(QDateTime::currentDateTime());
    Consent::record(QStringLiteral("chat7"));
    const QString after = Day::iso(QDateTime::currentDateTime());
    const std::optional<QString> stored = m_defaults.defaults().string(QStringLiteral("consent:chat7"));
    ASSERT_TRUE(stored);
    EXPECT_TRUE(*stored == before || *stored == after);
    EXPECT_TRUE(Consent::mayRead(QStringLiteral("chat7")));
    EXPECT_FALSE(m_defaults.defaults().string(QStringLiteral("consent-wrapped:chat7")));
}

TEST_F(ConsentTest, WrappedOnlyConsentAllowsReadingAndSurvivesRemovingFullConsent)
{
    Consent::recordWrapped(QStringLiteral("chat7"));
    EXPECT_TRUE(Consent::mayRead(QStringLiteral("chat7")));
    EXPECT_FALSE(m_defaults.defaults().string(QStringLiteral("consent:chat7")));

    Consent::record(QStringLiteral("chat7"));
    // Deleting the book removes only full consent.
    m_defaults.defaults().remove(QStringLiteral("consent:chat7"));
    EXPECT_TRUE(Consent::mayRead(QStringLiteral("chat7")));
}

TEST_F(ConsentTest, AConsentValueThatIsNotTextCountsAsAbsent)
{
    m_defaults.defaults().setData(QStringLiteral("consent:chat7"), "2024-03-05");
    EXPECT_FALSE(Consent::mayRead(QStringLiteral("chat7")));
}

TEST_F(ConsentTest, MeIsKeyedByTheConversationIdentifier)
{
    m_defaults.defaults().setString(QStringLiteral("me:chat7"), QStringLiteral("Sam"));
    m_defaults.defaults().setString(QStringLiteral("me:ABC:chat7"), QStringLiteral("Samuel"));
    EXPECT_EQ(Consent::me(conversationIn(QStringLiteral("mac"))), "Sam");
    EXPECT_EQ(Consent::me(conversationIn(QStringLiteral("ABC"))), "Samuel");
    EXPECT_EQ(Consent::me(conversationIn(QStringLiteral("DEF"))), std::nullopt);
}

TEST_F(ConsentTest, GuessMeMatchesTheFirstNameAsAPrefixIgnoringCase)
{
    setFullName(QStringLiteral("  sam   Carter"));
    EXPECT_EQ(Consent::guessMe(people({ "Alex", "SAMANTHA Jones", "Sam" })), "SAMANTHA Jones");
    // Only the beginning of a participant's name counts.
    EXPECT_EQ(Consent::guessMe(people({ "Alex", "Uncle Sam" })), "Alex");
}

TEST_F(ConsentTest, GuessMeFallsBackToTheFirstParticipant)
{
    setFullName(QString());
    EXPECT_EQ(Consent::guessMe(people({ "Alex", "Sam" })), "Alex");
    setFullName(QStringLiteral("   "));
    EXPECT_EQ(Consent::guessMe(people({ "Alex", "Sam" })), "Alex");
    EXPECT_EQ(Consent::guessMe({}), QString());
}

TEST_F(ConsentTest, FullNameComesFromTheAccountUnlessReplaced)
{
    setFullName(QStringLiteral("Sam Carter"));
    EXPECT_EQ(Consent::fullName(), "Sam Carter");
    Consent::setFullNameSource({});
    // The account's GECOS field never carries its room and phone parts.
    EXPECT_FALSE(Consent::fullName().contains(QLatin1Char(',')));
}

namespace {

// A one-to-one chat between Jane Doe and John Doe, read from a chat file.
Conversation janeAndJohn(const QString &sourceName)
{
    Conversation conversation = conversationIn(QStringLiteral("file-3fa85f64"));
    conversation.key = QStringLiteral("Jane Doe & John Doe");
    conversation.source.name = sourceName;
    conversation.source.log = QStringLiteral("/nowhere/chat.txt");
    conversation.people = people({ "Jane Doe", "John Doe" });
    return conversation;
}

} // namespace

TEST_F(ConsentTest, AnExportsNameSaysWhoTheChatIsWith)
{
    setFullName(QStringLiteral("Pat Smith"));
    // A file's, zip's or folder's name, in any language WhatsApp writes it in.
    for (const QString &name : { QStringLiteral("WhatsApp Chat mit Jane Doe"),
             QStringLiteral("WhatsApp Chat - Jane Doe"), QStringLiteral("Jane Doe ile WhatsApp Sohbeti"),
             QStringLiteral("WhatsApp_Chat_with_jane_doe") }) {
        SCOPED_TRACE(name.toStdString());
        const Conversation conversation = janeAndJohn(name);
        EXPECT_EQ(Consent::namedOther(conversation), "Jane Doe");
        EXPECT_EQ(Consent::user(conversation), "John Doe");
        EXPECT_EQ(Consent::otherParty(conversation), "Jane Doe");
    }
    // The tool's own name for the chat, from the file it read.
    Conversation named = janeAndJohn(QStringLiteral("chats"));
    named.name = QStringLiteral("Jane Doe");
    EXPECT_EQ(Consent::user(named), "John Doe");
    EXPECT_EQ(Consent::otherParty(named), "Jane Doe");
}

TEST_F(ConsentTest, APastedChatIsWithThePersonTypedForIt)
{
    setFullName(QStringLiteral("Sam Carter"));
    Conversation pasted = janeAndJohn(QStringLiteral("sam"));
    pasted.people = people({ "Sam", "Alex" });
    // The account's name would make Sam the user; the name typed says Sam is the other side.
    EXPECT_EQ(Consent::user(pasted), "Alex");
    EXPECT_EQ(Consent::otherParty(pasted), "Sam");
}

TEST_F(ConsentTest, TheStoredChoiceComesFirstThenTheNameThenTheGuess)
{
    setFullName(QStringLiteral("Jane"));
    Conversation conversation = janeAndJohn(QStringLiteral("chat"));
    // A name that names no one: the guess decides.
    EXPECT_EQ(Consent::namedOther(conversation), std::nullopt);
    EXPECT_EQ(Consent::user(conversation), "Jane Doe");
    EXPECT_EQ(Consent::otherParty(conversation), "John Doe");
    // The choice stored decides over the name and the guess, while it names someone here.
    conversation.source.name = QStringLiteral("WhatsApp Chat with John Doe");
    EXPECT_EQ(Consent::user(conversation), "Jane Doe");
    Consent::setMe(conversation, QStringLiteral("John Doe"));
    EXPECT_EQ(
        m_defaults.defaults().string(QStringLiteral("me:file-3fa85f64:Jane Doe & John Doe")), "John Doe");
    EXPECT_EQ(Consent::user(conversation), "John Doe");
    EXPECT_EQ(Consent::otherParty(conversation), "Jane Doe");
    Consent::setMe(conversation, QStringLiteral("Robin"));
    EXPECT_EQ(Consent::user(conversation), "Jane Doe");
}

TEST_F(ConsentTest, GroupsOtherSourcesUnknownPeopleAndChatsNamedOtherwiseHaveNoOtherParty)
{
    Conversation group = janeAndJohn(QStringLiteral("WhatsApp Chat mit Jane Doe"));
    group.group = true;
    EXPECT_EQ(Consent::namedOther(group), std::nullopt);
    EXPECT_EQ(Consent::otherParty(group), std::nullopt);

    Conversation messages = janeAndJohn(QStringLiteral("WhatsApp Chat mit Jane Doe"));
    messages.source.log.reset();
    EXPECT_EQ(Consent::otherParty(messages), std::nullopt);

    Conversation named = janeAndJohn(QStringLiteral("chat"));
    named.name = QStringLiteral("Book club");
    EXPECT_EQ(Consent::otherParty(named), std::nullopt);

    Conversation unknown = janeAndJohn(QStringLiteral("chat"));
    unknown.people.reset();
    EXPECT_EQ(Consent::user(unknown), QString());
    EXPECT_EQ(Consent::otherParty(unknown), std::nullopt);
}

// An export of someone the user never answered, or one side of a pasted
// chat, made its one writer the user: the book gave the user every
// message and both sides one name.
TEST_F(ConsentTest, AChatOnlyTheOtherPersonWroteHasNoUserAmongItsPeople)
{
    setFullName(QStringLiteral("Pat Smith"));
    Conversation alone = janeAndJohn(QStringLiteral("WhatsApp Chat with Jane Doe"));
    alone.people = people({ "Jane Doe" });
    EXPECT_EQ(Consent::user(alone), QString());
    EXPECT_EQ(Consent::otherParty(alone), "Jane Doe");
    // Even when the account's name is the writer's.
    setFullName(QStringLiteral("Jane Roe"));
    EXPECT_EQ(Consent::user(alone), QString());
    EXPECT_EQ(Consent::otherParty(alone), "Jane Doe");
    // The user's own word still counts.
    Consent::setMe(alone, QStringLiteral("Jane Doe"));
    EXPECT_EQ(Consent::user(alone), "Jane Doe");
    EXPECT_EQ(Consent::otherParty(alone), std::nullopt);

    // The one writer of a number's export, written in other spaces, is
    // still the number the export is named after.
    Conversation number = janeAndJohn(QStringLiteral("WhatsApp Chat with +49 151 23456789"));
    number.people = people({ "+49 151 2345 6789" });
    EXPECT_EQ(Consent::user(number), QString());
    EXPECT_EQ(Consent::otherParty(number), "+49 151 2345 6789");
}

// The user's own messages to someone who never answered were printed as
// that person's: the only writer of an export WhatsApp named after
// someone else became the other party.
TEST_F(ConsentTest, TheOnlyWriterOfAWhatsAppExportNamedAfterSomeoneElseIsTheUser)
{
    setFullName(QStringLiteral("Pat Smith"));
    for (const QString &name : { QStringLiteral("WhatsApp Chat with Jane Doe"),
             QStringLiteral("WhatsApp Chat - Jane Doe"), QStringLiteral("WhatsApp Chat mit Jane Doe") }) {
        SCOPED_TRACE(name.toStdString());
        Conversation alone = janeAndJohn(name);
        alone.name = QStringLiteral("Jane Doe");
        alone.people = people({ "John Doe" });
        EXPECT_EQ(Consent::user(alone), "John Doe");
        EXPECT_EQ(Consent::otherParty(alone), std::nullopt);
    }
    // Elsewhere a chat's name may be a nickname, and a pasted chat's is
    // what the user typed: the one who wrote stays the other party.
    Conversation telegram = janeAndJohn(QStringLiteral("ChatExport_2024-03-13"));
    telegram.name = QStringLiteral("Mom");
    telegram.people = people({ "Ilse Brandt" });
    EXPECT_EQ(Consent::user(telegram), QString());
    Conversation pasted = janeAndJohn(QStringLiteral("Mom"));
    pasted.people = people({ "Ilse Brandt" });
    EXPECT_EQ(Consent::user(pasted), QString());
    EXPECT_EQ(Consent::otherParty(pasted), "Ilse Brandt");
}

// Telegram names a personal chat as the user saved the person ("Jane"),
// while the messages carry the full name: the guess made Jane the user.
TEST_F(ConsentTest, AChatNamedByTheFirstWordsOfOnePersonIsWithThatPerson)
{
    setFullName(QString());
    for (const QString &name :
        { QStringLiteral("Jane"), QStringLiteral("  jane doe "), QStringLiteral("Jane 🌻"),
            QStringLiteral("💛JANE"), QStringLiteral("jane   DOE 👩‍👩‍👧") }) {
        SCOPED_TRACE(name.toStdString());
        Conversation named = janeAndJohn(QStringLiteral("result"));
        named.people = people({ "Jane Doe", "John Smith" });
        named.name = name;
        EXPECT_EQ(Consent::namedOther(named), "Jane Doe");
        EXPECT_EQ(Consent::user(named), "John Smith");
        EXPECT_EQ(Consent::otherParty(named), "Jane Doe");
    }
    // A name typed for a pasted chat goes by the same rule.
    Conversation pasted = janeAndJohn(QStringLiteral("john"));
    pasted.people = people({ "Jane Doe", "John Smith" });
    EXPECT_EQ(Consent::user(pasted), "Jane Doe");
}

TEST_F(ConsentTest, ANameThatCouldMeanEitherOrOnlyPartOfAWordLeavesItToTheGuess)
{
    setFullName(QStringLiteral("John"));
    Conversation conversation = janeAndJohn(QStringLiteral("chat"));
    // Both begin with "Jo", and with "Jo Anne": no rule says who.
    conversation.people = people({ "Jo Anne Doe", "Jo Anne Smith" });
    for (const QString &name : { QStringLiteral("Jo Anne"), QStringLiteral("Jo") }) {
        conversation.name = name;
        EXPECT_EQ(Consent::namedOther(conversation), std::nullopt);
    }
    // Only whole words count: "Jan" is not the beginning of "Jane Doe".
    conversation.people = people({ "Jane Doe", "John Smith" });
    conversation.name = QStringLiteral("Jan");
    EXPECT_EQ(Consent::namedOther(conversation), std::nullopt);
    EXPECT_EQ(Consent::user(conversation), "John Smith");
    // A name that is all of one person's name and the beginning of the
    // other's names the one it is.
    conversation.people = people({ "Sam Rivera", "Sam" });
    conversation.name = QStringLiteral("sam");
    EXPECT_EQ(Consent::namedOther(conversation), "Sam");
    EXPECT_EQ(Consent::user(conversation), "Sam Rivera");
    // Emoji alone name nobody.
    conversation.name = QStringLiteral("🌻");
    EXPECT_EQ(Consent::namedOther(conversation), std::nullopt);
}

// A Telegram chat saved under a nickname that is the first word of the
// user's own name ("Alex" for Alexandra, by Alex Rowan) made Alexandra the
// user, though the export says the chat is hers.
TEST_F(ConsentTest, WhoTheExportSaysTheChatIsWithComesBeforeEveryRuleOnNames)
{
    setFullName(QStringLiteral("Alex Rowan"));
    Conversation nicknamed = janeAndJohn(QStringLiteral("ChatExport_2024-03-07"));
    nicknamed.name = QStringLiteral("Alex");
    nicknamed.people = people({ "Alex Rowan", "Alexandra Kim" });
    nicknamed.them = QStringLiteral("Alexandra Kim");
    EXPECT_EQ(Consent::user(nicknamed), "Alex Rowan");
    EXPECT_EQ(Consent::otherParty(nicknamed), "Alexandra Kim");

    // Only she wrote: the user wrote nothing of it.
    Conversation hers = nicknamed;
    hers.people = people({ "Alexandra Kim" });
    EXPECT_EQ(Consent::user(hers), QString());
    EXPECT_EQ(Consent::otherParty(hers), "Alexandra Kim");
    // Only the user wrote, to the one the export names by the chat's name.
    Conversation mine = nicknamed;
    mine.people = people({ "Alex Rowan" });
    mine.them = QStringLiteral("Alex");
    EXPECT_EQ(Consent::user(mine), "Alex Rowan");
    EXPECT_EQ(Consent::otherParty(mine), "Alex");

    // The user's own word still wins.
    Consent::setMe(nicknamed, QStringLiteral("Alexandra Kim"));
    EXPECT_EQ(Consent::user(nicknamed), "Alexandra Kim");
    EXPECT_EQ(Consent::otherParty(nicknamed), "Alex Rowan");
}
