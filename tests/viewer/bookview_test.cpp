#include "project/fileerror.h"
#include "ui/style.h"
#include "viewer/bookpreview.h"
#include "viewer/inspector.h"
#include "viewer/rangepopover.h"
#include "viewer/searchresults.h"
#include "viewertest.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>

namespace {

using TestSupport::waitUntil;
using ViewerTest::Window;

TEST(BookViewTextTest, VolumesAreCountedWithThePageLimitOrdersUse)
{
    // Without a price list: 780 pages a volume, as the order counts them.
    EXPECT_EQ(BookView::subtitle(2004, 780, 780, false), "2,004 messages · 780 pages");
    EXPECT_EQ(BookView::subtitle(2004, 781, 780, false), "2,004 messages · 781 pages · 2 volumes");
    EXPECT_EQ(BookView::subtitle(2004, 800, 780, false), "2,004 messages · 800 pages · 2 volumes");
    EXPECT_EQ(BookView::subtitle(2004, 1560, 780, false), "2,004 messages · 1,560 pages · 2 volumes");
    EXPECT_EQ(BookView::subtitle(2004, 1561, 780, false), "2,004 messages · 1,561 pages · 3 volumes");
    EXPECT_EQ(BookView::subtitle(1, 800, 800, false), "1 messages · 800 pages");
    EXPECT_EQ(BookView::subtitle(1, 801, 800, true), "1 messages · 801 pages · 2 volumes · setting pages…");
    // Before the first layout.
    EXPECT_EQ(BookView::subtitle(12, 0, 780, true), "12 messages · setting pages…");
}

TEST(BookViewTextTest, TheRangeCarriesTheStartsYearOnlyAcrossANewYear)
{
    EXPECT_EQ(BookView::rangeLabel("2024-03-03", "2024-09-14"), "Mar 3 – Sep 14, 2024");
    EXPECT_EQ(BookView::rangeLabel("2023-11-03", "2024-02-01"), "Nov 3, 2023 – Feb 1, 2024");
    EXPECT_EQ(BookView::rangeLabel("", "2024-02-01"), "");
    EXPECT_EQ(BookView::rangeLabel("2024-02-01", "soon"), "");
}

class BookViewTest : public ::testing::Test
{
protected:
    ~BookViewTest() override
    {
        qunsetenv("QUORVEL_SEARCH");
        TestSupport::desktop().reset();
    }

    BooksFolder books;
};

TEST_F(BookViewTest, AStartingSearchOpensTheResultsAtOnce)
{
    qputenv("QUORVEL_SEARCH", "dumplings");
    Window w(ViewerTest::open(ViewerTest::sampleBook()));
    EXPECT_EQ(w.view->query(), "dumplings");
    EXPECT_TRUE(w.view->results()->isVisible());
    EXPECT_EQ(w.toolbar->searchField()->text(), "dumplings");
    EXPECT_GT(w.view->results()->count(), 0);

    // Even empty, the variable is the first search: no results pane.
    qputenv("QUORVEL_SEARCH", "");
    Window empty(ViewerTest::open(ViewerTest::sampleBook(), "other"));
    EXPECT_FALSE(empty.view->results()->isVisible());
}

TEST_F(BookViewTest, TheResultsFollowTheWindowsSearchFieldSpacesIncluded)
{
    Window w(ViewerTest::open(bookOf({ "one", "two" })));
    EXPECT_FALSE(w.view->results()->isVisible());
    QTest::keyClicks(w.toolbar->searchField(), " ");
    EXPECT_TRUE(w.view->results()->isVisible());
    EXPECT_EQ(w.view->results()->width(), BookView::resultsWidth);
    w.toolbar->searchField()->clear();
    EXPECT_FALSE(w.view->results()->isVisible());
    // Search field and actions leave with the view.
    delete w.view;
    EXPECT_EQ(w.toolbar->owner(), nullptr);
}

TEST_F(BookViewTest, WhileTheFirstPagesAreSetTheViewSaysSoThenShowsThem)
{
    auto project = ViewerTest::open(ViewerTest::sampleBook());
    Window w(project);
    ASSERT_TRUE(waitUntil([&] { return project->isTypesetting(); }));
    EXPECT_TRUE(w.view->subtitle().endsWith("setting pages…"));
    EXPECT_EQ(w.view->progressText(), "Setting 2,004 messages");
    EXPECT_TRUE(TestSupport::findText(w.view, "Setting 2,004 messages"));
    EXPECT_FALSE(w.view->exportAction()->isEnabled());

    ASSERT_TRUE(ViewerTest::typeset(*project));
    EXPECT_EQ(w.view->title(), "Sam & Maya");
    EXPECT_EQ(
        w.view->subtitle(), QStringLiteral("2,004 messages · %1 pages").arg(project->layout().pageCount));
    EXPECT_EQ(w.view->rangeLabel(), "Jan 1 – Dec 31, 2024");
    EXPECT_FALSE(TestSupport::findText(w.view, "Setting 2,004 messages"));
    EXPECT_TRUE(w.view->exportAction()->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return w.view->preview()->isComplete(); }));
    EXPECT_EQ(w.view->preview()->pageCount(), project->layout().pageCount);
}

TEST_F(BookViewTest, ExportCopiesThePdfAndAFailureShowsOverThePages)
{
    auto project = ViewerTest::open(bookOf({ "one", "two", "three" }));
    Window w(project);
    ASSERT_TRUE(ViewerTest::typeset(*project));
    QTemporaryDir out;
    TestSupport::desktop().answers = { { out.filePath("book.pdf") } };
    TestSupport::await(w.view->exportPDF());
    ASSERT_EQ(TestSupport::desktop().panels.size(), 1);
    EXPECT_EQ(TestSupport::desktop().panels[0].suggestedName, "You & Sam.pdf");
    EXPECT_EQ(TestSupport::readFile(out.filePath("book.pdf")), TestSupport::readFile(project->pdf()));

    // A folder where the file should go is a regular file: root can't write
    // there either.
    TestSupport::writeFile(out.filePath("file"), "x");
    TestSupport::desktop().answers = { { out.filePath("file/book.pdf") } };
    TestSupport::await(w.view->exportPDF());
    ASSERT_TRUE(project->error());
    EXPECT_FALSE(w.view->errorText().isEmpty());
    EXPECT_EQ(w.view->errorText(), *project->error());

    // Cancelling does nothing.
    project->setError(std::nullopt);
    TestSupport::desktop().answers = {};
    TestSupport::await(w.view->exportPDF());
    EXPECT_FALSE(project->error());
    EXPECT_TRUE(w.view->errorText().isEmpty());
}

TEST_F(BookViewTest, AFailedFirstTypesettingShowsItsErrorAlone)
{
    ManualClock clock;
    auto project = ViewerTest::open(bookOf({ "one" }));
    FakeTypst typst;
    typst.compileFailure = QStringLiteral("error: the template broke");
    project->setTypesetter(typst.typesetter());
    Window w(project);
    EXPECT_TRUE(TestSupport::findText(w.view, w.view->progressText()));
    clock.advance(std::chrono::milliseconds(0));
    ASSERT_TRUE(waitUntil([&] { return project->error().has_value() && !project->isTypesetting(); }));
    EXPECT_FALSE(TestSupport::findText(w.view, w.view->progressText()));
    EXPECT_TRUE(w.view->errorText().contains("the template broke"));
}

// Each edit sets the pages again; the PDF there is can be saved meanwhile.
TEST_F(BookViewTest, ExportStaysOfferedWhileAnEditIsBeingSet)
{
    ManualClock clock;
    auto project = ViewerTest::open(bookOf({ "one", "two" }));
    FakeTypst typst;
    typst.hold = true;
    project->setTypesetter(typst.typesetter());
    Window w(project);
    clock.advance(std::chrono::milliseconds(0));
    typst.release(0);
    ASSERT_TRUE(waitUntil([&] { return !project->pdf().isEmpty() && !project->isTypesetting(); }));
    EXPECT_TRUE(w.view->exportAction()->isEnabled());

    project->addWord(QStringLiteral("two"));
    clock.advance(std::chrono::milliseconds(350));
    ASSERT_TRUE(waitUntil([&] { return project->isTypesetting(); }));
    EXPECT_TRUE(w.view->exportAction()->isEnabled());
    typst.release(1);
    ASSERT_TRUE(waitUntil([&] { return !project->isTypesetting(); }));
    EXPECT_TRUE(w.view->exportAction()->isEnabled());
}

TEST_F(BookViewTest, TheToolbarCarriesTheViewsActions)
{
    auto project = ViewerTest::open(bookOf({ "one", "two" }));
    Window w(project);
    EXPECT_EQ(w.toolbar->owner(), w.view);
    EXPECT_TRUE(w.toolbarAction("Export PDF"));
    EXPECT_TRUE(w.toolbarAction("Book Settings"));
    EXPECT_TRUE(w.toolbarAction("Mar 1 – Mar 2, 2024"));
    // Nobody to go back to: no way back offered.
    EXPECT_FALSE(w.toolbarAction("Back to the Book"));

    w.toolbarAction("Book Settings")->trigger();
    EXPECT_TRUE(w.view->inspector()->isVisible());
    EXPECT_GE(w.view->inspector()->width(), 260);
    EXPECT_LE(w.view->inspector()->width(), 380);
    w.toolbarAction("Book Settings")->trigger();
    EXPECT_FALSE(w.view->inspector()->isVisible());

    QSignalSpy done(w.view, &BookView::done);
    w.view->hide();
    w.view->show();
    ASSERT_TRUE(w.toolbarAction("Back to the Book"));
    w.toolbarAction("Back to the Book")->trigger();
    EXPECT_EQ(done.count(), 1);
}

} // namespace
namespace {

} // namespace

namespace {

TEST_F(BookViewTest, TheFirstLetterShowsItsResultsAtOnceAndLaterOnesOnceTypingRests)
{
    auto project = ViewerTest::open(bookOf({ "apple", "banana", "apricot" }));
    Window w(project);
    QTest::keyClicks(w.toolbar->searchField(), "a");
    EXPECT_EQ(w.view->results()->count(), 3);
    QTest::keyClicks(w.toolbar->searchField(), "p");
    EXPECT_EQ(w.view->results()->count(), 3);
    EXPECT_TRUE(waitUntil([&] { return w.view->results()->count() == 2; }));
}

} // namespace
