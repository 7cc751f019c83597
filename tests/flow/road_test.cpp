// The road of one book through the window's content: the consent screen,
// the hand-off to the website, and the book's flow, with the real message
// tool, real typst and the stand-in service.
#include "app/contentview.h"
#include "app/conversationlist.h"
#include "app/conversationlistmodel.h"
#include "app/mainwindow.h"
#include "app/updater.h"
#include "flow/bookflow.h"
#include "flow/bookhomeview.h"
#include "flow/consentview.h"
#include "flow/handoffslot.h"
#include "flow/makingview.h"
#include "flow/printconsentsheet.h"
#include "flowtest.h"
#include "model/backups.h"
#include "model/consent.h"
#include "model/library.h"
#include "samplewindow.h"
#include "ui/style.h"
#include "ui/windowtoolbar.h"
#include "viewer/bookview.h"
#include "wrapped/wrappedview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace TestSupport;
using Detail = ContentView::Detail;

namespace {

class RoadTest : public FlowTest
{
protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        qputenv("QUORVEL_HANDOFF_ORIGIN", service.origin().toUtf8());
    }
    void TearDown() override
    {
        qunsetenv("QUORVEL_HANDOFF_ORIGIN");
        desktop().reset();
    }

    // A chat export the user added earlier, read by the real message tool.
    Source chatFile()
    {
        writeFile(m_files.filePath(QStringLiteral("chat.txt")),
            "1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Robin: hi there\n2/1/25, 8:00 AM - Sam: "
            "morning\n");
        Source file;
        file.id = QStringLiteral("file-0000aaaa");
        file.name = QStringLiteral("chat");
        file.log = m_files.filePath(QStringLiteral("chat.txt"));
        Backups::save({ file });
        return file;
    }

    std::unique_ptr<ContentView> window(Library *library)
    {
        auto view = std::make_unique<ContentView>(library);
        view->resize(1280, 820);
        view->show();
        return view;
    }

    // Picks a conversation in the sidebar as the user does.
    static void pick(ContentView &view, const QString &id)
    {
        ASSERT_TRUE(waitUntil([&] { return view.conversationList()->model()->indexOf(id).isValid(); }));
        QTreeView *tree = view.conversationList()->view();
        const QModelIndex index = view.conversationList()->model()->indexOf(id);
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }

    static void click(QWidget *root, const QString &text)
    {
        auto *button = qobject_cast<QPushButton *>(findText(root, text));
        ASSERT_TRUE(button) << text.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // The sample couple's year of messages as the chat export a user adds,
    // read by the real message tool.
    Source sampleChat() { return SampleWindow::chat(SampleWindow::sampleBook(), m_files.path()); }

    // Agrees on the consent screen and waits for the book's flow.
    static BookFlow *readAndOpen(ContentView &view, const QString &id)
    {
        pick(view, id);
        auto *consent = qobject_cast<ConsentView *>(view.detailWidget());
        if (!consent)
            return nullptr;
        consent->okToPrint()->click();
        consent->readButton()->click();
        waitUntil([&] { return view.detail() == Detail::Book; }, 60000);
        return qobject_cast<BookFlow *>(view.detailWidget());
    }

    QTemporaryDir m_files;
};

} // namespace

TEST_F(RoadTest, TheConsentScreenHandsTheConversationToTheWebsite)
{
    chatFile();
    Library library;
    auto view = window(&library);
    pick(*view, QStringLiteral("file-0000aaaa:Sam & Robin"));
    ASSERT_EQ(view->detail(), Detail::Consent);
    // The site named is the one the conversation really goes to.
    const QString site = QStringLiteral("127.0.0.1:%1").arg(service.port());
    EXPECT_TRUE(findText(view->detailWidget(),
        QStringLiteral("Sends this conversation, as text, to ") + site
            + QStringLiteral(" and opens it in your browser, to make the Wrapped and the book there, like on "
                             "your phone.")));
    click(view->detailWidget(), QStringLiteral("Make It on ") + site);
    ASSERT_EQ(view->detail(), Detail::Handoff);
    EXPECT_TRUE(findText(view->detailWidget(), QStringLiteral("Reading 3 messages")));
    // Nothing is stored for a hand-off: no consent is needed or given.
    EXPECT_FALSE(Defaults::standard().string(QStringLiteral("consent:file-0000aaaa:Sam & Robin")));

    ASSERT_TRUE(waitUntil([&] { return findText(view->detailWidget(), QStringLiteral("Back")); }));
    EXPECT_TRUE(findText(view->detailWidget(), QStringLiteral("It's open in your browser. Carry on there.")));
    const QList<QJsonObject> uploads = service.requests(QStringLiteral("/api/inbox/[^/]+/file$"));
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_TRUE(StandIn::body(uploads.first()).contains("] Me: morning"))
        << StandIn::body(uploads.first()).toStdString();
    ASSERT_EQ(desktop().of(QStringLiteral("openUrl")).size(), 1);
    EXPECT_TRUE(desktop()
                    .of(QStringLiteral("openUrl"))
                    .first()
                    .first()
                    .startsWith(service.origin() + "/make/#inbox="));

    click(view->detailWidget(), QStringLiteral("Back"));
    EXPECT_EQ(view->detail(), Detail::Consent);
}

TEST_F(RoadTest, AWebsiteTheBrowserDidntOpenIsOfferedByItsAddress)
{
    chatFile();
    desktop().opens = false;
    Library library;
    auto view = window(&library);
    pick(*view, QStringLiteral("file-0000aaaa:Sam & Robin"));
    ASSERT_EQ(view->detail(), Detail::Consent);
    click(view->detailWidget(), QStringLiteral("Make It on 127.0.0.1:%1").arg(service.port()));
    ASSERT_TRUE(waitUntil([&] { return findText(view->detailWidget(), QStringLiteral("Back")); }));
    EXPECT_TRUE(findText(view->detailWidget(),
        QStringLiteral(
            "The website didn't open in your browser. Open this address in a browser to carry on there.")));
    EXPECT_FALSE(
        findText(view->detailWidget(), QStringLiteral("It's open in your browser. Carry on there.")));
    EXPECT_TRUE(findText(view->detailWidget(), QStringLiteral("Copy Link")));
    EXPECT_TRUE(findText(view->detailWidget(), QStringLiteral("Try Again")));
    desktop().opens = true;
}

// The road of one book, in the window: consent, the wizard, the making
// screen, the book's page with its cover, volumes and facts, the pages and
// back.
TEST_F(RoadTest, FromConsentThroughTheWizardAndTheMakingScreenToTheBooksPageAndItsPages)
{
    Backups::save({ sampleChat() });
    Library library;
    Updater updater { QString() };
    MainWindow window(&library, &updater);
    window.show();
    ContentView &view = *window.content();
    BookFlow *flow = readAndOpen(view, QStringLiteral("file-0000bbbb:Maya"));
    ASSERT_TRUE(flow) << int(view.detail()) << visibleTexts(view.detailWidget()).join(" | ").toStdString();
    ASSERT_EQ(flow->mode(), BookFlow::Mode::Wizard);
    QWidget *makeItForMe = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        makeItForMe = findText(flow->screen(), QStringLiteral("Make It for Me"));
        return makeItForMe && makeItForMe->isEnabled();
    }));
    QTest::mouseClick(makeItForMe, Qt::LeftButton);
    ASSERT_EQ(flow->mode(), BookFlow::Mode::Making);
    auto *making = qobject_cast<MakingView *>(flow->screen());
    EXPECT_FALSE(making->isReady());
    ASSERT_TRUE(waitUntil([&] { return flow->mode() == BookFlow::Mode::Home; }, 60000));

    auto *home = qobject_cast<BookHomeView *>(flow->screen());
    ASSERT_TRUE(home);
    ASSERT_TRUE(waitUntil([&] { return home->pricesAsked() && home->hasCover(); }));
    Project &project = *view.project();
    EXPECT_TRUE(findText(home, Style::number(project.messagesInRange())));
    EXPECT_TRUE(findText(home, Style::number(project.layout().pageCount)));
    EXPECT_EQ(window.windowTitle(), project.book().front.title);
    // The page's items are in the window's toolbar.
    EXPECT_EQ(window.toolbar()->owner(), home);

    home->pagesAction()->trigger();
    ASSERT_EQ(flow->mode(), BookFlow::Mode::Pages);
    auto *pages = qobject_cast<BookView *>(flow->screen());
    ASSERT_TRUE(pages);
    pages->backAction()->trigger();
    EXPECT_EQ(flow->mode(), BookFlow::Mode::Home);

    // Deleting the book takes it, and its consent, away: back to the list.
    const QString folder = project.folder();
    home = qobject_cast<BookHomeView *>(flow->screen());
    home->confirmDelete();
    auto *question = home->findChild<QMessageBox *>();
    ASSERT_TRUE(question);
    click(question, QStringLiteral("Delete"));
    EXPECT_EQ(view.detail(), Detail::ChooseSomeone);
    EXPECT_FALSE(view.project());
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_FALSE(Defaults::standard().string(QStringLiteral("consent:file-0000bbbb:Maya")));
}

// The user picks another conversation while the ebook is made: the window
// drops the book, the export keeps it and finishes.
TEST_F(RoadTest, AnEbookUnderWayOutlivesAChangeOfSelection)
{
    Backups::save({ chatFile(), sampleChat() });
    Library library;
    auto view = window(&library);
    BookFlow *flow = readAndOpen(*view, QStringLiteral("file-0000bbbb:Maya"));
    ASSERT_TRUE(flow);
    std::weak_ptr<Project> book = view->project();
    BookFile designed = view->project()->book();
    designed.design = Design();
    view->project()->setBook(designed);
    view->project()->saveAndTypeset();
    ASSERT_TRUE(waitUntil(
        [&] { return !view->project()->pdf().isEmpty() && !view->project()->isTypesetting(); }, 60000));
    flow->makeBook();
    auto *home = qobject_cast<BookHomeView *>(flow->screen());
    ASSERT_TRUE(home);
    home->exportEbook(EbookExport::Destination::Reader);

    pick(*view, QStringLiteral("file-0000aaaa:Sam & Robin"));
    EXPECT_NE(view->detail(), Detail::Book);
    ASSERT_TRUE(waitUntil([&] { return !desktop().of(QStringLiteral("reveal")).isEmpty(); }, 120000));
    EXPECT_TRUE(QFile::exists(desktop().of(QStringLiteral("reveal")).first().first()));
    ASSERT_TRUE(waitUntil([&] { return book.expired(); }));
}

// Agreeing to the Wrapped only opens it first; the book waits for its own
// consent, asked for when the user goes on to make it.
TEST_F(RoadTest, AWrappedOnlyConsentStartsOnTheWrappedAndAsksBeforeTheBook)
{
    Backups::save({ sampleChat() });
    Library library;
    Updater updater { QString() };
    MainWindow window(&library, &updater);
    window.show();
    ContentView &view = *window.content();
    pick(view, QStringLiteral("file-0000bbbb:Maya"));
    click(view.detailWidget(), QStringLiteral("See Our Wrapped"));
    ASSERT_TRUE(waitUntil([&] { return view.detail() == Detail::Book; }, 60000));
    auto *flow = qobject_cast<BookFlow *>(view.detailWidget());
    ASSERT_EQ(flow->mode(), BookFlow::Mode::Wrapped);
    EXPECT_EQ(window.windowTitle(), "Wrapped");
    ASSERT_TRUE(waitUntil([&] { return qobject_cast<WrappedView *>(flow->screen()); }, 60000));
    auto *wrapped = qobject_cast<WrappedView *>(flow->screen());
    EXPECT_EQ(wrapped->wrapped().total, view.project()->book().messages.size());

    wrapped->bookAction()->trigger();
    ASSERT_TRUE(flow->consentSheet());
    EXPECT_FALSE(Defaults::standard().string(QStringLiteral("consent:file-0000bbbb:Maya")));
    flow->consentSheet()->checkbox()->click();
    QTest::mouseClick(flow->consentSheet()->makeButton(), Qt::LeftButton);
    EXPECT_TRUE(Defaults::standard().string(QStringLiteral("consent:file-0000bbbb:Maya")));
    EXPECT_EQ(flow->mode(), BookFlow::Mode::Wizard);
}
