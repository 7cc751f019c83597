// The found step: its waiting line, the reveal on the hand-driven clock,
// the month grid, the highlights and their share buttons.
#include "ui/card.h"
#include "wizard/foundstep.h"
#include "wizard/monthgrid.h"
#include "wizard/timeline.h"
#include "wizardtest.h"

#include <QLabel>
#include <QToolButton>

using namespace WizardTest;
using namespace std::chrono_literals;

namespace {

Insights::Moment moment(const QString &id, const QString &title = QStringLiteral("A moment"))
{
    return { id, QStringLiteral("heart"), title, QStringLiteral("Something worth a card."), std::nullopt,
        std::nullopt };
}

Celebration celebration(const QString &id, const QString &day, const QString &title)
{
    Celebration c;
    c.id = id;
    c.kind = Celebration::Kind::Birthday;
    c.emoji = QStringLiteral("\U0001F382");
    c.title = title;
    c.detail = QStringLiteral("Worth a book.");
    c.day = day;
    c.from = day;
    c.to = day;
    return c;
}

class FoundStepTest : public ::testing::Test
{
protected:
    FoundStepTest() { noService(); }

    Book book { spreadBook(QDate(2024, 3, 1), 20) };
    WizardModel model { book.project, WizardModel::Resuming::No };

    void tick(std::chrono::milliseconds by) { book.clock.advance(by); }
};

} // namespace

TEST_F(FoundStepTest, WaitsWithTheOtherPersonsName)
{
    FoundStep step(&model);
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Reading your messages with Sam\u2026")));

    BookFile alone = spreadBook(QDate(2024, 3, 1), 2);
    alone.people = { person(QStringLiteral("me"), QStringLiteral("Pat"), true) };
    Book lone(alone);
    WizardModel loneModel(lone.project, WizardModel::Resuming::No);
    FoundStep lonely(&loneModel);
    EXPECT_TRUE(TestSupport::findText(&lonely, QStringLiteral("Reading your messages with them\u2026")));
}

TEST_F(FoundStepTest, CounterAndMonthsRunUpInTwentyFourSteps)
{
    Insights insights = daysOf(QDate(2022, 1, 1), 30 * 31, 5, 1);
    insights.total = 10;
    model.setInsights(insights);
    FoundStep step(&model);
    const int months = step.findChild<MonthGrid *>()->count();
    ASSERT_GE(months, 30);
    QList<int> counts { step.counted() };
    QList<int> shownMonths { step.monthsShown() };
    for (int i = 2; i <= 24; ++i) {
        tick(28ms);
        counts << step.counted();
        shownMonths << step.monthsShown();
    }
    for (int i = 1; i <= 24; ++i) {
        EXPECT_EQ(counts[i - 1], 10 * i / 24) << i;
        EXPECT_EQ(shownMonths[i - 1], int(double(i) / 24 * months)) << i;
    }
    EXPECT_EQ(counts.last(), 10);
    EXPECT_FALSE(model.isFoundReady());
}

TEST_F(FoundStepTest, ReadyOnlyAfterEveryMomentHadItsTurn)
{
    Insights insights = daysOf(QDate(2024, 3, 1), 20, 5);
    for (int i = 0; i < 14; ++i)
        insights.moments.append(moment(QStringLiteral("m%1").arg(i)));
    model.setInsights(insights);
    FoundStep step(&model);
    for (int i = 0; i < 24; ++i)
        tick(28ms);
    EXPECT_EQ(step.shown(), 1);
    for (int j = 2; j <= 14; ++j) {
        tick(90ms);
        EXPECT_EQ(step.shown(), j);
        EXPECT_FALSE(model.isFoundReady());
    }
    tick(90ms);
    EXPECT_TRUE(step.isReady());
    EXPECT_TRUE(model.isFoundReady());
    int cards = 0;
    for (Card *card : step.findChildren<Card *>())
        cards += card->isVisibleTo(&step) ? 1 : 0;
    EXPECT_EQ(cards, 6);
}

TEST_F(FoundStepTest, LeavingDuringTheRevealStillEndsItAndComingBackShowsAllAtOnce)
{
    Insights insights = daysOf(QDate(2024, 3, 1), 20, 5);
    insights.moments = { moment(QStringLiteral("first")) };
    model.setInsights(insights);
    auto step = std::make_unique<FoundStep>(&model);
    tick(28ms);
    step.reset();
    EXPECT_TRUE(model.isFoundReady());

    FoundStep again(&model);
    EXPECT_TRUE(again.isReady());
    EXPECT_EQ(again.counted(), insights.total);
    EXPECT_EQ(again.shown(), 1);
}

TEST_F(FoundStepTest, ShareButtonsOpenTheCardOfTheSameStory)
{
    QList<std::optional<QString>> opened;
    model.setOnWrapped([&](std::optional<QString> card) { opened.append(card); });
    Insights insights = daysOf(QDate(2024, 3, 1), 20, 5);
    insights.moments = { moment(QStringLiteral("first-love")), moment(QStringLiteral("emoji-me")),
        moment(QStringLiteral("silence")), moment(QStringLiteral("words-them")) };
    model.setInsights(insights);
    model.setFoundReady(true);
    FoundStep step(&model);
    const auto shareOf = [&](const QString &id) {
        return step.findChild<QWidget *>(QStringLiteral("moment-") + id)->findChild<QToolButton *>();
    };
    ASSERT_TRUE(shareOf(QStringLiteral("first-love")));
    EXPECT_FALSE(shareOf(QStringLiteral("silence")));
    EXPECT_EQ(shareOf(QStringLiteral("emoji-me"))->toolTip(), QStringLiteral("Share as a story card"));
    shareOf(QStringLiteral("first-love"))->click();
    shareOf(QStringLiteral("emoji-me"))->click();
    shareOf(QStringLiteral("words-them"))->click();
    qobject_cast<QAbstractButton *>(TestSupport::findText(&step, QStringLiteral("See It as a Wrapped")))
        ->click();
    EXPECT_EQ(opened,
        (QList<std::optional<QString>> {
            QStringLiteral("love"), QStringLiteral("emoji"), QStringLiteral("words"), std::nullopt }));

    WizardModel plain(book.project, WizardModel::Resuming::No);
    plain.setInsights(insights);
    plain.setFoundReady(true);
    FoundStep bare(&plain);
    EXPECT_TRUE(bare.findChildren<QToolButton *>().isEmpty());
    EXPECT_FALSE(TestSupport::findText(&bare, QStringLiteral("See It as a Wrapped")));
}

// A long first "I love you" answered a month on: its card keeps the whole
// sentence, the answer included, in the column of the smallest window
// and of the first one.
TEST_F(FoundStepTest, AMomentKeepsItsWholeSentence)
{
    BookFile file = spreadBook(QDate(2024, 3, 1), 60);
    file.people[1].name = QStringLiteral("Alexandria Wolfe");
    file.messages[6].text = QStringLiteral("I love you, and I have wanted to say it since the night we "
                                           "missed the last train home together");
    file.messages[75].text = QStringLiteral("I love you too");
    model.setInsights(Insights::read(file));
    model.setFoundReady(true);
    const auto love = std::find_if(model.insights()->moments.cbegin(), model.insights()->moments.cend(),
        [](const Insights::Moment &m) { return m.id == u"first-love"; });
    ASSERT_NE(love, model.insights()->moments.cend());
    ASSERT_TRUE(love->detail.endsWith(u"Alexandria Wolfe said it back 34 days later."))
        << love->detail.toStdString();

    for (const int column : { 604, 764 }) {
        FoundStep step(&model);
        step.resize(column, 900);
        step.show();
        QCoreApplication::processEvents();
        auto *detail = qobject_cast<QLabel *>(TestSupport::findText(
            step.findChild<QWidget *>(QStringLiteral("moment-first-love")), love->detail));
        ASSERT_TRUE(detail) << column;
        const QRect needed = detail->fontMetrics().boundingRect(
            QRect(0, 0, detail->contentsRect().width(), 10000), Qt::TextWordWrap, love->detail);
        EXPECT_GT(needed.height(), 3 * detail->fontMetrics().lineSpacing()) << column;
        EXPECT_GE(detail->contentsRect().height(), needed.height()) << column;
    }
}

TEST_F(FoundStepTest, TimelineMakesABookOrSharesTheDay)
{
    QList<std::optional<QString>> opened;
    model.setOnWrapped([&](std::optional<QString> card) { opened.append(card); });
    Insights insights = daysOf(QDate(2024, 3, 1), 20, 5);
    insights.celebrations = { celebration(QStringLiteral("birthday-2024-03-05"), QStringLiteral("2024-03-05"),
        QStringLiteral("Sam's birthday")) };
    model.setInsights(insights);
    FoundStep step(&model);
    EXPECT_FALSE(step.findChild<Timeline *>()->isVisibleTo(&step));
    for (int i = 0; i < 40 && !model.isFoundReady(); ++i)
        tick(100ms);
    auto *timeline = step.findChild<Timeline *>();
    ASSERT_TRUE(timeline->isVisibleTo(&step));
    timeline->openCard(insights.celebrations.first());
    qobject_cast<QAbstractButton *>(
        TestSupport::findText(timeline->card(), QStringLiteral("Share It as a Story Card")))
        ->click();
    EXPECT_EQ(opened, (QList<std::optional<QString>> { QStringLiteral("moment-birthday-2024-03-05") }));
    timeline->openCard(insights.celebrations.first());
    qobject_cast<QAbstractButton *>(
        TestSupport::findText(timeline->card(), QStringLiteral("Make a Book of This Day")))
        ->click();
    EXPECT_EQ(model.step(), WizardModel::Step::Fit);
    EXPECT_EQ(model.from(), QStringLiteral("2024-03-05"));
    EXPECT_EQ(model.title(), QStringLiteral("Sam's birthday"));
}

TEST(MonthGrid, GroupsDaysIntoMonthsWithTheirTotals)
{
    const QList<Insights::DayCount> days { { QStringLiteral("2024-03-02"), 1000, 1 },
        { QStringLiteral("2024-01-31"), 4, 1 }, { QStringLiteral("2024-03-30"), 234, 1 } };
    const auto months = MonthGrid::months(days);
    ASSERT_EQ(months.size(), 2);
    EXPECT_EQ(months[0], qMakePair(QStringLiteral("2024-01"), 4));
    EXPECT_EQ(months[1], qMakePair(QStringLiteral("2024-03"), 1234));
    EXPECT_TRUE(MonthGrid::months({}).isEmpty());
    EXPECT_EQ(
        MonthGrid::tooltip(QStringLiteral("2024-03"), 1234), QStringLiteral("March 2024: 1,234 messages"));

    MonthGrid grid;
    grid.setDays(days);
    EXPECT_DOUBLE_EQ(grid.opacity(1), 1.0);
    EXPECT_NEAR(grid.opacity(0), 4 * 0.85 / 1234 + 0.15, 1e-9);
}
