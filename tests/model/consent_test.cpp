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
