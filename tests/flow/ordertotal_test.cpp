// The price of a book as set up, the order button's words and whether a
// gift card pays for it all: whole dollars, cents only where a percentage
// or a balance makes them.
#include "flow/ordertotal.h"

#include <gtest/gtest.h>

namespace {

Pricing priceList(int limit, int binding, int extraVolume, int shipping)
{
    Pricing pricing;
    pricing.currency = QStringLiteral("USD");
    pricing.pagesPerVolume = limit;
    pricing.bindings = { { QStringLiteral("paperback"), QStringLiteral("Paperback"), {}, binding, extraVolume,
        std::nullopt } };
    pricing.shipping = { { QStringLiteral("economy"), QStringLiteral("Economy"), shipping, { 7, 12 } } };
    return pricing;
}

Pricing::Addon addon(const QString &id, int price, std::optional<QList<QList<int>>> bands = std::nullopt)
{
    Pricing::Addon addon;
    addon.id = id;
    addon.price = price;
    addon.priceBands = bands;
    addon.status = QStringLiteral("available");
    return addon;
}

BookFile bookWith(std::optional<Order> order)
{
    BookFile book;
    book.order = order;
    return book;
}

Order chosen(const QString &binding, const QString &shipping, std::optional<QStringList> addons = {})
{
    Order order;
    order.binding = binding;
    order.shipping = shipping;
    order.addons = addons;
    return order;
}

Rewards::Status shareReward(int percent)
{
    Rewards::Status status;
    status.rewards = QStringLiteral("on");
    status.share.percent = percent;
    status.share.discountCode = QStringLiteral("SHARE-ABC");
    return status;
}

// The whole price, as the order button shows it before any code.
std::optional<int> total(const std::optional<Pricing> &pricing, const BookFile &book, int pageCount)
{
    const std::optional<OrderTotal::Price> price = OrderTotal::price(pricing, book, pageCount);
    return price ? std::optional(price->total()) : std::nullopt;
}

} // namespace

TEST(OrderTotal, ExtraVolumesAndShippingAddUp)
{
    // 1,200 pages at 500 a volume: three volumes, 40 + 2 × 30, then shipping 8.
    const Pricing pricing = priceList(500, 40, 30, 8);
    EXPECT_EQ(total(pricing, bookWith(chosen("paperback", "economy")), 1200), 108);
    EXPECT_EQ(total(pricing, bookWith(chosen("paperback", "economy")), 0), 48);
}

// Fault mended: a book without saved choices was priced without shipping,
// although its page says economy and its order is sent by economy.
TEST(OrderTotal, ABookWithoutChoicesIsAPaperbackSentByEconomyWithoutAddons)
{
    Pricing pricing = priceList(500, 40, 30, 8);
    pricing.addons = { addon(QStringLiteral("gift-box"), 15) };
    EXPECT_EQ(OrderTotal::price(pricing, bookWith(std::nullopt), 100), (OrderTotal::Price { 40, 8 }));
    EXPECT_EQ(total(pricing, bookWith(std::nullopt), 100), 48);
}

TEST(OrderTotal, APercentageComesOffTheBookAndItsAddonsNotTheShipping)
{
    Pricing pricing = priceList(780, 39, 29, 6);
    pricing.addons = { addon(QStringLiteral("moments"), 12) };
    const OrderTotal::Price price = *OrderTotal::price(
        pricing, bookWith(chosen("paperback", "economy", QStringList { "moments" })), 100);
    EXPECT_EQ(price.dueCents(), 5700);
    // 10 % of the $51 book and add-on is $5.10; the $6 shipping stays whole.
    EXPECT_EQ(price.dueCents(10), 5700 - 510);
    EXPECT_EQ(price.dueCents(100), 600);
}

TEST(OrderTotal, NoPricesOrAnUnknownBindingGiveNoTotal)
{
    const Pricing pricing = priceList(500, 40, 30, 8);
    EXPECT_EQ(total(std::optional<Pricing>(), bookWith(std::nullopt), 100), std::nullopt);
    EXPECT_EQ(total(pricing, bookWith(chosen("layflat", "economy")), 100), std::nullopt);
    // A shipping the list doesn't know costs nothing.
    EXPECT_EQ(total(pricing, bookWith(chosen("paperback", "by-sea")), 100), 40);
}

TEST(OrderTotal, BandedAddonsCostTheirBandPerVolumeAndFlatOnesOnce)
{
    Pricing pricing = priceList(500, 40, 30, 0);
    pricing.addons = { addon(QStringLiteral("photos"), 99, QList<QList<int>> { { 300, 10 }, { 600, 15 } }),
        addon(QStringLiteral("box"), 12) };
    const BookFile photos = bookWith(chosen("paperback", "economy", QStringList { "photos" }));
    // Three volumes of 400 and of 433.3 pages: the band up to 600.
    EXPECT_EQ(*total(pricing, photos, 1200) - 100, 45);
    EXPECT_EQ(*total(pricing, photos, 1300) - 100, 45);
    // No pages at all: one volume, the first band.
    EXPECT_EQ(total(pricing, photos, 0), 40 + 10);
    // One volume of 1,000 pages is above every band: the last one.
    pricing.pagesPerVolume = 1000;
    EXPECT_EQ(total(pricing, photos, 1000), 40 + 15);

    pricing.pagesPerVolume = 500;
    const BookFile box = bookWith(chosen("paperback", "economy", QStringList { "box", "box", "unknown" }));
    EXPECT_EQ(total(pricing, box, 1200), 100 + 12);
}

TEST(OrderTotal, TheButtonSaysSavePdfWithoutAPrice)
{
    const BookFile book = bookWith(chosen("hardcover", "economy"));
    EXPECT_EQ(
        OrderTotal::label(std::nullopt, book, 10, std::nullopt).plainText(), QStringLiteral("Save PDF"));
    EXPECT_EQ(OrderTotal::label(priceList(780, 49, 0, 6), book, 10, std::nullopt).plainText(),
        QStringLiteral("Save PDF"));
}

TEST(OrderTotal, TheButtonStrikesThePriceForAnUnusedShareReward)
{
    EXPECT_EQ(OrderTotal::label(priceList(780, 49, 0, 6), bookWith(std::nullopt), 100, std::nullopt),
        (OrderTotal::Label { QStringLiteral("Order · $55"), {}, {} }));

    const BookFile book = bookWith(chosen("paperback", "economy"));
    const Pricing pricing = priceList(780, 49, 0, 6);
    // 5,500 cents less 10 % of the book alone (490): the shipping is not discounted.
    const OrderTotal::Label tenPercent = OrderTotal::label(pricing, book, 100, shareReward(10));
    EXPECT_EQ(tenPercent,
        (OrderTotal::Label { QStringLiteral("Order · "), QStringLiteral("$55"), QStringLiteral("$50.10") }));
    EXPECT_EQ(tenPercent.plainText(), QStringLiteral("Order · $55 $50.10"));
    EXPECT_EQ(tenPercent.html(), QStringLiteral("Order · <s>$55</s> $50.10"));
    EXPECT_EQ(OrderTotal::label(pricing, book, 100, shareReward(20)).discounted, QStringLiteral("$45.20"));
    EXPECT_EQ(OrderTotal::label(priceList(780, 50, 0, 0), book, 100, shareReward(10)).discounted,
        QStringLiteral("$45"));
}

TEST(OrderTotal, AUsedOrClosedOrCodelessRewardTakesNothingOff)
{
    const BookFile book = bookWith(chosen("paperback", "economy"));
    const Pricing pricing = priceList(780, 49, 0, 6);
    Rewards::Status used = shareReward(10);
    used.share.discountUsed = true;
    Rewards::Status closed = shareReward(10);
    closed.rewards = QStringLiteral("off");
    Rewards::Status codeless = shareReward(10);
    codeless.share.discountCode.reset();
    for (const Rewards::Status &status : { used, closed, codeless }) {
        EXPECT_EQ(OrderTotal::label(pricing, book, 100, status).plainText(), QStringLiteral("Order · $55"));
        EXPECT_EQ(OrderTotal::unusedShareCode(status), std::nullopt);
    }
    EXPECT_EQ(OrderTotal::unusedShareCode(shareReward(10)), QStringLiteral("SHARE-ABC"));
}

TEST(OrderTotal, AGiftCoversWhatIsDueWhenItsCentsReachIt)
{
    const auto gift = [](std::optional<int> cents, bool valid = true) {
        return std::optional(Ordering::Gift { valid, cents, std::nullopt, std::nullopt });
    };
    EXPECT_TRUE(OrderTotal::giftCovers(gift(10800), 10800));
    EXPECT_FALSE(OrderTotal::giftCovers(gift(10799), 10800));
    // $41.10 left after a code: a $42 card pays it all, a $41.09 one doesn't.
    EXPECT_TRUE(OrderTotal::giftCovers(gift(4200), 4110));
    EXPECT_FALSE(OrderTotal::giftCovers(gift(4109), 4110));
    EXPECT_FALSE(OrderTotal::giftCovers(gift(10800, false), 10800));
    EXPECT_FALSE(OrderTotal::giftCovers(gift(std::nullopt), 10800));
    EXPECT_FALSE(OrderTotal::giftCovers(gift(10800), std::nullopt));
    EXPECT_FALSE(OrderTotal::giftCovers(std::nullopt, 0));
}
