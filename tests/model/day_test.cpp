#include "model/day.h"
#include "testsupport.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

using TestSupport::ScopedLocale;

QDateTime startOf(int year, int month, int day)
{
    return QDate(year, month, day).startOfDay();
}

} // namespace

TEST(DayDate, DayKeyIsTheStartOfThatLocalDay)
{
    EXPECT_EQ(Day::date(QStringLiteral("2024-03-05")), startOf(2024, 3, 5));
}

TEST(DayDate, NeedsExactlyThreeNumbers)
{
    EXPECT_EQ(Day::date(QStringLiteral("2024-03-05T10:00:00")), std::nullopt);
    EXPECT_EQ(Day::date(QStringLiteral("2024-03")), std::nullopt);
    EXPECT_EQ(Day::date(QStringLiteral("2024-03-05-01")), std::nullopt);
    EXPECT_EQ(Day::date(QString()), std::nullopt);
    EXPECT_EQ(Day::date(QStringLiteral("99999999999999999999-03-05")), std::nullopt);
}

TEST(DayDate, SkipsEmptyAndNonNumericPieces)
{
    EXPECT_EQ(Day::date(QStringLiteral("2024--03-05")), startOf(2024, 3, 5));
    EXPECT_EQ(Day::date(QStringLiteral("2024-x-03-05")), startOf(2024, 3, 5));
    EXPECT_EQ(Day::date(QStringLiteral("-2024-3-5-")), startOf(2024, 3, 5));
}

TEST(DayDate, OutOfRangeMonthsAndDaysRollOver)
{
    EXPECT_EQ(Day::date(QStringLiteral("2024-13-01")), startOf(2025, 1, 1));
    EXPECT_EQ(Day::date(QStringLiteral("2023-02-29")), startOf(2023, 3, 1));
    EXPECT_EQ(Day::date(QStringLiteral("2024-01-00")), startOf(2023, 12, 31));
}

TEST(DayIso, AnyInstantOfADayGivesItsKey)
{
    EXPECT_EQ(Day::iso(QDateTime(QDate(2024, 3, 5), QTime(0, 0))), "2024-03-05");
    EXPECT_EQ(Day::iso(QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59))), "2024-03-05");
    EXPECT_EQ(Day::iso(QDateTime(QDate(987, 3, 5), QTime(12, 0))), "0987-03-05");
    EXPECT_EQ(Day::iso(*Day::date(QStringLiteral("2024-03-05"))), "2024-03-05");
}

TEST(LongDay, ShowsAUsEnglishDayAsMonthDayAndYear)
{
    ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(longDay(QStringLiteral("2024-03-05")), "March 5, 2024");
}

TEST(LongDay, FollowsTheLocalesOrder)
{
    ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(longDay(QStringLiteral("2024-03-05")), "5. März 2024");
}

TEST(LongDay, TextThatIsNotADayKeyStaysUnchanged)
{
    EXPECT_EQ(longDay(QStringLiteral("someday")), "someday");
    EXPECT_EQ(longDay(QStringLiteral("2024-03-05T10:00:00")), "2024-03-05T10:00:00");
}
