// What the answers to a discount or gift card code read as.
#include "flow/ordercodes.h"

#include <gtest/gtest.h>

namespace {

std::optional<Ordering::Gift> card(std::optional<int> cents, std::optional<QString> from = std::nullopt)
{
    return Ordering::Gift { true, cents, std::nullopt, from };
}

QString giftText(const std::optional<Ordering::Gift> &gift, std::optional<int> total)
{
    const std::optional<OrderCodes::Line> line = OrderCodes::giftLine(gift, total);
    return line ? line->text : QStringLiteral("(none)");
}

} // namespace

TEST(OrderCodes, AGiftCardTakesOffWholeDollarsAndSaysWhatIsLeft)
{
    // 2,550 cents against $80: $25 off and $54 left, the cents dropped.
    EXPECT_EQ(giftText(card(2550, QStringLiteral("Grandma")), 80),
        QStringLiteral("The gift card from Grandma takes off $25. $54 left to pay."));
    EXPECT_EQ(giftText(card(10000), 80), QStringLiteral("The gift card covers all of it."));
    EXPECT_EQ(giftText(card(8000, QStringLiteral("Alex")), 80),
        QStringLiteral("The gift card from Alex covers all of it."));
    // Without a total nothing is left to pay.
    EXPECT_EQ(giftText(card(100), std::nullopt), QStringLiteral("The gift card covers all of it."));
    EXPECT_EQ(OrderCodes::giftLine(card(100), 1)->symbol, QStringLiteral("gift.fill"));
}

TEST(OrderCodes, ACardThatDoesNotWorkOrHasNoBalanceSaysSo)
{
    const QString refused
        = QStringLiteral("That code doesn't work. Check it against the card, dashes and all.");
    EXPECT_EQ(giftText(card(std::nullopt), 80), refused);
    EXPECT_EQ(giftText(Ordering::Gift { false, 5000, {}, {} }, 80), refused);
    EXPECT_EQ(OrderCodes::giftLine(card(std::nullopt), 80)->ink, OrderCodes::Line::Ink::Secondary);
    EXPECT_EQ(giftText(std::nullopt, 80), QStringLiteral("(none)"));
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
