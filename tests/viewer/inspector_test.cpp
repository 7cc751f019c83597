#include "ui/formsection.h"
#include "ui/style.h"
#include "viewer/inspector.h"
#include "viewertest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QToolButton>

namespace {

using namespace std::chrono_literals;

class InspectorTest : public ViewerTest::BookTest
{
protected:
    void open(const BookFile &book)
    {
        openBook(book);
        inspector = std::make_unique<Inspector>(project.get());
        inspector->resize(300, 800);
        inspector->show();
        QApplication::setActiveWindow(inspector.get());
    }

    QStringList sections() const
    {
        QStringList shown;
        for (const FormSection *section : inspector->findChildren<FormSection *>()) {
            if (section->isVisibleTo(inspector.get()))
                shown << section->header();
        }
        return shown;
    }
    QList<QToolButton *> removeButtons() const
    {
        QList<QToolButton *> buttons;
        for (QToolButton *button : inspector->findChildren<QToolButton *>()) {
            if (button->accessibleName() == "Remove" && button->isVisibleTo(inspector.get()))
                buttons << button;
        }
        return buttons;
    }

    std::unique_ptr<Inspector> inspector;
};

TEST_F(InspectorTest, ABookWithoutEditsShowsItsThreeStandingSections)
{
    open(bookOf({ "one", "two" }));
    EXPECT_EQ(sections(), QStringList({ "Book", "Bold Everywhere", "Chapters" }));
    EXPECT_TRUE(TestSupport::findText(inspector.get(),
        "One chapter per month. To start your own, search for a message and choose Start a Chapter Here."));
    EXPECT_TRUE(TestSupport::findText(
        inspector.get(), "Every time these words come up in a message, they're set in bold."));
    EXPECT_EQ(inspector->titleField()->text(), "You & Sam");
    EXPECT_EQ(inspector->colophonField()->placeholderText(), "Optional");
    EXPECT_TRUE(removeButtons().isEmpty());
}

TEST_F(InspectorTest, WithoutChaptersOfTheirOwnItSaysWhatTheDesignMakes)
{
    const QString tail
        = QStringLiteral(" To start your own, search for a message and choose Start a Chapter Here.");
    BookFile book = bookOf({ "one", "two" });
    book.design = Design();
    book.design->chapters = QStringLiteral("year");
    open(book);
    EXPECT_TRUE(TestSupport::findText(inspector.get(), "One chapter per year." + tail));

    book.design->chapters = QStringLiteral("none");
    project->setBook(book);
    EXPECT_TRUE(TestSupport::findText(inspector.get(), "No chapters." + tail));
    book.design->chapters = QStringLiteral("month");
    project->setBook(book);
    EXPECT_TRUE(TestSupport::findText(inspector.get(), "One chapter per month." + tail));
}

TEST_F(InspectorTest, WordsAreAddedOnReturnAndTheFieldEmptiesEitherWay)
{
    open(bookOf({ "one" }));
    QLineEdit *field = inspector->newWordField();
    field->setFocus();
    QTest::keyClicks(field, "love");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(saved().edits.words, QStringList { "love" });
    EXPECT_TRUE(field->text().isEmpty());
    for (const char *ignored : { "  ", "Love" }) {
        QTest::keyClicks(field, ignored);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_TRUE(field->text().isEmpty());
        EXPECT_EQ(saved().edits.words, QStringList { "love" }) << ignored;
    }
    EXPECT_TRUE(TestSupport::findText(inspector.get(), "love"));
    ASSERT_EQ(removeButtons().size(), 1);
    removeButtons().first()->click();
    EXPECT_FALSE(saved().edits.words);
    EXPECT_FALSE(TestSupport::findText(inspector.get(), "love"));
}

TEST_F(InspectorTest, TheFrontMatterWritesThroughAsItIsTyped)
{
    open(bookOf({ "one" }));
    QLineEdit *title = inspector->titleField();
    title->setFocus();
    title->selectAll();
    QTest::keyClicks(title, "Us");
    EXPECT_EQ(saved().front.title, "Us");
    // Only a line typed here is the user's: a new title leaves it the app's.
    EXPECT_FALSE(saved().front.colophonTyped);
    QTest::keyClicks(inspector->colophonField(), "2024");
    EXPECT_EQ(saved().front.colophon, "2024");
    EXPECT_TRUE(saved().front.colophonTyped);

    QPlainTextEdit *dedication = inspector->dedicationField();
    dedication->setFocus();
    QTest::keyClicks(dedication, "a");
    QTest::keyClick(dedication, Qt::Key_Return);
    QTest::keyClick(dedication, Qt::Key_Return);
    QTest::keyClicks(dedication, "b");
    EXPECT_EQ(saved().front.dedication, QStringList({ "a", "", "b" }));
    dedication->selectAll();
    QTest::keyClick(dedication, Qt::Key_Delete);
    EXPECT_EQ(saved().front.dedication, QStringList());
    EXPECT_TRUE(TestSupport::readFile(project->folder() + "/book.json").contains("\"dedication\":[]"));
}

TEST_F(InspectorTest, AChapterTitleKeepsItsFocusAndCursorAsTheBookChanges)
{
    open(bookOf({ "one", "two", "three", "four" }));
    project->startChapter(message(2), QStringLiteral("Paris"));
    QLineEdit *field = inspector->chapterField("m2");
    ASSERT_TRUE(field);
    field->setFocus();
    field->setCursorPosition(2);
    for (const char *key : { "x", "y", "z" }) {
        QTest::keyClicks(field, key);
        // The run typesetting asks for publishes a new PDF and layout.
        clock.advance(350ms);
        EXPECT_EQ(QApplication::focusWidget(), field);
        EXPECT_EQ(inspector->chapterField("m2"), field);
    }
    EXPECT_EQ(field->text(), "Paxyzris");
    EXPECT_EQ(field->cursorPosition(), 5);
    EXPECT_EQ(saved().edits.chapters->at(1).title, "Paxyzris");
    // A title may become empty.
    field->clear();
    QTest::keyClicks(field, "a");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(saved().edits.chapters->at(1).title, "");
}

TEST_F(InspectorTest, RemovingOneOfTwoChaptersKeepsTheOther)
{
    open(bookOf({ "one", "two", "three", "four" }));
    project->startChapter(message(2), QStringLiteral("Paris"));
    ASSERT_EQ(removeButtons().size(), 2);
    EXPECT_EQ(inspector->chapterField("m0")->text(), "March 1, 2024");
    // The opening chapter's button: the first.
    removeButtons().first()->click();
    EXPECT_EQ(saved().edits.chapters, (QList<Edits::ChapterBreak> { { "m2", "Paris" } }));
    EXPECT_EQ(inspector->chapterField("m2")->text(), "Paris");
    EXPECT_FALSE(inspector->chapterField("m0"));
    removeButtons().first()->click();
    EXPECT_FALSE(saved().edits.chapters);
    EXPECT_TRUE(TestSupport::findText(inspector.get(),
        "One chapter per month. To start your own, search for a message and choose Start a Chapter Here."));
}

TEST_F(InspectorTest, PinsSayWhereTheyLandAndTakeTheReaderThere)
{
    BookFile book = bookOf({ "a", "b", "stays put", "d", "on the fifth" });
    book.messages[0].text.reset();
    open(book);
    Layout layout;
    layout.days = { { "2024-03-01", { 1, 2 } }, { "2024-03-05", { 3, 4 } } };
    layout.pins = { { "m4", 40, 3, true }, { "m2", 3, 5, false } };
    project->setTypesetter(ViewerTest::scripted(typst, layout));
    typst.pdf = blankPdf(60);
    project->pin(message(4), 40);
    project->pin(message(0), 3);
    project->pin(message(2), 2);
    clock.advance(350ms);
    ASSERT_EQ(project->layout().pins.size(), 2);
    EXPECT_EQ(sections(), QStringList({ "Book", "Bold Everywhere", "Chapters", "Pinned to a Page" }));
    EXPECT_EQ(ViewerTest::clampedTexts(inspector.get()),
        QStringList({ "on the fifth", "Attachment", "stays put" }));
    EXPECT_TRUE(TestSupport::findText(inspector.get(), "Page 40"));
    EXPECT_TRUE(TestSupport::findText(inspector.get(), "Page 3"));
    auto *failed = qobject_cast<QLabel *>(TestSupport::findText(
        inspector.get(), "Page 2 comes before where it falls (page 5), so it stays put."));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->palette().color(QPalette::WindowText), Style::warning());

    // Blank pages went in before the message: the reader goes to its own
    // page, not to the first page of its day.
    QSignalSpy jumps(inspector.get(), &Inspector::jumpRequested);
    QTest::mouseClick(inspector->pinRow("m4"), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(jumps.count(), 1);
    EXPECT_EQ(jumps[0][0].toInt(), 4 + (40 - 3));
    QTest::mouseClick(inspector->pinRow("m0"), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(jumps.count(), 2);
    EXPECT_EQ(jumps[1][0].toInt(), 2);
    // A day the layout doesn't know: nothing moves.
    QTest::mouseClick(inspector->pinRow("m2"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(jumps.count(), 2);

    for (int i = 0; i < 3; ++i)
        removeButtons().first()->click();
    EXPECT_FALSE(saved().edits.pins);
    EXPECT_FALSE(sections().contains("Pinned to a Page"));
}

TEST_F(InspectorTest, PuttingEveryMessageBackEndsTheLeftOutSection)
{
    open(bookOf({ "one", "two", "three" }));
    project->toggleHidden(message(0));
    project->toggleHidden(message(2));
    EXPECT_TRUE(sections().contains("Left Out"));
    EXPECT_TRUE(TestSupport::findText(inspector.get(), "2"));
    auto *back = TestSupport::findText(inspector.get(), "Put Them All Back");
    ASSERT_TRUE(back);
    static_cast<QAbstractButton *>(back)->click();
    EXPECT_FALSE(saved().edits.hidden);
    EXPECT_FALSE(sections().contains("Left Out"));
}

} // namespace
