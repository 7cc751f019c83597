// The wizard with the keyboard alone: where focus goes on each step, the
// order Tab reads a step in, and what Return presses.
#include "ui/keyboardfocus.h"
#include "wizardtest.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

using namespace WizardTest;
using Step = WizardModel::Step;

namespace {

QPushButton *footerButton(const WizardView &view, const QString &text)
{
    for (QPushButton *candidate : view.findChildren<QPushButton *>()) {
        if (candidate->text() == text && candidate->isVisibleTo(&view)
            && !view.stepView()->isAncestorOf(candidate))
            return candidate;
    }
    return nullptr;
}

// A stop that does nothing: a bare container, a scroll area that isn't a
// list or a text, the frame itself.
bool isContainer(QWidget *widget)
{
    if (qobject_cast<WizardView *>(widget) || widget->metaObject() == &QWidget::staticMetaObject)
        return true;
    return qobject_cast<QAbstractScrollArea *>(widget) && !qobject_cast<QAbstractItemView *>(widget)
        && !qobject_cast<QPlainTextEdit *>(widget) && !qobject_cast<QTextEdit *>(widget);
}

class WizardKeys : public ::testing::Test
{
protected:
    WizardKeys() { noService(); }

    // The wizard shown and worked with keys, on step, in a window with a
    // control before it, as the sidebar is in the app's.
    void show(Screen &screen, Step step)
    {
        auto *row = new QHBoxLayout(&window);
        row->addWidget(before);
        row->addWidget(&screen.view);
        window.resize(1200, 780);
        window.show();
        screen.model.setStep(step);
        screen.open();
        ASSERT_TRUE(TestSupport::activate(&window));
        screen.settle();
    }

    QWidget window;
    QPushButton *before = new QPushButton(QStringLiteral("Before"));
};

} // namespace

// The footer was made before any step, so Tab went to Back and Continue
// before the step's own choices, and stopped on the scrolling column.
TEST_F(WizardKeys, EachStepReadsItsChoicesBeforeBackAndContinue)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 40));
    show(screen, Step::What);
    for (int s = int(Step::What); s <= int(Step::Review); ++s) {
        const Step step = Step(s);
        screen.model.setStep(step);
        screen.settle();
        // From the step's first control, or the way on where it has none.
        QWidget *first = KeyboardFocus::firstControl(screen.view.stepView());
        (first ? first : footerButton(screen.view, QStringLiteral("Back")))->setFocus(Qt::TabFocusReason);
        const QList<QWidget *> stops = TestSupport::tabStops();
        const int back = int(stops.indexOf(footerButton(screen.view, QStringLiteral("Back"))));
        const int on = int(stops.indexOf(footerButton(screen.view,
            step == Step::Review ? QStringLiteral("Make My Book") : QStringLiteral("Continue"))));
        ASSERT_GE(back, 0) << s;
        EXPECT_EQ(on, back + 1) << s;
        int lastChoice = -1;
        for (int i = 0; i < stops.size(); ++i) {
            if (screen.view.stepView()->isAncestorOf(stops[i]))
                lastChoice = i;
            EXPECT_FALSE(isContainer(stops[i])) << s << " " << stops[i]->metaObject()->className();
        }
        EXPECT_LT(lastChoice, back) << s;
        // After the way on, Tab leaves the wizard.
        EXPECT_EQ(stops.value(on + 1), before) << s;
    }
}

// A new step left the focus where it was, in the sidebar or on nothing.
TEST_F(WizardKeys, ANewStepPutsTheFocusOnItsFirstControl)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 40));
    show(screen, Step::What);
    QPushButton *next = footerButton(screen.view, QStringLiteral("Continue"));
    next->setFocus(Qt::TabFocusReason);
    QTest::keyClick(next, Qt::Key_Return);
    ASSERT_EQ(screen.model.step(), Step::Fit);
    EXPECT_EQ(QApplication::focusWidget(), KeyboardFocus::firstControl(&screen.view));

    screen.model.setStep(Step::Typeface);
    QWidget *first = QApplication::focusWidget();
    ASSERT_TRUE(first);
    EXPECT_TRUE(screen.view.stepView()->isAncestorOf(first)) << first->metaObject()->className();
    EXPECT_EQ(first, KeyboardFocus::firstControl(screen.view.stepView()));
}

// Return pressed Continue whichever button had the focus, Back included.
TEST_F(WizardKeys, ReturnPressesTheFocusedButton)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 40));
    show(screen, Step::Chapters);
    QPushButton *back = footerButton(screen.view, QStringLiteral("Back"));
    back->setFocus(Qt::TabFocusReason);
    QTest::keyClick(back, Qt::Key_Return);
    EXPECT_EQ(screen.model.step(), Step::Typeface);

    // Elsewhere in the step, Return still goes on.
    screen.settle();
    QWidget *first = KeyboardFocus::firstControl(screen.view.stepView());
    ASSERT_TRUE(first);
    first->setFocus(Qt::TabFocusReason);
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(screen.model.step(), Step::Chapters);
}

TEST_F(WizardKeys, TabLeavesTheDedication)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 40));
    show(screen, Step::Touches);
    auto *dedication = screen.view.stepView()->findChild<QPlainTextEdit *>();
    ASSERT_TRUE(dedication);
    dedication->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(dedication, QStringLiteral("For Sam"));
    QTest::keyClick(dedication, Qt::Key_Tab);
    EXPECT_EQ(screen.model.dedication(), QStringLiteral("For Sam"));
    EXPECT_FALSE(dedication->hasFocus());
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_TRUE(screen.view.isAncestorOf(QApplication::focusWidget()));
}

// A step whose controls come later (the found step's, once it has read)
// left the focus on what holds the wizard, where nothing showed it.
TEST_F(WizardKeys, FocusLeftOnWhatHoldsTheWizardGoesOnToItsFirstControl)
{
    Screen screen(spreadBook(QDate(2024, 3, 1), 40));
    show(screen, Step::Typeface);
    screen.view.setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), &screen.view);
    screen.model.setDedication(QStringLiteral("For Sam"));
    QWidget *focus = QApplication::focusWidget();
    ASSERT_TRUE(focus);
    EXPECT_EQ(focus, KeyboardFocus::firstControl(screen.view.stepView()));
}
