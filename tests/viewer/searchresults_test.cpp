#include "ui/clampedtext.h"
#include "ui/style.h"
#include "viewer/pinsheet.h"
#include "viewer/replacesheet.h"
#include "viewer/searchdelegate.h"
#include "viewer/searchmodel.h"
#include "viewer/searchresults.h"
#include "viewertest.h"

#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>

namespace {

using namespace std::chrono_literals;
using TestSupport::waitUntil;

class SearchResultsTest : public ViewerTest::BookTest
{
protected:
    void open(const BookFile &book)
    {
        openBook(book);
        results = std::make_unique<SearchResults>(project.get());
        results->resize(BookView::resultsWidth, 700);
        results->show();
    }

    void search(const QString &query)
    {
        results->setQuery(query, SearchResults::When::Immediately);
        QCoreApplication::processEvents();
    }

    const SearchModel::Row &row(int i) const { return results->model()->row(i); }

    // The names of a message's menu entries, and triggering one of them.
    QStringList entries(const BookFile::Message &m)
    {
        std::unique_ptr<QMenu> menu(results->actions(m, nullptr));
        QStringList names;
        for (QAction *action : menu->actions())
            names << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return names;
    }
    void choose(const BookFile::Message &m, const QString &entry)
    {
        std::unique_ptr<QMenu> menu(results->actions(m, nullptr));
        for (QAction *action : menu->actions()) {
            if (action->text() == entry) {
                ASSERT_TRUE(action->isEnabled()) << entry.toStdString();
                action->trigger();
                return;
            }
        }
        FAIL() << "no entry " << entry.toStdString();
    }

    std::unique_ptr<SearchResults> results;
};

TEST_F(SearchResultsTest, AtMostFourHundredRowsAndNothingForBlanks)
{
    QStringList texts;
    for (int i = 0; i < 401; ++i)
        texts << QStringLiteral("hello number %1").arg(i);
    open(bookOf(texts));
    search("hello");
    EXPECT_EQ(results->count(), 400);
    EXPECT_EQ(results->header(), "First 400 matches");
    EXPECT_TRUE(results->replaceButton()->isEnabled());
    search("number 1");
    EXPECT_EQ(results->header(), "157 matches");
    search("number 400");
    EXPECT_EQ(results->header(), "1 matches");

    search("   ");
    EXPECT_EQ(results->count(), 0);
    EXPECT_EQ(results->header(), "0 matches");
    EXPECT_FALSE(results->replaceButton()->isEnabled());
    EXPECT_TRUE(TestSupport::findText(results.get(), "No Results for \u201C   \u201D"));
}

TEST_F(SearchResultsTest, EachRowNamesItsOwnSenderInAGroup)
{
    BookFile book = bookOf({ "hi all", "hi you", "hi there", "hi again" });
    book.people.append({ QStringLiteral("+15550001"), QStringLiteral("Robin"), false });
    book.messages[0].from = QStringLiteral("me");
    book.messages[1].from = QStringLiteral("them");
    book.messages[2].from = QStringLiteral("+15550001");
    book.messages[3].from = QStringLiteral("+15559999");
    book.messages[3].who = QStringLiteral("Kim");
    open(book);
    search("hi");
    ASSERT_EQ(results->count(), 4);
    EXPECT_EQ(row(0).sender, "You");
    EXPECT_EQ(row(1).sender, "Sam");
    EXPECT_EQ(row(2).sender, "Robin");
    EXPECT_EQ(row(3).sender, "Kim");
    book.messages[3].who.reset();
    EXPECT_EQ(SearchModel::senderOf(book, book.messages[3]), "Them");
}

TEST_F(SearchResultsTest, BadgesSayWhereAMessageStands)
{
    open(bookOf({ "word a", "word b", "word c", "word d" }));
    clock.advance(0ms); // the layout knows 2024-03-05 only: page 1
    project->setRange(QStringLiteral("2024-03-02"), std::nullopt);
    project->pin(message(0), 7);
    search("word");
    ASSERT_EQ(results->count(), 4);
    // Pinned outside the range: the pin, not "Not in book".
    EXPECT_EQ(row(0).badge.kind, SearchModel::Badge::Kind::Pin);
    EXPECT_EQ(row(0).badge.text, "p. 7");
    EXPECT_FALSE(row(0).badge.failed);
    // In the range, on a day the layout doesn't know: no badge, no jump.
    EXPECT_EQ(row(1).badge.kind, SearchModel::Badge::Kind::None);
    QSignalSpy jumps(results.get(), &SearchResults::jumpRequested);
    const QRect second = results->list()->visualRect(results->model()->index(1));
    QTest::mouseClick(results->list()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(jumps.count(), 0);

    project->setRange(std::nullopt, QStringLiteral("2024-03-03"));
    project->unpin(message(0).id);
    QCoreApplication::processEvents();
    EXPECT_EQ(row(3).badge.kind, SearchModel::Badge::Kind::Outside);
    EXPECT_EQ(row(3).badge.text, "Not in book");
}

TEST_F(SearchResultsTest, AClickGoesToTheMessagesDayAndTheMenuButtonOpensItsActions)
{
    BookFile book = bookOf({ "apple", "banana", "cherry", "apple pie", "apple tart" });
    open(book);
    clock.advance(0ms);
    search("apple");
    ASSERT_EQ(results->count(), 3);
    QSignalSpy jumps(results.get(), &SearchResults::jumpRequested);
    // The fake layout puts 2024-03-05 at index 2.
    const QRect tart = results->list()->visualRect(results->model()->index(2));
    QTest::mouseClick(results->list()->viewport(), Qt::LeftButton, {}, tart.center());
    ASSERT_EQ(jumps.count(), 1);
    EXPECT_EQ(jumps[0][0].toInt(), 2);

    // The button opens the menu instead of going anywhere.
    QTest::mouseClick(
        results->list()->viewport(), Qt::LeftButton, {}, SearchDelegate::menuRect(tart).center());
    EXPECT_EQ(jumps.count(), 1);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->actions().first()->text(), "Start the Book Here");
    menu->close();
}

TEST_F(SearchResultsTest, TheMenuEditsTheBook)
{
    open(bookOf({ "one x", "two x", "three x", "four x", "five x" }));
    search("x");
    EXPECT_EQ(entries(message(2)),
        QStringList({ "Start the Book Here", "End the Book Here", "-", "Bold", "Leave Out of Book", "-",
            "Pin to a Page…", "Start a Chapter Here…" }));

    choose(message(3), "End the Book Here");
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { std::nullopt, "2024-03-04" }));
    // Past the end: the end moves along.
    choose(message(4), "Start the Book Here");
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { "2024-03-05", std::nullopt }));
    choose(message(1), "Start the Book Here");
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { "2024-03-02", std::nullopt }));
    choose(message(0), "End the Book Here");
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { std::nullopt, "2024-03-01" }));
    project->setRange(std::nullopt, std::nullopt);

    choose(message(1), "Bold");
    choose(message(2), "Leave Out of Book");
    EXPECT_EQ(saved().edits.emphasis, (QList<Edits::Emphasis> { { "m1", std::nullopt } }));
    EXPECT_EQ(saved().edits.hidden, QStringList { "m2" });
    QCoreApplication::processEvents();
    EXPECT_TRUE(row(1).bold);
    EXPECT_TRUE(row(2).hidden);
    EXPECT_TRUE(entries(message(1)).contains("Unbold"));
    EXPECT_TRUE(entries(message(2)).contains("Show in Book"));
    choose(message(2), "Show in Book");
    EXPECT_FALSE(saved().edits.hidden);

    // Bold by phrase alone is not the whole message's bold.
    BookFile book = project->book();
    book.edits.emphasis = QList<Edits::Emphasis> { { "m3", QStringLiteral("four") } };
    project->setBook(book);
    EXPECT_TRUE(entries(message(3)).contains("Bold"));

    QSignalSpy pins(results.get(), &SearchResults::pinRequested);
    QSignalSpy chapters(results.get(), &SearchResults::chapterRequested);
    choose(message(0), "Pin to a Page…");
    ASSERT_EQ(pins.count(), 1);
    EXPECT_EQ(pins[0][0].value<BookFile::Message>().id, "m0");
    project->pin(message(0), 12);
    EXPECT_TRUE(entries(message(0)).contains("Change Pin (page 12)…"));
    choose(message(0), "Remove Pin");
    EXPECT_FALSE(saved().edits.pins);
    choose(message(4), "Start a Chapter Here…");
    EXPECT_EQ(chapters.count(), 1);
}

TEST_F(SearchResultsTest, AChapterCanOnlyStartWithinTheBooksRange)
{
    open(bookOf({ "one x", "two x", "three x" }));
    project->setRange(QStringLiteral("2024-03-02"), std::nullopt);
    search("x");
    std::unique_ptr<QMenu> outside(results->actions(message(0), nullptr));
    EXPECT_FALSE(outside->actions().last()->isEnabled());
    std::unique_ptr<QMenu> inside(results->actions(message(1), nullptr));
    EXPECT_TRUE(inside->actions().last()->isEnabled());
}

TEST_F(SearchResultsTest, AfterReplaceAllTheRowsShowTheNewWords)
{
    open(bookOf({ "see you tmrw", "tmrw then", "nothing here" }));
    search("tmrw");
    ASSERT_EQ(results->count(), 2);
    results->replace();
    auto *sheet = results->findChild<ReplaceSheet *>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(TestSupport::findText(sheet, "Replace \u201Ctmrw\u201D in every message?"));
    QTest::keyClicks(sheet->withField(), "tomorrow");
    sheet->replaceButton()->click();
    EXPECT_EQ(saved().edits.text->value("m0"), "see you tomorrow");
    QCoreApplication::processEvents();
    EXPECT_EQ(results->count(), 0);
    search("tomorrow");
    ASSERT_EQ(results->count(), 2);
    EXPECT_EQ(row(0).text, "see you tomorrow");
    // The replacement is offered again next time.
    results->replace();
    auto *again = results->findChildren<ReplaceSheet *>().last();
    EXPECT_EQ(again->withField()->text(), "tomorrow");
    again->reject();
}

TEST_F(SearchResultsTest, EveryOccurrenceOfEveryWordIsMarkedIgnoringCase)
{
    using Ranges = QList<std::pair<int, int>>;
    EXPECT_EQ(
        SearchModel::highlights("Love you, love LOVE", "love"), (Ranges { { 0, 4 }, { 10, 4 }, { 15, 4 } }));
    EXPECT_EQ(SearchModel::highlights("dumplings", "dump  plings"), (Ranges { { 0, 4 }, { 3, 6 } }));
    EXPECT_EQ(SearchModel::highlights("aaa", "aa"), (Ranges { { 0, 2 } }));
    EXPECT_EQ(SearchModel::highlights("x", " "), Ranges {});
    // The search finds an accent typed as one character or as two; the
    // marks must too, in whichever form the text holds it.
    const QString decomposed = QStringLiteral("cafe\u0301 at the Caf\u00E9");
    EXPECT_EQ(
        SearchModel::highlights(decomposed, QStringLiteral("caf\u00E9")), (Ranges { { 13, 4 }, { 0, 5 } }));
    EXPECT_EQ(
        SearchModel::highlights(decomposed, QStringLiteral("cafe\u0301")), (Ranges { { 0, 5 }, { 13, 4 } }));
}

TEST_F(SearchResultsTest, AMessageThatLooksLikeMarkupIsDrawnAsItIs)
{
    // Drawn as rich text, "<b>x</b>" would come out as a bold "x".
    const QString text = QStringLiteral("<b>x</b> <img src=\"a.png\">");
    const QFont font = Style::font(Style::Text::Body);
    const auto draw = [&](auto how) {
        QImage image(400, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        how(painter);
        return image;
    };
    const QImage clamped = draw([&](QPainter &p) {
        ClampedText::paint(p, QPointF(0, 0), 400, { text, font, 4, {} });
    });
    const QImage literal = draw([&](QPainter &p) {
        p.drawText(QRectF(0, 0, 400, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    });
    EXPECT_EQ(clamped, literal);
}

TEST_F(SearchResultsTest, LongTextsStopAfterFourLines)
{
    const QFont font = Style::font(Style::Text::Body);
    const int line = QFontMetrics(font).lineSpacing();
    const QString longText = QStringLiteral("word ").repeated(400);
    const int height = ClampedText::height({ longText, font, 4, {} }, 300);
    EXPECT_GE(height, 4 * line - 4);
    EXPECT_LE(height, 4 * line + 4);
    EXPECT_LE(ClampedText::height({ "a\nb\nc\nd\ne\nf", font, 4, {} }, 300), 4 * line + 4);
    EXPECT_LE(ClampedText::height({ "short", font, 4, {} }, 300), line + 2);
}

// Long messages were listed cut before the words searched for, with
// nothing marked: the row must show where the words are.
TEST_F(SearchResultsTest, AWordPastTheFourthLineIsShownWithWhatLeadsToIt)
{
    const QFont font = Style::font(Style::Text::Body);
    const QString lead = QStringLiteral("so grateful that you came round ").repeated(12);
    const QString text = lead + QStringLiteral("and made us pancakes on Sunday");
    const int at = int(text.indexOf(QLatin1String("pancakes")));
    ClampedText::Block block { text, font, 4, {} };
    const int fourLines = ClampedText::height(block, 300);
    ASSERT_FALSE(ClampedText::shownText(block, 300).contains(QLatin1String("pancakes")));
    block.keepFrom = at;
    block.keepTo = at + 8;
    // Near its end, the message's end fills the lines.
    QString shown = ClampedText::shownText(block, 300);
    EXPECT_TRUE(shown.startsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QLatin1String("made us pancakes on Sunday"))) << shown.toStdString();
    EXPECT_EQ(shown.count(QLatin1Char('\n')), 3);
    EXPECT_EQ(ClampedText::height(block, 300), fourLines);

    // Far from it, two words lead in and the lines go on after it.
    block.text = text + QStringLiteral(" and then we walked all the way to the river and back").repeated(6);
    shown = ClampedText::shownText(block, 300);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("\u2026made us pancakes on Sunday"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_EQ(ClampedText::height(block, 300), fourLines);

    // A word already in sight keeps the text from its start.
    block.keepFrom = 3;
    block.keepTo = 11;
    EXPECT_TRUE(ClampedText::shownText(block, 300).startsWith(QLatin1String("so grateful")));
}

TEST_F(SearchResultsTest, TheRowMarksAWordFoundPastItsFourthLine)
{
    const QString text = QStringLiteral("so grateful that you came round ").repeated(20)
        + QStringLiteral("and made us pancakes");
    open(bookOf({ text }));
    search("PANCAKES");
    ASSERT_EQ(results->count(), 1);
    const QRect rect = results->list()->visualRect(results->model()->index(0));
    const QImage row = results->list()->viewport()->grab(rect).toImage();
    // The mark is a yellow wash; nothing else in a row is yellow.
    int marked = 0;
    for (int y = 0; y < row.height(); ++y) {
        for (int x = 0; x < row.width(); ++x) {
            const QColor c = row.pixelColor(x, y);
            marked += c.red() - c.blue() > 40 && c.green() - c.blue() > 30;
        }
    }
    EXPECT_GT(marked, 100);
}

} // namespace
