// The sheets of one book: names, a page of one's own, and print consent.
#include "flow/addpagesheet.h"
#include "flow/namessheet.h"
#include "flow/printconsentsheet.h"
#include "flowtest.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace TestSupport;

namespace {

class SheetsTest : public FlowTest
{
protected:
    QByteArray saved(const Project &project) const
    {
        return readFile(project.folder() + QStringLiteral("/book.json"));
    }

    static QPushButton *button(QWidget *sheet, const QString &text)
    {
        return qobject_cast<QPushButton *>(findText(sheet, text));
    }
};

} // namespace

TEST_F(SheetsTest, NamesOpenOnTheBooksNamesAndSaveTrimmedKeepingABlankSide)
{
    BookFile book = designedBook();
    book.people.append({ QStringLiteral("p2"), QStringLiteral("Kim"), false });
    std::shared_ptr<Project> project = open(book);
    NamesSheet sheet(project, nullptr);
    sheet.show();
    EXPECT_EQ(sheet.me()->text(), "Pat");
    EXPECT_EQ(sheet.them()->text(), "Sam");

    sheet.me()->setText(QStringLiteral("  \t"));
    sheet.them()->setText(QStringLiteral("  Alex\t"));
    QTest::mouseClick(button(&sheet, QStringLiteral("Save")), Qt::LeftButton);
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    const QList<BookFile::Person> people = project->book().people;
    EXPECT_EQ(people[0].name, "Pat");
    // Everyone else takes the one name the sheet has for them.
    EXPECT_EQ(people[1].name, "Alex");
    EXPECT_EQ(people[2].name, "Alex");
}

TEST_F(SheetsTest, NamesCancelledChangeNothingAndNobodyMarkedAsTheUserLeavesYouEmpty)
{
    std::shared_ptr<Project> project = open(designedBook());
    ASSERT_TRUE(typeset(*project));
    BookFile book = project->book();
    book.people[0].me = false;
    project->setBook(book);
    // The run's end, not its middle: a poll can miss a run that's quick.
    QSignalSpy ended(project.get(), &Project::typesetEnded);
    project->saveAndTypeset();
    ASSERT_TRUE(waitUntil([&] { return !ended.isEmpty(); }));
    ASSERT_TRUE(typeset(*project));
    const QByteArray before = saved(*project);
    NamesSheet sheet(project, nullptr);
    sheet.show();
    EXPECT_EQ(sheet.me()->text(), "");
    EXPECT_EQ(sheet.them()->text(), "Pat");
    sheet.them()->setText(QStringLiteral("Someone"));
    QTest::mouseClick(button(&sheet, QStringLiteral("Cancel")), Qt::LeftButton);
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
    QTest::qWait(400);
    EXPECT_EQ(saved(*project), before);
    EXPECT_FALSE(project->isTypesetting());
}

TEST_F(SheetsTest, AddingAPageNeedsWordsAndGoesBeforeTheChosenOrNextDay)
{
    std::shared_ptr<Project> project = open(designedBook());
    project->setRange(QStringLiteral("2024-03-02"), QStringLiteral("2024-03-05"));
    project->toggleHidden(project->book().messages.at(2));
    AddPageSheet sheet(project, nullptr);
    sheet.show();
    EXPECT_EQ(sheet.day()->date(), QDate(2024, 3, 2));
    EXPECT_EQ(sheet.day()->minimumDate(), QDate(2024, 3, 2));
    EXPECT_EQ(sheet.day()->maximumDate(), QDate(2024, 3, 5));
    EXPECT_FALSE(sheet.addButton()->isEnabled());
    QTest::keyClicks(sheet.editor(), QStringLiteral("  "));
    QTest::keyClick(sheet.editor(), Qt::Key_Return);
    EXPECT_FALSE(sheet.addButton()->isEnabled());
    QTest::keyClicks(sheet.editor(), QStringLiteral("Dear Sam,"));
    EXPECT_TRUE(sheet.addButton()->isEnabled());
    QTest::keyClick(sheet.editor(), Qt::Key_Return);

    // The day's only message is left out: the page goes before the next one.
    sheet.day()->setDate(QDate(2024, 3, 3));
    QTest::mouseClick(sheet.addButton(), Qt::LeftButton);
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    ASSERT_TRUE(project->book().edits.inserts);
    EXPECT_EQ(project->book().edits.inserts->last(),
        (Edits::Insert { "m3", "page", QStringLiteral("  \nDear Sam,\n") }));
}

TEST_F(SheetsTest, AReversedRangeStillGivesTheSheetADay)
{
    std::shared_ptr<Project> project = open(designedBook());
    project->setRange(QStringLiteral("2024-03-05"), QStringLiteral("2024-03-02"));
    AddPageSheet sheet(project, nullptr);
    sheet.show();
    EXPECT_EQ(sheet.day()->date(), QDate(2024, 3, 5));
    QTest::keyClicks(sheet.editor(), QStringLiteral("x"));
    QTest::mouseClick(sheet.addButton(), Qt::LeftButton);
    EXPECT_EQ(project->book().edits.inserts->last().before, "m4");
}

TEST_F(SheetsTest, PrintConsentWaitsForTheTickAndAnswersNoKey)
{
    PrintConsentSheet sheet(QStringLiteral("Sam"), nullptr);
    sheet.show();
    QSignalSpy agreed(&sheet, &PrintConsentSheet::agreed);
    EXPECT_TRUE(findText(
        &sheet, QStringLiteral("I'm in this conversation, and Sam is happy to be in a printed book.")));
    EXPECT_FALSE(sheet.makeButton()->isEnabled());
    // The sentence beside the box ticks it too.
    QTest::mouseClick(findText(&sheet, sheet.checkbox()->accessibleName()), Qt::LeftButton);
    EXPECT_TRUE(sheet.checkbox()->isChecked());
    EXPECT_TRUE(sheet.makeButton()->isEnabled());
    sheet.checkbox()->click();
    EXPECT_FALSE(sheet.makeButton()->isEnabled());
    sheet.checkbox()->click();

    QTest::keyClick(&sheet, Qt::Key_Return);
    QTest::keyClick(&sheet, Qt::Key_Escape);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_TRUE(agreed.isEmpty());
    QTest::mouseClick(sheet.makeButton(), Qt::LeftButton);
    EXPECT_EQ(agreed.size(), 1);
    // Closing is the presenter's work.
    EXPECT_TRUE(sheet.isVisible());
}

// Return did nothing in the names and add-page sheets: neither had a
// default button.
TEST_F(SheetsTest, ReturnSavesTheNamesAndAddsThePageAndEscapeCancels)
{
    std::shared_ptr<Project> project = open(designedBook());
    {
        NamesSheet sheet(project, nullptr);
        sheet.show();
        sheet.them()->setFocus();
        sheet.them()->selectAll();
        QTest::keyClicks(sheet.them(), QStringLiteral("Alex"));
        QTest::keyClick(sheet.them(), Qt::Key_Return);
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
        EXPECT_EQ(project->book().people[1].name, "Alex");
    }
    {
        NamesSheet sheet(project, nullptr);
        sheet.show();
        sheet.me()->setFocus();
        QTest::keyClicks(sheet.me(), QStringLiteral("xyz"));
        QTest::keyClick(sheet.me(), Qt::Key_Escape);
        EXPECT_FALSE(sheet.isVisible());
        EXPECT_EQ(sheet.result(), QDialog::Rejected);
        EXPECT_EQ(project->book().people[0].name, "Pat");
    }
    {
        AddPageSheet sheet(project, nullptr);
        sheet.show();
        // Return in the words is a new line; from the day it adds.
        sheet.editor()->setFocus();
        QTest::keyClicks(sheet.editor(), QStringLiteral("Dear Sam,"));
        QTest::keyClick(sheet.editor(), Qt::Key_Return);
        EXPECT_TRUE(sheet.isVisible());
        sheet.day()->setFocus();
        QTest::keyClick(sheet.day(), Qt::Key_Return);
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
        ASSERT_TRUE(project->book().edits.inserts);
        EXPECT_EQ(
            project->book().edits.inserts->last().text.value_or(QString()), QStringLiteral("Dear Sam,\n"));
    }
}
