#include "model/json.h"
#include "model/layout.h"

#include <gtest/gtest.h>

namespace {

Layout sample()
{
    Layout layout;
    layout.days.insert(QStringLiteral("2024-03-05"), { 1, 2 });
    layout.days.insert(QStringLiteral("2024-03-06"), { 3, 4 });
    layout.pins = { { QStringLiteral("m1"), 7, 5, true } };
    layout.pageCount = 40;
    layout.chapterPages = { 1, 20 };
    return layout;
}

} // namespace

TEST(Layout, EqualityIgnoresDayPagesAndChapterPages)
{
    Layout other = sample();
    other.chapterPages = { 3 };
    other.days[QStringLiteral("2024-03-05")] = { 9, 9 };
    EXPECT_EQ(sample(), other);
}

TEST(Layout, EqualityComparesPageCountPinsAndNumberOfDays)
{
    Layout other = sample();
    other.pins.first().ok = false;
    EXPECT_NE(sample(), other);

    other = sample();
    other.pageCount = 41;
    EXPECT_NE(sample(), other);

    other = sample();
    other.days.remove(QStringLiteral("2024-03-06"));
    EXPECT_NE(sample(), other);
}

TEST(LayoutPinResult, RoundTripsThroughJsonAndRequiresEveryKey)
{
    const Layout::PinResult pin { QStringLiteral("m1"), 7, 5, false };
    EXPECT_EQ(Layout::PinResult::fromJson(pin.toJson()), pin);

    for (const char *key : { "id", "page", "natural", "ok" }) {
        QJsonObject json = pin.toJson();
        json.remove(key);
        EXPECT_THROW(Layout::PinResult::fromJson(json), JsonError) << key;
    }
}
