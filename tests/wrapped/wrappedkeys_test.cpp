// The Wrapped screen with the keyboard alone: the way on to the book, the
// focus after a save, and the theme swatch the keys are on.
#include "ui/style.h"
#include "ui/windowtoolbar.h"
#include "wrapped/themeswatch.h"
#include "wrapped/wrappedinspector.h"
#include "wrappedviewtest.h"

#include <QMainWindow>
#include <QSignalSpy>
#include <QToolButton>

namespace {

class WrappedKeys : public WrappedViewTest
{
};

} // namespace

// After the cards were saved no widget had the focus, and Tab did nothing.
TEST_F(WrappedKeys, TheFocusStaysOnSaveCardsThroughTheSave)
{
    show();
    ASSERT_TRUE(TestSupport::activate(view->window()));
    QPushButton *save = button(u"Save Cards…"_s);
    ASSERT_TRUE(save);
    save->setFocus(Qt::TabFocusReason);
    QTemporaryDir folder;
    TestSupport::desktop().answers.append({ folder.path() });
    QTest::keyClick(save, Qt::Key_Space);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->exported().isEmpty() && save->isEnabled(); }));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), save);
    QTest::keyClick(save, Qt::Key_Tab);
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_NE(QApplication::focusWidget(), save);
    EXPECT_TRUE(QApplication::focusWidget()->isVisible());
}

// "Make It a Book" was in the toolbar alone, which Tab never reached.
TEST_F(WrappedKeys, TabReachesMakeItABook)
{
    QMainWindow window;
    auto *toolbar = new WindowToolbar(&window);
    window.addToolBar(toolbar);
    view = new WrappedView(project, wrapped, std::nullopt);
    window.setCentralWidget(view);
    window.resize(1280, 820);
    window.show();
    ASSERT_TRUE(TestSupport::activate(view->window()));
    QSignalSpy book(view, &WrappedView::bookRequested);
    QWidget *button = toolbar->widgetForAction(view->bookAction());
    ASSERT_TRUE(qobject_cast<QToolButton *>(button));
    QWidget *first = view->inspector()->findChild<QPushButton *>();
    ASSERT_TRUE(first);
    first->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(TestSupport::tabStops(120).contains(button));
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(book.count(), 1);
    // The window owns the view now.
    window.takeCentralWidget();
}

// A swatch's focus was a 1-pixel dotted line inside it, lost against its
// own colours.
TEST_F(WrappedKeys, TheFocusedSwatchWearsAHaloOutsideIt)
{
    show();
    ASSERT_TRUE(TestSupport::activate(view->window()));
    QList<ThemeSwatch *> swatches = view->inspector()->findChildren<ThemeSwatch *>();
    ASSERT_GE(swatches.size(), 2);
    ThemeSwatch *other = nullptr;
    for (ThemeSwatch *swatch : swatches) {
        if (swatch->theme() != view->settings().theme)
            other = swatch;
    }
    ASSERT_TRUE(other);
    view->setAttribute(Qt::WA_KeyboardFocusChange);
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    const QImage image = view->grab().toImage();
    const QColor brand = Style::brand();
    const QRect box(other->mapTo(view, QPoint()), other->size());
    // On every side, in the halo's band just outside the swatch, the
    // colour leans to the brand's, against the ground a little further out.
    int near = 0;
    const int x = box.center().x();
    const int y = box.center().y();
    const QList<std::pair<QPoint, QPoint>> sides { { { x, box.top() - 2 }, { x, box.top() - 6 } },
        { { x, box.bottom() + 2 }, { x, box.bottom() + 6 } },
        { { box.left() - 2, y }, { box.left() - 6, y } },
        { { box.right() + 2, y }, { box.right() + 6, y } } };
    for (const auto &[band, ground] : sides) {
        if (TestSupport::colorDistance(image.pixelColor(band), brand)
            < TestSupport::colorDistance(image.pixelColor(ground), brand) - 90)
            ++near;
    }
    EXPECT_EQ(near, 4);
}
