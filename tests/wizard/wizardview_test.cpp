// The wizard's frame: headings, the footer's buttons on each step, moving
// between steps, the keys, and how it ends.
#include "ui/card.h"
#include "ui/style.h"
#include "wizard/progressdots.h"
#include "wizardtest.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QVariantAnimation>

using namespace WizardTest;
using Step = WizardModel::Step;

namespace {

QStringList shownButtons(const WizardView &view)
{
    QStringList texts;
    for (QPushButton *button : view.findChildren<QPushButton *>()) {
        if (button->isVisibleTo(&view) && !view.stepView()->isAncestorOf(button))
            texts.append(button->text());
    }
    return texts;
}

QPushButton *button(const WizardView &view, const QString &text)
{
    for (QPushButton *candidate : view.findChildren<QPushButton *>()) {
        if (candidate->text() == text && candidate->isVisibleTo(&view))
            return candidate;
    }
    return nullptr;
}

} // namespace

class WizardFrame : public ::testing::Test
{
protected:
    WizardFrame() { noService(); }
};

TEST_F(WizardFrame, HeadingsAndSubheadingsFollowTheStep)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    WizardView &view = screen.view;
    EXPECT_EQ(view.heading(), QStringLiteral("Reading your messages"));
    EXPECT_EQ(view.subheading(), QStringLiteral("This stays on your computer."));
    screen.open();
    EXPECT_EQ(view.heading(), QStringLiteral("Here's what we found"));
    EXPECT_EQ(view.subheading(), QStringLiteral("You and Sam, since March 1, 2024."));
    EXPECT_TRUE(TestSupport::findText(&view, QStringLiteral("You and Sam, since March 1, 2024.")));

    const QList<std::pair<Step, QString>> headings { { Step::What, QStringLiteral("What are you making?") },
        { Step::Fit, QStringLiteral("How much fits in a book") },
        { Step::Typeface, QStringLiteral("Choose a typeface") },
        { Step::Chapters, QStringLiteral("How should it be divided?") },
        { Step::Cover, QStringLiteral("Title and cover") },
        { Step::Touches, QStringLiteral("Special touches") },
        { Step::Binding, QStringLiteral("Paperback or hardcover?") },
        { Step::Shipping, QStringLiteral("Where is it going?") } };
    for (const auto &[step, heading] : headings) {
        screen.model.setStep(step);
        EXPECT_EQ(view.heading(), heading);
        EXPECT_TRUE(TestSupport::findText(&view, heading)) << heading.toStdString();
    }
    for (Step bare : { Step::Fit, Step::Chapters, Step::Cover, Step::Binding }) {
        screen.model.setStep(bare);
        EXPECT_FALSE(view.subheading());
        // No line at all, not an empty one: the heading is the header's one
        // line of text.
        QWidget *header = TestSupport::findText(&view, view.heading())->parentWidget();
        int lines = 0;
        for (QLabel *label : header->findChildren<QLabel *>()) {
            if (label->objectName() != QLatin1String("stepBadge") && label->isVisibleTo(header))
                ++lines;
        }
        EXPECT_EQ(lines, 1) << int(bare);
    }
    screen.model.setStep(Step::Shipping);
    EXPECT_EQ(view.subheading(), QStringLiteral("Lulu prints it and posts it straight to the door."));
    screen.model.setStep(Step::Review);
    screen.model.setTitle(QStringLiteral("Spring"));
    screen.model.setTo(QStringLiteral("2024-03-10"));
    EXPECT_EQ(view.heading(), QStringLiteral("Spring"));
    EXPECT_EQ(view.subheading(), QStringLiteral("March 1, 2024 \u2013 March 10, 2024"));
}

TEST_F(WizardFrame, FoundStepOffersTheTwoWaysOnceTheRevealEnds)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    screen.open();
    EXPECT_EQ(shownButtons(screen.view),
        (QStringList { QStringLiteral("Let Me Choose"), QStringLiteral("Make It for Me") }));
    EXPECT_FALSE(button(screen.view, QStringLiteral("Let Me Choose"))->isEnabled());
    EXPECT_FALSE(button(screen.view, QStringLiteral("Make It for Me"))->isEnabled());
    screen.reveal();
    EXPECT_TRUE(button(screen.view, QStringLiteral("Let Me Choose"))->isEnabled());
    button(screen.view, QStringLiteral("Let Me Choose"))->click();
    EXPECT_EQ(screen.model.step(), Step::What);
}

TEST_F(WizardFrame, CancelReplacesBackOnTheFirstStepOfAResumedWizard)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20), WizardView::CanCancel::Yes);
    screen.model.setStep(Step::What);
    screen.open();
    EXPECT_EQ(
        shownButtons(screen.view), (QStringList { QStringLiteral("Cancel"), QStringLiteral("Continue") }));
    screen.model.setStep(Step::Fit);
    EXPECT_EQ(shownButtons(screen.view),
        (QStringList { QStringLiteral("Cancel"), QStringLiteral("Back"), QStringLiteral("Continue") }));
    screen.model.setStep(Step::Review);
    EXPECT_EQ(shownButtons(screen.view),
        (QStringList { QStringLiteral("Cancel"), QStringLiteral("Back"), QStringLiteral("Make My Book") }));

    QSignalSpy cancelled(&screen.view, &WizardView::cancelled);
    button(screen.view, QStringLiteral("Cancel"))->click();
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_FALSE(screen.book.saved().design);
}

TEST_F(WizardFrame, ContinueWaitsForTheInsights)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    screen.model.setStep(Step::Typeface);
    EXPECT_FALSE(button(screen.view, QStringLiteral("Continue"))->isEnabled());
    screen.open();
    EXPECT_TRUE(button(screen.view, QStringLiteral("Continue"))->isEnabled());
    button(screen.view, QStringLiteral("Continue"))->click();
    EXPECT_EQ(screen.model.step(), Step::Chapters);
    button(screen.view, QStringLiteral("Back"))->click();
    EXPECT_EQ(screen.model.step(), Step::Typeface);
}

TEST_F(WizardFrame, MovesOutOfTheTenAreIgnoredAndOnlyTheCoverRenders)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    FakeRenders renders;
    screen.model.setRenderer(renders.renderer());
    screen.open();
    screen.view.go(-1);
    EXPECT_EQ(screen.model.step(), Step::Found);
    screen.model.setStep(Step::Review);
    screen.view.go(1);
    EXPECT_EQ(screen.model.step(), Step::Review);
    EXPECT_EQ(renders.previews + renders.galleries, 0);

    screen.model.setStep(Step::Chapters);
    button(screen.view, QStringLiteral("Continue"))->click();
    EXPECT_EQ(screen.model.step(), Step::Cover);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return renders.galleries == 1; }));
    EXPECT_EQ(renders.fronts, 1);
    EXPECT_EQ(renders.previews, 1);
    button(screen.view, QStringLiteral("Continue"))->click();
    button(screen.view, QStringLiteral("Back"))->click();
    EXPECT_EQ(screen.model.step(), Step::Cover);
    QCoreApplication::processEvents();
    // Nothing the cover or the gallery shows changed: neither is made again.
    EXPECT_EQ(renders.previews, 1);
    EXPECT_EQ(renders.galleries, 1);
    screen.model.setTitle(QStringLiteral("Ours"));
    button(screen.view, QStringLiteral("Continue"))->click();
    button(screen.view, QStringLiteral("Back"))->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return renders.previews == 2; }));
    button(screen.view, QStringLiteral("Continue"))->click();
    button(screen.view, QStringLiteral("Continue"))->click();
    EXPECT_EQ(renders.previews, 2);
}

// A wizard made on the cover step (a resumed book, or the step the testing
// variable names) crashed: the cover step starts its gallery while it is
// made, and the frame ordered the keys of a step it didn't have yet.
TEST_F(WizardFrame, AWizardMadeOnTheCoverStepShowsIt)
{
    Book book(spreadBook(QDate(2024, 3, 1), 20));
    WizardModel model(book.project, WizardModel::Resuming::No);
    FakeRenders renders;
    model.setRenderer(renders.renderer());
    model.setStep(Step::Cover);
    WizardView view(&model, WizardView::CanCancel::No);
    view.resize(980, 780);
    view.show();
    ASSERT_NE(view.stepView(), nullptr);
    EXPECT_NE(button(view, QStringLiteral("Continue")), nullptr);
    EXPECT_TRUE(TestSupport::waitUntil([&] { return renders.galleries == 1; }));
}

TEST_F(WizardFrame, ReturnMakesTheBookOnTheFirstStep)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    QSignalSpy finished(&screen.view, &WizardView::finished);
    screen.open();
    QTest::keyClick(&screen.view, Qt::Key_Return);
    EXPECT_EQ(finished.count(), 0);
    screen.reveal();
    QTest::keyClick(&screen.view, Qt::Key_Return);
    EXPECT_EQ(finished.count(), 1);
    const BookFile saved = screen.book.saved();
    ASSERT_TRUE(saved.design);
    EXPECT_EQ(saved.design->font, Design().font);
    EXPECT_EQ(saved.design->cover, Design().cover);
}

TEST_F(WizardFrame, ReturnInATextFieldNeverPressesTheDefaultButton)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    screen.model.setStep(Step::What);
    screen.open();
    screen.view.activateWindow();
    Card *own = nullptr;
    for (Card *card : screen.view.stepView()->findChildren<Card *>())
        own = card;
    ASSERT_TRUE(own);
    own->click();
    auto *moment = screen.view.stepView()->findChild<QLineEdit *>();
    ASSERT_TRUE(moment);
    moment->setFocus();
    QTest::keyClicks(moment, QStringLiteral("garden"));
    QTest::keyClick(moment, Qt::Key_Return);
    EXPECT_EQ(screen.model.step(), Step::What);
    EXPECT_EQ(screen.model.momentSearch(), QStringLiteral("garden"));
    // The date fields keep Return too.
    QDateEdit *from = screen.view.stepView()->findChild<QDateEdit *>();
    ASSERT_TRUE(from);
    QTest::keyClick(from, Qt::Key_Return);
    EXPECT_EQ(screen.model.step(), Step::What);

    screen.model.setStep(Step::Touches);
    screen.model.setInsights([&] {
        Insights insights = *screen.model.insights();
        insights.firstLove.insert(QStringLiteral("them"), screen.book.project->book().messages[5]);
        return insights;
    }());
    auto *page = screen.view.stepView()->findChild<QLineEdit *>();
    ASSERT_TRUE(page);
    QTest::keyClick(page, Qt::Key_Return);
    EXPECT_EQ(screen.model.step(), Step::Touches);
    QTest::keyClick(&screen.view, Qt::Key_Return);
    EXPECT_EQ(screen.model.step(), Step::Binding);
}

TEST_F(WizardFrame, MakeMyBookFinishesAndSaysSo)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    screen.model.setStep(Step::Review);
    screen.open();
    QSignalSpy finished(&screen.view, &WizardView::finished);
    screen.model.setTitle(QStringLiteral("March"));
    button(screen.view, QStringLiteral("Make My Book"))->click();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(screen.book.saved().front.title, QStringLiteral("March"));
}

TEST_F(WizardFrame, ProgressStripFillsUpToTheCurrentStep)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    screen.open();
    screen.model.setStep(Step::Chapters);
    auto *dots = screen.view.findChild<ProgressDots *>();
    ASSERT_TRUE(dots);
    EXPECT_EQ(dots->current(), 4);
    for (int i = 0; i < WizardModel::stepCount; ++i)
        EXPECT_EQ(dots->capsule(i).width(), i == 4 ? 18 : 6) << i;
    // The wide capsule slides over first; on a busy machine that takes as
    // long as it takes.
    auto *slide = dots->findChild<QVariantAnimation *>();
    ASSERT_TRUE(slide);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return slide->state() == QAbstractAnimation::Stopped; }));
    const QImage strip = dots->grab().toImage();
    const auto filled = [&](int i) {
        const QColor c = strip.pixelColor(dots->capsule(i).center().toPoint() * strip.devicePixelRatio());
        return c.rgb() == Style::brand().rgb();
    };
    for (int i = 0; i < WizardModel::stepCount; ++i)
        EXPECT_EQ(filled(i), i <= 4) << i;
}

TEST_F(WizardFrame, AStepShownAgainStartsAfresh)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    screen.model.setStep(Step::What);
    screen.open();
    const QPointer<QWidget> first = screen.view.stepView();
    screen.model.setStep(Step::Fit);
    screen.model.setStep(Step::What);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    EXPECT_NE(screen.view.stepView(), nullptr);
}

// A step change slides the new step in from the trailing edge while it
// fades in over the old one going out.
TEST_F(WizardFrame, TheNewStepSlidesInFromTheTrailingEdgeFadingIn)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    WizardView &view = screen.view;
    screen.model.setStep(Step::What);
    screen.open();
    screen.settle();
    screen.view.go(1);
    auto *heading
        = qobject_cast<QLabel *>(TestSupport::findText(&view, QStringLiteral("How much fits in a book")));
    ASSERT_TRUE(heading);
    auto *slide
        = view.findChild<QWidget *>(QStringLiteral("stepTransition"))->findChild<QVariantAnimation *>();
    ASSERT_TRUE(slide);
    slide->pause();
    const auto place = [&] { return heading->mapTo(&view, QPoint(0, 0)); };
    // The darkest ink of the heading where it is drawn now.
    const auto ink = [&] {
        const QImage shown = view.grab().toImage();
        int darkest = 255;
        const QRect at(place(), heading->size());
        for (int y = at.top(); y <= at.bottom(); ++y)
            for (int x = at.left(); x <= at.right(); ++x)
                darkest = std::min(darkest, shown.pixelColor(x, y).lightness());
        return darkest;
    };

    slide->setCurrentTime(0);
    const QPoint start = place();
    slide->setCurrentTime(55);
    QCoreApplication::processEvents();
    const QPoint between = place();
    const int fading = ink();
    slide->setCurrentTime(slide->duration());
    screen.settle();
    const QPoint end = place();
    EXPECT_EQ(start.y(), end.y());
    EXPECT_GE(start.x() - end.x(), 30);
    EXPECT_GT(start.x(), between.x());
    EXPECT_GT(between.x(), end.x());
    EXPECT_GT(fading, ink() + 30);
}

TEST_F(WizardFrame, TheStepVariableOpensTheWizardThere)
{
    qputenv("QUORVEL_WIZARD_STEP", "8");
    Screen screen(spreadBook(QDate(2024, 3, 1), 20));
    qunsetenv("QUORVEL_WIZARD_STEP");
    screen.open();
    EXPECT_EQ(screen.view.heading(), QStringLiteral("Where is it going?"));
    EXPECT_TRUE(screen.find<QWidget>(QStringLiteral("We'll ask for your address at checkout.")));
}
