// The book's pages as a screen reader meets them: the toolbar, the pages,
// the settings beside them, the results of a search and the range, every
// control named; a result says when, who and where before what.
#include "accessibletree.h"
#include "viewer/inspector.h"
#include "viewer/rangepopover.h"
#include "viewer/searchmodel.h"
#include "viewer/searchresults.h"
#include "viewertest.h"

#include <QAction>
#include <QListView>

using namespace std::chrono_literals;
using ViewerTest::Window;

namespace {

class ViewerAccessibility : public ::testing::Test
{
protected:
    ~ViewerAccessibility() override
    {
        qunsetenv("QUORVEL_SEARCH");
        TestSupport::desktop().reset();
    }

    BooksFolder books;
};

// A search's row as the list hands it to a screen reader.
QString spokenRow(SearchResults *results, int row)
{
    QListView *list = results->list();
    return list->model()->index(row, 0).data(Qt::AccessibleTextRole).toString();
}

class SearchRowsAccessibility : public ViewerTest::BookTest
{
};

} // namespace

TEST_F(ViewerAccessibility, EveryControlOfThePagesTheSettingsAndTheResultsHasAName)
{
    qputenv("QUORVEL_SEARCH", "dumplings");
    Window w(ViewerTest::open(ViewerTest::sampleBook()));
    w.toolbarAction("Book Settings")->trigger();
    ASSERT_TRUE(w.view->inspector()->isVisible());
    ASSERT_GT(w.view->results()->count(), 0);
    EXPECT_TRUE(TestSupport::everyElementNamed(&w.window));

    // The range's fields by the words beside them.
    w.view->rangePopover()->show();
    EXPECT_TRUE(TestSupport::everyElementNamed(w.view->rangePopover()));
    const QStringList fields = TestSupport::spokenControls(w.view->rangePopover());
    EXPECT_TRUE(fields.contains(QStringLiteral("SpinBox: From"))) << fields.join('\n').toStdString();
    EXPECT_TRUE(fields.contains(QStringLiteral("SpinBox: To"))) << fields.join('\n').toStdString();
}

TEST_F(SearchRowsAccessibility, AResultSaysItsDaySenderAndPageBeforeItsText)
{
    openBook(bookOf({ "word a", "word b", "word c" }));
    clock.advance(0ms); // the layout knows 2024-03-05 only: page 1
    project->setRange(QStringLiteral("2024-03-02"), std::nullopt);
    project->pin(message(2), 7);
    SearchResults results(project.get());
    results.show();
    results.setQuery(QStringLiteral("word"), SearchResults::When::Immediately);
    QCoreApplication::processEvents();
    ASSERT_EQ(results.count(), 3);
    for (int i = 0; i < 3; ++i) {
        const SearchModel::Row &row = results.model()->row(i);
        const QString spoken = spokenRow(&results, i);
        EXPECT_TRUE(spoken.startsWith(row.day + QStringLiteral(", ") + row.sender)) << spoken.toStdString();
        EXPECT_TRUE(spoken.endsWith(QStringLiteral(": ") + row.text)) << spoken.toStdString();
    }
    // The list hands the screen reader those words for each row.
    const QStringList rows = TestSupport::spokenControls(&results);
    EXPECT_TRUE(rows.contains(QStringLiteral("ListItem: ") + spokenRow(&results, 1)))
        << rows.join('\n').toStdString();
    // "p. 7" is for the eye: the page is said in words.
    EXPECT_TRUE(spokenRow(&results, 0).contains(QStringLiteral(", not in book: ")))
        << spokenRow(&results, 0).toStdString();
    EXPECT_TRUE(spokenRow(&results, 2).contains(QStringLiteral(", pinned to page 7: ")))
        << spokenRow(&results, 2).toStdString();
}
