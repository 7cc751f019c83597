// The roads of the keyboard through the kit: the toolbar's buttons, text
// areas, and where focus goes when a screen changes under it.
#include "ui/keyboardfocus.h"
#include "ui/windowtoolbar.h"
#include "uitestsupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using TestSupport::activate;
using TestSupport::tabStops;

// The toolbar's buttons took no focus: whatever a screen put only there
// ("Make It a Book", "Back to the Book", "Export PDF") no keyboard reached.
TEST(ToolbarKeys, EveryActionIsATabStopThatReturnAndSpacePress)
{
    QMainWindow window;
    auto *toolbar = new WindowToolbar(&window);
    window.addToolBar(toolbar);
    auto *screen = new QWidget;
    auto *field = new QLineEdit(screen);
    new QVBoxLayout(screen);
    screen->layout()->addWidget(field);
    window.setCentralWidget(screen);
    auto *back = new QAction(QStringLiteral("Back"), screen);
    auto *save = new QAction(QStringLiteral("Save"), screen);
    auto *settings = new QAction(QStringLiteral("Settings"), screen);
    settings->setCheckable(true);
    toolbar->setItems(screen, { back }, { save, settings });
    toolbar->setSearchVisible(screen, true, QStringLiteral("Find"));
    window.show();
    ASSERT_TRUE(activate(&window));

    field->setFocus(Qt::TabFocusReason);
    const QList<QWidget *> stops = tabStops();
    QList<QAction *> reached;
    for (QAction *action : toolbar->actions()) {
        QWidget *button = toolbar->widgetForAction(action);
        if (action->isVisible() && qobject_cast<QToolButton *>(button) && stops.contains(button))
            reached.append(action);
    }
    EXPECT_EQ(reached, (QList<QAction *> { back, save, settings }));
    // In the order they read, the search field after them.
    EXPECT_LT(stops.indexOf(toolbar->widgetForAction(back)), stops.indexOf(toolbar->widgetForAction(save)));
    EXPECT_LT(stops.indexOf(toolbar->widgetForAction(settings)), stops.indexOf(toolbar->searchField()));

    QSignalSpy saved(save, &QAction::triggered);
    QWidget *saveButton = toolbar->widgetForAction(save);
    saveButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(saveButton, Qt::Key_Return);
    QTest::keyClick(saveButton, Qt::Key_Space);
    EXPECT_EQ(saved.count(), 2);
    QWidget *settingsButton = toolbar->widgetForAction(settings);
    settingsButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(settingsButton, Qt::Key_Enter);
    EXPECT_TRUE(settings->isChecked());
    save->setEnabled(false);
    QTest::keyClick(saveButton, Qt::Key_Return);
    EXPECT_EQ(saved.count(), 2);

    // A screen that comes later gets the same.
    auto *other = new QAction(QStringLiteral("Make It a Book"), screen);
    toolbar->setItems(screen, {}, { other });
    EXPECT_TRUE(toolbar->widgetForAction(other)->focusPolicy() & Qt::TabFocus);
}

// The dedication took Tab as a character: 39 of them went in before the
// user found Shift+Tab.
TEST(TextAreaKeys, TabGoesOnToTheNextControlFromEveryTextArea)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    auto *plain = new QPlainTextEdit;
    auto *rich = new QTextEdit;
    auto *after = new QPushButton(QStringLiteral("After"));
    for (QWidget *widget : std::initializer_list<QWidget *> { plain, rich, after })
        column->addWidget(widget);
    window.show();
    ASSERT_TRUE(activate(&window));

    plain->setFocus();
    QTest::keyClicks(plain, QStringLiteral("For Sam"));
    QTest::keyClick(plain, Qt::Key_Tab);
    EXPECT_EQ(plain->toPlainText(), QStringLiteral("For Sam"));
    EXPECT_TRUE(rich->hasFocus());
    QTest::keyClick(rich, Qt::Key_Tab);
    EXPECT_EQ(rich->toPlainText(), QString());
    EXPECT_TRUE(after->hasFocus());
}

TEST(KeyboardFocus, EntersTheFirstControlThatTabWouldStopAt)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    auto *outside = new QPushButton(QStringLiteral("Outside"));
    auto *screen = new QWidget;
    auto *inside = new QVBoxLayout(screen);
    auto *hidden = new QPushButton(QStringLiteral("Hidden"));
    auto *disabled = new QPushButton(QStringLiteral("Disabled"));
    auto *label = new QWidget;
    auto *first = new QLineEdit;
    auto *second = new QPushButton(QStringLiteral("Second"));
    for (QWidget *widget : std::initializer_list<QWidget *> { hidden, disabled, label, first, second })
        inside->addWidget(widget);
    hidden->hide();
    disabled->setEnabled(false);
    column->addWidget(outside);
    column->addWidget(screen);
    window.show();
    ASSERT_TRUE(activate(&window));

    EXPECT_EQ(KeyboardFocus::firstControl(screen), first);
    outside->setFocus();
    EXPECT_FALSE(KeyboardFocus::isWithin(screen));
    EXPECT_FALSE(KeyboardFocus::isAdrift(screen));
    KeyboardFocus::enter(screen);
    EXPECT_TRUE(first->hasFocus());
    EXPECT_TRUE(KeyboardFocus::isWithin(screen));

    // Nothing to stop at: the screen itself holds the focus, so it is
    // never left on what doesn't show.
    first->hide();
    second->hide();
    EXPECT_EQ(KeyboardFocus::firstControl(screen), nullptr);
    KeyboardFocus::enter(screen);
    EXPECT_TRUE(screen->hasFocus());
}

// Return on a focused button of the window (the book page's "Order")
// did nothing: only Space pressed it.
TEST(ButtonKeys, ReturnPressesTheFocusedButtonOfAWindow)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    auto *order = new QPushButton(QStringLiteral("Order"));
    auto *field = new QLineEdit;
    column->addWidget(order);
    column->addWidget(field);
    window.show();
    ASSERT_TRUE(activate(&window));
    QSignalSpy pressed(order, &QPushButton::clicked);
    order->setFocus(Qt::TabFocusReason);
    QTest::keyClick(order, Qt::Key_Return);
    QTest::keyClick(order, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(pressed.count(), 2);
    // Not from a field, not with a modifier, not while disabled.
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_Return);
    order->setFocus(Qt::TabFocusReason);
    QTest::keyClick(order, Qt::Key_Return, Qt::ControlModifier);
    order->setEnabled(false);
    QTest::keyClick(order, Qt::Key_Return);
    EXPECT_EQ(pressed.count(), 2);
}
