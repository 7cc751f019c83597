// The page view with the keyboard alone: its toolbar's actions and the
// way back to the book's page.
#include "viewer/bookpreview.h"
#include "viewer/inspector.h"
#include "viewer/rangepopover.h"
#include "viewertest.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

using ViewerTest::Window;

class ViewerKeys : public ::testing::Test
{
protected:
    ViewerKeys()
        : w(ViewerTest::open(bookOf({ "one", "two" })))
        , done(w.view, &BookView::done)
    {
        // A book page to go back to, as the book's flow gives it.
        QObject::connect(w.view, &BookView::done, w.view, [] {});
        w.view->hide();
        w.view->show();
        EXPECT_TRUE(TestSupport::activate(&w.window));
        QApplication::processEvents();
    }

    BooksFolder books;
    Window w;
    QSignalSpy done;
};

// Escape did nothing: a keyboard user couldn't leave the pages.
TEST_F(ViewerKeys, EscapeLeavesThePagesFromWhereverTheFocusIs)
{
    w.view->preview()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.view->preview(), Qt::Key_Escape);
    EXPECT_EQ(done.count(), 1);
    QLineEdit *search = w.toolbar->searchField();
    search->setFocus(Qt::TabFocusReason);
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_EQ(done.count(), 2);

    // The range popover takes Escape for itself and closes.
    w.view->showRange();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.view->rangePopover()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(w.view->rangePopover()->isVisible());
    EXPECT_EQ(done.count(), 2);
}

// "Back to the Book", "Export PDF", "Book Settings" and the range were in
// the toolbar alone, which Tab never reached.
TEST_F(ViewerKeys, TabReachesEveryToolbarActionAndReturnPressesIt)
{
    w.view->preview()->setFocus(Qt::TabFocusReason);
    const QList<QWidget *> stops = TestSupport::tabStops();
    for (QAction *action :
        { w.view->rangeAction(), w.view->backAction(), w.view->exportAction(), w.view->settingsAction() }) {
        QWidget *button = w.toolbar->widgetForAction(action);
        ASSERT_TRUE(qobject_cast<QToolButton *>(button)) << action->text().toStdString();
        EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus) << action->text().toStdString();
        // Export waits for the first pages, and Tab passes it by till then.
        EXPECT_EQ(stops.contains(button), action->isEnabled()) << action->text().toStdString();
    }
    EXPECT_TRUE(stops.contains(w.toolbar->searchField()));

    QWidget *settings = w.toolbar->widgetForAction(w.view->settingsAction());
    settings->setFocus(Qt::TabFocusReason);
    QTest::keyClick(settings, Qt::Key_Return);
    EXPECT_TRUE(w.view->inspector()->isVisible());
    QWidget *back = w.toolbar->widgetForAction(w.view->backAction());
    back->setFocus(Qt::TabFocusReason);
    QTest::keyClick(back, Qt::Key_Return);
    EXPECT_EQ(done.count(), 1);
}

} // namespace
