// Routing between the screens, and the road from a selected conversation
// to an open book: consent first, the open in the background, and only the
// newest open of the conversation still selected ever shown.
#include "app/contentview.h"
#include "flow/bookflow.h"
#include "flow/consentview.h"
#include "model/backups.h"
#include "model/consent.h"
#include "model/defaults.h"
#include "shelltest.h"
#include "ui/contentunavailable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Shell;
using Route = ContentView::Route;
using Detail = ContentView::Detail;

namespace {

class ContentViewTest : public ShellTest
{
protected:
    // A library of the computer's own source listing these conversations.
    void listOnComputer(const QList<Listed> &listed)
    {
        setDatabase(true);
        tool.answers.insert(QStringLiteral("mac"), chats(listed));
    }

    std::unique_ptr<ContentView> shown(Library *library)
    {
        auto view = std::make_unique<ContentView>(library);
        view->setOpener(opens.opener());
        view->resize(1100, 700);
        view->show();
        return view;
    }

    void waitForList(ContentView &view, int rows)
    {
        ASSERT_TRUE(TestSupport::waitUntil([&] {
            return view.conversationList()->model()->rowCount() > 0
                && view.conversationList()->model()->rowCount(view.conversationList()->model()->index(0, 0))
                >= rows;
        }));
    }

    QString detailTitle(const ContentView &view)
    {
        auto *unavailable = qobject_cast<ContentUnavailable *>(view.detailWidget());
        return unavailable ? unavailable->title() : QString();
    }

    HeldOpens opens;
};

} // namespace

TEST_F(ContentViewTest, RoutesByAccessAndAddedSources)
{
    {
        const auto lib = library();
        ContentView view(lib.get());
        // Nothing probed yet: only the progress indicator.
        EXPECT_EQ(view.route(), Route::Progress);
        view.show();
        EXPECT_EQ(view.route(), Route::Access);
    }
    {
        setDatabase(true);
        const auto lib = library();
        ContentView view(lib.get());
        view.show();
        EXPECT_EQ(view.route(), Route::Split);
        setDatabase(false);
    }
    {
        // A chat file already added: the list, though the database is missing.
        QTemporaryDir dir;
        savedChatFile(dir);
        const auto lib = library();
        ContentView view(lib.get());
        view.show();
        EXPECT_EQ(lib->access(), Library::Access::Denied);
        EXPECT_EQ(view.route(), Route::Split);
    }
}

TEST_F(ContentViewTest, AgreeingStoresConsentAndOpensTheBook)
{
    listOnComputer({ { "+15555550100", 12345 } });
    const auto lib = library();
    const auto view = shown(lib.get());
    waitForList(*view, 1);
    EXPECT_EQ(view->detail(), Detail::ChooseSomeone);
    EXPECT_EQ(detailTitle(*view), "Choose someone");
    EXPECT_EQ(view->title(), "Quorvel");

    pick(view->conversationList(), "+15555550100");
    EXPECT_EQ(view->selection(), "+15555550100");
    ASSERT_EQ(view->detail(), Detail::Consent);
    EXPECT_EQ(view->title(), "(555) 555-0100");
    EXPECT_TRUE(opens.opens.empty());
    auto *consent = qobject_cast<ConsentView *>(view->detailWidget());
    ASSERT_NE(consent, nullptr);
    consent->okToPrint()->click();
    consent->readButton()->click();

    EXPECT_TRUE(Defaults::standard().string("consent:+15555550100").has_value());
    ASSERT_EQ(opens.opens.size(), 1u);
    EXPECT_EQ(opens.opens[0]->them, "(555) 555-0100");
    ASSERT_EQ(view->detail(), Detail::Reading);
    EXPECT_TRUE(TestSupport::findText(view->detailWidget(), "Reading 12,345 messages"));

    opens.finish(0);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->detail() == Detail::Book; }));
    EXPECT_EQ(view->project().get(), opens.opens[0]->made);
    // The book's flow, named by its wizard until the book has a look.
    auto *flow = qobject_cast<BookFlow *>(view->detailWidget());
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->mode(), BookFlow::Mode::Wizard);
    EXPECT_EQ(view->title(), "You & Sam");
}

TEST_F(ContentViewTest, TheWrappedOnlyConsentOpensTheBookToo)
{
    listOnComputer({ { "+15550100" } });
    const auto lib = library();
    const auto view = shown(lib.get());
    waitForList(*view, 1);
    view->setSelection(QStringLiteral("+15550100"));
    auto *consent = qobject_cast<ConsentView *>(view->detailWidget());
    ASSERT_NE(consent, nullptr);
    QWidget *wrapped = TestSupport::findText(consent, "See Our Wrapped");
    ASSERT_NE(wrapped, nullptr);
    static_cast<QPushButton *>(wrapped)->click();
    EXPECT_FALSE(Defaults::standard().string("consent:+15555550100"));
    EXPECT_TRUE(Defaults::standard().string("consent-wrapped:+15550100"));
    EXPECT_EQ(view->detail(), Detail::Reading);
    EXPECT_EQ(opens.opens.size(), 1u);
}

// Selecting A, then B, then A again used to let A's first open, ending
// first, show its book while A's newer open still ran; the newer one then
// replaced it with the book as it was read, dropping what the user did in
// between.
TEST_F(ContentViewTest, ASelectionChangedWhileOpeningNeverShowsTheOlderBook)
{
    listOnComputer({ { "a" }, { "b" } });
    Consent::record(QStringLiteral("a"));
    Consent::record(QStringLiteral("b"));
    const auto lib = library();
    const auto view = shown(lib.get());
    waitForList(*view, 2);

    pick(view->conversationList(), "a");
    pick(view->conversationList(), "b");
    pick(view->conversationList(), "a");
    ASSERT_EQ(opens.opens.size(), 3u);
    EXPECT_TRUE(TestSupport::findText(view->detailWidget(), "Reading 10 messages"));

    // A's first open ends first: dropped; the pane still waits for the newest.
    opens.finish(0);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return opens.opens[0]->ended; }));
    EXPECT_NE(opens.opens[0]->made, nullptr);
    EXPECT_EQ(view->detail(), Detail::Reading);
    EXPECT_EQ(view->project(), nullptr);
    // B's ends: not selected any more.
    opens.finish(1);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return opens.opens[1]->ended; }));
    EXPECT_NE(opens.opens[1]->made, nullptr);
    EXPECT_EQ(view->detail(), Detail::Reading);
    opens.finish(2);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->detail() == Detail::Book; }));
    EXPECT_EQ(view->project().get(), opens.opens[2]->made);

    // Once shown, a book is not shown again while a newer open of its
    // conversation runs.
    pick(view->conversationList(), "b");
    pick(view->conversationList(), "a");
    EXPECT_EQ(view->detail(), Detail::Reading);
    EXPECT_EQ(view->project(), nullptr);
}

TEST_F(ContentViewTest, ReadingShowsUntilTheOpenEndsThenTheNewSelectionsConsent)
{
    listOnComputer({ { "a", 3 }, { "b" } });
    Consent::record(QStringLiteral("a"));
    const auto lib = library();
    const auto view = shown(lib.get());
    waitForList(*view, 2);

    pick(view->conversationList(), "a");
    pick(view->conversationList(), "b");
    // B has no consent: A's reading shows while A's open runs.
    EXPECT_TRUE(TestSupport::findText(view->detailWidget(), "Reading 3 messages"));
    EXPECT_EQ(view->title(), "b");
    opens.finish(0);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->detail() == Detail::Consent; }));
    EXPECT_EQ(view->project(), nullptr);
}

TEST_F(ContentViewTest, AFailedOpenShowsOnlyWhileItsConversationIsSelected)
{
    listOnComputer({ { "a" }, { "b" }, { "c" } });
    Consent::record(QStringLiteral("a"));
    Consent::record(QStringLiteral("b"));
    const auto lib = library();
    const auto view = shown(lib.get());
    waitForList(*view, 3);

    pick(view->conversationList(), "a");
    opens.finish(0, QStringLiteral("Error: The store is locked.\n"));
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->detail() == Detail::OpenError; }));
    EXPECT_EQ(detailTitle(*view), "This conversation didn't open");
    EXPECT_EQ(qobject_cast<ContentUnavailable *>(view->detailWidget())->description(),
        "brimlow-core failed (1): Error: The store is locked.\n");
    EXPECT_EQ(view->title(), "a");

    // A conversation without consent shows its consent screen, not the error.
    pick(view->conversationList(), "c");
    EXPECT_EQ(view->detail(), Detail::Consent);

    // B fails while C is selected: nothing shows.
    pick(view->conversationList(), "b");
    pick(view->conversationList(), "c");
    opens.finish(1, QStringLiteral("Error: Gone."));
    ASSERT_TRUE(TestSupport::waitUntil([&] { return opens.opens[1]->ended; }));
    EXPECT_EQ(view->detail(), Detail::Consent);
}

TEST_F(ContentViewTest, DeletingTheBookClearsTheSelection)
{
    listOnComputer({ { "a" } });
    Consent::record(QStringLiteral("a"));
    const auto lib = library();
    const auto view = shown(lib.get());
    waitForList(*view, 1);
    pick(view->conversationList(), "a");
    opens.finish(0);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->detail() == Detail::Book; }));

    view->bookDeleted();
    EXPECT_EQ(view->selection(), std::nullopt);
    EXPECT_EQ(view->project(), nullptr);
    EXPECT_EQ(detailTitle(*view), "Choose someone");
    EXPECT_TRUE(view->conversationList()->view()->selectionModel()->selectedIndexes().isEmpty());
}

TEST_F(ContentViewTest, OpenNamedInTheEnvironmentWaitsForALateSource)
{
    QTemporaryDir dir;
    const Source file = savedChatFile(dir);
    tool.answers.insert(file.id, chats({ { "Sam" } }));
    tool.holding = true;
    Consent::record(QStringLiteral("file-0000aaaa:Sam"));
    qputenv("QUORVEL_OPEN", "file-0000aaaa:Sam");

    const auto lib = library();
    const auto view = shown(lib.get());
    EXPECT_EQ(view->selection(), std::nullopt);
    tool.release();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->selection().has_value(); }));
    EXPECT_EQ(view->selection(), "file-0000aaaa:Sam");
    EXPECT_EQ(view->detail(), Detail::Reading);
    EXPECT_EQ(opens.opens.size(), 1u);
}

TEST_F(ContentViewTest, OpenNamedInTheEnvironmentNeverOverridesTheUser)
{
    listOnComputer({ { "a" }, { "b" } });
    tool.holding = true;
    qputenv("QUORVEL_OPEN", "b");
    const auto lib = library();
    const auto view = shown(lib.get());
    tool.release();
    waitForList(*view, 2);
    EXPECT_EQ(view->selection(), "b");

    // A second list arriving later changes nothing once something is selected.
    pick(view->conversationList(), "a");
    tool.holding = false;
    tool.answers.insert(QStringLiteral("mac"), chats({ { "a" }, { "b" }, { "c" } }));
    TestSupport::await(lib->load());
    EXPECT_EQ(view->selection(), "a");
}

// The consent screen was built again when the contacts were read, and the
// box the user had ticked was empty again.
TEST_F(ContentViewTest, NamesReadLaterRenameTheConsentScreenAndKeepItsTick)
{
    listOnComputer({ { "+15555550100" } });
    QTemporaryDir contacts;
    Library::Environment environment;
    environment.contacts = contacts.path();
    Library lib(environment);
    lib.setRunner(tool.runner());
    const auto view = shown(&lib);
    waitForList(*view, 1);
    pick(view->conversationList(), "+15555550100");
    QPointer<ConsentView> consent = qobject_cast<ConsentView *>(view->detailWidget());
    ASSERT_NE(consent, nullptr);
    EXPECT_TRUE(TestSupport::findText(consent, "Make a book with (555) 555-0100"));
    consent->okToPrint()->click();

    TestSupport::writeFile(
        contacts.filePath("all.vcf"), "BEGIN:VCARD\nN:Rivera;Sam\nTEL:+1 (555) 555-0100\nEND:VCARD\n");
    QSignalSpy names(&lib, &Library::namesChanged);
    TestSupport::await(lib.load());
    ASSERT_EQ(names.count(), 1);
    ASSERT_EQ(view->detailWidget(), consent.data());
    EXPECT_TRUE(TestSupport::findText(consent, "Make a book with Sam Rivera"));
    EXPECT_EQ(consent->okToPrintLabel()->text(),
        "I'm in this conversation, and Sam Rivera is happy to be in a printed book.");
    EXPECT_TRUE(consent->okToPrint()->isChecked());
    EXPECT_TRUE(consent->readButton()->isEnabled());
    EXPECT_EQ(view->title(), "Sam Rivera");
}

TEST_F(ContentViewTest, AChatExportIsShownByWhomTheUserSaysTheyAreNot)
{
    QTemporaryDir dir;
    Source file = savedChatFile(dir);
    file.name = QStringLiteral("WhatsApp Chat mit Jane Doe");
    Backups::save({ file });
    Listed chat(QStringLiteral("Jane Doe & John Doe"));
    chat.people = QList<Conversation::LogPerson> { { "Jane Doe", 6 }, { "John Doe", 4 } };
    tool.answers.insert(file.id, chats({ chat }));
    const auto lib = library();
    const auto view = shown(lib.get());
    const QString id = file.id + QStringLiteral(":Jane Doe & John Doe");
    ConversationListModel *model = view->conversationList()->model();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return model->indexOf(id).isValid(); }));
    EXPECT_EQ(model->data(model->indexOf(id)).toString(), "Jane Doe");

    pick(view->conversationList(), id);
    auto *consent = qobject_cast<ConsentView *>(view->detailWidget());
    ASSERT_NE(consent, nullptr);
    // The export is named after the one the user talks to: the user is the other.
    EXPECT_EQ(consent->me(), "John Doe");
    EXPECT_TRUE(TestSupport::findText(consent, "Make a book with Jane Doe"));
    consent->okToPrint()->click();

    consent->picker()->setCurrentIndex(consent->picker()->findData(QStringLiteral("Jane Doe")));
    ASSERT_EQ(view->detailWidget(), consent);
    EXPECT_TRUE(TestSupport::findText(consent, "Make a book with John Doe"));
    EXPECT_TRUE(TestSupport::findText(consent,
        "To make it, Quorvel reads your messages with John Doe: 10 of them, going back to March 1, 2024. It "
        "reads them here, on this computer. Nothing is sent anywhere until you order, and then only the "
        "finished book."));
    EXPECT_TRUE(consent->okToPrint()->isChecked());
    EXPECT_EQ(view->title(), "John Doe");
    EXPECT_EQ(model->data(model->indexOf(id)).toString(), "John Doe");

    consent->readButton()->click();
    ASSERT_EQ(opens.opens.size(), 1u);
    EXPECT_EQ(opens.opens[0]->them, "John Doe");
    EXPECT_EQ(Defaults::standard().string("me:" + id), "Jane Doe");
}

// A chat export's person written as a number showed as the raw number in
// the picker, and in the heading once the user had picked who they are.
TEST_F(ContentViewTest, AChatExportsNumberIsShownAsItsContactOnTheConsentScreen)
{
    QTemporaryDir dir;
    const Source file = savedChatFile(dir);
    Listed chat(QStringLiteral("+49 151 23456789 & Kai Winter"));
    chat.people = QList<Conversation::LogPerson> { { "+49 151 23456789", 6 }, { "Kai Winter", 4 } };
    tool.answers.insert(file.id, chats({ chat }));
    QTemporaryDir contacts;
    TestSupport::writeFile(
        contacts.filePath("all.vcf"), "BEGIN:VCARD\nN:Brandt;Lotte\nTEL:+49 151 2345 6789\nEND:VCARD\n");
    Library::Environment environment;
    environment.contacts = contacts.path();
    Library lib(environment);
    lib.setRunner(tool.runner());
    const auto view = shown(&lib);
    const QString id = file.id + QStringLiteral(":+49 151 23456789 & Kai Winter");
    ConversationListModel *model = view->conversationList()->model();
    ASSERT_TRUE(TestSupport::waitUntil([&] {
        return model->indexOf(id).isValid()
            && lib.memberName(QStringLiteral("+4915123456789")) == "Lotte Brandt";
    }));

    pick(view->conversationList(), id);
    auto *consent = qobject_cast<ConsentView *>(view->detailWidget());
    ASSERT_NE(consent, nullptr);
    QComboBox *picker = consent->picker();
    const int number = picker->findData(QStringLiteral("+49 151 23456789"));
    EXPECT_EQ(picker->itemText(number), "Lotte Brandt (6 messages)");

    picker->setCurrentIndex(picker->findData(QStringLiteral("Kai Winter")));
    ASSERT_EQ(view->detailWidget(), consent);
    EXPECT_TRUE(TestSupport::findText(consent, "Make a book with Lotte Brandt"));
    EXPECT_EQ(view->title(), "Lotte Brandt");
    EXPECT_EQ(model->data(model->indexOf(id)).toString(), "Lotte Brandt");
    picker->setCurrentIndex(number);
    EXPECT_TRUE(TestSupport::findText(consent, "Make a book with Kai Winter"));
    EXPECT_EQ(Defaults::standard().string("me:" + id), "+49 151 23456789");
}

// Fault mended: forgetting the last source brought the access screen back
// under the title of the book that was open.
TEST_F(ContentViewTest, ForgettingTheLastSourceTitlesTheWindowQuorvelAgain)
{
    QTemporaryDir dir;
    const Source file = savedChatFile(dir);
    tool.answers.insert(file.id, chats({ { "Jürgen Weiß" } }));
    const QString id = file.id + QStringLiteral(":Jürgen Weiß");
    Consent::record(id);
    const auto lib = library();
    const auto view = shown(lib.get());
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return view->conversationList()->model()->indexOf(id).isValid(); }));
    pick(view->conversationList(), id);
    opens.finish(0);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->detail() == Detail::Book; }));
    ASSERT_NE(view->title(), "Quorvel");
    QSignalSpy titles(view.get(), &ContentView::titleChanged);

    TestSupport::await(lib->forget(lib->added().first()));
    ASSERT_EQ(view->route(), Route::Access);
    EXPECT_EQ(view->title(), "Quorvel");
    ASSERT_FALSE(titles.isEmpty());
    EXPECT_EQ(titles.last().first().toString(), "Quorvel");
}
