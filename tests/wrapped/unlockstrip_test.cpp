// The rewards strip: each reward's badge from the rewards standing, and
// the strip as the user sees it against the stand-in service.
#include "model/json.h"
#include "wrapped/unlockstrip.h"
#include "wrappedviewtest.h"

#include <QAccessible>
#include <QJsonDocument>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Kind = UnlockStrip::State::Kind;

namespace {

Rewards::Status openStatus()
{
    Rewards::Status status;
    status.rewards = u"on"_s;
    status.code = u"FRIEND-ABC123"_s;
    status.viral.views = 50000;
    status.viral.likes = 2500;
    status.viral.state = u"none"_s;
    return status;
}

QByteArray standing(const QString &rewards, const QJsonObject &viral)
{
    const QJsonObject object { { u"rewards"_s, rewards }, { u"code"_s, u"FRIEND-XYZ"_s },
        { u"share"_s,
            QJsonObject { { u"percent"_s, 10 }, { u"state"_s, u"open"_s }, { u"discountUsed"_s, false } } },
        { u"referral"_s, QJsonObject { { u"percent"_s, 10 }, { u"friendsOrdered"_s, 0 } } },
        { u"viral"_s, viral } };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QStringList shownTexts(QWidget *strip)
{
    return TestSupport::visibleTexts(strip);
}

} // namespace

TEST(UnlockStripStates, ShareStepFromCodeAndUse)
{
    EXPECT_EQ(UnlockStrip::shareState(std::nullopt).kind, Kind::Soon);
    Rewards::Status status = openStatus();
    EXPECT_EQ(UnlockStrip::shareState(status).kind, Kind::Claimable);
    status.share.discountCode = u"SHARE-9"_s;
    EXPECT_EQ(UnlockStrip::shareState(status), (UnlockStrip::State { Kind::Done, u"SHARE-9"_s }));
    status.share.discountUsed = true;
    EXPECT_EQ(UnlockStrip::shareState(status), (UnlockStrip::State { Kind::Done, u"Used"_s }));
    status.rewards = u"off"_s;
    EXPECT_EQ(UnlockStrip::shareState(status).kind, Kind::Soon);
}

TEST(UnlockStripStates, ReferralStepCountsFriendsWhetherOrNotRewardsAreOpen)
{
    EXPECT_EQ(UnlockStrip::referralState(std::nullopt).kind, Kind::Soon);
    Rewards::Status status = openStatus();
    status.rewards = u"off"_s;
    EXPECT_EQ(UnlockStrip::referralState(status).kind, Kind::Claimable);
    status.referral.friendsOrdered = 1;
    EXPECT_EQ(UnlockStrip::referralState(status).text, u"1 friend ordered"_s);
    status.referral.friendsOrdered = 1234;
    EXPECT_EQ(
        UnlockStrip::referralState(status), (UnlockStrip::State { Kind::Done, u"1234 friends ordered"_s }));
}

TEST(UnlockStripStates, ViralStepFromReviewApprovalAndCap)
{
    EXPECT_EQ(UnlockStrip::viralState(std::nullopt).kind, Kind::Soon);
    Rewards::Status status = openStatus();
    EXPECT_EQ(UnlockStrip::viralState(status).kind, Kind::Claimable);
    status.viral.capReached = true;
    EXPECT_EQ(UnlockStrip::viralState(status), (UnlockStrip::State { Kind::Note, u"All given out"_s }));
    // In review wins over the cap.
    status.viral.state = u"pending"_s;
    EXPECT_EQ(UnlockStrip::viralState(status), (UnlockStrip::State { Kind::Note, u"In review"_s }));
    status.viral.state = u"approved"_s;
    EXPECT_EQ(UnlockStrip::viralState(status), (UnlockStrip::State { Kind::Done, u"Approved"_s }));
    status.viral.giftCode = u"GIFT-77"_s;
    EXPECT_EQ(UnlockStrip::viralState(status), (UnlockStrip::State { Kind::Done, u"GIFT-77"_s }));
    status.rewards = u"paused"_s;
    EXPECT_EQ(UnlockStrip::viralState(status).kind, Kind::Soon);
}

class UnlockStripTest : public StandInTest
{
protected:
    void SetUp() override
    {
        StandInTest::SetUp();
        TestSupport::desktop().reset();
        strip.resize(1000, 50);
        strip.show();
    }

    void load() { TestSupport::await(rewards.load()); }

    Rewards rewards;
    UnlockStrip strip { rewards };
};

TEST_F(UnlockStripTest, WithoutAStandingEveryRewardOpensSoon)
{
    const QStringList texts = shownTexts(&strip);
    EXPECT_EQ(texts.count(u"Opens soon"_s), 3) << texts.join(u" | "_s).toStdString();
    EXPECT_TRUE(texts.contains(u"Friends of Friends: your code"_s));
    EXPECT_TRUE(texts.contains(u"Go big: 10,000 views or 1,000 likes"_s));
    EXPECT_FALSE(texts.contains(u"Claim…"_s));
    EXPECT_FALSE(texts.contains(u"Copy Link"_s));

    // A service that can't be reached leaves it so.
    service.drop(u"/api/referrals"_s);
    load();
    EXPECT_EQ(shownTexts(&strip).count(u"Opens soon"_s), 3);
}

TEST_F(UnlockStripTest, TheServicesStandingFillsTheStepsAndCopiesTheInviteLink)
{
    load();
    ASSERT_TRUE(rewards.status());
    const QString code = rewards.status()->code;
    QStringList texts = shownTexts(&strip);
    EXPECT_TRUE(texts.contains(u"Friends of Friends: code "_s + code)) << texts.join(u" | "_s).toStdString();
    EXPECT_TRUE(texts.contains(u"Go big: 10,000 views or 1,000 likes"_s));
    EXPECT_EQ(texts.count(u"Claim…"_s), 2);
    EXPECT_FALSE(texts.contains(u"Opens soon"_s));

    QList<Rewards::Claim::Kind> claims;
    QObject::connect(
        &strip, &UnlockStrip::claimRequested, [&](Rewards::Claim::Kind kind) { claims.append(kind); });
    QList<QPushButton *> claimButtons;
    for (QPushButton *button : strip.findChildren<QPushButton *>()) {
        if (button->isVisible() && button->text() == u"Claim…"_s)
            claimButtons.append(button);
    }
    ASSERT_EQ(claimButtons.size(), 2);
    for (QPushButton *button : claimButtons)
        button->click();
    EXPECT_EQ(
        claims, (QList<Rewards::Claim::Kind> { Rewards::Claim::Kind::Share, Rewards::Claim::Kind::Viral }));

    // "Copied" for two seconds per copy; the first copy's two seconds end it.
    ManualClock clock;
    auto *copy = qobject_cast<QPushButton *>(TestSupport::findText(&strip, u"Copy Link"_s));
    ASSERT_TRUE(copy);
    expectCopiedForTwoSecondsEach(copy, clock, u"Copy Link"_s);
    EXPECT_EQ(TestSupport::desktop().of(u"copyText"_s).value(0),
        QStringList { service.origin() + u"/r/"_s + code });
}

TEST_F(UnlockStripTest, ClosedRewardsStillShowTheFriendsCodeAndReviewWinsOverTheCap)
{
    service.answer(u"/api/referrals"_s, 200,
        standing(u"off"_s,
            QJsonObject { { u"views"_s, 25000 }, { u"likes"_s, 2500 }, { u"state"_s, u"none"_s } }));
    load();
    QStringList texts = shownTexts(&strip);
    // The thresholds as the service gives them.
    EXPECT_TRUE(texts.contains(u"Go big: 25,000 views or 2,500 likes"_s))
        << texts.join(u" | "_s).toStdString();
    EXPECT_EQ(texts.count(u"Opens soon"_s), 2) << texts.join(u" | "_s).toStdString();
    EXPECT_TRUE(texts.contains(u"Friends of Friends: code FRIEND-XYZ"_s));
    EXPECT_TRUE(texts.contains(u"Copy Link"_s));

    service.reset();
    service.answer(u"/api/referrals"_s, 200,
        standing(u"on"_s,
            QJsonObject { { u"views"_s, 10000 }, { u"likes"_s, 1000 }, { u"state"_s, u"pending"_s },
                { u"capReached"_s, true } }));
    load();
    texts = shownTexts(&strip);
    EXPECT_TRUE(texts.contains(u"In review"_s)) << texts.join(u" | "_s).toStdString();
    EXPECT_FALSE(texts.contains(u"All given out"_s));
}

TEST_F(UnlockStripTest, EachClaimButtonSaysItsStepToAScreenReader)
{
    load();
    QStringList steps;
    for (QPushButton *button : strip.findChildren<QPushButton *>()) {
        if (button->isVisible() && button->text() == u"Claim…"_s)
            steps.append(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Description));
    }
    ASSERT_EQ(steps.size(), 2);
    EXPECT_NE(steps[0], steps[1]);
    EXPECT_FALSE(steps.contains(QString()));
}
