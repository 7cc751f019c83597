#include "model/layout.h"
#include "project/volumeplan.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

QString dayKey(int i)
{
    return QDate(2020, 1, 1).addDays(i).toString(Qt::ISODate);
}

// One day per entry of pages, on consecutive days from 2020-01-01.
Layout layoutOf(const QList<int> &pages, const QList<int> &chapters = {})
{
    Layout layout;
    for (int i = 0; i < pages.size(); ++i)
        layout.days.insert(dayKey(i), { pages[i], pages[i] + 3 });
    layout.pageCount = pages.isEmpty() ? 0 : pages.last() + 2;
    layout.chapterPages = chapters;
    return layout;
}

TEST(VolumePlanTest, ABookWhoseLastDayBeginsWithinTheCapacityIsOneVolumeOverTheRange)
{
    const QList<VolumePlan> plans
        = VolumePlan::plan(layoutOf({ 1, 400, 772 }), "2019-12-25", "2020-02-01", 780);
    ASSERT_EQ(plans.size(), 1);
    EXPECT_EQ(plans[0], (VolumePlan { "2019-12-25", "2020-02-01", 1 }));
}

TEST(VolumePlanTest, OnePageMoreSplitsAtTheOverflowingDayWithTheTypesetDays)
{
    const QList<VolumePlan> plans
        = VolumePlan::plan(layoutOf({ 1, 400, 773 }), "2019-12-25", "2020-02-01", 780);
    ASSERT_EQ(plans.size(), 2);
    EXPECT_EQ(plans[0], (VolumePlan { dayKey(0), dayKey(1), 1 }));
    EXPECT_EQ(plans[1], (VolumePlan { dayKey(2), dayKey(2), 1 }));
}

TEST(VolumePlanTest, NoTypesetDaysOrNoPagesMakeNoVolumes)
{
    EXPECT_TRUE(VolumePlan::plan(layoutOf({}), "2020-01-01", "2020-01-02", 780).isEmpty());
    Layout unpaged = layoutOf({ 1, 2 });
    unpaged.pageCount = 0;
    EXPECT_TRUE(VolumePlan::plan(unpaged, "2020-01-01", "2020-01-02", 780).isEmpty());
}

TEST(VolumePlanTest, AChapterOnAFreshPageLateEnoughIsWhereTheVolumeIsCut)
{
    // Limit 100: capacity 92, and a cut at a chapter needs 60 pages before it.
    const QList<int> pages { 1, 30, 61, 61, 80, 95 };
    const QList<VolumePlan> late = VolumePlan::plan(layoutOf(pages, { 1, 61, 80 }), "", "", 100);
    ASSERT_EQ(late.size(), 2);
    // Of the chapters on 61 and 80, the latest one that fits is taken.
    EXPECT_EQ(late[0], (VolumePlan { dayKey(0), dayKey(3), 1 }));
    EXPECT_EQ(late[1], (VolumePlan { dayKey(4), dayKey(5), 3 }));

    // A chapter that leaves fewer than 60 pages before it is passed over.
    const QList<VolumePlan> early = VolumePlan::plan(layoutOf(pages, { 1, 30 }), "", "", 100);
    ASSERT_EQ(early.size(), 2);
    EXPECT_EQ(early[0], (VolumePlan { dayKey(0), dayKey(4), 1 }));
    EXPECT_EQ(early[1], (VolumePlan { dayKey(5), dayKey(5), 3 }));
}

TEST(VolumePlanTest, ThreeVolumesCountTheChaptersBeforeEachFirstPage)
{
    const QList<VolumePlan> plans
        = VolumePlan::plan(layoutOf({ 1, 20, 40, 50, 70, 90 }, { 1, 20, 50, 90 }), "", "", 40);
    ASSERT_EQ(plans.size(), 3);
    EXPECT_EQ(plans[0].firstChapter, 1);
    EXPECT_EQ(plans[0].to, dayKey(1));
    EXPECT_EQ(plans[1], (VolumePlan { dayKey(2), dayKey(4), 3 }));
    EXPECT_EQ(plans[2], (VolumePlan { dayKey(5), dayKey(5), 4 }));
}

// A limit that holds nothing once the reserved pages are off would have cut
// a volume per day.
TEST(VolumePlanTest, ALimitAtOrBelowTheReservedPagesFallsBackToTheDefault)
{
    const Layout layout = layoutOf({ 1, 200, 700 });
    for (int limit : { -1, 0, 8 }) {
        const QList<VolumePlan> plans = VolumePlan::plan(layout, "a", "b", limit);
        ASSERT_EQ(plans.size(), 1) << limit;
        EXPECT_EQ(plans[0], (VolumePlan { "a", "b", 1 }));
    }
    EXPECT_EQ(VolumePlan::plan(layout, "a", "b", 9).size(), 3);
}

// A message pinned in the middle of a day puts its blank pages inside the
// day: the next day's page counts them, but the book's last day, or the
// last of a volume, began before them. Such a book was planned as one
// volume of 905 pages for a printer that binds 780.
TEST(VolumePlanTest, ThePagesAPinPutsInsideADayCountAsThatDays)
{
    const Layout layout = layoutOf({ 1, 300 });
    const QMap<QString, int> pinned { { dayKey(1), 900 } };
    EXPECT_EQ(VolumePlan::plan(layout, "a", "b", 780).size(), 1);
    const QList<VolumePlan> plans = VolumePlan::plan(layout, "a", "b", 780, pinned);
    ASSERT_EQ(plans.size(), 2);
    EXPECT_EQ(plans[0], (VolumePlan { dayKey(0), dayKey(0), 1 }));
    EXPECT_EQ(plans[1], (VolumePlan { dayKey(1), dayKey(1), 1 }));
    // Within the capacity a pin changes nothing.
    EXPECT_EQ(VolumePlan::plan(layout, "a", "b", 780, { { dayKey(1), 772 } }).size(), 1);

    // The day a chapter's cut put first in a volume still overflows it:
    // it opens one of its own.
    const QList<VolumePlan> cut
        = VolumePlan::plan(layoutOf({ 1, 61, 80 }, { 1, 61 }), "", "", 100, { { dayKey(2), 200 } });
    ASSERT_EQ(cut.size(), 3);
    EXPECT_EQ(cut[0], (VolumePlan { dayKey(0), dayKey(0), 1 }));
    EXPECT_EQ(cut[1], (VolumePlan { dayKey(1), dayKey(1), 2 }));
    EXPECT_EQ(cut[2], (VolumePlan { dayKey(2), dayKey(2), 3 }));
}

} // namespace
