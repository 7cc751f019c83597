// Range, volumes and finishing: the figures every step shows, and what
// lands in book.json.
#include "wizardtest.h"

using namespace WizardTest;

namespace {

// Prices with a page limit of their own.
Pricing pricesOf(int pagesPerVolume)
{
    Pricing pricing;
    pricing.currency = QStringLiteral("USD");
    pricing.pagesPerVolume = pagesPerVolume;
    pricing.bindings = { { QStringLiteral("paperback"), QStringLiteral("Paperback"), QStringLiteral("Soft"),
        39, 29, std::nullopt } };
    return pricing;
}

// Days of one month each carrying lines, until the estimate of all of
// them in a book of that page model reaches pages: the last day is topped
// up to land on pages exactly.
Insights insightsOfPages(int pages, const PageModel &model)
{
    Insights insights = daysOf(QDate(2024, 1, 1), 31, 0);
    for (Insights::DayCount &day : insights.days) {
        day.lines = 1200;
        if (insights.estimatedPages(QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"), model)
            >= pages)
            break;
    }
    for (Insights::DayCount &day : insights.days) {
        while (day.lines > 0
            && insights.estimatedPages(QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"), model)
                > pages)
            --day.lines;
    }
    return insights;
}

} // namespace

class WizardRanges : public ::testing::Test
{
protected:
    Book book { spreadBook(QDate(2024, 1, 1), 31) };
    WizardModel model { book.project, WizardModel::Resuming::No };
};

TEST_F(WizardRanges, WithoutInsightsEverythingIsZeroAndOneVolume)
{
    EXPECT_EQ(model.pages(), 0);
    EXPECT_EQ(model.messageCount(), 0);
    EXPECT_EQ(model.volumes(), 1);
    EXPECT_TRUE(model.volumeEnds().isEmpty());
    model.setOneBook(true);
    EXPECT_EQ(model.effectiveTo(), model.to());
    model.makeItForMe();
    EXPECT_FALSE(book.project->book().design);
}

TEST_F(WizardRanges, OneBookCutsTheRangeOnlyWhenItDoesNotFit)
{
    model.setInsights(daysOf(QDate(2024, 1, 1), 31, 2000));
    ASSERT_GT(model.pages(), 780);
    EXPECT_EQ(model.effectiveTo(), QStringLiteral("2024-01-31"));
    EXPECT_EQ(model.volumes(), int(std::ceil(model.pages() / 780.0)));
    model.setOneBook(true);
    EXPECT_LT(model.effectiveTo(), QStringLiteral("2024-01-31"));
    EXPECT_EQ(model.effectiveTo(), model.insights()->lastDayFitting(model.from(), 780, model.pageModel()));
    EXPECT_EQ(model.volumes(), 1);

    model.setTo(QStringLiteral("2024-01-03"));
    EXPECT_EQ(model.effectiveTo(), QStringLiteral("2024-01-03"));
    model.setPricing(pricesOf(100));
    EXPECT_LT(model.effectiveTo(), QStringLiteral("2024-01-03"));
}

// A price list may set no page limit (one below 1): the whole range is one
// book, where the wizard once cut it at its first day.
TEST_F(WizardRanges, APriceListWithoutAPageLimitKeepsEveryRangeInOneBook)
{
    model.setInsights(daysOf(QDate(2024, 1, 1), 31, 2000));
    ASSERT_GT(model.pages(), 780);
    for (const int limit : { 0, -5 }) {
        model.setPricing(pricesOf(limit));
        model.setOneBook(true);
        EXPECT_EQ(model.effectiveTo(), QStringLiteral("2024-01-31")) << limit;
        model.setOneBook(false);
        EXPECT_EQ(model.volumes(), 1) << limit;
        EXPECT_EQ(model.volumeEnds(), QStringList { QStringLiteral("2024-01-31") }) << limit;
    }
}

TEST_F(WizardRanges, VolumeEndsStopAtTwelve)
{
    // Every day fills a volume of 40 pages, and ten fill one of 400.
    model.setInsights(daysOf(QDate(2024, 1, 1), 31, 1470));
    model.setPricing(pricesOf(40));
    ASSERT_GE(model.volumes(), 29);
    const QStringList ends = model.volumeEnds();
    EXPECT_EQ(ends.size(), 12);
    EXPECT_EQ(ends.first(), QStringLiteral("2024-01-01"));
    EXPECT_EQ(ends.last(), QStringLiteral("2024-01-12"));

    model.setPricing(pricesOf(400));
    const QStringList few = model.volumeEnds();
    EXPECT_EQ(few,
        (QStringList { QStringLiteral("2024-01-10"), QStringLiteral("2024-01-20"),
            QStringLiteral("2024-01-30"), QStringLiteral("2024-01-31") }));
}

TEST_F(WizardRanges, EstimateUsesTheChosenBindingsPrice)
{
    model.setInsights(daysOf(QDate(2024, 1, 1), 31, 2700));
    const Insights::Suggestion everything
        = model.insights()->suggestions(QStringLiteral("2024-06-01")).first();
    WizardModel::Estimate estimate = model.estimate(everything);
    EXPECT_EQ(
        estimate.pages, model.insights()->estimatedPages(everything.from, everything.to, model.pageModel()));
    EXPECT_EQ(estimate.volumes, 3);
    EXPECT_FALSE(estimate.price);
    model.setPricing(pricesOf(780));
    EXPECT_EQ(model.estimate(everything).price, 39 + 2 * 29);
    Order order;
    order.binding = QStringLiteral("unknown");
    model.setOrder(order);
    EXPECT_FALSE(model.estimate(everything).price);
}

// The review said "about 226 pages" of a book that came to 318 with its
// first "I love you" pinned 90 pages on, and priced it and planned its
// volumes on the 226: the pages a pin adds went uncounted.
TEST_F(WizardRanges, APinnedLovesBlankPagesCountInPagesVolumesAndPrice)
{
    Insights insights = daysOf(QDate(2024, 1, 1), 31, 500);
    // Said on 2024-01-11, a third of the way in.
    insights.firstLove.insert(QStringLiteral("them"), book.project->book().messages[21]);
    model.setInsights(insights);
    model.setPricing(pricesOf(780));
    const Insights::Suggestion everything
        = model.insights()->suggestions(QStringLiteral("2024-06-01")).first();
    const int unpinned = model.pages();
    ASSERT_LT(unpinned + 20, 780);
    const int natural = model.loveLanding();

    model.setPinPage(natural + 500);
    EXPECT_EQ(model.pages(), unpinned);
    model.setPinLove(true);
    EXPECT_EQ(model.loveLanding(), natural);
    EXPECT_NEAR(model.pages(), unpinned + 500, 1);
    EXPECT_EQ(model.volumes(), 2);
    EXPECT_EQ(model.volumeEnds().size(), 2);
    EXPECT_EQ(model.estimate(everything).pages, model.pages());
    EXPECT_EQ(model.estimate(everything).price, 39 + 29);
    // Cut to one book, the pin's pages leave room for fewer days.
    model.setOneBook(true);
    EXPECT_LT(model.effectiveTo(), QStringLiteral("2024-01-31"));
    EXPECT_LE(model.pages(), 780);

    // A page before it lands, or more than a thousand on, adds nothing.
    model.setOneBook(false);
    model.setPinPage(natural - 1);
    EXPECT_EQ(model.pages(), unpinned);
    model.setPinPage(natural + 1001);
    EXPECT_EQ(model.pages(), unpinned);
}

// A pin the book has already, made in the viewer, stays when the wizard
// finishes: the wizard counts it, unless it pins the same message anew.
TEST_F(WizardRanges, ThePinsTheBookHasCountUnlessTheWizardPinsTheSameMessage)
{
    Insights insights = daysOf(QDate(2024, 1, 1), 31, 500);
    insights.firstLove.insert(QStringLiteral("them"), book.project->book().messages[21]);
    model.setInsights(insights);
    const int unpinned = model.pages();
    const int natural = model.loveLanding();
    book.project->pin(book.project->book().messages[21], natural + 100);
    EXPECT_NEAR(model.pages(), unpinned + 100, 1);
    model.setPinLove(true);
    model.setPinPage(natural + 40);
    EXPECT_NEAR(model.pages(), unpinned + 40, 1);
    book.project->pin(book.project->book().messages[41], 1);
    EXPECT_NEAR(model.pages(), unpinned + 40, 1);
}

TEST_F(WizardRanges, MakeItForMeKeepsA780PageStoryWhole)
{
    model.setInsights(insightsOfPages(780, model.pageModel()));
    ASSERT_EQ(model.insights()->estimatedPages(
                  QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"), model.pageModel()),
        780);
    model.setFrom(QStringLiteral("2024-01-10"));
    model.makeItForMe();
    EXPECT_EQ(model.from(), QStringLiteral("2024-01-01"));
    EXPECT_EQ(model.to(), QStringLiteral("2024-01-31"));
    EXPECT_FALSE(book.saved().edits.range);
}

TEST_F(WizardRanges, MakeItForMeTakesTheMostRecentStretchThatFits)
{
    model.setInsights(insightsOfPages(781, model.pageModel()));
    model.makeItForMe();
    EXPECT_GT(model.from(), QStringLiteral("2024-01-01"));
    const Insights &insights = *model.insights();
    EXPECT_LE(insights.estimatedPages(model.from(), model.to(), model.pageModel()), 780);
    const QString before = QDate::fromString(model.from(), Qt::ISODate).addDays(-1).toString(Qt::ISODate);
    EXPECT_GT(insights.estimatedPages(before, model.to(), model.pageModel()), 780);

    // A last day that alone overflows the volume is the book.
    Insights huge = daysOf(QDate(2024, 1, 1), 5, 10);
    huge.days.last().lines = 100000;
    model.setInsights(huge);
    model.makeItForMe();
    EXPECT_EQ(model.from(), QStringLiteral("2024-01-05"));
}

TEST_F(WizardRanges, MakeItForMeResetsTheLookAndTheWholeOrder)
{
    model.setInsights(daysOf(QDate(2024, 1, 1), 31, 20));
    Design design;
    design.font = QStringLiteral("garamond");
    design.receiptLines = QList<QStringList> { { QStringLiteral("A"), QStringLiteral("B") } };
    model.setDesign(design);
    Order order;
    order.binding = QStringLiteral("hardcover");
    order.shipping = QStringLiteral("express");
    order.addons = QStringList { QStringLiteral("moments") };
    order.moments = QList<Order::MomentPick> { { QStringLiteral("moments"), QStringLiteral("2024-01-05"),
        QStringLiteral("Sam's birthday") } };
    model.setOrder(order);
    model.setOneBook(true);
    model.setStep(WizardModel::Step::Found);
    model.makeItForMe();

    EXPECT_FALSE(model.isOneBook());
    EXPECT_EQ(model.step(), WizardModel::Step::Found);
    const BookFile saved = book.saved();
    ASSERT_TRUE(saved.design);
    EXPECT_EQ(saved.design->font, QStringLiteral("pagella"));
    EXPECT_EQ(saved.design->cover, Design().cover);
    ASSERT_TRUE(saved.order);
    EXPECT_EQ(saved.order->binding, QStringLiteral("paperback"));
    EXPECT_EQ(saved.order->shipping, QStringLiteral("economy"));
    // No paid extra the one click didn't pick.
    EXPECT_FALSE(saved.order->addons);
    EXPECT_FALSE(saved.order->moments);
    EXPECT_EQ(*saved.order, Order());
}

// The pages of the fit step, the volume strip, the price and the volume
// count all come from one page model: the book's chapters, dedication and
// receipt as the wizard holds them now.
TEST_F(WizardRanges, EveryCountFollowsTheLookChosen)
{
    model.setInsights(daysOf(QDate(2022, 1, 1), 730, 30));
    model.setFrom(QStringLiteral("2022-01-01"));
    model.setTo(QStringLiteral("2023-12-31"));
    model.setPricing(pricesOf(300));
    const Insights &insights = *model.insights();
    const auto expectAllAgree = [&] {
        const PageModel pageModel = model.pageModel();
        const int pages = insights.estimatedPages(model.from(), model.to(), pageModel);
        EXPECT_EQ(model.pages(), pages);
        EXPECT_EQ(model.volumes(), int(std::ceil(pages / 300.0)));
        const Insights::Suggestion everything = insights.suggestions(QStringLiteral("2024-06-01")).first();
        EXPECT_EQ(model.estimate(everything).pages, pages);
        EXPECT_EQ(model.estimate(everything).price, 39 + (model.volumes() - 1) * 29);
        EXPECT_EQ(model.volumeEnds().first(), insights.lastDayFitting(model.from(), 300, pageModel));
        return pages;
    };
    const int monthly = expectAllAgree();
    Design design;
    design.chapters = QStringLiteral("year");
    model.setDesign(design);
    const int yearly = expectAllAgree();
    // 24 chapter openings against 2, each leaving half a page on average.
    EXPECT_GE(monthly - yearly, 13);
    model.setDedication(QStringLiteral("For Sam"));
    EXPECT_EQ(expectAllAgree(), yearly + 2);
}

// Make It for Me prints the default look, so the stretch it keeps to one
// volume is measured in that look, not in the one chosen before.
TEST_F(WizardRanges, MakeItForMeMeasuresTheStretchInTheDefaultLook)
{
    // Two years whose lines fill 773 pages: 791 with a chapter a month,
    // 777 with none.
    model.setInsights(daysOf(QDate(2022, 1, 1), 730, 43));
    Design design;
    design.chapters = QStringLiteral("none");
    model.setDesign(design);
    ASSERT_LE(model.pages(), 780);
    model.makeItForMe();
    EXPECT_GT(model.from(), QStringLiteral("2022-01-01"));
    EXPECT_LE(model.pages(), 780);
    EXPECT_EQ(book.saved().design->chapters, QStringLiteral("month"));
}

TEST_F(WizardRanges, MakeBookOfASpecialDayClampsToTheBookAndKeepsATypedTitle)
{
    model.setInsights(daysOf(QDate(2024, 1, 1), 31, 20));
    Celebration trip;
    trip.title = QStringLiteral("Lisbon");
    trip.from = QStringLiteral("2023-12-20");
    trip.to = QStringLiteral("2024-01-04");
    model.setOneBook(true);
    model.makeBook(trip);
    EXPECT_EQ(model.suggestion(), QStringLiteral("custom"));
    EXPECT_EQ(model.from(), QStringLiteral("2024-01-01"));
    EXPECT_EQ(model.to(), QStringLiteral("2024-01-04"));
    EXPECT_FALSE(model.isOneBook());
    EXPECT_EQ(model.title(), QStringLiteral("Lisbon"));
    EXPECT_EQ(model.step(), WizardModel::Step::Fit);

    Celebration birthday;
    birthday.title = QStringLiteral("Sam's birthday");
    birthday.from = QStringLiteral("2024-01-20");
    birthday.to = QStringLiteral("2024-03-01");
    model.makeBook(birthday);
    EXPECT_EQ(model.to(), QStringLiteral("2024-01-31"));
    EXPECT_EQ(model.title(), QStringLiteral("Lisbon"));
    model.setTitle(QString());
    model.makeBook(birthday);
    EXPECT_EQ(model.title(), QStringLiteral("Sam's birthday"));
}

TEST_F(WizardRanges, FinishWritesEveryChoiceIntoTheBook)
{
    Insights insights = daysOf(QDate(2024, 1, 1), 31, 20);
    insights.firstLove.insert(QStringLiteral("them"), book.project->book().messages[9]);
    insights.firstLove.insert(QStringLiteral("me"), book.project->book().messages[20]);
    model.setInsights(insights);
    model.setFrom(QStringLiteral("2024-01-02"));
    model.setTo(QStringLiteral("2024-01-20"));
    model.setTitle(QStringLiteral("Us, January"));
    model.setColophon(QStringLiteral("Winter"));
    model.setDedication(QStringLiteral("For Sam\n\nwho laughed"));
    model.setWords({ QStringLiteral("coffee"), QStringLiteral("train") });
    model.setPinLove(true);
    model.setPinPage(12);
    Design design;
    design.chapters = QStringLiteral("none");
    model.setDesign(design);
    model.finish();

    const BookFile saved = book.saved();
    EXPECT_EQ(saved.front.title, QStringLiteral("Us, January"));
    EXPECT_EQ(saved.front.colophon, QStringLiteral("Winter"));
    EXPECT_EQ(saved.front.dedication,
        (QStringList { QStringLiteral("For Sam"), QString(), QStringLiteral("who laughed") }));
    ASSERT_TRUE(saved.edits.range);
    EXPECT_EQ(saved.edits.range->from, QStringLiteral("2024-01-02"));
    EXPECT_EQ(saved.edits.range->to, QStringLiteral("2024-01-20"));
    EXPECT_EQ(saved.design->chapters, QStringLiteral("none"));
    EXPECT_EQ(saved.edits.words, (QStringList { QStringLiteral("coffee"), QStringLiteral("train") }));
    ASSERT_TRUE(saved.edits.pins);
    EXPECT_EQ(saved.edits.pins->size(), 1);
    EXPECT_EQ(saved.edits.pins->first().id, book.project->book().messages[9].id);
    EXPECT_EQ(saved.edits.pins->first().page, 12);
}

TEST_F(WizardRanges, FinishPassesNoPinWithoutALoveMessageAndNoLinesForAnEmptyDedication)
{
    model.setInsights(daysOf(QDate(2024, 1, 1), 31, 200));
    model.setPinLove(true);
    model.setOneBook(true);
    model.setPricing(pricesOf(30));
    model.finish();
    const BookFile saved = book.saved();
    EXPECT_FALSE(saved.edits.pins);
    EXPECT_TRUE(saved.front.dedication.isEmpty());
    ASSERT_TRUE(saved.edits.range);
    EXPECT_EQ(saved.edits.range->to, model.effectiveTo());
    EXPECT_FALSE(saved.edits.range->from);
}
