// The main road in the running app, the test to read first: the demo book,
// consent, the wizard's "Make It for Me", the book's page, and an order
// placed with the stand-in service until its payment page is asked for.
#include "app/app.h"
#include "app/contentview.h"
#include "app/mainwindow.h"
#include "flow/bookflow.h"
#include "flow/bookhomeview.h"
#include "flow/consentview.h"
#include "flow/ordersheet.h"
#include "model/library.h"
#include "ordertest.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>

namespace {

QString screenTexts(QWidget *widget)
{
    return widget ? TestSupport::visibleTexts(widget).join(QStringLiteral(" | ")) : QStringLiteral("(none)");
}

} // namespace

TEST(OrderRoad, FromTheDemoBookToThePaymentPage)
{
    BooksFolder books;
    StandIn service;
    service.pointClientHere();
    TestSupport::desktop().reset();
    qputenv("QUORVEL_DEMO", TestSupport::sourceDir().toUtf8() + "/samples/sample-book.json");
    App app(App::Options { QString() });
    app.window()->show();
    ContentView *content = app.window()->content();

    // The demo book is listed; choosing it asks for consent first.
    QString id;
    ASSERT_TRUE(TestSupport::waitUntil([&] {
        for (const Conversation &conversation : app.library()->conversations())
            id = conversation.id();
        return !id.isEmpty();
    }));
    content->setSelection(id);
    ASSERT_EQ(content->detail(), ContentView::Detail::Consent);
    auto *consent = qobject_cast<ConsentView *>(content->detailWidget());
    consent->okToPrint()->click();
    consent->readButton()->click();

    // A book without a design opens in the wizard: "Make It for Me".
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return content->detail() == ContentView::Detail::Book; }, 120000))
        << screenTexts(content->detailWidget()).toStdString();
    auto *flow = qobject_cast<BookFlow *>(content->detailWidget());
    ASSERT_TRUE(flow);
    ASSERT_EQ(flow->mode(), BookFlow::Mode::Wizard);
    QPushButton *makeIt = nullptr;
    ASSERT_TRUE(TestSupport::waitUntil(
        [&] {
            return (makeIt = buttonWithText(flow, QStringLiteral("Make It for Me"))) && makeIt->isEnabled();
        },
        120000))
        << screenTexts(flow).toStdString();
    makeIt->click();

    // The making screen hands over to the book's page, whose order button
    // states the price once the book is typeset.
    ASSERT_TRUE(TestSupport::waitUntil([&] { return flow->mode() == BookFlow::Mode::Home; }, 180000))
        << screenTexts(flow).toStdString();
    auto *home = qobject_cast<BookHomeView *>(flow->screen());
    ASSERT_TRUE(home);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return home->orderButton()->isEnabled(); }, 180000));
    EXPECT_FALSE(content->project()->book().design == std::nullopt);
    home->orderButton()->click();

    // The order sheet: stripe, an e-mail, and on to payment.
    OrderSheet *sheet = nullptr;
    ASSERT_TRUE(TestSupport::waitUntil([&] {
        sheet = home->findChild<OrderSheet *>();
        return sheet && fieldWithPlaceholder(sheet, QStringLiteral("Your email"))->isVisible();
    }));
    QTest::keyClicks(
        fieldWithPlaceholder(sheet, QStringLiteral("Your email")), QStringLiteral("sam@example.com"));
    buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
    ASSERT_TRUE(TestSupport::waitUntil(
        [&] {
            return TestSupport::findText(sheet, QStringLiteral("The payment page is open in your browser."));
        },
        180000))
        << screenTexts(sheet).toStdString();

    // The payment page was asked for, and the stand-in holds the order with
    // the print files this computer made.
    const QList<QStringList> opened = TestSupport::desktop().of(QStringLiteral("openUrl"));
    ASSERT_EQ(opened.size(), 1);
    const QString checkout = opened.first().first();
    EXPECT_TRUE(checkout.startsWith(service.origin() + QStringLiteral("/pay/")));
    const QJsonObject order = service.order(checkout.section(QLatin1Char('/'), -1));
    EXPECT_EQ(order.value(QStringLiteral("state")).toString(), QStringLiteral("awaiting payment"));
    EXPECT_EQ(order.value(QStringLiteral("email")).toString(), QStringLiteral("sam@example.com"));
    ASSERT_GE(order.value(QStringLiteral("files")).toArray().size(), 2);
    expectFilesAsMade(order, content->project()->folder());
    qunsetenv("QUORVEL_DEMO");
}
