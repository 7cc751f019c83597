#include "service/coverart.h"
#include "service/ordering.h"
#include "service/rewards.h"
#include "standin.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class RewardsTest : public StandInTest
{
protected:
    // The form's boundary, as the content type announced it.
    static QByteArray boundaryOf(const QJsonObject &sent)
    {
        const QString type = StandIn::header(sent, QStringLiteral("content-type"));
        return type.mid(type.indexOf(QLatin1String("boundary=")) + 9).toUtf8();
    }

    static QByteArray field(const QByteArray &boundary, const QByteArray &name, const QByteArray &value)
    {
        return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value
            + "\r\n";
    }

    QJsonObject submitted(const Rewards::Claim &claim)
    {
        TestSupport::await(Rewards::submit(claim));
        return service.requests(QStringLiteral("/api/submissions$")).last();
    }

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_files.filePath(name);
        TestSupport::writeFile(path, bytes);
        return path;
    }

    static Rewards::Claim validClaim()
    {
        Rewards::Claim claim;
        claim.url = QStringLiteral("https://social.example/p/1");
        claim.email = QStringLiteral("sam@example.com");
        claim.agree = true;
        return claim;
    }

private:
    QTemporaryDir m_files;
};

const QString referrals = QStringLiteral("/api/referrals$");

} // namespace

TEST_F(RewardsTest, OverlappingLoadsSendOneRequest)
{
    Rewards rewards;
    QSignalSpy changes(&rewards, &Rewards::statusChanged);
    QCoro::Task<void> first = rewards.load();
    EXPECT_TRUE(rewards.loading());
    QCoro::Task<void> second = rewards.load();
    EXPECT_TRUE(second.isReady());
    TestSupport::await(std::move(first));

    EXPECT_FALSE(rewards.loading());
    ASSERT_TRUE(rewards.status());
    EXPECT_EQ(rewards.status()->rewards, QStringLiteral("on"));
    EXPECT_EQ(changes.count(), 1);
    const QList<QJsonObject> sent = service.requests(referrals);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(StandIn::body(sent.first()), R"({"install":")" + CoverArt::install().toUtf8() + R"("})");
}

TEST_F(RewardsTest, AFailedRefreshKeepsTheKnownStanding)
{
    Rewards rewards;
    TestSupport::await(rewards.load());
    const std::optional<Rewards::Status> known = rewards.status();
    ASSERT_TRUE(known);
    QSignalSpy changes(&rewards, &Rewards::statusChanged);

    const QByteArray complete
        = R"({"rewards":"on","code":"X","share":{"percent":1,"state":"s","discountUsed":false},)"
          R"("referral":{"percent":1,"friendsOrdered":0},)"
          R"("viral":{"views":1,"likes":1,"state":"none"}})";
    QByteArray withoutViral = complete;
    withoutViral.replace(R"(,"viral":{"views":1,"likes":1,"state":"none"})", "");
    for (const auto &[status, body] :
        { std::pair { 500, complete }, std::pair { 201, complete }, std::pair { 200, withoutViral } }) {
        service.reset();
        service.answer(referrals, status, body);
        TestSupport::await(rewards.load());
        EXPECT_EQ(rewards.status(), known) << status;
        EXPECT_FALSE(rewards.loading());
    }
    service.reset();
    TestSupport::await(rewards.load());
    EXPECT_EQ(changes.count(), 0) << "an unchanged standing is no change";
}

TEST_F(RewardsTest, OptionalRewardFieldsMayBeAbsent)
{
    service.answer(referrals, 200,
        R"({"rewards":"soon","code":"C/1","share":{"percent":15,"state":"open","discountUsed":false},)"
        R"("referral":{"percent":10,"friendsOrdered":2},"viral":{"views":1,"likes":2,"state":"none"}})");
    Rewards rewards;
    EXPECT_FALSE(rewards.inviteURL());
    TestSupport::await(rewards.load());
    ASSERT_TRUE(rewards.status());
    EXPECT_FALSE(rewards.status()->share.discountCode);
    EXPECT_FALSE(rewards.status()->viral.capReached);
    EXPECT_EQ(rewards.inviteURL(), QUrl(service.origin() + QStringLiteral("/r/C/1")));
}

TEST_F(RewardsTest, DiscountCodesAreTheServicesVerdict)
{
    EXPECT_EQ(TestSupport::await(Rewards::discount(QStringLiteral("  \t"))), std::nullopt);
    EXPECT_TRUE(service.requests(QStringLiteral("/discounts/")).isEmpty());

    const std::optional<Rewards::Discount> unknown
        = TestSupport::await(Rewards::discount(QStringLiteral("NOPE")));
    ASSERT_TRUE(unknown);
    EXPECT_FALSE(unknown->valid);

    Rewards rewards;
    TestSupport::await(rewards.load());
    const std::optional<Rewards::Discount> referral
        = TestSupport::await(Rewards::discount(QStringLiteral(" ") + rewards.status()->code));
    ASSERT_TRUE(referral);
    EXPECT_TRUE(referral->valid);
    EXPECT_EQ(referral->kind, QStringLiteral("referral"));
}

TEST_F(RewardsTest, AClaimWithNothingOptionalSendsFourPartsAndTheClosingLine)
{
    Rewards::Claim claim;
    claim.url = QStringLiteral("  https://social.example/p/1\n");
    claim.email = QStringLiteral("sam@example.com");
    claim.views = QStringLiteral("none yet");
    service.answer(QStringLiteral("/api/submissions$"), 200, R"({"status":"pending"})");
    const QJsonObject sent = submitted(claim);
    const QByteArray boundary = boundaryOf(sent);
    EXPECT_EQ(boundary.size(), 39);
    EXPECT_TRUE(boundary.startsWith("qv-"));
    EXPECT_EQ(StandIn::body(sent),
        field(boundary, "kind", "share") + field(boundary, "url", "https://social.example/p/1")
            + field(boundary, "email", "sam@example.com")
            + field(boundary, "install", CoverArt::install().toUtf8()) + "--" + boundary + "--\r\n");
}

TEST_F(RewardsTest, CountsAreSentAsTheirDigitsAndFlagsAsOn)
{
    Rewards::Claim claim = validClaim();
    claim.kind = Rewards::Claim::Kind::Viral;
    claim.views = QStringLiteral("12,345 views");
    claim.likes = QStringLiteral("-7");
    claim.adult = true;
    const QJsonObject sent = submitted(claim);
    const QByteArray body = StandIn::body(sent);
    const QByteArray boundary = boundaryOf(sent);
    EXPECT_TRUE(body.contains(field(boundary, "views", "12345") + field(boundary, "likes", "7")
        + field(boundary, "adult", "on") + field(boundary, "agree", "on")));
    EXPECT_FALSE(body.contains("name=\"reposts\""));
    EXPECT_FALSE(body.contains("name=\"disclosed\""));
}

TEST_F(RewardsTest, TheScreenshotsTypeFollowsItsExtension)
{
    for (const auto &[name, type] :
        { std::pair { "Proof.PNG", "image/png" }, std::pair { "proof.JPG", "image/jpeg" },
            std::pair { "proof", "image/jpeg" }, std::pair { "proof.webp", "image/webp" } }) {
        Rewards::Claim claim = validClaim();
        claim.screenshot = file(QLatin1String(name), "picture bytes");
        const QByteArray body = StandIn::body(submitted(claim));
        EXPECT_TRUE(body.contains(
            "; filename=\"" + QByteArray(name) + "\"\r\nContent-Type: " + type + "\r\n\r\npicture bytes\r\n"))
            << name;
    }
}

// A quote or a line break in a file name or a value used to end the part
// early and let the rest be read as parts of its own.
TEST_F(RewardsTest, FieldsAndFileNamesCannotBreakTheForm)
{
    Rewards::Claim claim = validClaim();
    claim.email = QStringLiteral("sam@example.com\r\n--x\r\nContent-Disposition: form-data; name=\"kind\"");
    claim.screenshot = file(QStringLiteral("a\"b.png"), "picture bytes");
    const QByteArray body = StandIn::body(submitted(claim));
    EXPECT_TRUE(body.contains("filename=\"a%22b.png\""));
    EXPECT_TRUE(body.contains("\r\n\r\nsam@example.com--xContent-Disposition: form-data; name=\"kind\"\r\n"));
    EXPECT_EQ(body.count("\r\nContent-Disposition"), 6);
}

TEST_F(RewardsTest, RefusedClaimsReadTheServicesErrorElseTheStatus)
{
    const QString submissions = QStringLiteral("/api/submissions$");
    service.answer(submissions, 429, R"({"error":"Slow down."})");
    EXPECT_EQ(TestSupport::failureOf(Rewards::submit(validClaim())), QStringLiteral("Slow down."));
    service.reset();
    service.answer(submissions, 503, "");
    EXPECT_EQ(TestSupport::failureOf(Rewards::submit(validClaim())),
        QStringLiteral("That didn't go through (503). Try again in a minute."));
    service.reset();
    service.answer(submissions, 200, R"({"percent":10})");
    EXPECT_THROW(TestSupport::await(Rewards::submit(validClaim())), JsonError);
}

TEST_F(RewardsTest, AShareClaimIsGrantedAndAnUnreadableScreenshotSendsNothing)
{
    const Rewards::Claimed claimed = TestSupport::await(Rewards::submit(validClaim()));
    EXPECT_EQ(claimed.status, QStringLiteral("approved"));
    ASSERT_TRUE(claimed.discountCode);

    Rewards::Claim missing = validClaim();
    missing.screenshot = QStringLiteral("/nonexistent/proof.png");
    service.reset();
    EXPECT_TRUE(TestSupport::failureOf(Rewards::submit(missing)));
    EXPECT_TRUE(service.requests().isEmpty());
}
