// What a discount or Friends of Friends code and a gift card are worth at
// the stand-in: the percentage a code takes off the book and what a card
// pays are what the payment page asks, each once; a friend is counted only
// for another install's order; and every answer that names a sharing reward
// names the same percentage.
#include "standin.h"

#include <httplib.h>

namespace {

QJsonObject objectOf(const httplib::Result &result)
{
    return result ? QJsonDocument::fromJson(QByteArray::fromStdString(result->body)).object() : QJsonObject();
}

class Discounts : public ::testing::Test
{
protected:
    struct Order
    {
        QString id;
        QString token;
        QJsonArray files;
    };

    // An order of a two-page book in one volume, unless pages says more.
    Order create(const QString &install, const QString &codes, const QString &addons = QString(),
        const QString &pages = QStringLiteral("2"))
    {
        const std::string body
            = QStringLiteral(R"({"title":"Us","binding":"paperback","shipping":"economy","addons":[%1],)"
                             R"("volumePages":[%2],"install":"%3"%4})")
                  .arg(addons, pages, install, codes)
                  .toStdString();
        const QJsonObject reply = objectOf(client.Post("/api/orders", body, "application/json"));
        return { reply.value(QStringLiteral("id")).toString(),
            reply.value(QStringLiteral("token")).toString(), reply.value(QStringLiteral("files")).toArray() };
    }

    // Sends the order's files and submits it; the submit's status, and in
    // refused the sentence of a refusal.
    int submit(const Order &order)
    {
        const httplib::Headers bearer { { "authorization", "Bearer " + order.token.toStdString() } };
        for (const QJsonValue &file : order.files) {
            const QUrl url(file.toObject().value(QStringLiteral("url")).toString());
            const httplib::Result put = client.Put(
                url.path().toStdString(), bearer, pdfOfPages(2).toStdString(), "application/pdf");
            if (!put || put->status != 200)
                return put ? put->status : -1;
        }
        const httplib::Result submitted = client.Post(
            "/api/orders/" + order.id.toStdString() + "/submit", bearer, "{}", "application/json");
        refused = objectOf(submitted).value(QStringLiteral("error")).toString();
        return submitted ? submitted->status : -1;
    }

    Order placed(const QString &install, const QString &codes)
    {
        const Order order = create(install, codes);
        EXPECT_EQ(submit(order), 200) << install.toStdString();
        return order;
    }

    QString payPage(const Order &order)
    {
        const httplib::Result page = client.Get("/pay/" + order.id.toStdString());
        return page ? QString::fromStdString(page->body) : QString();
    }

    QJsonObject standing(const QString &install)
    {
        return objectOf(client.Post("/api/referrals",
            QStringLiteral(R"({"install":"%1"})").arg(install).toStdString(), "application/json"));
    }

    qint64 friendsOrdered(const QString &install)
    {
        return standing(install)
            .value(QStringLiteral("referral"))
            .toObject()
            .value(QStringLiteral("friendsOrdered"))
            .toInteger(-1);
    }

    // What is left on a card; a spent card answers with no balance at all.
    qint64 balance(const char *card)
    {
        return objectOf(client.Get(std::string("/api/gifts/") + card))
            .value(QStringLiteral("balanceCents"))
            .toInteger(0);
    }

    // The answer to a claim of the sharing reward for install.
    QJsonObject claimShare(const QString &install)
    {
        httplib::MultipartFormDataItems claim {
            { "kind", "share", "", "" },
            { "install", install.toStdString(), "", "" },
            { "url", "https://social.example/p/1", "", "" },
            { "email", "sam@example.com", "", "" },
            { "agree", "on", "", "" },
            { "screenshot", "png", "post.png", "image/png" },
        };
        return objectOf(client.Post("/api/submissions", claim));
    }

    StandIn service;
    httplib::Client client { "127.0.0.1", service.port() };
    QString refused;
};

} // namespace

// Paperback 39, economy shipping 6, moment prints 12: 57 dollars, of which
// the book and its add-on are 51, so ten percent takes 5.10 off.
TEST_F(Discounts, ACodeTakesItsPercentageOffTheBookAndItsAddOnsNeverTheShipping)
{
    const Order full = create(QStringLiteral("pat"), QString(), QStringLiteral(R"("moments")"));
    ASSERT_EQ(submit(full), 200);
    EXPECT_EQ(service.order(full.id).value(QStringLiteral("dueCents")).toInteger(), 5700);
    EXPECT_TRUE(payPage(full).contains(QLatin1String("Pay $57 "))) << payPage(full).toStdString();

    const Order off = create(QStringLiteral("pat"), QStringLiteral(R"(,"discountCode":" welcome10 ")"),
        QStringLiteral(R"("moments")"));
    ASSERT_EQ(submit(off), 200);
    const QJsonObject order = service.order(off.id);
    EXPECT_EQ(order.value(QStringLiteral("total")).toInteger(), 57);
    EXPECT_EQ(order.value(QStringLiteral("discountCents")).toInteger(), 510);
    EXPECT_EQ(order.value(QStringLiteral("dueCents")).toInteger(), 5190);
    const QString page = payPage(off);
    EXPECT_TRUE(page.contains(QLatin1String("Pay $51.90 "))) << page.toStdString();
    EXPECT_FALSE(page.contains(QLatin1String("Pay $57"))) << page.toStdString();

    // A second volume is book too: 39 + 29 for the two, shipping apart.
    const Order twoVolumes = create(QStringLiteral("pat"), QStringLiteral(R"(,"discountCode":"WELCOME10")"),
        QString(), QStringLiteral("780, 10"));
    EXPECT_EQ(service.order(twoVolumes.id).value(QStringLiteral("discountCents")).toInteger(), 680);
    EXPECT_EQ(service.order(twoVolumes.id).value(QStringLiteral("dueCents")).toInteger(), 7400 - 680);
}

TEST_F(Discounts, AGiftCardPaysWhatIsDueAfterTheCode)
{
    placed(
        QStringLiteral("pat"), QStringLiteral(R"(,"discountCode":"WELCOME10","giftCode":"GIFT-FULL-2024")"));
    const QJsonObject gift = objectOf(client.Get("/api/gifts/GIFT-FULL-2024"));
    // 45 dollars, 3.90 of it off the 39 dollar book.
    EXPECT_EQ(gift.value(QStringLiteral("balanceCents")).toInteger(), 1000000 - 4110);
}

TEST_F(Discounts, AFriendsCodeCountsAFriendOnlyWhenAnotherInstallOrdersWithIt)
{
    const QString code = standing(QStringLiteral("owner")).value(QStringLiteral("code")).toString();
    ASSERT_FALSE(code.isEmpty());
    const QString withCode = QStringLiteral(R"(,"discountCode":"%1")").arg(code);

    // The code is good for its owner's own order, but the owner is no friend.
    const Order own = placed(QStringLiteral("owner"), withCode);
    EXPECT_EQ(service.order(own.id).value(QStringLiteral("discountCents")).toInteger(), 390);
    EXPECT_EQ(friendsOrdered(QStringLiteral("owner")), 0);

    // An order not yet submitted is no order.
    const Order pending = create(QStringLiteral("friend-1"), withCode);
    EXPECT_EQ(friendsOrdered(QStringLiteral("owner")), 0);
    ASSERT_EQ(submit(pending), 200);
    EXPECT_EQ(friendsOrdered(QStringLiteral("owner")), 1);

    // The same friend again is still one friend; another, typing the code
    // in small letters, is a second.
    placed(QStringLiteral("friend-1"), withCode);
    EXPECT_EQ(friendsOrdered(QStringLiteral("owner")), 1);
    placed(QStringLiteral("friend-2"), QStringLiteral(R"(,"discountCode":"%1")").arg(code.toLower()));
    EXPECT_EQ(friendsOrdered(QStringLiteral("owner")), 2);
    EXPECT_EQ(friendsOrdered(QStringLiteral("friend-1")), 0);
}

// The app announces the sharing reward as ten percent off (the rewards
// strip, the claim sheet's title) and prices the order button with the
// status's percentage: the claim, the status, the code's check, the rules
// and the charge must all say the same.
TEST_F(Discounts, TheSharingRewardIsOnePercentageWhereverItIsNamed)
{
    const QJsonObject claimed = claimShare(QStringLiteral("sharer"));
    const QString code = claimed.value(QStringLiteral("discountCode")).toString();
    ASSERT_FALSE(code.isEmpty());
    const qint64 percent = claimed.value(QStringLiteral("percent")).toInteger();
    EXPECT_EQ(percent, 10);

    const QJsonObject share = standing(QStringLiteral("sharer")).value(QStringLiteral("share")).toObject();
    EXPECT_EQ(share.value(QStringLiteral("percent")).toInteger(), percent);
    EXPECT_EQ(share.value(QStringLiteral("discountCode")).toString(), code);
    const QJsonObject checked = objectOf(client.Get("/api/discounts/" + code.toStdString()));
    EXPECT_EQ(checked.value(QStringLiteral("percent")).toInteger(), percent);
    const QString rules = QString::fromStdString(client.Get("/wrapped/rules/")->body);
    EXPECT_TRUE(rules.contains(QStringLiteral("%1% off for sharing your Wrapped").arg(percent)));

    const Order order = placed(QStringLiteral("sharer"), QStringLiteral(R"(,"discountCode":"%1")").arg(code));
    EXPECT_EQ(service.order(order.id).value(QStringLiteral("discountCents")).toInteger(), 39 * percent);
    // It works once.
    EXPECT_FALSE(
        objectOf(client.Get("/api/discounts/" + code.toStdString())).value(QStringLiteral("valid")).toBool());
    EXPECT_TRUE(standing(QStringLiteral("sharer"))
                    .value(QStringLiteral("share"))
                    .toObject()
                    .value(QStringLiteral("discountUsed"))
                    .toBool());
}

// Fault mended: a card that paid only part of an order was neither taken
// off what the payment page asked nor off the card.
TEST_F(Discounts, ACardThatPaysPartIsTakenOffOnceWhenTheOrderIsSubmitted)
{
    const Order order = create(
        QStringLiteral("pat"), QStringLiteral(R"(,"discountCode":"WELCOME10","giftCode":"gift-2500")"));
    // Nothing is taken before the order is submitted.
    EXPECT_EQ(balance("GIFT-2500"), 2500);
    ASSERT_EQ(submit(order), 200);
    EXPECT_EQ(balance("GIFT-2500"), 0);
    EXPECT_EQ(service.order(order.id).value(QStringLiteral("dueCents")).toInteger(), 4500 - 390 - 2500);

    // The page lists what makes up the amount it asks.
    const QString page = payPage(order);
    for (const char *line : { "Price: $45", "Code WELCOME10: &minus;$3.90", "Gift card gift-2500: &minus;$25",
             "Amount due: $16.10", "Pay $16.10 " })
        EXPECT_TRUE(page.contains(QLatin1String(line))) << line << "\n" << page.toStdString();

    // A second submit is refused and takes nothing more.
    EXPECT_EQ(submit(order), 409);
    EXPECT_EQ(balance("GIFT-2500"), 0);
}

// Fault mended: two orders open at once could both count on one card's
// balance, or on one sharing reward, and both were charged less for it.
TEST_F(Discounts, ACardOrAShareCodePaysForOnlyOneOfTwoOrdersOpenAtOnce)
{
    const Order first = create(QStringLiteral("pat"), QStringLiteral(R"(,"giftCode":"GIFT-2500")"));
    const Order second = create(QStringLiteral("sam"), QStringLiteral(R"(,"giftCode":"GIFT-2500")"));
    ASSERT_EQ(submit(first), 200);
    EXPECT_EQ(submit(second), 409);
    EXPECT_EQ(refused,
        QStringLiteral("That gift card has paid for another order since you checked it. Nothing was "
                       "charged: apply the card again to see what is left on it."));
    EXPECT_EQ(balance("GIFT-2500"), 0);
    EXPECT_EQ(service.order(second.id).value(QStringLiteral("state")).toString(), QStringLiteral("open"));

    // A card with enough for both pays for both.
    const Order big = create(QStringLiteral("pat"), QStringLiteral(R"(,"giftCode":"GIFT-FULL-2024")"));
    const Order alsoBig = create(QStringLiteral("sam"), QStringLiteral(R"(,"giftCode":"GIFT-FULL-2024")"));
    ASSERT_EQ(submit(big), 200);
    ASSERT_EQ(submit(alsoBig), 200);
    EXPECT_EQ(balance("GIFT-FULL-2024"), 1000000 - 2 * 4500);

    const QString code
        = claimShare(QStringLiteral("sharer")).value(QStringLiteral("discountCode")).toString();
    ASSERT_FALSE(code.isEmpty());
    const QString withCode = QStringLiteral(R"(,"discountCode":"%1")").arg(code);
    const Order shared = create(QStringLiteral("sharer"), withCode);
    const Order sharedAgain = create(QStringLiteral("sharer"), withCode);
    ASSERT_EQ(submit(shared), 200);
    EXPECT_EQ(submit(sharedAgain), 409);
    EXPECT_EQ(refused,
        QStringLiteral("That discount code has been used for another order. Nothing was charged: apply "
                       "it again, or order without it."));
    EXPECT_EQ(
        service.order(sharedAgain.id).value(QStringLiteral("state")).toString(), QStringLiteral("open"));
    // A code anyone may use again is no such code.
    const Order welcome = create(QStringLiteral("pat"), QStringLiteral(R"(,"discountCode":"WELCOME10")"));
    const Order welcomeAgain
        = create(QStringLiteral("sam"), QStringLiteral(R"(,"discountCode":"WELCOME10")"));
    EXPECT_EQ(submit(welcome), 200);
    EXPECT_EQ(submit(welcomeAgain), 200);
}

// Fault mended: WELCOME10 answered with a kind of its own, which the order
// sheet can only call a sharing reward. Every code is of a kind the
// service gives, and the demo code is a sharing code at the sharing
// reward's percentage, as often as anyone likes.
TEST_F(Discounts, EveryCodeIsAFriendsCodeOrASharingCode)
{
    const QString friends = standing(QStringLiteral("owner")).value(QStringLiteral("code")).toString();
    const QString shared
        = claimShare(QStringLiteral("sharer")).value(QStringLiteral("discountCode")).toString();
    const qint64 sharePercent = standing(QStringLiteral("sharer"))
                                    .value(QStringLiteral("share"))
                                    .toObject()
                                    .value("percent")
                                    .toInteger();
    for (const auto &[code, kind] : { std::pair { friends, "referral" }, std::pair { shared, "share" },
             std::pair { QStringLiteral("WELCOME10"), "share" },
             std::pair { QStringLiteral("welcome10"), "share" } }) {
        const QJsonObject checked = objectOf(client.Get("/api/discounts/" + code.toStdString()));
        EXPECT_EQ(checked.value(QStringLiteral("kind")).toString(), QLatin1String(kind))
            << code.toStdString();
    }
    const QJsonObject demo = objectOf(client.Get("/api/discounts/WELCOME10"));
    EXPECT_EQ(demo.value(QStringLiteral("percent")).toInteger(), sharePercent);
    placed(QStringLiteral("pat"), QStringLiteral(R"(,"discountCode":"WELCOME10")"));
    EXPECT_TRUE(objectOf(client.Get("/api/discounts/WELCOME10")).value(QStringLiteral("valid")).toBool());
}
