// The range popover and the sheets that act on one message.
#include "ui/style.h"
#include "viewer/chaptersheet.h"
#include "viewer/pinsheet.h"
#include "viewer/rangepopover.h"
#include "viewertest.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

using namespace std::chrono_literals;

class SheetsTest : public ViewerTest::BookTest
{
protected:
    QWidget host;
};

// A day typed in whole and confirmed with Return.
void type(QDateEdit *field, const QDate &date)
{
    field->setDate(date);
    QTest::keyClick(field, Qt::Key_Return);
}

// A day picked in the field's calendar.
void pick(QDateEdit *field, const QDate &date)
{
    field->calendarWidget()->setSelectedDate(date);
    emit field->calendarWidget()->clicked(date);
}

// Messages on 2023-01-01, 2023-05-01, 2023-06-30, 2023-08-15 and 2023-12-31.
BookFile yearBook()
{
    BookFile book = bookOf({ "new year", "may day", "june end", "august", "eve" });
    const QStringList days { "2023-01-01", "2023-05-01", "2023-06-30", "2023-08-15", "2023-12-31" };
    for (int i = 0; i < days.size(); ++i)
        book.messages[i].at = days[i] + QStringLiteral("T12:00:00");
    return book;
}

TEST_F(SheetsTest, ThePickersOfferTheConversationsDaysAndDragTheOtherEndAlong)
{
    openBook(yearBook());
    RangePopover range(project.get());
    EXPECT_EQ(range.fromField()->minimumDate(), QDate(2023, 1, 1));
    EXPECT_EQ(range.fromField()->maximumDate(), QDate(2023, 12, 31));
    EXPECT_EQ(range.toField()->minimumDate(), QDate(2023, 1, 1));
    EXPECT_EQ(range.countText(), "5 messages");

    project->setRange(QStringLiteral("2023-01-01"), QStringLiteral("2023-06-30"));
    pick(range.fromField(), QDate(2023, 8, 15));
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { "2023-08-15", "2023-08-15" }));
    EXPECT_EQ(range.toField()->date(), QDate(2023, 8, 15));
    EXPECT_EQ(range.countText(), "1 messages");

    project->setRange(QStringLiteral("2023-05-01"), std::nullopt);
    type(range.toField(), QDate(2023, 2, 1));
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { "2023-02-01", "2023-02-01" }));

    range.wholeButton()->click();
    EXPECT_FALSE(saved().edits.range);
    EXPECT_EQ(range.fromField()->date(), QDate(2023, 1, 1));
    EXPECT_EQ(range.toField()->date(), QDate(2023, 12, 31));
    EXPECT_EQ(range.countText(), "5 messages");
}

// The line under the title is the range's years while nobody wrote one:
// picking the ends here moves it; once the user writes one, it stays.
TEST_F(SheetsTest, TheLineUnderTheTitleFollowsTheDaysPickedHere)
{
    BookFile book = yearBook();
    book.messages.first().at = QStringLiteral("2021-11-20T12:00:00");
    book.front.colophon = QStringLiteral("2021\u20132023");
    book.design = Design();
    openBook(book);
    RangePopover range(project.get());
    pick(range.fromField(), QDate(2023, 5, 1));
    EXPECT_EQ(saved().front.colophon, "2023");
    type(range.fromField(), QDate(2021, 11, 20));
    type(range.toField(), QDate(2023, 1, 1));
    EXPECT_EQ(saved().front.colophon, "2021\u20132023");

    BookFile written = project->book();
    written.front.colophon = QStringLiteral("Us");
    written.front.colophonTyped = true;
    project->setBook(written);
    pick(range.fromField(), QDate(2023, 5, 1));
    EXPECT_EQ(saved().front.colophon, "Us");
}

TEST_F(SheetsTest, CommittingOneEndNeverMovesTheOther)
{
    openBook(yearBook());
    project->setRange(QStringLiteral("2023-05-01"), QStringLiteral("2023-06-30"));
    RangePopover range(project.get());
    host.show();
    range.show();
    range.toField()->setFocus();
    // Typing a month a digit at a time passes through January: nothing is
    // written until the date is whole.
    range.toField()->setSelectedSection(QDateTimeEdit::MonthSection);
    QTest::keyClicks(range.toField(), "Jan");
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { "2023-05-01", "2023-06-30" }));
    // Moving on to another part of the date is not finishing it.
    range.toField()->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClick(range.toField(), Qt::Key_Up);
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { "2023-05-01", "2023-06-30" }));
    QTest::keyClick(range.toField(), Qt::Key_Down);
    range.toField()->setSelectedSection(QDateTimeEdit::MonthSection);
    QTest::keyClicks(range.toField(), "Jun");
    QTest::keyClick(range.toField(), Qt::Key_Return);
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { "2023-05-01", "2023-06-30" }));

    // A whole date for one end leaves the other exactly where it was.
    type(range.toField(), QDate(2023, 8, 15));
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { "2023-05-01", "2023-08-15" }));
    pick(range.fromField(), QDate(2023, 6, 1));
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { "2023-06-01", "2023-08-15" }));
    // The book moving the range (a search action) doesn't write it back.
    project->setRange(QStringLiteral("2023-01-01"), QStringLiteral("2023-05-01"));
    EXPECT_EQ(saved().edits.range, (Edits::DayRange { std::nullopt, "2023-05-01" }));
    EXPECT_EQ(range.fromField()->date(), QDate(2023, 1, 1));
}

TEST_F(SheetsTest, AChapterTitleGoesInAsTypedAndBlankOnesCantStart)
{
    openBook(bookOf({ "first", "the dumplings", "after" }));
    ChapterSheet sheet(project.get(), message(1), &host);
    sheet.show();
    EXPECT_EQ(ViewerTest::clampedTexts(&sheet), QStringList { "the dumplings" });
    EXPECT_TRUE(TestSupport::findText(&sheet, "March 2, 2024"));
    EXPECT_EQ(sheet.titleField()->placeholderText(), "The night of the dumplings 🥟");
    EXPECT_FALSE(sheet.startButton()->isEnabled());
    QTest::keyClicks(sheet.titleField(), " \t ");
    EXPECT_FALSE(sheet.startButton()->isEnabled());
    QTest::keyClick(sheet.titleField(), Qt::Key_Return);
    EXPECT_TRUE(sheet.isVisible());
    sheet.titleField()->setText(QStringLiteral("  Paris "));
    EXPECT_TRUE(sheet.startButton()->isEnabled());
    QTest::keyClick(sheet.titleField(), Qt::Key_Return);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(saved().edits.chapters,
        (QList<Edits::ChapterBreak> { { "m0", "March 1, 2024" }, { "m1", "  Paris " } }));

    // Again at the same message: a new name, not a second chapter.
    ChapterSheet again(project.get(), message(1), &host);
    again.titleField()->setText(QStringLiteral("Paris, again"));
    again.startButton()->click();
    ASSERT_EQ(saved().edits.chapters->size(), 2);
    EXPECT_EQ(saved().edits.chapters->at(1).title, "Paris, again");
}

TEST_F(SheetsTest, AMessageWithoutTextShowsAsAnAttachment)
{
    BookFile book = bookOf({ "x" });
    book.messages[0].text.reset();
    book.messages[0].media = QStringList { "photo" };
    openBook(book);
    ChapterSheet chapter(project.get(), message(0), &host);
    PinSheet pin(project.get(), message(0), &host);
    const QList<ClampedLabel *> labels = pin.findChildren<ClampedLabel *>();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.first()->text(), "Attachment");
    EXPECT_EQ(chapter.findChildren<ClampedLabel *>().first()->text(), "Attachment");
}

TEST_F(SheetsTest, APinCantGoBeforeWhereTheMessageLands)
{
    // The fake layout: 2024-03-05 on printed page 1; three pages.
    openBook(bookOf({ "a", "b", "c", "d", "on the fifth" }));
    clock.advance(0ms);
    PinSheet sheet(project.get(), message(4), &host);
    sheet.show();
    EXPECT_TRUE(TestSupport::findText(&sheet, "Lands on page"));
    EXPECT_EQ(sheet.pageField()->value(), 1);

    // A day the layout doesn't know: no landing page, any page from 1.
    PinSheet unknown(project.get(), message(0), &host);
    EXPECT_FALSE(TestSupport::findText(&unknown, "Lands on page"));
    EXPECT_EQ(unknown.pageField()->value(), 1);
    EXPECT_TRUE(unknown.pinButton()->isEnabled());
    EXPECT_TRUE(unknown.costText().isEmpty());
    unknown.pageField()->setValue(5);
    EXPECT_TRUE(unknown.costText().isEmpty());
    unknown.pinButton()->click();
    EXPECT_EQ(saved().edits.pins, (QList<Edits::Pin> { { "m0", 5 } }));
    // Pinned already: the sheet starts at the pin.
    PinSheet pinned(project.get(), message(0), &host);
    EXPECT_EQ(pinned.pageField()->value(), 5);
}

// A page far past the end of the book used to be cut to the book's pages
// and 50 as it was typed, so "500" in a book of three pages became "50"
// and the message was pinned to a page nobody asked for.
TEST_F(SheetsTest, APageTypedPastTheEndIsKeptAndSaysWhatItCosts)
{
    openBook(bookOf({ "a", "b", "c", "d", "on the fifth" }));
    clock.advance(0ms);
    PinSheet sheet(project.get(), message(4), &host);
    sheet.show();
    EXPECT_TRUE(sheet.costText().isEmpty());
    sheet.pageField()->selectAll();
    QTest::keyClicks(sheet.pageField(), "500");
    EXPECT_EQ(sheet.pageField()->value(), 500);
    EXPECT_EQ(sheet.costText(), "Page 500 adds about 499 blank pages before it.");
    sheet.pageField()->setValue(2);
    EXPECT_EQ(sheet.costText(), "Page 2 adds about 1 blank page before it.");
    // More blank pages than the book puts in for one pin: not honoured.
    sheet.pageField()->setValue(1002);
    EXPECT_EQ(sheet.costText(),
        "Page 1002 is too far on: a pin adds at most 1,000 blank pages, so it stays on page 1.");
    // A page the book can't honour can't be pinned.
    EXPECT_FALSE(sheet.pinButton()->isEnabled());
    sheet.pageField()->setValue(1001);
    EXPECT_TRUE(sheet.pinButton()->isEnabled());
    sheet.pageField()->selectAll();
    QTest::keyClicks(sheet.pageField(), "500");
    sheet.pinButton()->click();
    EXPECT_EQ(saved().edits.pins, (QList<Edits::Pin> { { "m4", 500 } }));
}

// The day of a message pinned first on its day begins where the pin put
// it; the sheet reckons from where the message falls without it, so the
// pin can be moved to an earlier page than the one it asked for, and
// the cost counts every page the pin adds.
TEST_F(SheetsTest, APinnedMessageIsReckonedFromWhereItFallsWithoutThePin)
{
    Layout layout;
    layout.days.insert(QStringLiteral("2024-03-05"), { 40, 45 });
    layout.pins = { { QStringLiteral("m4"), 40, 12, true } };
    openBook(bookOf({ "a", "b", "c", "d", "on the fifth" }));
    project->setTypesetter(ViewerTest::scripted(typst, layout));
    project->pin(message(4), 40);
    clock.advance(400ms);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return project->pinResult("m4").has_value(); }));

    PinSheet sheet(project.get(), message(4), &host);
    EXPECT_TRUE(TestSupport::findText(&sheet, "12"));
    EXPECT_EQ(sheet.pageField()->value(), 40);
    EXPECT_EQ(sheet.costText(), "Page 40 adds about 28 blank pages before it.");
    sheet.pageField()->setValue(20);
    EXPECT_TRUE(sheet.pinButton()->isEnabled());
    sheet.pageField()->setValue(11);
    EXPECT_FALSE(sheet.pinButton()->isEnabled());
    EXPECT_TRUE(sheet.costText().isEmpty());
}

// Fault mended: pinning a message to page 500 pushed the first "I love
// you", pinned to page 123, off its page without a word.
TEST_F(SheetsTest, APinThatPushesAnotherOffItsPageSaysSoBeforeItIsMade)
{
    Layout layout;
    layout.days.insert(QStringLiteral("2024-03-02"), { 10, 15 });
    layout.days.insert(QStringLiteral("2024-03-05"), { 123, 128 });
    layout.pins = { { QStringLiteral("m4"), 123, 60, true } };
    openBook(bookOf({ "a", "b", "c", "d", "I love you" }));
    project->setTypesetter(ViewerTest::scripted(typst, layout));
    project->pin(message(4), 123);
    clock.advance(400ms);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return project->pinResult("m4").has_value(); }));

    PinSheet sheet(project.get(), message(1), &host);
    sheet.show();
    auto *moves = sheet.findChild<QLabel *>(QStringLiteral("pinMoves"));
    ASSERT_TRUE(moves);
    // 40 blank pages: the pin's own 63 take them up.
    sheet.pageField()->setValue(50);
    EXPECT_TRUE(sheet.movesText().isEmpty());
    EXPECT_FALSE(moves->isVisibleTo(&sheet));
    sheet.pageField()->setValue(500);
    EXPECT_EQ(sheet.movesText(), "The pin on page 123 can't stay there: it would move to page 550.");
    EXPECT_TRUE(moves->isVisibleTo(&sheet));
    // Said, not forbidden: the user may mean it.
    EXPECT_TRUE(sheet.pinButton()->isEnabled());
    // Too far on, the message stays where it is and moves nobody.
    sheet.pageField()->setValue(1011);
    EXPECT_FALSE(sheet.pinButton()->isEnabled());
    EXPECT_TRUE(sheet.movesText().isEmpty());

    // The pinned message itself, or one after it, moves no pin before it.
    PinSheet own(project.get(), message(4), &host);
    own.pageField()->setValue(700);
    EXPECT_TRUE(own.movesText().isEmpty());
}

} // namespace

namespace { } // namespace
