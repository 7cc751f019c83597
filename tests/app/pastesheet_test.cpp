// The paste sheet against the real message tool: a chat it reads becomes a
// source; one it can't read stays in the sheet with the tool's own words.
#include "accessibletree.h"
#include "app/pastesheet.h"
#include "fitcheck.h"
#include "shelltest.h"
#include "ui/style.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Shell;

namespace {

class PasteSheetTest : public ShellTest
{
protected:
    PasteSheetTest()
    {
        lib = std::make_unique<Library>(Library::Environment {});
        window.resize(900, 700);
        window.show();
    }

    PasteSheet *present()
    {
        auto *sheet = new PasteSheet(lib.get(), &window);
        sheet->present();
        return sheet;
    }

    QStringList pastedFolders() const
    {
        return QDir(Helpers::support() + QStringLiteral("/Files"))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }

    std::unique_ptr<Library> lib;
    QWidget window;
};

const QString chat = QStringLiteral("\n1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Robin: hi there\n\n");

} // namespace

TEST_F(PasteSheetTest, AChatTheToolReadsIsAddedAsTypedAndTheSheetCloses)
{
    PasteSheet *sheet = present();
    QPointer<PasteSheet> alive(sheet);
    EXPECT_FALSE(sheet->chatButton()->isEnabled());
    sheet->textField()->setPlainText(QStringLiteral("  \n\t\n "));
    EXPECT_FALSE(sheet->chatButton()->isEnabled());
    sheet->textField()->setPlainText(chat);
    EXPECT_TRUE(sheet->chatButton()->isEnabled());
    // Return in the name field adds: the Part binds it to "Add Chat".
    sheet->nameField()->setFocus();
    QTest::keyClick(sheet->nameField(), Qt::Key_Return);

    ASSERT_TRUE(TestSupport::waitUntil([&] { return !alive; }));
    ASSERT_EQ(lib->added().size(), 1);
    const Source source = lib->added().first();
    EXPECT_EQ(source.name, "Pasted chat");
    EXPECT_EQ(TestSupport::readFile(*source.log), chat.toUtf8());
    ASSERT_TRUE(TestSupport::waitUntil([&] { return lib->loadingSources().isEmpty(); }));
    EXPECT_EQ(lib->lists().value(source.id).size(), 1);
}

TEST_F(PasteSheetTest, ANameOfSpacesIsKeptAsItIs)
{
    PasteSheet *sheet = present();
    QPointer<PasteSheet> alive(sheet);
    sheet->nameField()->setText(QStringLiteral("  "));
    sheet->textField()->setPlainText(chat);
    sheet->chatButton()->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !alive; }));
    EXPECT_EQ(lib->added().first().name, "  ");
}

TEST_F(PasteSheetTest, TextTheToolCantReadStaysWithTheToolsLastLine)
{
    const QStringList before = pastedFolders();
    PasteSheet *sheet = present();
    sheet->nameField()->setText(QStringLiteral("Sam"));
    sheet->textField()->setPlainText(QStringLiteral("this is not a chat\nnor is this"));
    sheet->chatButton()->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->error().isEmpty(); }));
    EXPECT_FALSE(sheet->error().contains("Error: "));
    EXPECT_FALSE(sheet->error().contains('\n'));
    EXPECT_TRUE(sheet->isVisible());
    // Said whole on a line of its own under the text, over nothing.
    for (int round = 0; round < 4; ++round)
        QApplication::processEvents();
    QWidget *sentence = TestSupport::findText(sheet, sheet->error());
    ASSERT_TRUE(sentence);
    EXPECT_EQ(TestSupport::outOfSight(sentence), QString());
    EXPECT_EQ(TestSupport::cutWidgets(sheet), QStringList());
    EXPECT_EQ(sheet->nameField()->text(), "Sam");
    EXPECT_TRUE(lib->added().isEmpty());
    // Nothing is kept of a chat that didn't read.
    EXPECT_EQ(pastedFolders(), before);

    // Escape closes without adding anything.
    QPointer<PasteSheet> alive(sheet);
    QTest::keyClick(sheet->textField(), Qt::Key_Escape);
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !alive; }));
    EXPECT_TRUE(lib->added().isEmpty());
}

TEST_F(PasteSheetTest, AScreenReaderHearsEveryFieldByNameOnceTypedIn)
{
    PasteSheet *sheet = present();
    for (QLineEdit *field : sheet->findChildren<QLineEdit *>())
        field->setText(QStringLiteral("Sam"));
    EXPECT_TRUE(TestSupport::everyElementNamed(sheet));
    sheet->reject();
}
