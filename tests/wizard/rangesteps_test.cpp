// The what and fit steps: choosing the stretch, by suggestion, by dates or
// by a moment, and what it comes to in print.
#include "model/day.h"
#include "ui/card.h"
#include "wizard/daterangefields.h"
#include "wizard/fitstep.h"
#include "wizard/volumestrip.h"
#include "wizard/whatstep.h"
#include "wizardtest.h"

#include <QDateEdit>
#include <QLayout>
#include <QLineEdit>
#include <QRadioButton>

using namespace WizardTest;

namespace {

class RangeSteps : public ::testing::Test
{
protected:
    RangeSteps() { noService(); }

    // Messages from 2023-01-01 for 500 days; one on 2023-07-04 says "First
    // DATE tonight", one on 2023-03-01 is a photo alone.
    static BookFile book()
    {
        BookFile file = spreadBook(QDate(2023, 1, 1), 500);
        for (BookFile::Message &message : file.messages) {
            if (message.at.startsWith(QLatin1String("2023-07-04")) && message.from == QLatin1String("them"))
                message.text = QStringLiteral("our First DATE tonight?");
            if (message.at.startsWith(QLatin1String("2023-03-01"))) {
                message.text.reset();
                message.media = QStringList { QStringLiteral("photo") };
            }
        }
        return file;
    }

    Book bookOpen { book() };
    WizardModel model { bookOpen.project, WizardModel::Resuming::No };

    // The step's cards from top to bottom: the own-dates card is last.
    static QList<Card *> cards(QWidget *step)
    {
        QList<Card *> found;
        for (int i = 0; i < step->layout()->count(); ++i) {
            if (auto *card = qobject_cast<Card *>(step->layout()->itemAt(i)->widget()))
                found.append(card);
        }
        return found;
    }
    static Card *ownDates(QWidget *step) { return cards(step).last(); }
};

} // namespace

TEST_F(RangeSteps, SuggestionsAppearWithTheInsightsAndChooseTheRange)
{
    WhatStep step(&model);
    EXPECT_EQ(cards(&step).size(), 1);
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Choose my own dates")));

    Insights insights = Insights::read(bookOpen.project->book());
    model.setInsights(insights);
    const QList<Insights::Suggestion> suggestions = insights.suggestions(QStringLiteral("2024-06-01"));
    ASSERT_EQ(cards(&step).size(), suggestions.size() + 1);
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("The whole story")));
    EXPECT_TRUE(cards(&step).first()->isSelected());

    ownDates(&step)->click();
    EXPECT_TRUE(step.isCustom());
    EXPECT_EQ(model.suggestion(), QStringLiteral("custom"));
    for (Card *card : cards(&step))
        EXPECT_EQ(card->isSelected(), card == ownDates(&step));

    const Insights::Suggestion &busiest = suggestions[2];
    cards(&step)[2]->click();
    EXPECT_FALSE(step.isCustom());
    EXPECT_EQ(model.suggestion(), busiest.id);
    EXPECT_EQ(model.from(), busiest.from);
    EXPECT_EQ(model.to(), busiest.to);
    EXPECT_TRUE(cards(&step)[2]->isSelected());
}

// Reopening a book made by "Make It for Me" or with own dates showed no
// card chosen, so the user couldn't see what the book covers.
TEST_F(RangeSteps, AReopenedBookShowsTheStretchItHas)
{
    BookFile file = book();
    file.design = Design();
    file.edits.range = Edits::DayRange { QStringLiteral("2023-02-10"), QStringLiteral("2023-11-30") };
    Book made(file);
    const Insights insights = Insights::read(made.project->book());
    const Insights::Suggestion whole = insights.suggestions(Day::iso(Clock::current().now())).first();

    WizardModel own(made.project, WizardModel::Resuming::Yes);
    WhatStep step(&own);
    auto *fields = step.findChild<DateRangeFields *>();
    EXPECT_TRUE(step.isCustom());
    EXPECT_TRUE(ownDates(&step)->isSelected());
    EXPECT_TRUE(fields->isVisibleTo(&step));
    EXPECT_EQ(fields->fromField()->date(), QDate(2023, 2, 10));
    EXPECT_EQ(fields->toField()->date(), QDate(2023, 11, 30));
    own.setInsights(insights);
    ASSERT_GT(cards(&step).size(), 1);
    for (Card *card : cards(&step))
        EXPECT_EQ(card->isSelected(), card == ownDates(&step));

    // Days that are a suggestion's show as that suggestion, whether the
    // insights came before the step or after it; nothing is written back.
    WizardModel early(made.project, WizardModel::Resuming::Yes);
    early.setFrom(whole.from);
    early.setTo(whole.to);
    WhatStep late(&early);
    EXPECT_TRUE(late.isCustom());
    early.setInsights(insights);
    WhatStep shown(&early);
    for (WhatStep *view : { &late, &shown }) {
        EXPECT_FALSE(view->isCustom());
        EXPECT_TRUE(cards(view).first()->isSelected());
        EXPECT_FALSE(ownDates(view)->isSelected());
        EXPECT_FALSE(view->findChild<DateRangeFields *>()->isVisibleTo(view));
    }
    EXPECT_EQ(early.suggestion(), QStringLiteral("custom"));

    // A tap decides from then on, as before.
    ownDates(&shown)->click();
    EXPECT_TRUE(shown.isCustom());
    EXPECT_FALSE(cards(&shown).first()->isSelected());
}

TEST_F(RangeSteps, SuggestionCardsGivePagesWithGroupingAndBooks)
{
    // All of it takes several books; the last year's few weeks take one.
    Insights insights = daysOf(QDate(2023, 1, 1), 400, 400);
    model.setInsights(insights);
    WhatStep step(&model);
    const int pages
        = insights.estimatedPages(insights.days.first().iso, insights.days.last().iso, model.pageModel());
    ASSERT_GT(pages, 1000);
    EXPECT_TRUE(TestSupport::findText(
        &step, QStringLiteral("about ") + QLocale().toString(pages) + QStringLiteral(" pages")));
    EXPECT_TRUE(TestSupport::findText(
        &step, QString::number(int(std::ceil(pages / 780.0))) + QStringLiteral(" books")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("one book")));
}

TEST_F(RangeSteps, OpeningOwnDatesWritesNothingBack)
{
    // A suggested start before the first message, and an end after the
    // last: the fields show them clamped, the model keeps them.
    model.setFrom(QStringLiteral("2022-12-01"));
    model.setTo(QStringLiteral("2025-01-31"));
    WhatStep step(&model);
    ownDates(&step)->click();
    auto *fields = step.findChild<DateRangeFields *>();
    ASSERT_TRUE(fields->isVisibleTo(&step));
    EXPECT_EQ(fields->fromField()->date(), QDate(2023, 1, 1));
    EXPECT_EQ(fields->toField()->date(), QDate(2024, 5, 14));
    EXPECT_EQ(model.from(), QStringLiteral("2022-12-01"));
    EXPECT_EQ(model.to(), QStringLiteral("2025-01-31"));

    // A day the user picks goes in, even a "To" before "From".
    fields->fromField()->setDate(QDate(2023, 9, 1));
    fields->toField()->setDate(QDate(2023, 8, 1));
    EXPECT_EQ(model.from(), QStringLiteral("2023-09-01"));
    EXPECT_EQ(model.to(), QStringLiteral("2023-08-01"));
}

TEST_F(RangeSteps, ABookWithoutMessagesAllowsOnlyToday)
{
    BookFile empty = spreadBook(QDate(2023, 1, 1), 0);
    Book none(empty);
    WizardModel nothing(none.project, WizardModel::Resuming::No);
    DateRangeFields fields(&nothing);
    const QDate today = Clock::current().now().date();
    EXPECT_EQ(fields.fromField()->minimumDate(), today);
    EXPECT_EQ(fields.fromField()->maximumDate(), today);
    EXPECT_EQ(nothing.from(), QString());
}

TEST_F(RangeSteps, AMomentMovesTheStartToItsFirstMessage)
{
    WhatStep step(&model);
    ownDates(&step)->click();
    auto *moment = step.findChild<QLineEdit *>(QString(), Qt::FindChildrenRecursively);
    for (QLineEdit *field : step.findChildren<QLineEdit *>()) {
        if (field->placeholderText().startsWith(QLatin1String("Or start at a moment")))
            moment = field;
    }
    QTest::keyClicks(moment, QStringLiteral("  First Date\t"));
    QTest::keyClick(moment, Qt::Key_Return);
    EXPECT_EQ(model.from(), QStringLiteral("2023-07-04"));
    EXPECT_EQ(model.to(), QStringLiteral("2024-05-14"));

    model.setFrom(QStringLiteral("2023-01-01"));
    model.setMomentSearch(QStringLiteral("   "));
    step.findMoment();
    model.setMomentSearch(QStringLiteral("no such words"));
    step.findMoment();
    // Only the photo is on 2023-03-01; media never matches.
    model.setMomentSearch(QStringLiteral("photo"));
    step.findMoment();
    EXPECT_EQ(model.from(), QStringLiteral("2023-01-01"));
}

TEST_F(RangeSteps, FitSaysItAllFitsUpTo780PagesAndOffersTheChoiceAbove)
{
    Insights insights = daysOf(QDate(2024, 1, 1), 31, 1200);
    model.setInsights(insights);
    model.setFrom(QStringLiteral("2024-01-01"));
    model.setTo(QStringLiteral("2024-01-31"));
    FitStep step(&model);
    ASSERT_GT(model.pages(), 780);
    EXPECT_FALSE(TestSupport::findText(&step, QStringLiteral("It all fits in one book.")));
    const int all = int(std::ceil(model.pages() / 780.0));
    auto *printAll = qobject_cast<QRadioButton *>(
        TestSupport::findText(&step, QStringLiteral("Print it all, as %1 books").arg(all)));
    ASSERT_TRUE(printAll);
    EXPECT_TRUE(printAll->isChecked());
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Each line is where a book ends")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("books")));

    const QString ending
        = longDay(insights.lastDayFitting(QStringLiteral("2024-01-01"), 780, model.pageModel()));
    qobject_cast<QRadioButton *>(
        TestSupport::findText(&step, QStringLiteral("Keep it to one book, ending ") + ending))
        ->click();
    EXPECT_TRUE(model.isOneBook());
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("book")));
    EXPECT_FALSE(TestSupport::findText(&step, QStringLiteral("Each line is where a book ends")));
    // The legend keeps the chosen last day.
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("January 31, 2024")));
    const QList<VolumeStrip::Bar> bars = VolumeStrip::bars(model);
    ASSERT_EQ(bars.size(), 1);
    EXPECT_FALSE(bars.first().ends);

    model.setTo(QStringLiteral("2024-01-20"));
    model.setOneBook(false);
    for (int to = 20; to > 0 && model.pages() > 780; --to)
        model.setTo(QStringLiteral("2024-01-%1").arg(to, 2, 10, QLatin1Char('0')));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("It all fits in one book.")));
}

TEST_F(RangeSteps, FitSentenceTellsWhatOneBookHolds)
{
    model.setInsights(daysOf(QDate(2024, 1, 1), 31, 10));
    model.setFrom(QStringLiteral("2024-01-01"));
    model.setTo(QStringLiteral("2024-01-31"));
    FitStep step(&model);
    EXPECT_TRUE(TestSupport::findText(
        &step, QStringLiteral("One book holds <b>all of it</b> of you and Sam, up to 780 pages.")));
    Insights tagged = daysOf(QDate(2024, 1, 1), 31, 10);
    tagged.them = QStringLiteral("<Sam>");
    model.setInsights(tagged);
    EXPECT_TRUE(TestSupport::findText(
        &step, QStringLiteral("One book holds <b>all of it</b> of you and &lt;Sam&gt;, up to 780 pages.")));
}

TEST_F(RangeSteps, VolumeLinesMarkEveryBookButTheLastAndMonthsAfterTheEndAreGrey)
{
    // A month a volume, over six months.
    Insights insights = daysOf(QDate(2024, 1, 1), 182, 900);
    model.setInsights(insights);
    model.setTo(insights.days.last().iso);
    QList<VolumeStrip::Bar> bars = VolumeStrip::bars(model);
    ASSERT_EQ(bars.size(), 6);
    QSet<QString> endMonths;
    for (const QString &end : model.volumeEnds())
        endMonths.insert(end.left(7));
    int lines = 0;
    for (const VolumeStrip::Bar &bar : bars) {
        lines += bar.ends ? 1 : 0;
        EXPECT_EQ(bar.ends, endMonths.contains(bar.month) && bar.month != bars.last().month)
            << bar.month.toStdString();
        EXPECT_FALSE(bar.unprinted);
    }
    EXPECT_GE(lines, 4);
    EXPECT_FALSE(bars.last().ends);

    model.setOneBook(true);
    bars = VolumeStrip::bars(model);
    EXPECT_FALSE(bars.first().unprinted);
    EXPECT_TRUE(bars.last().unprinted);
    for (const VolumeStrip::Bar &bar : bars)
        EXPECT_FALSE(bar.ends);
}

TEST_F(RangeSteps, BarsStayVisibleOverDecadesOfMonths)
{
    // Thirty years: the gaps give way before the bars do.
    for (int months : { 12, 255, 360, 1200 }) {
        qreal covered = 0;
        qreal last = -1;
        for (int i = 0; i < months; ++i) {
            const QRectF bar = VolumeStrip::barRect(i, months, 764);
            EXPECT_GE(bar.width(), 1.0) << months;
            EXPECT_GT(bar.left(), last) << months;
            EXPECT_LE(bar.right(), 764.0 + 1e-6) << months;
            last = bar.left();
            covered += bar.width();
        }
        EXPECT_GE(covered, std::min(764.0 * 0.6, double(months))) << months;
    }
    EXPECT_NEAR(VolumeStrip::barRect(1, 12, 764).left() - VolumeStrip::barRect(0, 12, 764).right(), 2, 1e-9);

    Insights insights = daysOf(QDate(1994, 1, 1), 30 * 365, 10);
    model.setInsights(insights);
    model.setFrom(insights.days.first().iso);
    model.setTo(insights.days.last().iso);
    VolumeStrip strip(&model);
    strip.resize(764, strip.sizeHint().height());
    const QImage picture = strip.grab().toImage();
    int branded = 0;
    for (int x = 0; x < picture.width(); ++x) {
        const QColor c = picture.pixelColor(x, 108);
        if (c.red() > c.green() + 40)
            ++branded;
    }
    EXPECT_GT(branded, picture.width() * 9 / 10);
}
