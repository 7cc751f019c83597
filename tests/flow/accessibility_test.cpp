// The book's page and its sheets as a screen reader meets them: every
// control named, the order button by its words, every sheet titled.
#include "accessibletree.h"
#include "flow/addpagesheet.h"
#include "flow/addressform.h"
#include "flow/bookhomeview.h"
#include "flow/namessheet.h"
#include "flow/ordersheet.h"
#include "flow/printconsentsheet.h"
#include "flowtest.h"
#include "ordertest.h"

#include <QAbstractButton>

using namespace TestSupport;

namespace {

class BookPageAccessibility : public FlowTest
{
protected:
    void TearDown() override { desktop().reset(); }

    FakeTypst m_typst;
};

class OrderSheetAccessibility : public OrderTest
{
protected:
    void TearDown() override { delete window; }

    QWidget *window = new QWidget;
};

} // namespace

TEST_F(BookPageAccessibility, EveryControlHasANameAndTheOrderButtonSaysItsPrice)
{
    m_typst.pdf = blankPdf(40);
    std::shared_ptr<Project> project = open(designedBook());
    fakeTypesetting(*project, m_typst);
    BookHomeView view(project);
    view.resize(1280, 820);
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.pricesAsked() && project->layout().pageCount == 40; }));

    EXPECT_TRUE(everyElementNamed(&view));
    // The button's words are a label inside it; the button itself says them.
    const QStringList orders = spokenControls(&view).filter(QStringLiteral("Button: Order · $"));
    EXPECT_EQ(orders.size(), 1) << spokenControls(&view).join('\n').toStdString();
}

TEST_F(BookPageAccessibility, TheNamesAddPageAndConsentSheetsAreTitledAndTheirFieldsNamed)
{
    std::shared_ptr<Project> project = open(designedBook());
    NamesSheet names(project, nullptr);
    AddPageSheet page(project, nullptr);
    PrintConsentSheet consent(QStringLiteral("Sam"), nullptr);
    for (QDialog *sheet : std::initializer_list<QDialog *> { &names, &page, &consent }) {
        sheet->show();
        EXPECT_TRUE(everyElementNamed(sheet));
        sheet->hide();
    }
    // Each field by the label beside it, not only somewhere near it.
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(names.me())->text(QAccessible::Name), QStringLiteral("You"));
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(names.them())->text(QAccessible::Name), QStringLiteral("Them"));
    EXPECT_EQ(names.windowTitle(), QStringLiteral("Names in the book"));
    EXPECT_EQ(consent.windowTitle(), QStringLiteral("Make it a book"));
}

TEST_F(OrderSheetAccessibility, TheSheetIsTitledAndEveryFieldAndCodeNamed)
{
    auto *sheet = new OrderSheet(window, project, pricing);
    sheet->present();
    ASSERT_TRUE(waitUntil([&] { return fieldWithPlaceholder(sheet, "Your email")->isVisible(); }));
    EXPECT_TRUE(everyElementNamed(sheet));
    EXPECT_TRUE(sheet->windowTitle().startsWith(QStringLiteral("Order “")))
        << sheet->windowTitle().toStdString();
    sheet->close();
}

TEST(AddressFormAccessibility, EveryFieldKeepsItsNameOnceTypedIn)
{
    QDialog window;
    window.setWindowTitle(QStringLiteral("Address"));
    auto *form = new AddressForm(&window);
    window.show();
    for (QLineEdit *field : form->findChildren<QLineEdit *>())
        field->setText(QStringLiteral("1 Main St"));
    EXPECT_TRUE(everyElementNamed(&window));
    EXPECT_TRUE(spokenControls(&window).contains(QStringLiteral("EditableText: ZIP code")));
}
