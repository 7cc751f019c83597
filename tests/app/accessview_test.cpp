// The access screen: where the Messages database is read from, looking
// again, and the other ways in that keep a computer without one from being
// locked out.
#include "app/accessview.h"
#include "app/backupsheet.h"
#include "app/contentview.h"
#include "app/pastesheet.h"
#include "shelltest.h"
#include "ui/style.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

using namespace Shell;

namespace {

class AccessViewTest : public ShellTest
{
protected:
    QPushButton *button(QWidget *root, const QString &text)
    {
        return qobject_cast<QPushButton *>(TestSupport::findText(root, text));
    }
};

} // namespace

TEST_F(AccessViewTest, SaysWhereMessagesAreReadFrom)
{
    const auto lib = library();
    ContentView view(lib.get());
    view.resize(1000, 700);
    view.show();
    ASSERT_EQ(view.route(), ContentView::Route::Access);
    QStringList texts = TestSupport::visibleTexts(view.accessView());
    texts.sort();
    QStringList expected { "Quorvel needs to read your messages",
        "Your messages stay on this computer. Quorvel reads the Messages database copied from a Mac into "
        "Library/Messages in your home folder, an iPhone backup, or a chat exported from another app.",
        "Open the Messages Folder", "Check Again", "Messages only on your iPhone?",
        "Back it up to this computer, or copy a backup made on another one, and make the book from the "
        "backup.",
        "Use an iPhone Backup…", "Chat File…", "Paste a Chat…" };
    expected.sort();
    EXPECT_EQ(texts, expected);

    button(view.accessView(), "Open the Messages Folder")->click();
    const QString folder = QFileInfo(database()).absolutePath();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    ASSERT_EQ(TestSupport::desktop().of("openUrl").size(), 1);
    EXPECT_EQ(TestSupport::desktop().of("openUrl").first().first(), QUrl::fromLocalFile(folder).toString());
    EXPECT_TRUE(view.window()->findChildren<QMessageBox *>().isEmpty());
    // No file manager to show it: an alert says where the folder is.
    TestSupport::desktop().opens = false;
    button(view.accessView(), "Open the Messages Folder")->click();
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return !view.window()->findChildren<QMessageBox *>().isEmpty(); }));
    EXPECT_EQ(view.window()->findChildren<QMessageBox *>().first()->informativeText(),
        QStringLiteral("The file manager didn't open the Messages folder. It's at %1.").arg(folder));
    TestSupport::desktop().opens = true;

    // Nothing changed: the screen stays.
    button(view.accessView(), "Check Again")->click();
    EXPECT_EQ(view.route(), ContentView::Route::Access);
    // The database copied in; coming back to the app finds it.
    setDatabase(true);
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view.route() == ContentView::Route::Split; }));
}

// Without a Messages database the access screen used to be all there was:
// someone starting from a chat export had no way to add it.
TEST_F(AccessViewTest, AChatExportGetsPastTheAccessScreen)
{
    const auto lib = library();
    QWidget window;
    auto *view = new ContentView(lib.get(), &window);
    window.resize(1000, 700);
    view->resize(1000, 700);
    window.show();
    ASSERT_EQ(view->route(), ContentView::Route::Access);

    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath("WhatsApp Chat with Sam.txt"), "1/31/25, 9:41 PM - Sam: hey\n");
    TestSupport::desktop().answers.append({ dir.filePath("WhatsApp Chat with Sam.txt") });
    button(view->accessView(), "Chat File…")->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->route() == ContentView::Route::Split; }));
    EXPECT_EQ(lib->access(), Library::Access::Denied);
    EXPECT_EQ(lib->added().first().name, "WhatsApp Chat with Sam");
}

TEST_F(AccessViewTest, TheOtherWaysInOpenTheirSheets)
{
    const auto lib = library();
    QWidget window;
    auto *view = new ContentView(lib.get(), &window);
    window.resize(1000, 700);
    window.show();
    button(view->accessView(), "Paste a Chat…")->click();
    PasteSheet *paste = window.findChild<PasteSheet *>();
    ASSERT_NE(paste, nullptr);
    EXPECT_TRUE(paste->isVisible());
    paste->reject();
    button(view->accessView(), "Use an iPhone Backup…")->click();
    BackupSheet *backup = window.findChild<BackupSheet *>();
    ASSERT_NE(backup, nullptr);
    EXPECT_TRUE(backup->isVisible());
    // Cancelling leaves the screen as it was.
    QPointer<BackupSheet> alive(backup);
    backup->reject();
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !alive; }));
    EXPECT_EQ(view->route(), ContentView::Route::Access);
}

