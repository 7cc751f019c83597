// The window before a book: the access screen, the sidebar and its menus,
// opening a conversation and failing to, and the sheets and panels that
// add messages.
#include "app/backupsheet.h"
#include "app/contentview.h"
#include "app/mainwindow.h"
#include "app/pastesheet.h"
#include "app/shelltest.h"
#include "app/updater.h"
#include "fixtures.h"
#include "gallery.h"
#include "heldchild.h"
#include "model/consent.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Shell;
using Gallery::atEverySize;

namespace {

class AppScreens : public ShellTest
{
protected:
    std::unique_ptr<MainWindow> window(Library *library)
    {
        auto made = std::make_unique<MainWindow>(library, &updater);
        made->content()->setOpener(opens.opener());
        made->show();
        return made;
    }

    // The computer's own conversations, a chat file's, and a backup that
    // can't be read.
    std::unique_ptr<Library> fullLibrary()
    {
        setDatabase(true);
        Listed kim { "kim@example.com", 48213 };
        kim.first = QStringLiteral("2019-08-14");
        Listed sam { "+15555550100", 912 };
        Listed long_ { "Alexandria Wolfeschlegelsteinhausenbergerdorff", 3 };
        tool.answers.insert(QStringLiteral("mac"), chats({ kim, sam, long_ }));
        const Source file = savedChatFile(m_files);
        tool.answers.insert(file.id, chats({ { "Sam", 2 } }));
        auto made = library();
        TestSupport::await(made->load());
        return made;
    }

    // Kim's encrypted backup, whose password is "right horse", in folder.
    static QString writeKimsBackup(const QString &folder)
    {
        const QString kims = folder + QStringLiteral("/00008030-00AABBCCDDEEFF00");
        Fixtures::writeBackup(kims, { "00008030-00AABBCCDDEEFF00", "Kim's iPhone" },
            { QStringLiteral("kim@example.com") }, QByteArray("right horse"));
        return kims;
    }

    // The backup sheet over window, once it has looked for backups.
    static BackupSheet *presentedSheet(Library *library, QWidget *window)
    {
        auto *sheet = new BackupSheet(library, window);
        sheet->present();
        EXPECT_TRUE(TestSupport::waitUntil([&] { return sheet->hasLooked(); }));
        return sheet;
    }

    // Kim's encrypted backup unlocked with its password, in a window of its
    // own, and the sheet as that leaves it saved as state.
    void unlockKimsBackup(const QString &state)
    {
        QTemporaryDir backups;
        const QString kims = writeKimsBackup(backups.path());
        const auto lib = fullLibrary();
        auto shown = window(lib.get());
        BackupSheet *sheet = presentedSheet(lib.get(), shown.get());
        sheet->lookAt(kims);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->chosen().has_value(); }));
        QTest::keyClicks(sheet->passwordField(), QStringLiteral("right horse"));
        sheet->primaryButton()->click();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->isWorking(); }, 60000));
        atEverySize(shown.get(), QStringLiteral("backup"), state);
        sheet->reject();
    }

    Updater updater { QString() };
    HeldOpens opens;
    QTemporaryDir m_files;
};

BackupInfo lockedBackup()
{
    BackupInfo info;
    info.path = QStringLiteral("/nowhere/00008030-001A2B3C4D5E6F70");
    info.udid = QStringLiteral("00008030-001A2B3C4D5E6F70");
    info.device = QStringLiteral("Robin's iPhone");
    info.ios = QStringLiteral("17.4.1");
    info.date = QStringLiteral("2024-05-31T10:20:30Z");
    info.encrypted = true;
    return info;
}

} // namespace

TEST_F(AppScreens, TheAccessScreen)
{
    Gallery::inBothAppearances([&] {
        const auto lib = library();
        auto shown = window(lib.get());
        ASSERT_TRUE(
            TestSupport::waitUntil([&] { return shown->content()->route() == ContentView::Route::Access; }));
        atEverySize(shown.get(), QStringLiteral("access"), QStringLiteral("nothing-to-read"));
    });
}

TEST_F(AppScreens, TheSidebarItsMenusAndTheWindowsMenus)
{
    Gallery::inBothAppearances([&] {
        const auto lib = fullLibrary();
        auto shown = window(lib.get());
        ConversationList *list = shown->content()->conversationList();
        atEverySize(shown.get(), QStringLiteral("sidebar"), QStringLiteral("three-sources"));
        atEverySize(
            shown.get(), QStringLiteral("sidebar"), QStringLiteral("add-menu"),
            [&] { Gallery::dropDown(list->addButton(), list->addButton()->menu()); }, Gallery::closePopups);
        atEverySize(
            shown.get(), QStringLiteral("sidebar"), QStringLiteral("add-tooltip"),
            [&] {
                // As resting the pointer on it asks.
                QWidget *add = list->addButton();
                QHelpEvent help(QEvent::ToolTip, QPoint(24, 4), add->mapToGlobal(QPoint(24, 4)));
                QApplication::sendEvent(add, &help);
            },
            Gallery::closePopups);
        atEverySize(
            shown.get(), QStringLiteral("sidebar"), QStringLiteral("section-menu"),
            [&] {
                QMenu *menu = list->sectionMenu(QStringLiteral("file-0000aaaa"));
                menu->popup(list->mapToGlobal(QPoint(40, 40)));
            },
            Gallery::closePopups);
        list->sectionMenu(QStringLiteral("file-0000aaaa"))->actions().first()->trigger();
        atEverySize(shown.get(), QStringLiteral("sidebar"), QStringLiteral("forget-question"));
        list->forgetQuestion()->reject();
        for (QAction *menu : shown->menuBar()->actions()) {
            const QString name = menu->text().remove(QLatin1Char('&')).toLower();
            atEverySize(
                shown.get(), QStringLiteral("menu"), name,
                [&] {
                    const QRect item = shown->menuBar()->actionGeometry(menu);
                    menu->menu()->popup(shown->menuBar()->mapToGlobal(item.bottomLeft()));
                },
                Gallery::closePopups);
        }
        shown->findChild<QMenuBar *>()->actions().last()->menu()->actions().first()->trigger();
        atEverySize(shown.get(), QStringLiteral("about"), QStringLiteral("box"));
    });
}

// Handles kept without spaces, as Messages keeps them, from several
// countries and none, each shown as its owner writes it.
TEST_F(AppScreens, TheSidebarWithNumbersFromOtherCountries)
{
    Gallery::inBothAppearances([&] {
        setDatabase(true);
        QList<Listed> numbers;
        for (const char *handle : { "+4915123456789", "+447700900123", "+33612345678", "+819012345678",
                 "+61412345678", "+919876543210", "+14155550132", "0612345678", "+5511987654321" })
            numbers.append(Listed { QString::fromLatin1(handle), 120 });
        tool.answers.insert(QStringLiteral("mac"), chats(numbers));
        const auto lib = library();
        TestSupport::await(lib->load());
        auto shown = window(lib.get());
        atEverySize(shown.get(), QStringLiteral("sidebar"), QStringLiteral("numbers-of-other-countries"));
    });
}

TEST_F(AppScreens, ASourceStillLoadingOpeningAConversationAndFailingTo)
{
    Gallery::inBothAppearances([&] {
        setDatabase(true);
        tool.answers.insert(
            QStringLiteral("mac"), chats({ { "kim@example.com", 3 }, { "+15555550100", 912 } }));
        const Source file = savedChatFile(m_files);
        tool.answers.insert(file.id, chats({ { "Sam", 2 } }));
        tool.holding = true;
        const auto lib = library();
        auto shown = window(lib.get());
        TestSupport::waitUntil([&] { return !tool.gates.empty(); });
        atEverySize(shown.get(), QStringLiteral("sidebar"), QStringLiteral("loading"));
        tool.release();
        tool.holding = false;
        ASSERT_TRUE(TestSupport::waitUntil([&] { return lib->loadingSources().isEmpty(); }));

        Consent::record(QStringLiteral("+15555550100"));
        pick(shown->content()->conversationList(), QStringLiteral("+15555550100"));
        atEverySize(shown.get(), QStringLiteral("opening"), QStringLiteral("reading"));
        opens.finish(int(opens.opens.size()) - 1, QStringLiteral("Error: The store is locked.\n"));
        ASSERT_TRUE(TestSupport::waitUntil(
            [&] { return shown->content()->detail() == ContentView::Detail::OpenError; }));
        atEverySize(shown.get(), QStringLiteral("opening"), QStringLiteral("failed"));
    });
}

// Chat files the message tool can't read, an empty one and a PDF named
// .txt: each section says why in the tool's own words.
TEST_F(AppScreens, ChatFilesThatDontRead)
{
    Gallery::inBothAppearances([&] {
        TestSupport::writeFile(m_files.filePath("empty.txt"), "");
        TestSupport::writeFile(m_files.filePath("Scan of the lease.txt"),
            QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj <</Type /Catalog>> endobj\n"));
        QList<Source> files;
        for (const QString &name : { QStringLiteral("empty"), QStringLiteral("Scan of the lease") }) {
            Source file;
            file.id = QStringLiteral("file-") + QString::number(files.size()).repeated(8);
            file.name = name;
            file.log = m_files.filePath(name + QStringLiteral(".txt"));
            files.append(file);
        }
        Backups::save(files);
        const auto lib = library();
        lib->setRunner(
            { [](QStringList arguments, Source source) { return Helpers::core(arguments, source); } });
        TestSupport::await(lib->load());
        auto shown = window(lib.get());
        atEverySize(shown.get(), QStringLiteral("sidebar"), QStringLiteral("unreadable-files"));
    });
}

TEST_F(AppScreens, AddingMessages)
{
    Gallery::inBothAppearances([&] {
        const auto lib = fullLibrary();
        auto shown = window(lib.get());
        ConversationList *list = shown->content()->conversationList();

        // A folder dropped that holds no chat.
        QDir(m_files.path()).mkpath(QStringLiteral("empty"));
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(m_files.filePath(QStringLiteral("empty"))) });
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(list->view()->viewport(), &enter);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(list->view()->viewport(), &drop);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return shown->findChild<QMessageBox *>() != nullptr; }));
        atEverySize(shown.get(), QStringLiteral("chat-file"), QStringLiteral("didnt-open"));
        shown->findChild<QMessageBox *>()->accept();

        // The file panel is the desktop's own: the real one, not the tests'.
        Desktop::setInstance(nullptr);
        list->addButton()->menu()->actions()[1]->trigger();
        QFileDialog *panel = nullptr;
        TestSupport::waitUntil(
            [&] { return (panel = shown->findChild<QFileDialog *>()) && panel->isVisible(); });
        ASSERT_TRUE(panel);
        atEverySize(shown.get(), QStringLiteral("chat-file"), QStringLiteral("panel"));
        panel->reject();
        Desktop::setInstance(&TestSupport::desktop());

        auto *paste = new PasteSheet(lib.get(), shown.get());
        paste->present();
        atEverySize(shown.get(), QStringLiteral("paste"), QStringLiteral("empty"));
        paste->nameField()->setText(QStringLiteral("Sam"));
        paste->textField()->setPlainText(
            QStringLiteral("1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Robin: hi there"));
        atEverySize(shown.get(), QStringLiteral("paste"), QStringLiteral("typed"));
        // Text the message tool can't read: the sheet stays, with its words.
        paste->textField()->setPlainText(QStringLiteral("this is not a chat\nnor is this"));
        paste->chatButton()->click();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !paste->error().isEmpty(); }));
        atEverySize(shown.get(), QStringLiteral("paste"), QStringLiteral("not-read"));
        paste->reject();

        auto *backup = new BackupSheet(lib.get(), shown.get());
        backup->present();
        TestSupport::waitUntil([&] { return backup->hasLooked(); });
        atEverySize(shown.get(), QStringLiteral("backup"), QStringLiteral("how-to-make-one"));
        backup->choose(lockedBackup());
        backup->passwordField()->setText(QStringLiteral("secret"));
        atEverySize(shown.get(), QStringLiteral("backup"), QStringLiteral("password"));
        backup->reject();
    });
}

// An encrypted backup is unlocked only where a keyring keeps its key: these
// pictures are taken on the private keyring that `make screens` runs the
// gallery on, and the last of them locks it.
TEST_F(AppScreens, TheBackupSheetWithBackupsFound)
{
    if (!TestSupport::onPrivateKeyring())
        GTEST_SKIP() << "run through tests/support/with-keyring.sh, as make screens does";
    Gallery::inBothAppearances([&] {
        const QString backups
            = QDir::homePath() + QStringLiteral("/Library/Application Support/MobileSync/Backup");
        QDir(backups).removeRecursively();
        Fixtures::writeBackup(
            backups + QStringLiteral("/00008030-001A2B3C4D5E6F70"), {}, { QStringLiteral("+15555550123") });
        const QString locked = writeKimsBackup(backups);
        const auto lib = fullLibrary();
        auto shown = window(lib.get());
        BackupSheet *sheet = presentedSheet(lib.get(), shown.get());
        atEverySize(shown.get(), QStringLiteral("backup"), QStringLiteral("found"));
        sheet->lookAt(locked);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->chosen().has_value(); }));
        QTest::keyClicks(sheet->passwordField(), QStringLiteral("wrong horse"));
        sheet->primaryButton()->click();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->isWorking(); }, 60000));
        atEverySize(shown.get(), QStringLiteral("backup"), QStringLiteral("wrong-password"));
        // Tried again: the tool held while the pictures are taken, or a
        // wrong password would be refused before the first of them.
        sheet->primaryButton()->click();
        {
            HeldChild tool(QStringLiteral("brimlow-core"));
            ASSERT_TRUE(tool.isHolding());
            atEverySize(shown.get(), QStringLiteral("backup"), QStringLiteral("unlocking"));
        }
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->isWorking(); }, 60000));
        sheet->reject();
        QDir(backups).removeRecursively();
    });
    // The keyring locked, as a screen locker leaves it: asked for its
    // password, nobody answers here, as when the user cancels.
    Gallery::inBothAppearances([&] {
        QDBusMessage lock = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.secrets"),
            QStringLiteral("/org/freedesktop/secrets"), QStringLiteral("org.freedesktop.Secret.Service"),
            QStringLiteral("Lock"));
        lock << QVariant::fromValue(QList<QDBusObjectPath> {
            QDBusObjectPath(QStringLiteral("/org/freedesktop/secrets/collection/login")) });
        ASSERT_EQ(QDBusConnection::sessionBus().call(lock).type(), QDBusMessage::ReplyMessage);
        unlockKimsBackup(QStringLiteral("keyring-locked"));
    });
}

// Where no keyring runs, the key of an encrypted backup can't be kept: the
// sheet says so before anything is unlocked. Taken on the bare bus that
// `make screens` runs this scene on.
TEST_F(AppScreens, TheBackupSheetWithoutAKeyring)
{
    if (!TestSupport::onBareBus())
        GTEST_SKIP() << "run through tests/support/without-keyring.sh, as make screens does";
    Gallery::inBothAppearances([&] { unlockKimsBackup(QStringLiteral("no-keyring")); });
}
