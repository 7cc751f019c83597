#include "chattime.h"
#include "fixtures.h"
#include "localtime.h"
#include "printers.h"

#include <gtest/gtest.h>

using namespace Brimlow;

TEST(ChatTime, ReadsIsoTimesWithAndWithoutZones)
{
    UtcZone zone;
    EXPECT_EQ(ChatTime::fromIso(QStringLiteral("2021-01-31T21:41:02")), "2021-01-31T21:41:02");
    EXPECT_EQ(ChatTime::fromIso(QStringLiteral("2021-01-31 21:41")), "2021-01-31T21:41:00");
    EXPECT_EQ(ChatTime::fromIso(QStringLiteral("2021-01-31T21:41:02Z")), "2021-01-31T21:41:02");
    EXPECT_EQ(ChatTime::fromIso(QStringLiteral("2021-01-31T21:41:02.1230000+01:00")), "2021-01-31T20:41:02");
    EXPECT_EQ(ChatTime::fromIso(QStringLiteral("2021-01-31T00:41:02-0130")), "2021-01-31T02:11:02");
    EXPECT_EQ(ChatTime::fromIso(QStringLiteral("2021-01-31 21:41:02 UTC")), "2021-01-31T21:41:02");
    for (const char *broken : { "2021-02-30T10:00:00", "2021-01-31T25:00:00", "2021-01-31",
             "31/01/2021 10:00", "2021-01-31T10:00:00+99:00", "2021-01-31T10:00:00 CEST", "" })
        EXPECT_TRUE(ChatTime::fromIso(QString::fromLatin1(broken)).isEmpty()) << broken;
}

TEST(ChatTime, GivesTheLocalTimeOfEveryInstantAcrossZoneChanges)
{
    // Times are worked out once per quarter of an hour; that must agree with
    // the system's conversion in zones off by three quarters and over a
    // change to summer time.
    for (const char *name : { "Europe/Berlin", "Asia/Kathmandu", "America/St_Johns", "UTC" }) {
        UtcZone zone(name);
        const qint64 start = 1711843200 - 2 * 86400; // two days before Berlin's change on 2024-03-31
        for (qint64 seconds = start; seconds < start + 4 * 86400; seconds += 7 * 60 + 13)
            ASSERT_EQ(ChatTime::fromUnixSeconds(seconds), LocalTime::text(seconds)) << name << " " << seconds;
    }
    UtcZone zone;
    EXPECT_TRUE(ChatTime::fromUnixSeconds(0).isEmpty()); // 1970 is a broken field
    EXPECT_TRUE(ChatTime::fromUnixMilliseconds(-5).isEmpty());
}

TEST(ChatTime, ReadsMonthNamesAndTwelveHourClocks)
{
    EXPECT_EQ(ChatTime::monthNamed(u"Sept"), 9);
    EXPECT_EQ(ChatTime::monthNamed(u"january"), 1);
    EXPECT_EQ(ChatTime::monthNamed(u"Dec."), 12);
    EXPECT_EQ(ChatTime::monthNamed(u"Ja"), 0);
    EXPECT_EQ(ChatTime::hour24(12, false), 0);
    EXPECT_EQ(ChatTime::hour24(12, true), 12);
    EXPECT_EQ(ChatTime::hour24(0, false), 0);
    EXPECT_EQ(ChatTime::hour24(9, true), 21);
    EXPECT_EQ(ChatTime::hour24(13, true), -1);
}
