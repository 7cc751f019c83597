#include "service/coverart.h"
#include "service/ordering.h"
#include "standin.h"

#include <gtest/gtest.h>

namespace {

class OrderingTest : public StandInTest
{
protected:
    QString pdfFile(int pages)
    {
        const QString path = m_files.filePath(QStringLiteral("print-%1.pdf").arg(m_count++));
        TestSupport::writeFile(path, pdfOfPages(pages));
        return path;
    }

    Ordering::Created create(QList<int> volumePages)
    {
        return TestSupport::await(Ordering::create(QStringLiteral("Us"), Order(), volumePages,
            QStringLiteral("sam@example.com"), std::nullopt, std::nullopt));
    }

private:
    QTemporaryDir m_files;
    int m_count = 0;
};

QString failureOf(QCoro::Task<Ordering::Created> task)
{
    return TestSupport::failureOf(std::move(task)).value_or(QStringLiteral("(no failure)"));
}

} // namespace

TEST(OrderingAddress, IsCompleteWithoutItsOptionalLines)
{
    Ordering::Address address { QStringLiteral("Sam"), QStringLiteral("1 Main St"), {},
        QStringLiteral("Springfield"), QStringLiteral("IL"), QStringLiteral("62701"), {}, {} };
    EXPECT_TRUE(address.complete());
    address.state = QStringLiteral(" ");
    EXPECT_FALSE(address.complete());
    address.state = QStringLiteral("\tIL ");
    EXPECT_TRUE(address.complete());
}

TEST(OrderingSubmitBody, WritesEmailThenTheEightAddressKeysInOrder)
{
    EXPECT_EQ(Ordering::submitBody(std::nullopt, std::nullopt), QByteArray("{}"));
    EXPECT_EQ(Ordering::submitBody(QString(), std::nullopt), QByteArray(R"({"email":""})"));
    Ordering::Address blank;
    EXPECT_EQ(Ordering::submitBody(QStringLiteral("a/b@example.com"), blank),
        QByteArray(R"({"email":"a\/b@example.com","address":{"name":"","line1":"","line2":"","city":"",)"
                   R"("state":"","postal_code":"","phone":"","country":""}})"));
}

TEST_F(OrderingTest, ModeIsTheRepliesModeStringWhateverItsStatus)
{
    EXPECT_EQ(TestSupport::await(Ordering::mode()), QStringLiteral("stripe"));
    service.answer(QStringLiteral("/api/ordering$"), 500, R"({"mode":"email"})");
    EXPECT_EQ(TestSupport::await(Ordering::mode()), QStringLiteral("email"));
}

TEST_F(OrderingTest, ModeIsOffWhenItCannotBeRead)
{
    for (const QByteArray &body :
        { QByteArray("{}"), QByteArray("<html>"), QByteArray(R"({"mode":"stripe","n":1})") }) {
        service.reset();
        service.answer(QStringLiteral("/api/ordering$"), 200, body);
        EXPECT_EQ(TestSupport::await(Ordering::mode()), QStringLiteral("off")) << body.constData();
    }
    service.reset();
    service.drop(QStringLiteral("/api/ordering$"));
    EXPECT_EQ(TestSupport::await(Ordering::mode()), QStringLiteral("off"));
}

// A code is one path segment, encoded once: a "/" must not split it and a
// "%" must not come out as "%2525".
TEST_F(OrderingTest, GiftCodesAreTrimmedAndEncodedOnceAsOneSegment)
{
    TestSupport::await(Ordering::gift(QStringLiteral(" \ta/b?c#d%e \t")));
    TestSupport::await(Ordering::gift(QStringLiteral("GIFT-2500\n")));
    const QList<QJsonObject> sent = service.requests(QStringLiteral("/gifts/"));
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent.at(0).value(QStringLiteral("target")).toString(),
        QStringLiteral("/api/gifts/a%2Fb%3Fc%23d%25e"));
    EXPECT_EQ(
        sent.at(1).value(QStringLiteral("target")).toString(), QStringLiteral("/api/gifts/GIFT-2500%0A"));

    EXPECT_EQ(TestSupport::await(Ordering::gift(QStringLiteral(" \t "))), std::nullopt);
    EXPECT_EQ(service.requests(QStringLiteral("/gifts/")).size(), 2);
}

TEST_F(OrderingTest, GiftAnswersAreReadWhateverTheirStatus)
{
    const std::optional<Ordering::Gift> known
        = TestSupport::await(Ordering::gift(QStringLiteral("GIFT-2500")));
    ASSERT_TRUE(known);
    EXPECT_TRUE(known->valid);
    EXPECT_EQ(known->balanceCents, 2500);
    const std::optional<Ordering::Gift> unknown = TestSupport::await(Ordering::gift(QStringLiteral("NOPE")));
    ASSERT_TRUE(unknown);
    EXPECT_FALSE(unknown->valid);
}

TEST_F(OrderingTest, CreateSendsTheOrderWithEmptyCodesLeftOut)
{
    Order order;
    order.binding = QStringLiteral("hardcover");
    const Ordering::Created created = TestSupport::await(
        Ordering::create(QStringLiteral("Us/Them"), order, { 120, 80 }, QString(), QString(), std::nullopt));
    EXPECT_EQ(created.files.size(), 4);
    ASSERT_TRUE(created.covers);
    EXPECT_EQ(created.covers->size(), 2);

    const QList<QJsonObject> sent = service.requests(QStringLiteral("/api/orders$"));
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent.first().value(QStringLiteral("target")).toString(), QStringLiteral("/api/orders"));
    EXPECT_EQ(
        StandIn::header(sent.first(), QStringLiteral("content-type")), QStringLiteral("application/json"));
    EXPECT_EQ(StandIn::body(sent.first()),
        R"({"title":"Us\/Them","binding":"hardcover","shipping":"economy","addons":[],"volumePages":[120,80],)"
        R"("email":"","install":")"
            + CoverArt::install().toUtf8() + R"("})");
}

// The stand-in answers only at its root, so the order itself is refused;
// what counts is where it went.
TEST_F(OrderingTest, CreateKeepsTheServiceBasesOwnPath)
{
    service.pointClientHere(QStringLiteral("/shop/v2"));
    EXPECT_EQ(failureOf(Ordering::create(QStringLiteral("Us"), Order(), { 10 }, {}, {}, {})),
        QStringLiteral("Not found."));
    EXPECT_EQ(
        service.requests(QStringLiteral("/api/orders$")).first().value(QStringLiteral("path")).toString(),
        QStringLiteral("/shop/v2/api/orders"));
}

TEST_F(OrderingTest, RefusalsReadTheServicesErrorElseTheStatus)
{
    const QString orders = QStringLiteral("/api/orders$");
    service.answer(orders, 402, R"({"error":"That card was declined."})");
    EXPECT_EQ(failureOf(Ordering::create({}, Order(), { 1 }, {}, {}, {})),
        QStringLiteral("That card was declined."));
    service.reset();
    service.answer(orders, 502, "<html>Bad gateway</html>", QStringLiteral("text/html"));
    EXPECT_EQ(failureOf(Ordering::create({}, Order(), { 1 }, {}, {}, {})),
        QStringLiteral("The order didn't go through (502). Nothing was charged."));
    service.reset();
    service.answer(orders, 400, R"({"error":"bad","code":7})");
    EXPECT_EQ(failureOf(Ordering::create({}, Order(), { 1 }, {}, {}, {})),
        QStringLiteral("The order didn't go through (400). Nothing was charged."));
}

TEST_F(OrderingTest, CreateAccepts201AndRefusesAReplyWithoutToken)
{
    const QString orders = QStringLiteral("/api/orders$");
    service.answer(orders, 201, R"({"id":"o1","token":"t","mode":"email","files":[]})");
    const Ordering::Created created = create({ 1 });
    EXPECT_EQ(created.id, QStringLiteral("o1"));
    EXPECT_FALSE(created.covers);
    service.reset();
    service.answer(orders, 200, R"({"id":"o1","mode":"email","files":[]})");
    EXPECT_THROW(create({ 1 }), JsonError);
}

TEST_F(OrderingTest, UploadStreamsThePdfWithTheBearerToken)
{
    const Ordering::Created created = create({ 3 });
    const QString interior = pdfFile(3);
    TestSupport::await(Ordering::upload(interior, created.files.at(0).url, created.token));
    const QJsonObject sent = service.requests(QStringLiteral("/uploads/")).first();
    EXPECT_EQ(sent.value(QStringLiteral("method")).toString(), QStringLiteral("PUT"));
    EXPECT_EQ(
        StandIn::header(sent, QStringLiteral("authorization")), QStringLiteral("Bearer ") + created.token);
    EXPECT_EQ(StandIn::header(sent, QStringLiteral("content-type")), QStringLiteral("application/pdf"));
    EXPECT_EQ(StandIn::body(sent), TestSupport::readFile(interior));

    // The service checks the pages the order announced.
    EXPECT_EQ(TestSupport::failureOf(Ordering::upload(pdfFile(2), created.files.at(0).url, created.token)),
        QStringLiteral("interior-1.pdf has 2 pages; the order said 3."));
}

// The token must not cross the network in the clear: an upload address that
// is neither https nor this computer is refused before anything is sent.
TEST_F(OrderingTest, TokensGoOnlyToSecureOrLocalAddresses)
{
    const QString file = pdfFile(1);
    const std::optional<QString> refused = TestSupport::failureOf(Ordering::upload(
        file, QUrl(QStringLiteral("http://print.example.com/uploads/x")), QStringLiteral("secret")));
    EXPECT_EQ(refused,
        QStringLiteral("The order didn't go through (the service's address isn't secure). "
                       "Nothing was charged."));
    Pricing::setEndpoint(QUrl(QStringLiteral("http://shop.example.com/api/pricing")));
    EXPECT_TRUE(
        TestSupport::failureOf(Ordering::submit(QStringLiteral("o1"), QStringLiteral("secret"), {}, {})));
    EXPECT_TRUE(service.requests().isEmpty());
}

TEST_F(OrderingTest, SubmitSendsTheTokenAndReadsTheReply)
{
    service.answer(QStringLiteral("/submit$"), 200, R"({"message":"Thanks","extra":1})");
    const Ordering::Submitted submitted = TestSupport::await(Ordering::submit(
        QStringLiteral("o 1"), QStringLiteral("tok"), QStringLiteral("s@x.com"), std::nullopt));
    EXPECT_EQ(submitted.message, QStringLiteral("Thanks"));
    EXPECT_FALSE(submitted.checkoutUrl);
    const QJsonObject sent = service.requests(QStringLiteral("/submit$")).first();
    EXPECT_EQ(sent.value(QStringLiteral("target")).toString(), QStringLiteral("/api/orders/o%201/submit"));
    EXPECT_EQ(StandIn::header(sent, QStringLiteral("authorization")), QStringLiteral("Bearer tok"));
    EXPECT_EQ(StandIn::body(sent), QByteArray(R"({"email":"s@x.com"})"));

    service.reset();
    service.answer(QStringLiteral("/submit$"), 500, "oops", QStringLiteral("text/plain"));
    EXPECT_EQ(TestSupport::failureOf(Ordering::submit(QStringLiteral("o1"), QStringLiteral("t"), {}, {})),
        QStringLiteral("The order didn't go through (500). Nothing was charged."));
}

TEST_F(OrderingTest, AWholeOrderEndsOnTheServicesPaymentPage)
{
    const Ordering::Created created = create({ 4 });
    for (const Ordering::Created::File &file : created.files)
        TestSupport::await(Ordering::upload(
            pdfFile(file.name.startsWith(QLatin1String("interior")) ? 4 : 1), file.url, created.token));
    const Ordering::Submitted submitted = TestSupport::await(
        Ordering::submit(created.id, created.token, QStringLiteral("sam@example.com"), std::nullopt));
    ASSERT_TRUE(submitted.checkoutUrl);
    EXPECT_EQ(submitted.checkoutUrl->toString(), service.origin() + QStringLiteral("/pay/") + created.id);
    EXPECT_EQ(service.order(created.id).value(QStringLiteral("state")).toString(),
        QStringLiteral("awaiting payment"));

    service.setMode(QStringLiteral("email"));
    const Ordering::Created second = create({ 4 });
    EXPECT_EQ(TestSupport::failureOf(Ordering::submit(second.id, second.token, {}, {})),
        QStringLiteral("The print files haven't all arrived yet (interior-1.pdf is missing)."));
}
