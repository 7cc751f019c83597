// The wizard's model on real projects: where it starts, what it loads, the
// cover renders it keeps, and what finishing writes into book.json.
#include "service/standin.h"
#include "wizardtest.h"

#include <QSignalSpy>

using namespace WizardTest;

namespace {

QString en(int code)
{
    return QString(QChar(code));
}

} // namespace

TEST(WizardModelStart, NewBookGetsTheDefaults)
{
    Book book(spreadBook(QDate(2019, 5, 1), 3));
    WizardModel model(book.project, WizardModel::Resuming::No);
    EXPECT_EQ(model.step(), WizardModel::Step::Found);
    EXPECT_EQ(model.suggestion(), QStringLiteral("everything"));
    EXPECT_EQ(model.from(), QStringLiteral("2019-05-01"));
    EXPECT_EQ(model.to(), QStringLiteral("2019-05-03"));
    EXPECT_EQ(model.title(), QStringLiteral("You & Sam"));
    EXPECT_EQ(model.colophon(), QStringLiteral("2019"));
    EXPECT_EQ(model.design(), Design());
    EXPECT_EQ(model.order(), Order());
    EXPECT_EQ(model.pinPage(), 1);
    EXPECT_FALSE(model.isOneBook());
    EXPECT_EQ(model.design().font, QStringLiteral("pagella"));
    EXPECT_EQ(model.design().cover.color, QStringLiteral("oxblood"));
}

TEST(WizardModelStart, ColophonSpansTheYearsAndTitleFallsBackToThem)
{
    BookFile file = spreadBook(QDate(2019, 12, 30), 1000);
    file.people = { person(QStringLiteral("me"), QStringLiteral("Pat"), true),
        person(QStringLiteral("also-me"), QStringLiteral("Pat at work"), true) };
    Book book(file);
    WizardModel model(book.project, WizardModel::Resuming::No);
    EXPECT_EQ(model.colophon(), QStringLiteral("2019") + en(0x2013) + QStringLiteral("2022"));
    EXPECT_EQ(model.title(), QStringLiteral("You & Them"));
}

TEST(WizardModelStart, ResumingTakesTheSavedChoicesOnlyWhenThereIsADesign)
{
    BookFile file = spreadBook(QDate(2021, 1, 1), 30);
    Book fresh(file);
    WizardModel unmade(fresh.project, WizardModel::Resuming::Yes);
    EXPECT_EQ(unmade.step(), WizardModel::Step::Found);
    EXPECT_EQ(unmade.suggestion(), QStringLiteral("everything"));

    file.design = Design();
    file.design->font = QStringLiteral("garamond");
    file.front.title = QStringLiteral("Us");
    file.front.colophon = QStringLiteral("The year");
    file.front.dedication = { QStringLiteral("For Sam"), QString(), QStringLiteral("always") };
    file.edits.range = Edits::DayRange { QStringLiteral("2021-01-05"), std::nullopt };
    Book made(file);
    WizardModel model(made.project, WizardModel::Resuming::Yes);
    EXPECT_EQ(model.step(), WizardModel::Step::What);
    EXPECT_EQ(model.suggestion(), QStringLiteral("custom"));
    EXPECT_EQ(model.from(), QStringLiteral("2021-01-05"));
    EXPECT_EQ(model.to(), QStringLiteral("2021-01-30"));
    EXPECT_EQ(model.design().font, QStringLiteral("garamond"));
    EXPECT_EQ(model.order(), Order());
    EXPECT_EQ(model.title(), QStringLiteral("Us"));
    EXPECT_EQ(model.colophon(), QStringLiteral("The year"));
    EXPECT_EQ(model.dedication(), QStringLiteral("For Sam\n\nalways"));
}

// The line under the title was made once from the whole conversation, so a
// book of 2022 alone said 2019–2022 on its cover, title page and review.
TEST(WizardModelColophon, TheLineFollowsTheRangePrintedUntilTheUserWritesOne)
{
    Book book(spreadBook(QDate(2019, 12, 30), 1000));
    WizardModel model(book.project, WizardModel::Resuming::No);
    EXPECT_EQ(model.colophon(), QStringLiteral("2019") + en(0x2013) + QStringLiteral("2022"));
    model.setFrom(QStringLiteral("2022-01-01"));
    EXPECT_EQ(model.colophon(), QStringLiteral("2022"));
    EXPECT_EQ(model.draft().front.colophon, QStringLiteral("2022"));
    model.setFrom(QStringLiteral("2021-06-01"));
    model.setTo(QStringLiteral("2021-12-31"));
    EXPECT_EQ(model.colophon(), QStringLiteral("2021"));

    // With one book, the years are those of the last day printed.
    model.setTo(QStringLiteral("2022-09-25"));
    model.setInsights(daysOf(QDate(2019, 12, 30), 1000, 400));
    EXPECT_EQ(model.colophon(), QStringLiteral("2021") + en(0x2013) + QStringLiteral("2022"));
    model.setOneBook(true);
    EXPECT_LT(model.effectiveTo(), QStringLiteral("2022"));
    EXPECT_EQ(model.colophon(), QStringLiteral("2021"));
    model.finish();
    EXPECT_EQ(book.saved().front.colophon, QStringLiteral("2021"));
    EXPECT_FALSE(book.saved().front.colophonTyped);

    model.setColophon(QStringLiteral("Since the lake"));
    model.setOneBook(false);
    model.setFrom(QStringLiteral("2020-01-01"));
    EXPECT_EQ(model.colophon(), QStringLiteral("Since the lake"));
    model.finish();
    EXPECT_EQ(book.saved().front.colophon, QStringLiteral("Since the lake"));
    EXPECT_TRUE(book.saved().front.colophonTyped);
}

TEST(WizardModelColophon, ResumingKeepsAWrittenLineAndFollowsTheAppsOwn)
{
    BookFile file = spreadBook(QDate(2019, 12, 30), 1000);
    file.design = Design();
    file.edits.range = Edits::DayRange { QStringLiteral("2022-01-01"), std::nullopt };
    // What books saved before this kept: the whole conversation's years.
    file.front.colophon = QStringLiteral("2019") + en(0x2013) + QStringLiteral("2022");
    Book older(file);
    WizardModel model(older.project, WizardModel::Resuming::Yes);
    EXPECT_EQ(model.colophon(), QStringLiteral("2022"));
    model.setFrom(QStringLiteral("2021-03-01"));
    EXPECT_EQ(model.colophon(), QStringLiteral("2021") + en(0x2013) + QStringLiteral("2022"));

    file.front.colophonTyped = true;
    Book written(file);
    WizardModel kept(written.project, WizardModel::Resuming::Yes);
    EXPECT_EQ(kept.colophon(), QStringLiteral("2019") + en(0x2013) + QStringLiteral("2022"));
    kept.setFrom(QStringLiteral("2022-06-01"));
    EXPECT_EQ(kept.colophon(), QStringLiteral("2019") + en(0x2013) + QStringLiteral("2022"));
    EXPECT_TRUE(kept.isColophonTyped());
}

TEST(WizardModelStart, TheStepVariableNamesAStepOrIsIgnored)
{
    BookFile file = spreadBook(QDate(2021, 1, 1), 3);
    file.design = Design();
    Book book(file);
    const auto startsAt = [&](const char *value) {
        qputenv("QUORVEL_WIZARD_STEP", value);
        const WizardModel::Step step = WizardModel(book.project, WizardModel::Resuming::Yes).step();
        qunsetenv("QUORVEL_WIZARD_STEP");
        return step;
    };
    EXPECT_EQ(startsAt("5"), WizardModel::Step::Cover);
    EXPECT_EQ(startsAt("0"), WizardModel::Step::Found);
    EXPECT_EQ(startsAt("9"), WizardModel::Step::Review);
    for (const char *ignored : { "12", "-1", "x", "", "3.0", "10" })
        EXPECT_EQ(startsAt(ignored), WizardModel::Step::What) << ignored;
}

TEST(WizardModelSignals, FireOnlyOnARealChange)
{
    Book book(spreadBook(QDate(2021, 1, 1), 3));
    WizardModel model(book.project, WizardModel::Resuming::No);
    QSignalSpy step(&model, &WizardModel::stepChanged);
    QSignalSpy order(&model, &WizardModel::orderChanged);
    QSignalSpy any(&model, &WizardModel::changed);
    model.setStep(WizardModel::Step::Found);
    model.setOrder(Order());
    EXPECT_EQ(any.count(), 0);
    model.setStep(WizardModel::Step::Fit);
    Order hardcover;
    hardcover.binding = QStringLiteral("hardcover");
    model.setOrder(hardcover);
    EXPECT_EQ(step.count(), 1);
    EXPECT_EQ(order.count(), 1);
    EXPECT_EQ(any.count(), 2);
}

TEST(WizardModelLoad, ReadsInsightsAndPricesAndPlacesTheLovePinUntilOneIsChosen)
{
    StandIn service;
    service.pointClientHere();
    BookFile file = spreadBook(QDate(2023, 1, 1), 200, 4, 30);
    file.messages[400].text = QStringLiteral("I love you, you know that?");
    Book book(file);
    WizardModel model(book.project, WizardModel::Resuming::No);
    TestSupport::await(model.load());
    ASSERT_TRUE(model.insights());
    EXPECT_EQ(model.insights()->total, 800);
    ASSERT_TRUE(model.pricing());
    EXPECT_EQ(model.limit(), model.pricing()->pagesPerVolume);
    ASSERT_TRUE(model.firstLove());
    EXPECT_EQ(model.firstLove()->id, file.messages[400].id);
    EXPECT_EQ(model.pinPage(),
        model.insights()->landingPage(model.from(), file.messages[400].day(), model.pageModel()));
    EXPECT_GT(model.pinPage(), 1);

    // The book's flow shows a new view of the same model after a visit to
    // the Wrapped, and each view loads it again: a page chosen stays.
    model.setPinPage(model.pinPage() + 7);
    const int chosen = model.pinPage();
    TestSupport::await(model.load());
    EXPECT_EQ(model.pinPage(), chosen);
}

TEST(WizardModelLoad, APriceListThatFailsLeavesPricesOutAnd780PagesAVolume)
{
    StandIn service;
    service.pointClientHere();
    service.answer(QStringLiteral("pricing"), 500, R"({"error":"down"})");
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    WizardModel model(book.project, WizardModel::Resuming::No);
    TestSupport::await(model.load());
    EXPECT_TRUE(model.insights());
    EXPECT_FALSE(model.pricing());
    EXPECT_EQ(model.limit(), 780);
    EXPECT_EQ(model.pinPage(), 1);
    EXPECT_FALSE(model.estimate(model.insights()->suggestions(QStringLiteral("2024-01-01")).first()).price);
}

TEST(WizardModelLoad, OnTheCoverStepOrLaterRendersTheCover)
{
    Pricing::setEndpoint(QUrl(QStringLiteral("http://127.0.0.1:9/api/pricing")));
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    FakeRenders renders;
    WizardModel early(book.project, WizardModel::Resuming::No);
    early.setRenderer(renders.renderer());
    TestSupport::await(early.load());
    EXPECT_EQ(renders.previews, 0);

    WizardModel late(book.project, WizardModel::Resuming::No);
    late.setRenderer(renders.renderer());
    late.setStep(WizardModel::Step::Touches);
    TestSupport::await(late.load());
    EXPECT_EQ(renders.fronts, 1);
    EXPECT_EQ(renders.previews, 1);
    EXPECT_EQ(renders.galleries, 1);
    // At least 40 pages, at 110 pixels per inch.
    EXPECT_EQ(late.coverFront(), QStringLiteral("front-0-40-110.png"));
}

TEST(WizardModelCover, OnlyTheNewestRenderIsKeptWhicheverEndsFirst)
{
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    FakeRenders renders;
    renders.hold = true;
    WizardModel model(book.project, WizardModel::Resuming::No);
    model.setRenderer(renders.renderer());
    QCoro::Task<void> first = model.renderCover();
    model.setTitle(QStringLiteral("Second"));
    QCoro::Task<void> second = model.renderCover();
    // Gate 0 is the first render's, 1 the second's.
    renders.release(1);
    TestSupport::await(std::move(second));
    EXPECT_EQ(model.coverPreview(), QStringLiteral("preview-1-Second.png"));
    renders.release(0);
    TestSupport::await(std::move(first));
    EXPECT_EQ(model.coverPreview(), QStringLiteral("preview-1-Second.png"));
    EXPECT_EQ(model.coverFront(), QStringLiteral("front-1-40-110.png"));
}

// A failed render once took the picture off the screen and said nothing.
TEST(WizardModelCover, AFailedRenderKeepsThePicturesSaysWhyAndIsTriedAgain)
{
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    FakeRenders renders;
    WizardModel model(book.project, WizardModel::Resuming::No);
    model.setRenderer(renders.renderer());
    TestSupport::await(model.renderCover());
    EXPECT_EQ(model.coverPreview(), QStringLiteral("preview-0-You & Sam.png"));
    // Nothing changed, nothing drawn.
    TestSupport::await(model.renderCover());
    EXPECT_EQ(renders.previews, 1);

    renders.fail = true;
    model.setTitle(QStringLiteral("Ours"));
    TestSupport::await(model.renderCover());
    EXPECT_EQ(model.coverPreview(), QStringLiteral("preview-0-You & Sam.png"));
    EXPECT_EQ(model.coverFront(), QStringLiteral("front-0-40-110.png"));
    EXPECT_EQ(model.coverFailure(), QStringLiteral("no"));
    EXPECT_FALSE(model.isRenderingCover());

    renders.fail = false;
    TestSupport::await(model.renderCover());
    EXPECT_EQ(renders.previews, 3);
    EXPECT_EQ(model.coverPreview(), QStringLiteral("preview-2-Ours.png"));
    EXPECT_FALSE(model.coverFailure());
}

TEST(WizardModelCover, AnUnchangedGalleryRendersOnce)
{
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    FakeRenders renders;
    WizardModel model(book.project, WizardModel::Resuming::No);
    model.setRenderer(renders.renderer());
    TestSupport::await(model.renderGallery());
    TestSupport::await(model.renderGallery());
    EXPECT_EQ(renders.galleries, 1);
    EXPECT_EQ(model.galleryKey(), QStringLiteral("You & Sam|2023|oxblood|"));
    model.setColophon(QStringLiteral("2023!"));
    TestSupport::await(model.renderGallery());
    EXPECT_EQ(renders.galleries, 2);
    EXPECT_EQ(model.gallery().value(QStringLiteral("cloth")), QStringLiteral("cloth-1-You & Sam.png"));
}

TEST(WizardModelCover, DraftCarriesTheFrontMatterDesignAndPrintedRange)
{
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    WizardModel model(book.project, WizardModel::Resuming::No);
    model.setTitle(QStringLiteral("Ours"));
    model.setDedication(QStringLiteral("not in the draft"));
    Design design;
    design.cover.color = QStringLiteral("navy");
    model.setDesign(design);
    model.setFrom(QStringLiteral("2023-01-03"));
    const BookFile draft = model.draft();
    EXPECT_EQ(draft.front.title, QStringLiteral("Ours"));
    EXPECT_TRUE(draft.front.dedication.isEmpty());
    EXPECT_EQ(draft.design, design);
    ASSERT_TRUE(draft.edits.range);
    EXPECT_EQ(draft.edits.range->from, QStringLiteral("2023-01-03"));
    EXPECT_EQ(draft.edits.range->to, QStringLiteral("2023-01-10"));
    EXPECT_FALSE(book.project->book().design);
}
