// The sidebar and the pane beside it with the keyboard alone: Return on a
// row, the focus drawn on a row and on the add bar, and where the focus
// goes as the pane turns from consent into the book.
#include "app/contentview.h"
#include "flow/consentview.h"
#include "shelltest.h"
#include "ui/keyboardfocus.h"
#include "ui/style.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

using namespace Shell;
using Detail = ContentView::Detail;

namespace {

class SidebarKeys : public ShellTest
{
protected:
    SidebarKeys()
    {
        setDatabase(true);
        tool.answers.insert(
            QStringLiteral("mac"), chats({ { "+15555550100", 120 }, { "kim@example.com", 40 } }));
        lib = library();
        view = std::make_unique<ContentView>(lib.get());
        view->setOpener(opens.opener());
        view->resize(1100, 700);
        view->show();
        EXPECT_TRUE(TestSupport::activate(view.get()));
        EXPECT_TRUE(
            TestSupport::waitUntil([&] { return list()->model()->indexOf("kim@example.com").isValid(); }));
    }

    ConversationList *list() const { return view->conversationList(); }
    QTreeView *rows() const { return list()->view(); }

    // The keys on the row of id, which isn't chosen by that.
    void keysOn(const QString &id)
    {
        view->setAttribute(Qt::WA_KeyboardFocusChange);
        rows()->setFocus(Qt::TabFocusReason);
        rows()->selectionModel()->setCurrentIndex(
            list()->model()->indexOf(id), QItemSelectionModel::NoUpdate);
    }

    // How many pixels of a widget's part turned towards the brand colour
    // since it looked as before.
    static int brandedSince(const QImage &before, QWidget *widget, const QRect &part)
    {
        const QImage now = widget->grab(part).toImage();
        int count = 0;
        for (int y = 0; y < now.height(); ++y) {
            for (int x = 0; x < now.width(); ++x) {
                const QColor pixel = now.pixelColor(x, y);
                const QColor was = before.pixelColor(x, y);
                if (TestSupport::colorDistance(pixel, Style::brand())
                    < TestSupport::colorDistance(was, Style::brand()) - 60)
                    ++count;
            }
        }
        return count;
    }

    HeldOpens opens;
    std::unique_ptr<Library> lib;
    std::unique_ptr<ContentView> view;
};

} // namespace

// Return on a conversation row did nothing.
TEST_F(SidebarKeys, ReturnOnARowOpensItAndTheKeysGoOnIntoIt)
{
    keysOn(QStringLiteral("kim@example.com"));
    EXPECT_FALSE(view->selection());
    QTest::keyClick(rows(), Qt::Key_Return);
    EXPECT_EQ(view->selection(), QStringLiteral("kim@example.com"));
    ASSERT_EQ(view->detail(), Detail::Consent);
    auto *consent = qobject_cast<ConsentView *>(view->detailWidget());
    // The screen's first control, not the column it scrolls in.
    EXPECT_EQ(QApplication::focusWidget(), consent->okToPrint());

    // Arrows only choose: the keys stay in the list while the user looks.
    rows()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(rows(), Qt::Key_Down);
    if (view->selection() == QStringLiteral("kim@example.com"))
        QTest::keyClick(rows(), Qt::Key_Up);
    EXPECT_EQ(view->selection(), QStringLiteral("+15555550100"));
    EXPECT_TRUE(rows()->hasFocus());
}

// After agreeing, the focus stayed in the sidebar while the pane turned
// into the book's wizard.
TEST_F(SidebarKeys, AfterTheConsentTheFocusGoesOnIntoTheBook)
{
    keysOn(QStringLiteral("kim@example.com"));
    QTest::keyClick(rows(), Qt::Key_Return);
    auto *consent = qobject_cast<ConsentView *>(view->detailWidget());
    ASSERT_TRUE(consent);
    consent->okToPrint()->click();
    // Return from the list, where the consent screen takes it window-wide.
    rows()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(rows(), Qt::Key_Return);
    ASSERT_EQ(view->detail(), Detail::Reading);
    EXPECT_TRUE(KeyboardFocus::isWithin(view->detailWidget()));
    opens.finish(0);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->detail() == Detail::Book; }));
    EXPECT_TRUE(KeyboardFocus::isWithin(view->detailWidget()));
    QWidget *focus = QApplication::focusWidget();
    ASSERT_TRUE(focus);
    EXPECT_TRUE(focus->isVisible());
}

// A row and the add bar drew no focus: Tab landed on them unseen.
TEST_F(SidebarKeys, TheRowAndTheAddBarTheKeysAreOnShowIt)
{
    const QModelIndex kim = list()->model()->indexOf(QStringLiteral("kim@example.com"));
    const QRect row = rows()->visualRect(kim);
    QPushButton *add = list()->addButton();
    const QImage rowBefore = rows()->viewport()->grab(row).toImage();
    const QImage addBefore = add->grab().toImage();
    keysOn(QStringLiteral("kim@example.com"));
    QApplication::processEvents();
    EXPECT_GT(brandedSince(rowBefore, rows()->viewport(), row), row.width());
    EXPECT_EQ(brandedSince(addBefore, add, add->rect()), 0);

    add->setFocus(Qt::TabFocusReason);
    EXPECT_GT(brandedSince(addBefore, add, add->rect()), add->width());
    // The row the keys left shows nothing.
    EXPECT_EQ(brandedSince(rowBefore, rows()->viewport(), row), 0);
}
