// The whole road to an open book through the window, with the real message
// tool, real stores, chats and iPhone backups, the keychain and typst:
// start, list, add, select, consent, and the book opens.
#include "app/accessview.h"
#include "app/app.h"
#include "app/backupsheet.h"
#include "app/contentview.h"
#include "app/mainwindow.h"
#include "app/pastesheet.h"
#include "app/sourceadder.h"
#include "fixtures.h"
#include "flow/bookflow.h"
#include "flow/consentview.h"
#include "heldchild.h"
#include "model/consent.h"
#include "probe.h"
#include "shelltest.h"
#include "ui/style.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Shell;
using Detail = ContentView::Detail;

namespace {

[[maybe_unused]] ::testing::Environment *const keyring
    = ::testing::AddGlobalTestEnvironment(new TestSupport::PrivateKeyringRequired);

class RoadTest : public ShellTest
{
protected:
    RoadTest()
    {
        Consent::setFullNameSource([] { return QStringLiteral("Robin Quill"); });
    }
    ~RoadTest() override
    {
        app.reset();
        QDir(backups()).removeRecursively();
        Consent::setFullNameSource({});
    }

    static QString backups()
    {
        return QDir::homePath() + QStringLiteral("/Library/Application Support/MobileSync/Backup");
    }

    ContentView *content() const { return app->window()->content(); }

    // The app starts as the user starts it, over whatever the test prepared.
    void start()
    {
        app = std::make_unique<App>(App::Options { QString() });
        app->window()->show();
        QApplication::setActiveWindow(app->window());
    }

    // The identifier of the first listed conversation whose name is name.
    QString listed(const QString &name)
    {
        QString id;
        TestSupport::waitUntil([&] {
            for (const Conversation &conversation : app->library()->conversations()) {
                if (app->library()->displayName(conversation) == name)
                    id = conversation.id();
            }
            return !id.isEmpty();
        });
        return id;
    }

    // Selects the conversation, agrees to read it, and waits for its book.
    void readAndOpen(const QString &id, const QString &title)
    {
        QApplication::processEvents();
        pick(content()->conversationList(), id);
        ASSERT_EQ(content()->detail(), Detail::Consent);
        auto *consent = qobject_cast<ConsentView *>(content()->detailWidget());
        consent->okToPrint()->click();
        consent->readButton()->click();
        ASSERT_EQ(content()->detail(), Detail::Reading);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return content()->detail() != Detail::Reading; }, 60000));
        ASSERT_EQ(content()->detail(), Detail::Book)
            << TestSupport::visibleTexts(content()->detailWidget()).join(" | ").toStdString();
        // A new book's flow starts in the wizard, which names the window.
        EXPECT_EQ(app->window()->windowTitle(), title)
            << TestSupport::visibleTexts(app->window()).join(" | ").toStdString();
    }

    QAction *addItem(const QString &text)
    {
        for (QAction *action : content()->conversationList()->addButton()->menu()->actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }

    BackupSheet *backupSheet()
    {
        addItem("iPhone Backup…")->trigger();
        return app->window()->findChild<BackupSheet *>();
    }

    // An encrypted backup of Kim's iPhone, "right horse" its password.
    static QString writeKimsBackup(const QTemporaryDir &dir)
    {
        const QString folder = dir.filePath("00008030-00AABBCCDDEEFF00");
        Fixtures::writeBackup(folder, { "00008030-00AABBCCDDEEFF00", "Kim's iPhone" },
            { QStringLiteral("kim@example.com") }, QByteArray("right horse"));
        return folder;
    }

    // The computer's own Messages database, with a conversation per handle.
    static void writeDatabase(const QStringList &handles)
    {
        QDir().mkpath(QFileInfo(database()).absolutePath());
        Fixtures::writeMessagesStore(database(), handles);
    }

    std::unique_ptr<App> app;
};

} // namespace

TEST_F(RoadTest, FromTheComputersMessagesToATypesetBook)
{
    writeDatabase({ QStringLiteral("+15555550100"), QStringLiteral("sam@example.com") });
    start();
    const QString id = listed(QStringLiteral("(555) 555-0100"));
    ASSERT_EQ(id, "+15555550100");
    pick(content()->conversationList(), id);
    auto *consent = qobject_cast<ConsentView *>(content()->detailWidget());
    ASSERT_NE(consent, nullptr);
    EXPECT_TRUE(TestSupport::findText(consent, "Make a book with (555) 555-0100"));
    consent->okToPrint()->click();
    consent->readButton()->click();
    EXPECT_TRUE(TestSupport::findText(content()->detailWidget(), "Reading 2 messages"));

    ASSERT_TRUE(TestSupport::waitUntil([&] { return content()->detail() == Detail::Book; }, 60000));
    EXPECT_EQ(content()->project()->conversation().id(), id);
    EXPECT_EQ(app->window()->windowTitle(), "You & (555) 555-0100");
    // The book is typeset while its wizard shows.
    auto *flow = qobject_cast<BookFlow *>(content()->detailWidget());
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->mode(), BookFlow::Mode::Wizard);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !content()->project()->pdf().isEmpty(); }, 120000));
    EXPECT_GT(content()->project()->layout().pageCount, 0);
}

TEST_F(RoadTest, AChatExportAddedFromTheSidebarOpens)
{
    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath("WhatsApp Chat with Sam.txt"),
        "1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Robin: hi there\n");
    start();
    ASSERT_EQ(content()->route(), ContentView::Route::Access);
    TestSupport::desktop().answers.append({ dir.filePath("WhatsApp Chat with Sam.txt") });
    // The access screen offers the same way in as the sidebar.
    qobject_cast<QPushButton *>(TestSupport::findText(content()->accessView(), "Chat File…"))->click();
    readAndOpen(listed(QStringLiteral("Sam")), QStringLiteral("You & Sam"));
}

TEST_F(RoadTest, APastedChatOpens)
{
    writeDatabase({ QStringLiteral("kim@example.com") });
    start();
    listed(QStringLiteral("kim@example.com"));
    addItem("Paste a Chat…")->trigger();
    auto *sheet = app->window()->findChild<PasteSheet *>();
    ASSERT_NE(sheet, nullptr);
    sheet->nameField()->setText(QStringLiteral("Sam"));
    sheet->textField()->setPlainText(
        QStringLiteral("1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Robin: hi\n"));
    sheet->chatButton()->click();
    // A pasted chat is with the person named for it, and the user is the other one.
    readAndOpen(listed(QStringLiteral("Sam")), QStringLiteral("You & Sam"));
    EXPECT_EQ(content()->project()->book().people.first().name, "Robin");
}

TEST_F(RoadTest, AnIPhoneBackupOnThisComputerIsReadAtOnceAndOpens)
{
    setDatabase(true);
    Fixtures::writeBackup(backups() + "/00008030-001A2B3C4D5E6F70", {}, { QStringLiteral("+15555550123") });
    start();
    BackupSheet *sheet = backupSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->hasLooked(); }));
    ASSERT_TRUE(sheet->found() && sheet->found()->size() == 1);
    EXPECT_TRUE(TestSupport::findText(sheet, "On this computer"));
    QPointer<BackupSheet> alive(sheet);
    auto *row = qobject_cast<QAbstractButton *>(TestSupport::findText(sheet, "Robin's iPhone"));
    ASSERT_NE(row, nullptr);
    row->click();
    // Plain and with messages: read at once, no password asked.
    EXPECT_TRUE(TestSupport::findText(sheet, "Reading the backup"))
        << TestSupport::visibleTexts(sheet).join(" | ").toStdString();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !alive; }, 60000));
    ASSERT_EQ(app->library()->added().size(), 1);
    EXPECT_EQ(app->library()->added().first().id, "00008030-001A2B3C4D5E6F70");
    readAndOpen(listed(QStringLiteral("(555) 555-0123")), QStringLiteral("You & (555) 555-0123"));
}

TEST_F(RoadTest, AnEncryptedBackupWaitsForItsPasswordAndAWrongOneKeepsTheSheet)
{
    QTemporaryDir dir;
    const QString folder = writeKimsBackup(dir);
    start();
    BackupSheet *sheet = backupSheet();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->hasLooked(); }));
    // None in the places backups are kept: the steps, and the zone to drop
    // one on.
    EXPECT_TRUE(TestSupport::findText(sheet, "To make one"));

    // A folder that isn't a backup is refused.
    TestSupport::desktop().answers.append({ dir.path() });
    qobject_cast<QPushButton *>(TestSupport::findText(sheet, "Choose Backup Folder…"))->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->error().isEmpty(); }));
    EXPECT_EQ(sheet->error(),
        "Quorvel failed (0): That folder isn't an iPhone backup. Pick the folder named with a "
        "long string of letters and numbers.");
    EXPECT_FALSE(sheet->chosen());
    EXPECT_EQ(TestSupport::desktop().panels.first().prompt, "Use Backup");

    TestSupport::desktop().answers.append({ folder });
    qobject_cast<QPushButton *>(TestSupport::findText(sheet, "Choose Backup Folder…"))->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->chosen().has_value(); }));
    EXPECT_TRUE(sheet->error().isEmpty());
    EXPECT_EQ(sheet->primaryButton()->text(), "Unlock");
    EXPECT_FALSE(sheet->primaryButton()->isEnabled());
    QTest::keyClicks(sheet->passwordField(), "wrong horse");
    EXPECT_TRUE(sheet->primaryButton()->isEnabled());
    // Return in the password field unlocks.
    QTest::keyClick(sheet->passwordField(), Qt::Key_Return);
    EXPECT_TRUE(sheet->isWorking());
    EXPECT_TRUE(TestSupport::findText(sheet, "Unlocking the backup. This takes a few seconds."));
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->isWorking(); }, 60000));
    EXPECT_FALSE(sheet->error().isEmpty());
    EXPECT_FALSE(sheet->error().contains("Error: "));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->passwordField()->text(), "wrong horse");
    EXPECT_TRUE(app->library()->added().isEmpty());

    // Back clears the password and the error.
    sheet->backButton()->click();
    EXPECT_FALSE(sheet->chosen());
    EXPECT_TRUE(sheet->error().isEmpty());
    sheet->lookAt(folder);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->chosen().has_value(); }));
    EXPECT_TRUE(sheet->passwordField()->text().isEmpty());
    QTest::keyClicks(sheet->passwordField(), "right horse");
    QPointer<BackupSheet> alive(sheet);
    sheet->primaryButton()->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !alive; }, 60000));
    ASSERT_EQ(app->library()->added().size(), 1);
    EXPECT_TRUE(app->library()->added().first().encrypted);
    // The export reads the backup with the key the unlock kept.
    readAndOpen(listed(QStringLiteral("kim@example.com")), QStringLiteral("You & kim@example.com"));
}

// Trying again after a wrong password: while the tool unlocks, the sheet
// says so, and nothing of the earlier failure shows.
TEST_F(RoadTest, UnlockingAgainShowsItsProgressAndNotTheLastError)
{
    QTemporaryDir dir;
    const QString folder = writeKimsBackup(dir);
    start();
    BackupSheet *sheet = backupSheet();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->hasLooked(); }));
    sheet->lookAt(folder);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->chosen().has_value(); }));
    QTest::keyClicks(sheet->passwordField(), "wrong horse");
    sheet->primaryButton()->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->isWorking(); }, 60000));
    const QString refused = sheet->error();
    ASSERT_FALSE(refused.isEmpty());
    EXPECT_FALSE(TestSupport::findText(sheet, "Unlocking the backup. This takes a few seconds."));

    sheet->passwordField()->clear();
    QTest::keyClicks(sheet->passwordField(), "right horse");
    QTest::keyClick(sheet->passwordField(), Qt::Key_Return);
    HeldChild tool(QStringLiteral("brimlow-core"));
    ASSERT_TRUE(tool.isHolding());
    QApplication::processEvents();
    EXPECT_TRUE(sheet->isWorking());
    EXPECT_TRUE(sheet->error().isEmpty());
    const QStringList shown = TestSupport::visibleTexts(sheet);
    EXPECT_FALSE(shown.contains(refused)) << shown.join(" | ").toStdString();
    EXPECT_TRUE(shown.contains("Unlocking the backup. This takes a few seconds."))
        << shown.join(" | ").toStdString();
    EXPECT_FALSE(sheet->primaryButton()->isEnabled());
    EXPECT_FALSE(sheet->passwordField()->isEnabled());
    EXPECT_FALSE(sheet->backButton()->isVisibleTo(sheet));

    QPointer<BackupSheet> alive(sheet);
    tool.release();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !alive; }, 60000));
    EXPECT_EQ(app->library()->added().size(), 1);
}

// Forgetting deletes the source's keychain item too: on the private keyring.
// Books made from it stay; a first export that never became a book (the
// whole conversation in "book.json.part") went on lying in its folder.
TEST_F(RoadTest, OnlyAddedSourcesCanBeForgottenAndForgettingRemovesTheSection)
{
    setDatabase(true);
    QTemporaryDir dir;
    const Source file = savedChatFile(dir);
    tool.answers.insert(QStringLiteral("mac"), chats({ { "kim@example.com" } }));
    tool.answers.insert(file.id, chats({ { "Sam" } }));
    const auto lib = library();
    TestSupport::await(lib->load());
    SourceAdder adder(lib.get());
    QWidget window;
    auto *list = new ConversationList(lib.get(), &adder, &window);
    window.resize(280, 500);
    window.show();

    EXPECT_TRUE(list->sectionMenu(QStringLiteral("mac"))->actions().isEmpty());
    QMenu *menu = list->sectionMenu(file.id);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().first()->text(), "Forget…");

    // A closed section stays closed when its source comes back.
    list->setExpanded(file.id, false);
    menu->actions().first()->trigger();
    QMessageBox *question = list->forgetQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), "Forget “chat”?");
    EXPECT_EQ(question->informativeText(),
        "Quorvel deletes its copy of these messages. Books you've made from them stay.");
    question->button(QMessageBox::Cancel)->click();
    EXPECT_EQ(lib->added().size(), 1);

    list->sectionMenu(file.id)->actions().first()->trigger();
    QPushButton *forget = nullptr;
    for (QAbstractButton *button : list->forgetQuestion()->buttons()) {
        if (button->text() == "Forget")
            forget = static_cast<QPushButton *>(button);
    }
    ASSERT_NE(forget, nullptr);
    const QString unfinished
        = Project::booksFolder() + QLatin1Char('/') + Project::folderName(file.id + ":Sam");
    const QString made = Project::booksFolder() + QLatin1Char('/') + Project::folderName(file.id + ":Kim");
    QDir().mkpath(unfinished);
    QDir().mkpath(made);
    TestSupport::writeFile(unfinished + "/book.json.part", "{\"messages\": []}");
    TestSupport::writeFile(made + "/book.json", "{\"messages\": []}");
    forget->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return lib->added().isEmpty(); }));
    EXPECT_FALSE(list->model()->sectionIndex(file.id).isValid());
    EXPECT_FALSE(QFileInfo::exists(unfinished));
    EXPECT_TRUE(QFileInfo::exists(made + "/book.json"));

    TestSupport::await(lib->add(file));
    const QModelIndex back = list->model()->sectionIndex(file.id);
    ASSERT_TRUE(back.isValid());
    EXPECT_FALSE(list->view()->isExpanded(back));
    EXPECT_TRUE(list->view()->isExpanded(list->model()->sectionIndex("mac")));
}

TEST(RoadEnvironment, ABackupNamedInTheEnvironmentIsUnlockedWithItsPassword)
{
    Probe probe;
    const QString folder = probe.home() + "/phone/00008030-00AABBCCDDEEFF11";
    Fixtures::writeBackup(folder, { "00008030-00AABBCCDDEEFF11", "Kim's iPhone" },
        { QStringLiteral("kim@example.com") }, QByteArray("right horse"));
    probe.set("QUORVEL_BACKUP", folder);
    probe.set("QUORVEL_BACKUP_PASSWORD", "wrong horse");
    // A development source that doesn't open is passed over without a word.
    const ProbeRun wrong = probe.run({ "--until", "Quorvel needs to read your messages" });
    ASSERT_EQ(wrong.status, 0) << wrong.texts.join(" | ").toStdString();

    probe.set("QUORVEL_BACKUP_PASSWORD", "right horse");
    probe.set("QUORVEL_OPEN", "00008030-00AABBCCDDEEFF11:kim@example.com");
    const ProbeRun right = probe.run({ "--until", "Make a book with kim@example.com" });
    ASSERT_EQ(right.status, 0) << right.texts.join(" | ").toStdString();
    ASSERT_EQ(right.rows.size(), 2);
    EXPECT_TRUE(right.rows[0].startsWith("Kim's iPhone, ")) << right.rows[0].toStdString();
}
