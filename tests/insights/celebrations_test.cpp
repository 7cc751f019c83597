#include "insights/celebrations.h"
#include "insightstest.h"

using namespace Qt::StringLiterals;

namespace {

QList<Celebration> found(const QList<BookFile::Message> &messages)
{
    return Celebrations::find(messages, u"Sam"_s);
}

BookFile::Message said(
    const QString &id, const QString &day, const QString &text, const QString &from = u"me"_s)
{
    return message(id, day + u"T12:00:00"_s, from, text);
}

QStringList titles(const QList<Celebration> &celebrations)
{
    QStringList made;
    for (const Celebration &c : celebrations)
        made.append(c.title);
    return made;
}

} // namespace

using CelebrationsFind = InsightsTest;

TEST_F(CelebrationsFind, oneBirthdayWishIsNotEnough)
{
    EXPECT_TRUE(found({ said("1", "2023-03-04", u"Happy birthday!"_s) }).isEmpty());
}

TEST_F(CelebrationsFind, repeatedWishesMakeABirthdayOnTheLaterOne)
{
    const QList<Celebration> oneYear
        = found({ said("1", "2023-03-04", u"happy bday"_s), said("2", "2023-03-04", u"HBD!"_s) });
    ASSERT_EQ(oneYear.size(), 1);
    const Celebration &birthday = oneYear[0];
    EXPECT_EQ(birthday.id, u"birthday-them|03-04");
    EXPECT_EQ(birthday.kind, Celebration::Kind::Birthday);
    EXPECT_EQ(birthday.emoji, u"\U0001F382");
    EXPECT_EQ(birthday.title, u"Sam's birthday");
    EXPECT_EQ(birthday.detail, u"Mar 4. Celebrated here.");
    EXPECT_EQ(birthday.from, u"2023-03-03");
    EXPECT_EQ(birthday.to, u"2023-03-05");
    EXPECT_EQ(birthday.messageID, u"2"_s);

    const QList<Celebration> twoYears = found(
        { said("1", "2022-03-04", u"happy birthday"_s), said("2", "2023-03-04", u"happy birthday"_s) });
    ASSERT_EQ(twoYears.size(), 1);
    EXPECT_EQ(twoYears[0].day, u"2023-03-04");
    EXPECT_EQ(twoYears[0].detail, u"Mar 4. Celebrated here 2 years running.");
}

TEST_F(CelebrationsFind, wishesGroupByDayAndBySide)
{
    EXPECT_TRUE(
        found({ said("1", "2023-03-04", u"happy birthday"_s), said("2", "2024-03-05", u"happy birthday"_s) })
            .isEmpty());
    const QList<Celebration> mine = found({ said("1", "2023-03-04", u"happy birthday"_s, u"them"_s),
        said("2", "2023-03-04", u"hbd love"_s, u"them"_s) });
    ASSERT_EQ(mine.size(), 1);
    EXPECT_EQ(mine[0].title, u"Your birthday");
}

TEST_F(CelebrationsFind, oneAnniversaryWishIsEnough)
{
    const QList<Celebration> made = found({ said("1", "2023-06-01", u"Happy anniversary \u2764"_s) });
    ASSERT_EQ(made.size(), 1);
    EXPECT_EQ(made[0].kind, Celebration::Kind::Anniversary);
    EXPECT_EQ(made[0].title, u"Your anniversary");
    EXPECT_EQ(made[0].emoji, u"\U0001F942");
    EXPECT_EQ(made[0].from, u"2023-05-31");
    EXPECT_EQ(made[0].to, u"2023-06-02");
}

TEST_F(CelebrationsFind, holidaysCountOnlyOnTheirDaysOncePerYear)
{
    const QList<Celebration> made = found(
        { said("1", "2023-12-20", u"merry christmas soon"_s), said("2", "2023-12-25", u"Merry Christmas!"_s),
            said("3", "2023-12-25", u"merry xmas again"_s), said("4", "2024-12-24", u"christmas eve"_s) });
    ASSERT_EQ(made.size(), 2);
    EXPECT_EQ(made[0].id, u"christmas|2023");
    EXPECT_EQ(made[0].title, u"Christmas 2023");
    EXPECT_EQ(made[0].detail, u"Christmas, in messages.");
    EXPECT_EQ(made[0].messageID, u"2"_s);
    EXPECT_EQ(made[0].from, u"2023-12-23");
    EXPECT_EQ(made[0].to, u"2023-12-27");
    EXPECT_EQ(made[1].title, u"Christmas 2024");
}

TEST_F(CelebrationsFind, eachHolidayHasItsDays)
{
    const QList<Celebration> made = found({
        said("v0", "2024-02-13", u"valentine?"_s),
        said("v1", "2024-02-14", u"my valentine"_s),
        said("n1", "2023-12-31", u"happy new year"_s),
        said("n2", "2024-01-01", u"new year!"_s),
        said("n3", "2024-01-02", u"new year"_s),
        said("h0", "2024-10-30", u"costume ready"_s),
        said("h1", "2024-10-31", u"my costume"_s),
        said("t0", "2024-11-21", u"thanksgiving"_s),
        said("t1", "2024-11-22", u"happy thanksgiving"_s),
        said("t2", "2025-11-28", u"thanksgiving"_s),
        said("t3", "2026-11-29", u"thanksgiving"_s),
    });
    EXPECT_EQ(titles(made),
        QStringList({ "New Year's 2023", "New Year's 2024", "Valentine's Day 2024", "Halloween 2024",
            "Thanksgiving 2024", "Thanksgiving 2025" }));
    EXPECT_EQ(made[2].emoji, u"\U0001F48C");
    EXPECT_EQ(made[2].from, u"2024-02-12");
}

TEST_F(CelebrationsFind, oneMessageFeedsSeveralKinds)
{
    const QList<Celebration> made = found({ said("1", "2024-05-02", u"We got engaged!! and happy birthday"_s),
        said("2", "2024-05-02", u"happy birthday again"_s) });
    ASSERT_EQ(made.size(), 2);
    EXPECT_EQ(made[0].kind, Celebration::Kind::Birthday);
    EXPECT_EQ(made[1].kind, Celebration::Kind::Milestone);
    EXPECT_EQ(made[1].id, u"engaged");
    EXPECT_EQ(made[1].title, u"Engaged");
    EXPECT_EQ(made[1].from, u"2024-04-25");
    EXPECT_EQ(made[1].to, u"2024-05-09");
}

TEST_F(CelebrationsFind, milestoneQuotesCutAfterSixtyCharacters)
{
    const QString sixty = u"we\u2019re engaged "_s + QString(46, u'x');
    ASSERT_EQ(sixty.size(), 60);
    const QList<Celebration> whole = found({ said("1", "2024-05-02", u"\n "_s + sixty + u"  "_s) });
    ASSERT_EQ(whole.size(), 1);
    EXPECT_EQ(whole[0].detail, u"May 2, 2024: \u201C"_s + sixty + u"\u201D"_s);
    const QList<Celebration> cut = found({ said("1", "2024-05-02", sixty + u"y"_s) });
    EXPECT_EQ(cut[0].detail, u"May 2, 2024: \u201C"_s + sixty.left(58) + u"\u2026\u201D"_s);
}

TEST_F(CelebrationsFind, tripsNeedTwoToThirtyDays)
{
    const auto trips = [](const QStringList &days) {
        QList<BookFile::Message> messages;
        for (const QString &day : days)
            messages.append(said(day, day, u"just landed"_s));
        QStringList spans;
        for (const Celebration &c : found(messages))
            spans.append(c.from + u".."_s + c.to);
        return spans;
    };
    EXPECT_EQ(trips({ "2024-06-01", "2024-06-02" }), QStringList());
    EXPECT_EQ(trips({ "2024-06-01", "2024-06-03" }), QStringList({ "2024-06-01..2024-06-03" }));
    EXPECT_EQ(trips({ "2024-06-01", "2024-07-01" }), QStringList({ "2024-06-01..2024-07-01" }));
    EXPECT_EQ(trips({ "2024-06-01", "2024-07-02" }), QStringList());
    EXPECT_EQ(trips({ "2024-06-01", "2024-06-05", "2024-06-09" }), QStringList({ "2024-06-01..2024-06-05" }));
    const QList<Celebration> made
        = found({ said("1", "2024-06-01", u"landed!"_s), said("2", "2024-06-03", u"we landed home"_s) });
    ASSERT_EQ(made.size(), 1);
    EXPECT_EQ(made[0].kind, Celebration::Kind::Trip);
    EXPECT_EQ(made[0].emoji, u"\u2708\uFE0F");
    EXPECT_EQ(made[0].id, u"trip-2024-06-01");
    EXPECT_EQ(made[0].detail, u"Jun 1 to Jun 3, 2 days.");
}

TEST_F(CelebrationsFind, tripTitleNamesACapitalisedPlace)
{
    const auto title = [](const QString &text) {
        const QList<Celebration> made
            = found({ said("1", "2024-06-01", text), said("2", "2024-06-04", u"just landed"_s) });
        return made.isEmpty() ? QString() : made[0].title;
    };
    EXPECT_EQ(title(u"Just landed in paris"_s), u"A trip");
    EXPECT_EQ(title(u"Just landed in NY"_s), u"A trip");
    EXPECT_EQ(title(u"Just landed in Paris, finally"_s), u"Paris trip");
    EXPECT_EQ(title(u"JUST LANDED IN Lisbon"_s), u"Lisbon trip");
    EXPECT_EQ(title(u"we landed in S\u00E3o Paulo"_s), u"S\u00E3o trip");
}

TEST_F(CelebrationsFind, nothingWithoutTexts)
{
    EXPECT_TRUE(found({}).isEmpty());
    EXPECT_TRUE(
        found({ message("1", "2024-01-01T10:00:00", "me"), said("2", "2024-01-01", u""_s) }).isEmpty());
}

TEST_F(CelebrationsFind, unreadableDaysStayAsWritten)
{
    const QList<Celebration> made = found({ message("1", "someday", "me", u"happy anniversary"_s) });
    ASSERT_EQ(made.size(), 1);
    EXPECT_EQ(made[0].day, u"someday");
    EXPECT_EQ(made[0].from, u"someday");
    EXPECT_EQ(made[0].to, u"someday");
    EXPECT_EQ(made[0].detail, u"someday. Celebrated here.");
}

TEST_F(CelebrationsFind, sortedByDayThenByKind)
{
    const QList<Celebration> made = found({
        said("0", "2024-06-03", u"just landed"_s),
        said("1", "2024-06-05", u"we landed"_s),
        said("2", "2024-12-25", u"just landed, we landed in Oslo. merry christmas"_s),
        said("3", "2024-12-25", u"we're married! happy anniversary"_s),
        said("4", "2024-12-29", u"landed in Rome"_s),
    });
    QStringList kinds;
    for (const Celebration &c : made)
        kinds.append(Celebration::kindName(c.kind) + u' ' + c.day);
    EXPECT_EQ(kinds,
        QStringList({ "trip 2024-06-03", "anniversary 2024-12-25", "holiday 2024-12-25",
            "milestone 2024-12-25", "trip 2024-12-25" }));
}

TEST_F(CelebrationsFind, daysShiftAndShowInTheCalendar)
{
    setZone("America/New_York");
    EXPECT_EQ(Celebrations::monthDay("2024-02-14"), u"Feb 14");
    EXPECT_EQ(Celebrations::monthDay("Feb"), u"Feb");
    EXPECT_EQ(Celebrations::shift("2024-02-28", 1), u"2024-02-29");
    EXPECT_EQ(Celebrations::shift("2024-03-10", 1), u"2024-03-11");
    EXPECT_EQ(Celebrations::shift("2024-11-03", -1), u"2024-11-02");
    EXPECT_EQ(Celebrations::shift("soon", 1), u"soon");
}
