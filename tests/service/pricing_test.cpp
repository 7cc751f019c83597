#include "model/json.h"
#include "service/pricing.h"
#include "standin.h"

#include <gtest/gtest.h>

namespace {

Pricing listWithBands(std::optional<QList<QList<int>>> bands)
{
    Pricing pricing;
    pricing.pagesPerVolume = 780;
    pricing.bindings
        = { { QStringLiteral("paperback"), QStringLiteral("Paperback"), {}, 39, 29, std::nullopt } };
    Pricing::Addon addon;
    addon.id = QStringLiteral("photo-pages");
    addon.price = 12;
    addon.priceBands = bands;
    pricing.addons = { addon };
    return pricing;
}

QJsonObject wellFormed()
{
    return Json::parseObject(R"({"currency": "USD", "pagesPerVolume": 500,
        "bindings": [{"id": "paperback", "name": "P", "detail": "D", "price": 40, "extraVolume": 30}],
        "shipping": [{"id": "economy", "name": "E", "price": 8, "days": [3, 5]}],
        "included": ["x"],
        "addons": [{"id": "a", "group": "g", "name": "n", "detail": "d", "price": 12,
                    "priceBands": [[300, 10], [600, 15]], "requires": "b", "status": "soon"}]})");
}

void scriptPriceList(StandIn &service, int status, const QJsonObject &list)
{
    service.script(
        { { QStringLiteral("path"), QStringLiteral("/api/pricing$") }, { QStringLiteral("status"), status },
            { QStringLiteral("body"), QString::fromUtf8(QJsonDocument(list).toJson()) } });
}

class PricingLoad : public StandInTest
{
};

} // namespace

TEST(PricingPrices, OneMorePageThanTheLimitAddsOneExtraVolume)
{
    const Pricing pricing = listWithBands(std::nullopt);
    EXPECT_EQ(pricing.price(QStringLiteral("paperback"), 0), 39);
    EXPECT_EQ(pricing.price(QStringLiteral("paperback"), 780), 39);
    EXPECT_EQ(pricing.price(QStringLiteral("paperback"), 781), 39 + 29);
    EXPECT_EQ(pricing.price(QStringLiteral("hardcover"), 100), std::nullopt);
}

TEST(PricingPrices, BandsTakeTheFirstBandCoveringThePagesOfEachVolume)
{
    const Pricing pricing = listWithBands(QList<QList<int>> { { 200, 9 }, { 400, 15 } });
    const Pricing::Addon &addon = pricing.addons.first();
    EXPECT_EQ(pricing.price(addon, 150), 9);
    EXPECT_EQ(pricing.price(addon, 200), 9);
    EXPECT_EQ(pricing.price(addon, 300), 15);
    EXPECT_EQ(pricing.price(addon, 700), 15);
    EXPECT_EQ(pricing.price(addon, 1000), 30);
}

TEST(PricingPrices, AnAddonWithoutBandsCostsItsPriceAtAnyLength)
{
    for (const auto &bands : { std::optional<QList<QList<int>>>(), std::optional(QList<QList<int>>()) }) {
        const Pricing pricing = listWithBands(bands);
        EXPECT_EQ(pricing.price(pricing.addons.first(), 5000), 12);
    }
}

TEST(PricingPrices, CentsShowDecimalsOnlyWhenThereAreCents)
{
    EXPECT_EQ(Pricing::cents(1200), QStringLiteral("$12"));
    EXPECT_EQ(Pricing::cents(0), QStringLiteral("$0"));
    EXPECT_EQ(Pricing::cents(1250), QStringLiteral("$12.50"));
    EXPECT_EQ(Pricing::cents(5), QStringLiteral("$0.05"));
}

TEST(PricingDecoding, ReadsEveryFieldAndLeavesAddonsOptional)
{
    const Pricing pricing = Pricing::fromJson(wellFormed());
    EXPECT_EQ(pricing.shipping.first().days, (QList<int> { 3, 5 }));
    EXPECT_EQ(pricing.addons.first().requiredAddon, QStringLiteral("b"));
    EXPECT_EQ(pricing.addons.first().priceBands, (QList<QList<int>> { { 300, 10 }, { 600, 15 } }));
    EXPECT_EQ(Pricing::fromJson(pricing.toJson()), pricing);

    QJsonObject withoutAddons = wellFormed();
    withoutAddons.remove(QStringLiteral("addons"));
    EXPECT_TRUE(Pricing::fromJson(withoutAddons).addons.isEmpty());
}

// Fault mended: a list whose page limit is below 1 was thrown away, and the
// book's page lost its add-ons and planned volumes of 780 pages. It is
// kept, and a book of any length is one volume.
TEST(PricingDecoding, APageLimitBelowOneSetsNoLimit)
{
    for (const int limit : { 0, -3 }) {
        QJsonObject list = wellFormed();
        list.insert(QStringLiteral("pagesPerVolume"), limit);
        const Pricing pricing = Pricing::fromJson(list);
        EXPECT_EQ(pricing.addons.size(), 1) << limit;
        EXPECT_EQ(pricing.pageLimit(), Pricing::unlimited) << limit;
        EXPECT_EQ(pricing.volumes(100000), 1) << limit;
        EXPECT_EQ(pricing.price(QStringLiteral("paperback"), 5000), 40) << limit;
        // 5,000 pages in one volume: above every band, so the last, once.
        EXPECT_EQ(pricing.price(pricing.addons.first(), 5000), 15) << limit;
    }
    EXPECT_EQ(Pricing::fromJson(wellFormed()).pageLimit(), 500);
}

// A short band has no price: such a list is refused rather than priced.
TEST(PricingDecoding, RefusesAListThatCannotBePriced)
{
    QJsonObject shortBand = wellFormed();
    QJsonObject addon = shortBand.value(QStringLiteral("addons")).toArray().first().toObject();
    addon.insert(QStringLiteral("priceBands"), QJsonArray { QJsonArray { 300 } });
    shortBand.insert(QStringLiteral("addons"), QJsonArray { addon });
    EXPECT_THROW(Pricing::fromJson(shortBand), JsonError);

    QJsonObject fractional = wellFormed();
    fractional.insert(QStringLiteral("pagesPerVolume"), 500.5);
    EXPECT_THROW(Pricing::fromJson(fractional), JsonError);
}

TEST(PricingAddress, TheRootKeepsThePathPrefixOfTheServiceBase)
{
    Pricing::setEndpoint(QUrl(QStringLiteral("https://example.com/shop/v2/api/pricing")));
    EXPECT_EQ(
        Pricing::address("api/orders").toString(), QStringLiteral("https://example.com/shop/v2/api/orders"));
    EXPECT_EQ(
        Pricing::address("api/gifts/" + Pricing::segmentEncoded(QStringLiteral("a/b?c#d%e"))).toEncoded(),
        QByteArray("https://example.com/shop/v2/api/gifts/a%2Fb%3Fc%23d%25e"));
    EXPECT_EQ(Pricing::pathEncoded(QStringLiteral("x/y z%")), QByteArray("x/y%20z%25"));
}

TEST_F(PricingLoad, LoadsTheServicesPriceList)
{
    const std::optional<Pricing> pricing = TestSupport::await(Pricing::load());
    ASSERT_TRUE(pricing);
    EXPECT_GE(pricing->pagesPerVolume, 1);
    EXPECT_FALSE(pricing->addons.isEmpty());
    const QList<QJsonObject> sent = service.requests(QStringLiteral("/api/pricing$"));
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent.first().value(QStringLiteral("target")).toString(), QStringLiteral("/api/pricing"));
}

TEST_F(PricingLoad, AnythingButAReadableStatus200LoadsNothing)
{
    QJsonObject withoutIncluded = wellFormed();
    withoutIncluded.remove(QStringLiteral("included"));
    QJsonObject negativeLimit = wellFormed();
    negativeLimit.insert(QStringLiteral("pagesPerVolume"), -1);

    scriptPriceList(service, 201, wellFormed());
    EXPECT_FALSE(TestSupport::await(Pricing::load()));
    service.reset();
    scriptPriceList(service, 200, withoutIncluded);
    EXPECT_FALSE(TestSupport::await(Pricing::load()));
    service.reset();
    scriptPriceList(service, 200, negativeLimit);
    EXPECT_TRUE(TestSupport::await(Pricing::load()));
    service.reset();
    service.script(
        { { QStringLiteral("path"), QStringLiteral("/api/pricing$") }, { QStringLiteral("drop"), true } });
    EXPECT_FALSE(TestSupport::await(Pricing::load()));
    service.reset();
    scriptPriceList(service, 200, wellFormed());
    EXPECT_TRUE(TestSupport::await(Pricing::load()));
}
