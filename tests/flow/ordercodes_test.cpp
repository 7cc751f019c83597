// What the answers to a discount or gift card code read as.
#include "flow/ordercodes.h"

#include <gtest/gtest.h>

namespace {

std::optional<Ordering::Gift> card(std::optional<int> cents, std::optional<QString> from = std::nullopt)
{
    return Ordering::Gift { true, cents, std::nullopt, from };
}

// A price of book dollars with shipping dollars on top.
std::optional<OrderTotal::Price> price(int book, int shipping = 0)
{
    return OrderTotal::Price { book, shipping };
}

QString giftText(
    const std::optional<Ordering::Gift> &gift, const std::optional<OrderTotal::Price> &price, int percent = 0)
{
    const std::optional<OrderCodes::Line> line = OrderCodes::giftLine(gift, price, percent);
    return line ? line->text : QStringLiteral("(none)");
}

} // namespace

TEST(OrderCodes, AGiftCardTakesOffWholeDollarsAndSaysWhatIsLeft)
{
    // 2,550 cents against $80: $25 off and $54 left, the cents dropped.
    EXPECT_EQ(giftText(card(2550, QStringLiteral("Grandma")), price(74, 6)),
        QStringLiteral("The gift card from Grandma takes off $25. $54 left to pay."));
    EXPECT_EQ(giftText(card(10000), price(80)), QStringLiteral("The gift card covers all of it."));
    EXPECT_EQ(giftText(card(8000, QStringLiteral("Alex")), price(74, 6)),
        QStringLiteral("The gift card from Alex covers all of it."));
    // Without a total nothing is left to pay.
    EXPECT_EQ(giftText(card(100), std::nullopt), QStringLiteral("The gift card covers all of it."));
    EXPECT_EQ(OrderCodes::giftLine(card(100), price(1))->symbol, QStringLiteral("gift.fill"));
}

// Fault mended: the card was set against the price before the discount
// code ("$20 left to pay" where $16.10 was asked), and a card that paid
// only the discounted price was said to leave something to pay.
TEST(OrderCodes, AGiftCardIsSetAgainstThePriceLessTheCode)
{
    const std::optional<Ordering::Gift> grandma = card(2500, QStringLiteral("Grandma"));
    // $39 paperback, $6 shipping, 10 % off the book: $41.10 due.
    EXPECT_EQ(giftText(grandma, price(39, 6), 10),
        QStringLiteral("The gift card from Grandma takes off $25. $16.10 left to pay."));
    EXPECT_EQ(giftText(grandma, price(39, 6)),
        QStringLiteral("The gift card from Grandma takes off $25. $20 left to pay."));
    EXPECT_EQ(giftText(card(4110), price(39, 6), 10), QStringLiteral("The gift card covers all of it."));
    EXPECT_EQ(giftText(card(4109), price(39, 6), 10),
        QStringLiteral("The gift card takes off $41. $0.01 left to pay."));
    // A percentage that leaves whole dollars says them without cents.
    EXPECT_EQ(
        giftText(card(1000), price(50), 10), QStringLiteral("The gift card takes off $10. $35 left to pay."));
}

TEST(OrderCodes, ACardThatDoesNotWorkOrHasNoBalanceSaysSo)
{
    const QString refused
        = QStringLiteral("That code doesn't work. Check it against the card, dashes and all.");
    EXPECT_EQ(giftText(card(std::nullopt), price(80)), refused);
    EXPECT_EQ(giftText(Ordering::Gift { false, 5000, {}, {} }, price(80)), refused);
    EXPECT_EQ(OrderCodes::giftLine(card(std::nullopt), price(80))->kind, OrderCodes::Line::Kind::Failure);
    EXPECT_EQ(giftText(std::nullopt, price(80)), QStringLiteral("(none)"));
}

TEST(OrderCodes, DiscountsNameTheirKind)
{
    const auto text = [](bool valid, std::optional<int> percent, std::optional<QString> kind) {
        return OrderCodes::discountLine(Rewards::Discount { valid, percent, kind })->text;
    };
    EXPECT_EQ(
        text(true, 10, QStringLiteral("referral")), QStringLiteral("Friends of Friends: 10% off the book."));
    EXPECT_EQ(text(true, 10, QStringLiteral("share")),
        QStringLiteral("10% off the book, from sharing your Wrapped."));
    EXPECT_EQ(text(true, 15, std::nullopt), QStringLiteral("15% off the book, from sharing your Wrapped."));
    EXPECT_EQ(text(true, std::nullopt, QStringLiteral("referral")),
        QStringLiteral("That code doesn't work, or it's been used."));
    EXPECT_EQ(text(false, 10, QStringLiteral("referral")),
        QStringLiteral("That code doesn't work, or it's been used."));
    EXPECT_FALSE(OrderCodes::discountLine(std::nullopt));
}
