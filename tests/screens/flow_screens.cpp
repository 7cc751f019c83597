// One book's flow in the window beyond the wizard: the hand-off to the
// website, the book's page with its menu and sheets, the order sheet's
// faces, and the consent to print asked from the Wrapped.
#include "app/contentview.h"
#include "app/mainwindow.h"
#include "flow/bookflow.h"
#include "flow/bookhomeparts.h"
#include "flow/bookhomeview.h"
#include "flow/consentview.h"
#include "flow/ordersheet.h"
#include "flow/printconsentsheet.h"
#include "gallery.h"
#include "model/helpers.h"
#include "samplewindow.h"
#include "ui/unopenedpage.h"
#include "uitestsupport.h"
#include "viewer/bookview.h"
#include "wrapped/wrappedview.h"

#include <QAction>
#include <QApplication>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <qcorosignal.h>

using Gallery::atEverySize;

namespace {

QLineEdit *field(QWidget *root, const QString &placeholder)
{
    for (QLineEdit *line : root->findChildren<QLineEdit *>()) {
        if (line->placeholderText() == placeholder)
            return line;
    }
    return nullptr;
}

void type(QWidget *root, const QString &placeholder, const QString &text)
{
    QLineEdit *line = field(root, placeholder);
    ASSERT_TRUE(line) << placeholder.toStdString();
    line->setFocus();
    line->selectAll();
    QTest::keyClicks(line, text);
}

void click(QWidget *root, const QString &text)
{
    auto *button = qobject_cast<QAbstractButton *>(TestSupport::findText(root, text));
    ASSERT_TRUE(button) << text.toStdString();
    button->click();
}

// The website's button, named after the site the app hands to.
void handOff(QWidget *root)
{
    for (QPushButton *button : root->findChildren<QPushButton *>()) {
        if (button->isVisibleTo(root) && button->text().startsWith(QLatin1String("Make It on "))) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button to hand the conversation to the website";
}

bool shows(QWidget *root, const QString &text)
{
    return TestSupport::waitUntil([&] { return TestSupport::findText(root, text) != nullptr; }, 120000);
}

// The page scrolled to its end: deleting the book.
void scrollToEnd(QWidget *page)
{
    QScrollArea *scroll = page->findChild<QScrollArea *>();
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
}

} // namespace

TEST(FlowScreens, HandingTheConversationToTheWebsite)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample(SampleWindow::Consent::None);
        ASSERT_TRUE(sample.pick());
        handOff(sample.content()->detailWidget());
        ASSERT_TRUE(shows(sample.content()->detailWidget(), QStringLiteral("Back")));
        atEverySize(sample.window(), QStringLiteral("handoff"), QStringLiteral("open-in-browser"));
        click(sample.content()->detailWidget(), QStringLiteral("Back"));

        // No browser opened it: the address to copy and another try.
        TestSupport::desktop().opens = false;
        handOff(sample.content()->detailWidget());
        ASSERT_TRUE(shows(sample.content()->detailWidget(), QStringLiteral("Copy Link")));
        atEverySize(sample.window(), QStringLiteral("handoff"), QStringLiteral("unopened"));
        TestSupport::desktop().opens = true;
        click(sample.content()->detailWidget(), QStringLiteral("Back"));

        // Held on its way to the website: the conversation being sent.
        sample.service().script(
            { { QStringLiteral("path"), QStringLiteral("/api/inbox") }, { QStringLiteral("delay"), 4000 } });
        handOff(sample.content()->detailWidget());
        QTest::qWait(300);
        atEverySize(sample.window(), QStringLiteral("handoff"), QStringLiteral("sending"));
        ASSERT_TRUE(shows(sample.content()->detailWidget(), QStringLiteral("Back")));
        click(sample.content()->detailWidget(), QStringLiteral("Back"));
        sample.service().reset();

        sample.service().answer(QStringLiteral("/api/inbox"), 503, "{}");
        handOff(sample.content()->detailWidget());
        ASSERT_TRUE(shows(sample.content()->detailWidget(), QStringLiteral("Back")));
        atEverySize(sample.window(), QStringLiteral("handoff"), QStringLiteral("failed"));
    });
}

TEST(FlowScreens, TheBooksPageItsMenuSheetsAndQuestion)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        BookHomeView *home = sample.home();
        ASSERT_TRUE(home);
        MainWindow *window = sample.window();
        atEverySize(window, QStringLiteral("book-page"), QStringLiteral("end"), [&] { scrollToEnd(home); });
        atEverySize(
            window, QStringLiteral("book-page"), QStringLiteral("save-menu"),
            [&] { Gallery::dropDown(home->saveButton(), home->saveButton()->menu()); }, Gallery::closePopups);

        // Send to Kindle without a browser: its page to copy and another try.
        TestSupport::desktop().opens = false;
        home->exportEbook(EbookExport::Destination::Kindle);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return home->kindlePage()->isVisible(); }, 120000));
        TestSupport::desktop().opens = true;
        atEverySize(window, QStringLiteral("book-page"), QStringLiteral("kindle-unopened"));
        home->kindlePage()->retryButton()->click();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !home->kindlePage()->isVisible(); }));

        home->extra(QStringLiteral("Names in the book"))->click();
        QDialog *names = window->findChild<QDialog *>();
        ASSERT_TRUE(names);
        atEverySize(window, QStringLiteral("names-sheet"), QStringLiteral("first"));
        names->reject();
        QTest::qWait(50);

        home->extra(QStringLiteral("Add a page of your own"))->click();
        QDialog *page = nullptr;
        for (QDialog *dialog : window->findChildren<QDialog *>())
            page = dialog->isVisible() ? dialog : page;
        ASSERT_TRUE(page);
        QTest::keyClicks(page->findChild<QPlainTextEdit *>(), QStringLiteral("Dear Maya,"));
        atEverySize(window, QStringLiteral("add-page-sheet"), QStringLiteral("typed"));
        page->reject();

        home->confirmDelete();
        QMessageBox *question = home->findChild<QMessageBox *>();
        ASSERT_TRUE(question);
        atEverySize(window, QStringLiteral("book-page"), QStringLiteral("delete-question"));
        question->reject();
        QTest::qWait(50);

        // A price list that sets no page limit: one book, its add-ons kept.
        std::optional<Pricing> pricing = home->pricing();
        ASSERT_TRUE(pricing);
        pricing->pagesPerVolume = -1;
        sample.service().answer(QStringLiteral("pricing$"), 200, QJsonDocument(pricing->toJson()).toJson());
        BookView *pages = sample.pages();
        ASSERT_TRUE(pages);
        pages->backAction()->trigger();
        auto *unlimited = qobject_cast<BookHomeView *>(sample.flow()->screen());
        ASSERT_TRUE(unlimited);
        ASSERT_TRUE(TestSupport::waitUntil(
            [&] { return unlimited->pricesAsked() && unlimited->hasCover() && unlimited->pricing(); },
            120000));
        ASSERT_EQ(unlimited->pricing()->pagesPerVolume, -1);
        atEverySize(window, QStringLiteral("book-page"), QStringLiteral("no-page-limit"));
        sample.service().reset();
    });
}

// The Wrapped's count failing, and counted again on coming back: the
// placeholder while it counts, never the last failure's sentence. In the
// pane alone: the count is the flow's to choose, not the window's.
TEST(FlowScreens, TheWrappedsCountFailingAndRunAgain)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        ASSERT_TRUE(sample.open());
        std::shared_ptr<Project> project = sample.content()->project();
        ASSERT_TRUE(project);
        struct Held
        {
            int counts = 0;
            QTimer gate;
        };
        auto held = std::make_shared<Held>();
        held->gate.setSingleShot(true);
        BookFlow::Screens screens = BookFlow::Screens::standard();
        screens.count = [held](BookFile) -> QCoro::Task<Wrapped> {
            const std::shared_ptr<Held> mine = held;
            if (mine->counts++ > 0)
                co_await qCoro(&mine->gate, &QTimer::timeout);
            throw Helpers::Failure(
                QStringLiteral("brimlow-core"), 1, QStringLiteral("Error: The book has no days."));
        };
        QWidget pane;
        pane.setAutoFillBackground(true);
        pane.setBackgroundRole(QPalette::Base);
        auto *column = new QVBoxLayout(&pane);
        column->setContentsMargins(0, 0, 0, 0);
        auto *flow = new BookFlow(project, screens);
        column->addWidget(flow);
        pane.show();

        flow->openWrapped(std::nullopt);
        ASSERT_TRUE(shows(&pane, QStringLiteral("Make the Book")));
        atEverySize(&pane, QStringLiteral("wrapped-pane"), QStringLiteral("count-failed"));
        flow->makeBook();
        flow->openWrapped(std::nullopt);
        ASSERT_TRUE(shows(&pane, QStringLiteral("Counting")));
        atEverySize(&pane, QStringLiteral("wrapped-pane"), QStringLiteral("counting-again"));
        held->gate.start(0);
        ASSERT_TRUE(shows(&pane, QStringLiteral("Make the Book")));
    });
}

TEST(FlowScreens, TheOrderSheetFromFormToPaymentPage)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        BookHomeView *home = sample.home();
        ASSERT_TRUE(home);
        MainWindow *window = sample.window();
        StandIn &service = sample.service();
        const QString email = QStringLiteral("Your email");
        const QString gift = QStringLiteral("Gift card code (optional)");
        const QString discount = QStringLiteral("Discount or Friends of Friends code (optional)");
        auto present = [&] {
            home->order();
            OrderSheet *sheet = window->findChild<OrderSheet *>();
            EXPECT_TRUE(sheet);
            return sheet;
        };
        auto dismiss = [&](OrderSheet *sheet) {
            sheet->close();
            delete sheet;
            QTest::qWait(50);
        };

        service.script({ { QStringLiteral("path"), QStringLiteral("/api/ordering$") },
            { QStringLiteral("delay"), 3000 } });
        OrderSheet *sheet = present();
        Gallery::settle(300);
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("asking"));
        service.reset();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return field(sheet, email)->isVisible(); }, 120000));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("stripe"));

        type(sheet, email, QStringLiteral("pat@example.com"));
        type(sheet, discount, QStringLiteral("NOPE"));
        QTest::keyClick(field(sheet, discount), Qt::Key_Return);
        type(sheet, gift, QStringLiteral("GIFT-SPENT"));
        QTest::keyClick(field(sheet, gift), Qt::Key_Return);
        ASSERT_TRUE(shows(
            sheet, QStringLiteral("That code doesn't work. Check it against the card, dashes and all.")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("codes-refused"));
        dismiss(sheet);

        // A code typed but never applied, checked as the order is asked
        // for: refused, it stops the order beside its field.
        sheet = present();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return field(sheet, email)->isVisible(); }, 120000));
        type(sheet, email, QStringLiteral("pat@example.com"));
        type(sheet, discount, QStringLiteral("WELCOME1"));
        qobject_cast<QPushButton *>(TestSupport::findText(sheet, QStringLiteral("Continue to Payment")))
            ->click();
        ASSERT_TRUE(shows(sheet, QStringLiteral("That code doesn't work, or it's been used.")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("unapplied-code-refused"));
        dismiss(sheet);

        sheet = present();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return field(sheet, email)->isVisible(); }, 120000));
        type(sheet, email, QStringLiteral("pat@example.com"));
        type(sheet, gift, QStringLiteral("GIFT-FULL-2024"));
        QTest::keyClick(field(sheet, gift), Qt::Key_Return);
        ASSERT_TRUE(shows(sheet, QStringLiteral("The gift card from Alex covers all of it.")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("gift-address"));
        dismiss(sheet);

        // A code and a card that pays part: what is left, to the cent.
        sheet = present();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return field(sheet, email)->isVisible(); }, 120000));
        type(sheet, email, QStringLiteral("pat@example.com"));
        type(sheet, discount, QStringLiteral("WELCOME10"));
        QTest::keyClick(field(sheet, discount), Qt::Key_Return);
        ASSERT_TRUE(shows(sheet, QStringLiteral("10% off the book, from sharing your Wrapped.")));
        type(sheet, gift, QStringLiteral("GIFT-2500"));
        QTest::keyClick(field(sheet, gift), Qt::Key_Return);
        ASSERT_TRUE(
            shows(sheet, QStringLiteral("The gift card from Grandma takes off $25. $16.10 left to pay.")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("gift-part"));
        // The code taken out again: its line goes, and the card is set
        // against the whole price.
        type(sheet, discount, QString());
        QTest::keyClick(field(sheet, discount), Qt::Key_Backspace);
        ASSERT_TRUE(
            shows(sheet, QStringLiteral("The gift card from Grandma takes off $25. $20 left to pay.")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("code-taken-out"));
        dismiss(sheet);

        for (const char *path : { "/api/orders$", "/uploads/", "/submit$" })
            service.script(
                { { QStringLiteral("path"), QLatin1String(path) }, { QStringLiteral("delay"), 4000 } });
        sheet = present();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return field(sheet, email)->isVisible(); }, 120000));
        type(sheet, email, QStringLiteral("pat@example.com"));
        click(sheet, QStringLiteral("Continue to Payment"));
        ASSERT_TRUE(shows(sheet, QStringLiteral("Making the print files")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("making-files"));
        ASSERT_TRUE(shows(sheet, QStringLiteral("Sending them")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("sending"));
        ASSERT_TRUE(shows(sheet, QStringLiteral("The payment page is open in your browser.")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("done"));
        dismiss(sheet);
        service.reset();

        // The order is in, but no browser opened its payment page.
        TestSupport::desktop().opens = false;
        sheet = present();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return field(sheet, email)->isVisible(); }, 120000));
        type(sheet, email, QStringLiteral("pat@example.com"));
        click(sheet, QStringLiteral("Continue to Payment"));
        ASSERT_TRUE(shows(sheet, QStringLiteral("Copy Link")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("unopened"));
        dismiss(sheet);
        TestSupport::desktop().opens = true;

        service.answer(
            QStringLiteral("/api/orders$"), 502, "<html>Bad gateway</html>", QStringLiteral("text/html"));
        sheet = present();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return field(sheet, email)->isVisible(); }, 120000));
        type(sheet, email, QStringLiteral("pat@example.com"));
        click(sheet, QStringLiteral("Continue to Payment"));
        ASSERT_TRUE(shows(sheet, QStringLiteral("The order didn't go through (502). Nothing was charged.")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("failed"));
        dismiss(sheet);
        service.reset();

        service.setMode(QStringLiteral("email"));
        sheet = present();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return field(sheet, email)->isVisible(); }, 120000));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("by-email"));
        dismiss(sheet);

        service.setMode(QStringLiteral("off"));
        sheet = present();
        ASSERT_TRUE(shows(sheet,
            QStringLiteral("Ordering opens soon. Your book is ready, and you can save the PDF now and "
                           "order the printed copy when we open.")));
        atEverySize(window, QStringLiteral("order-sheet"), QStringLiteral("closed"));
        dismiss(sheet);
    });
}

TEST(FlowScreens, TheWrappedFirstThenConsentToPrint)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample(SampleWindow::Consent::None);
        ASSERT_TRUE(sample.pick());
        click(sample.content()->detailWidget(), QStringLiteral("See Our Wrapped"));
        ASSERT_TRUE(TestSupport::waitUntil(
            [&] { return sample.content()->detail() == ContentView::Detail::Book; }, 180000));
        if (!qobject_cast<WrappedView *>(sample.flow()->screen()))
            atEverySize(sample.window(), QStringLiteral("wrapped"), QStringLiteral("counting"));
        WrappedView *wrapped = sample.wrapped();
        ASSERT_TRUE(wrapped);
        wrapped->bookAction()->trigger();
        ASSERT_TRUE(sample.flow()->consentSheet());
        atEverySize(sample.window(), QStringLiteral("print-consent-sheet"), QStringLiteral("first"));
        sample.flow()->consentSheet()->reject();
    });
}
