// What a new pin does to the pins after it: the blank pages it adds move
// every message further on, and a pin its message now passes can't stay.
#include "insights/pinpages.h"

#include <gtest/gtest.h>

using PinPages::Moved;
using PinPages::Placed;

TEST(PinPagesDisplaced, APinThePagesPassStaysNoLonger)
{
    // Pinned to 123, it lands on 60 by itself: 63 blank pages take up a
    // shift of up to 63; one more page moves it.
    EXPECT_EQ(PinPages::displaced(63, { { 123, 60 } }), std::nullopt);
    EXPECT_EQ(PinPages::displaced(64, { { 123, 60 } }), (Moved { 123, 124 }));
    EXPECT_EQ(PinPages::displaced(511, { { 123, 60 } }), (Moved { 123, 571 }));
    // Nothing added, or pages taken away, moves nobody on.
    EXPECT_EQ(PinPages::displaced(0, { { 61, 60 } }), std::nullopt);
    EXPECT_EQ(PinPages::displaced(-40, { { 61, 60 } }), std::nullopt);
    EXPECT_EQ(PinPages::displaced(5, {}), std::nullopt);
}

TEST(PinPagesDisplaced, APinThatStaysTakesUpTheShiftAndOneAlreadyOffPassesItOn)
{
    // The first pin's 30 blank pages take up 25: nothing after it moves.
    EXPECT_EQ(PinPages::displaced(25, { { 50, 20 }, { 105, 100 } }), std::nullopt);
    // A pin already off its page is no news; the whole shift goes on.
    EXPECT_EQ(PinPages::displaced(8, { { 10, 20 }, { 105, 100 } }), (Moved { 105, 108 }));
    // The first one pushed off is the one told of.
    EXPECT_EQ(PinPages::displaced(50, { { 30, 20 }, { 105, 100 } }), (Moved { 30, 70 }));
}

TEST(PinPagesHonoured, FromTheMessagesOwnPageToAThousandPagesOn)
{
    EXPECT_FALSE(PinPages::honoured(39, 40));
    EXPECT_TRUE(PinPages::honoured(40, 40));
    EXPECT_TRUE(PinPages::honoured(1040, 40));
    EXPECT_FALSE(PinPages::honoured(1041, 40));
    EXPECT_EQ(PinPages::movedText({ 123, 571 }),
        QStringLiteral("The pin on page 123 can't stay there: it would move to page 571."));
}
