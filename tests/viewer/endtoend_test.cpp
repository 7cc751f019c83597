// The viewer over a book as the user gets one: a group chat read by the
// message tool, typeset by typst, every edit made through the screens and
// checked in the PDF that comes back.
#include "model/chatfiles.h"
#include "viewer/bookpreview.h"
#include "viewer/chaptersheet.h"
#include "viewer/inspector.h"
#include "viewer/pinsheet.h"
#include "viewer/rangepopover.h"
#include "viewer/searchmodel.h"
#include "viewer/searchresults.h"
#include "viewertest.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

namespace {

using TestSupport::waitUntil;
using ViewerTest::allText;
using ViewerTest::pageText;

// Kim, Robin and Sam write each other from January 10 to March 20, 2025,
// three messages a day, each with a word of its own ("quill17").
QString groupChat()
{
    const QStringList people { "Sam", "Robin", "Kim" };
    QString chat;
    int n = 0;
    for (QDate day(2025, 1, 10); day <= QDate(2025, 3, 20); day = day.addDays(1)) {
        for (int i = 0; i < 3; ++i, ++n) {
            QString text = QStringLiteral("quill%1 and a few more words to fill the line").arg(n);
            if (n == 100)
                text = QStringLiteral("the dumplings were amazing tonight");
            chat += QStringLiteral("%1/%2/25, %3:1%4 PM - %5: %6\n")
                        .arg(day.month())
                        .arg(day.day())
                        .arg(7 + i)
                        .arg(i)
                        .arg(people[n % 3], text);
        }
    }
    return chat;
}

class EndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const Source pasted = ChatFiles::paste(groupChat(), QStringLiteral("Book club"));
        const QList<Conversation> listed = Conversation::listFromJson(
            TestSupport::await(Helpers::core({ "chats", "--limit", "300" }, pasted)));
        ASSERT_EQ(listed.size(), 1);
        Conversation conversation = listed.first();
        conversation.source = pasted;
        project = std::shared_ptr<Project>(TestSupport::await(Project::open(conversation, "Book club")));
        window = std::make_unique<ViewerTest::Window>(project, QSize(1440, 900));
        ASSERT_TRUE(ViewerTest::typeset(*project));
        ASSERT_TRUE(waitUntil([&] { return preview()->pageCount() == project->layout().pageCount; }));
    }

    BookView *view() const { return window->view; }
    BookPreview *preview() const { return view()->preview(); }
    BookFile::Message byText(const QString &text) const
    {
        for (const BookFile::Message &message : project->book().messages) {
            if (message.text && message.text->contains(text))
                return message;
        }
        ADD_FAILURE() << "no message " << text.toStdString();
        return {};
    }
    // The text of the pages the view shows now.
    QString shownText() const
    {
        const SpreadLayout &layout = preview()->spreadLayout();
        const int row = layout.rowOf(preview()->currentPage());
        QString text;
        for (int page = layout.firstPage(row); page <= layout.lastPage(row); ++page)
            text += pageText(project->pdf(), page) + QLatin1Char(' ');
        return text;
    }
    // Edits wait 0.35 s, then typst runs: the PDF after them.
    bool retypeset() { return ViewerTest::typeset(*project); }
    void search(const QString &query)
    {
        window->toolbar->searchField()->setText(query);
        ASSERT_TRUE(waitUntil([&] { return view()->results()->count() > 0; }));
    }
    // Chooses an entry of the first result's menu.
    void choose(const QString &entry)
    {
        QMenu *menu = view()->results()->actions(view()->results()->model()->row(0).message, nullptr);
        for (QAction *action : menu->actions()) {
            if (action->text() == entry)
                action->trigger();
        }
        delete menu;
    }

    BooksFolder books;
    std::shared_ptr<Project> project;
    std::unique_ptr<ViewerTest::Window> window;
};

TEST_F(EndToEndTest, PagingAndJumpingShowThePagesThatHoldTheMessage)
{
    EXPECT_EQ(preview()->currentPage(), 0);
    EXPECT_EQ(view()->subtitle(), QStringLiteral("210 messages · %1 pages").arg(project->layout().pageCount));
    preview()->setFocus();
    QTest::keyClick(preview(), Qt::Key_PageDown);
    QTest::keyClick(preview(), Qt::Key_PageDown);
    EXPECT_EQ(preview()->currentPage(), 3);
    QTest::keyClick(preview(), Qt::Key_End);
    EXPECT_EQ(
        preview()->spreadLayout().rowOf(preview()->currentPage()), preview()->spreadLayout().rowCount() - 1);

    // A day, through its place in the layout.
    const QString day = QStringLiteral("2025-02-14");
    ASSERT_TRUE(project->layout().days.contains(day));
    preview()->jump(project->layout().days.value(day).index);
    // Its first message: the 106th, three a day from January 10.
    EXPECT_TRUE(shownText().contains("quill105")) << shownText().toStdString();

    // A search result, clicked.
    search("dumplings");
    ASSERT_EQ(view()->results()->count(), 1);
    QListView *list = view()->results()->list();
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_TRUE(shownText().contains("the dumplings were amazing tonight")) << shownText().toStdString();
    EXPECT_EQ(view()->results()->model()->row(0).sender, "Robin");
}

// The label under the pages names them by the numbers printed in their
// heads, as search names them, with or without a dedication before page 1.
TEST_F(EndToEndTest, ThePageLabelNamesThePagesByTheNumbersPrintedOnThem)
{
    const auto printedLabel = [&] {
        const SpreadLayout &layout = preview()->spreadLayout();
        const int row = layout.rowOf(preview()->currentPage());
        return QStringLiteral("Pages %1\u2013%2 of %3")
            .arg(ViewerTest::folioOf(project->pdf(), layout.firstPage(row)),
                ViewerTest::folioOf(project->pdf(), layout.lastPage(row)),
                QString::number(project->layout().pageCount));
    };
    const QString day = QStringLiteral("2025-02-14");
    preview()->jump(project->layout().days.value(day).index);
    EXPECT_EQ(preview()->pageLabel(), printedLabel());

    // Search's page is the one the label names.
    search("dumplings");
    const QString page = view()->results()->model()->row(0).badge.text;
    QListView *list = view()->results()->list();
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_EQ(preview()->pageLabel(), printedLabel());
    EXPECT_TRUE(preview()->pageLabel().contains(page.mid(3))) << page.toStdString();

    // The title page has no number; with a dedication, neither has the
    // spread after it, and page 1 comes two pages later.
    preview()->jump(0);
    const QString count = QString::number(project->layout().pageCount);
    EXPECT_EQ(preview()->pageLabel(), count + QStringLiteral(" pages"));
    QTest::keyClicks(view()->inspector()->dedicationField(), "For the club");
    ASSERT_TRUE(retypeset());
    ASSERT_TRUE(waitUntil([&] { return preview()->pageCount() == project->layout().pageCount; }));
    ASSERT_EQ(project->layout().pageOneIndex(), 4);
    preview()->jump(1);
    EXPECT_EQ(
        preview()->pageLabel(), QString::number(project->layout().pageCount) + QStringLiteral(" pages"));
    preview()->jump(3);
    EXPECT_EQ(
        preview()->pageLabel(), QStringLiteral("Page 1 of ") + QString::number(project->layout().pageCount));
    EXPECT_EQ(ViewerTest::folioOf(project->pdf(), 4), QStringLiteral("1"));
    preview()->jump(project->layout().days.value(day).index);
    EXPECT_EQ(preview()->pageLabel(), printedLabel());
}

TEST_F(EndToEndTest, AChapterIsStartedRenamedAndRemoved)
{
    search("dumplings");
    choose("Start a Chapter Here…");
    ChapterSheet *sheet = view()->chapterSheet();
    ASSERT_TRUE(sheet);
    QTest::keyClicks(sheet->titleField(), "Paris");
    sheet->startButton()->click();
    ASSERT_TRUE(retypeset());
    EXPECT_TRUE(allText(project->pdf()).contains("Paris"));

    view()->setInspectorShown(true);
    QLineEdit *title = view()->inspector()->chapterField(byText("dumplings").id);
    ASSERT_TRUE(title);
    title->setFocus();
    title->selectAll();
    QTest::keyClicks(title, "Lyon");
    ASSERT_TRUE(retypeset());
    const QString renamed = allText(project->pdf());
    EXPECT_TRUE(renamed.contains("Lyon"));
    EXPECT_FALSE(renamed.contains("Paris"));

    // Two chapters now: the opening one and Lyon. Removing Lyon returns the
    // book to its months.
    ASSERT_EQ(project->book().edits.chapters->size(), 2);
    auto *remove = title->parentWidget()->findChild<QToolButton *>();
    ASSERT_TRUE(remove);
    remove->click();
    ASSERT_TRUE(retypeset());
    EXPECT_FALSE(project->book().edits.chapters);
    const QString months = allText(project->pdf());
    EXPECT_FALSE(months.contains("Lyon"));
    EXPECT_TRUE(months.contains("February"));
}

TEST_F(EndToEndTest, AMessageIsLeftOutAndPutBack)
{
    search("dumplings");
    choose("Leave Out of Book");
    ASSERT_TRUE(retypeset());
    EXPECT_FALSE(allText(project->pdf()).contains("dumplings"));
    EXPECT_TRUE(view()->subtitle().startsWith("209 messages"));
    choose("Show in Book");
    ASSERT_TRUE(retypeset());
    EXPECT_TRUE(allText(project->pdf()).contains("the dumplings were amazing tonight"));
}

TEST_F(EndToEndTest, AWordSetBoldComesOutInTheBoldFace)
{
    const auto boldFaces = [&] {
        const QString day = byText("dumplings").at.left(10);
        QProcess fonts;
        const QString page = QString::number(project->layout().days.value(day).index + 1);
        fonts.start("pdffonts", { "-f", page, "-l", QString::number(page.toInt() + 1), project->pdf() });
        fonts.waitForFinished(60000);
        return QString::fromUtf8(fonts.readAllStandardOutput()).count("Bold");
    };
    const int before = boldFaces();
    view()->setInspectorShown(true);
    QLineEdit *add = view()->inspector()->newWordField();
    QTest::keyClicks(add, "dumplings");
    QTest::keyClick(add, Qt::Key_Return);
    ASSERT_TRUE(retypeset());
    EXPECT_EQ(project->book().edits.words, QStringList { "dumplings" });
    EXPECT_GT(boldFaces(), before);
}

TEST_F(EndToEndTest, APinLandsTheMessageOnThePrintedPageAsked)
{
    const BookFile::Message message = byText("quill150");
    const std::optional<int> natural = project->pageOf(message.at.left(10));
    ASSERT_TRUE(natural);
    search("quill150");
    choose("Pin to a Page…");
    PinSheet *sheet = view()->pinSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->pageField()->value(), *natural);
    sheet->pageField()->setValue(*natural - 1);
    EXPECT_FALSE(sheet->pinButton()->isEnabled());
    const int wanted = *natural + 3;
    sheet->pageField()->setValue(wanted);
    ASSERT_TRUE(sheet->pinButton()->isEnabled());
    sheet->pinButton()->click();
    ASSERT_TRUE(retypeset());

    const std::optional<Layout::PinResult> result = project->pinResult(message.id);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->ok);
    EXPECT_EQ(result->page, wanted);
    const std::optional<int> index = Inspector::pinnedIndex(*project, message.id);
    ASSERT_TRUE(index);
    const QString page = pageText(project->pdf(), *index);
    EXPECT_TRUE(page.contains("quill150")) << page.toStdString();
    EXPECT_EQ(ViewerTest::folioOf(project->pdf(), *index), QString::number(wanted)) << page.toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(view()->results()->model()->row(0).badge.text, QStringLiteral("p. %1").arg(wanted));
}

// Fault mended: a pin further back in the book pushed a pin already made
// off its page, and neither the sheet nor anything else said so.
TEST_F(EndToEndTest, ThePinSheetSaysWhereAPinItPushesOffWillGo)
{
    const BookFile::Message later = byText("quill150");
    const std::optional<int> natural = project->pageOf(later.at.left(10));
    ASSERT_TRUE(natural);
    project->pin(later, *natural + 2);
    ASSERT_TRUE(retypeset());
    ASSERT_TRUE(project->pinResult(later.id) && project->pinResult(later.id)->ok);

    search("quill30 ");
    choose("Pin to a Page…");
    PinSheet *sheet = view()->pinSheet();
    ASSERT_TRUE(sheet);
    const int start = sheet->pageField()->value();
    sheet->pageField()->setValue(start + 1);
    EXPECT_TRUE(sheet->movesText().isEmpty()) << sheet->movesText().toStdString();
    sheet->pageField()->setValue(start + 6);
    const QString said = sheet->movesText();
    const QString opening
        = QStringLiteral("The pin on page %1 can't stay there: it would move to page ").arg(*natural + 2);
    ASSERT_TRUE(said.startsWith(opening)) << said.toStdString();
    const int foretold = said.mid(opening.size()).chopped(1).toInt();
    sheet->pinButton()->click();
    ASSERT_TRUE(retypeset());

    // The book does as the sheet said, give or take where the page breaks.
    const std::optional<Layout::PinResult> result = project->pinResult(later.id);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->ok);
    EXPECT_NEAR(result->page, foretold, 1);
}

TEST_F(EndToEndTest, TheRangeNarrowedInThePopoverShortensTheBook)
{
    const int pages = project->layout().pageCount;
    view()->showRange();
    RangePopover *range = view()->rangePopover();
    ASSERT_TRUE(range->isVisible());
    range->fromField()->setDate(QDate(2025, 3, 1));
    QTest::keyClick(range->fromField(), Qt::Key_Return);
    ASSERT_TRUE(retypeset());
    EXPECT_EQ(project->from(), "2025-03-01");
    EXPECT_EQ(range->countText(), "60 messages");
    EXPECT_EQ(view()->rangeLabel(), "Mar 1 – Mar 20, 2025");
    EXPECT_LT(project->layout().pageCount, pages);
    const QString text = allText(project->pdf());
    EXPECT_FALSE(text.contains("quill0 "));
    EXPECT_TRUE(text.contains("quill209"));
}

// A book saved when the line under the title was made from the whole
// conversation printed 2019–2022 on a book of 2022 alone.
TEST(TitlePageTest, ABookOfOneYearSaysThatYearAndFollowsTheRange)
{
    BooksFolder books;
    BookFile book = bookOf({ "long ago", "later", "this year", "and more" });
    const QStringList days { "2019-04-02", "2021-08-09", "2022-02-14", "2022-10-01" };
    for (int i = 0; i < days.size(); ++i)
        book.messages[i].at = days[i] + QStringLiteral("T12:00:00");
    book.design = Design();
    book.edits.range = Edits::DayRange { QStringLiteral("2022-01-01"), std::nullopt };
    book.front.colophon = QStringLiteral("2019\u20132022");
    const std::shared_ptr<Project> project = ViewerTest::open(book);
    ASSERT_TRUE(ViewerTest::typeset(*project));
    const QString title = pageText(project->pdf(), 0);
    EXPECT_TRUE(title.contains("2022")) << title.toStdString();
    EXPECT_FALSE(title.contains("2019")) << title.toStdString();

    RangePopover range(project.get());
    range.show();
    range.fromField()->setDate(QDate(2021, 8, 9));
    QTest::keyClick(range.fromField(), Qt::Key_Return);
    ASSERT_TRUE(ViewerTest::typeset(*project));
    EXPECT_TRUE(pageText(project->pdf(), 0).contains("2021\u20132022"))
        << pageText(project->pdf(), 0).toStdString();
}

} // namespace
