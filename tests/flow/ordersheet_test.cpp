// The order sheet as the user meets it: its faces by ordering mode, the
// fields and codes, the address a gift card asks for, the stages of an
// order being placed, and the sheet closed while it goes on.
#include "flow/ordersheet.h"
#include "model/json.h"
#include "ordertest.h"
#include "service/coverart.h"
#include "service/rewards.h"
#include "ui/statusline.h"
#include "ui/style.h"
#include "ui/unopenedpage.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>

namespace {

class Sheets : public OrderTest
{
protected:
    void TearDown() override
    {
        delete window;
        qunsetenv("QUORVEL_TEST_ORDER");
    }

    // A sheet over the window, as the book page presents it.
    OrderSheet *present(std::optional<Pricing> prices)
    {
        auto *sheet = new OrderSheet(window, project, std::move(prices));
        sheet->present();
        return sheet;
    }

    OrderSheet *presentOpen(std::optional<Pricing> prices)
    {
        OrderSheet *sheet = present(std::move(prices));
        EXPECT_TRUE(
            TestSupport::waitUntil([&] { return fieldWithPlaceholder(sheet, "Your email")->isVisible(); }));
        return sheet;
    }

    OrderSheet *presentOpen() { return presentOpen(pricing); }

    static bool shows(QWidget *sheet, const QString &text)
    {
        return TestSupport::findText(sheet, text) != nullptr;
    }

    // The visible line under a field or of the sheet that says text.
    static StatusLine *lineSaying(QWidget *sheet, const QString &text)
    {
        for (StatusLine *line : sheet->findChildren<StatusLine *>()) {
            if (line->isVisible() && line->text() == text)
                return line;
        }
        return nullptr;
    }

    // A price list whose paperback with economy shipping costs $80.
    std::optional<Pricing> eightyDollars() const
    {
        Pricing prices = *pricing;
        prices.bindings.first().price = 80 - prices.shipping.first().price;
        return prices;
    }

    void chooseEconomy()
    {
        BookFile book = project->book();
        book.order = Order();
        project->setBook(book);
    }

    QWidget *window = new QWidget;
};

} // namespace

TEST_F(Sheets, StripeAsksForAnEmailAndPaysOnAPaymentPage)
{
    OrderSheet *sheet = presentOpen();
    EXPECT_TRUE(shows(sheet, QStringLiteral("Order “You & Sam”")));
    EXPECT_TRUE(shows(sheet,
        QStringLiteral(
            "We'll make the print files on this computer and send only those. You'll pay on a secure "
            "Stripe page, and it goes to the printer.")));
    EXPECT_TRUE(buttonWithText(sheet, QStringLiteral("Cancel")));
    QPushButton *order = buttonWithText(sheet, QStringLiteral("Continue to Payment"));
    ASSERT_TRUE(order);
    EXPECT_FALSE(order->isEnabled());
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat.example.com"));
    EXPECT_FALSE(order->isEnabled());
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("@"));
    EXPECT_TRUE(order->isEnabled());
}

TEST_F(Sheets, OtherModesConfirmByEmailAndOffOrdersNothing)
{
    service.setMode(QStringLiteral("email"));
    OrderSheet *sheet = presentOpen();
    EXPECT_TRUE(shows(sheet,
        QStringLiteral("We'll make the print files on this computer and send only those. We'll email you to "
                       "confirm the address and payment before anything is printed.")));
    EXPECT_TRUE(buttonWithText(sheet, QStringLiteral("Send It to Us")));
    sheet->close();

    // Closed ordering: only the words and Cancel, even for a test order.
    service.setMode(QStringLiteral("off"));
    qputenv("QUORVEL_TEST_ORDER", "test@example.com");
    OrderSheet *closed = present(pricing);
    const QString soon
        = QStringLiteral("Ordering opens soon. Your book is ready, and you can save the PDF now and "
                         "order the printed copy when we open.");
    ASSERT_TRUE(TestSupport::waitUntil([&] { return shows(closed, soon); }));
    QTest::qWait(300);
    QStringList buttons;
    for (QPushButton *button : closed->findChildren<QPushButton *>())
        if (button->isVisible())
            buttons << button->text();
    EXPECT_EQ(buttons, QStringList { QStringLiteral("Cancel") });
    EXPECT_EQ(ordersCreated(), 0);
}

TEST_F(Sheets, WhileTheModeIsAskedASpinnerShowsAndNothingCanBeSent)
{
    service.script(
        { { QStringLiteral("path"), QStringLiteral("/api/ordering$") }, { QStringLiteral("delay"), 1500 } });
    OrderSheet *sheet = present(pricing);
    QTest::qWait(200);
    EXPECT_FALSE(fieldWithPlaceholder(sheet, QStringLiteral("Your email"))->isVisible());
    QPushButton *send = buttonWithText(sheet, QStringLiteral("Send It to Us"));
    ASSERT_TRUE(send);
    EXPECT_FALSE(send->isEnabled());
    EXPECT_TRUE(buttonWithText(sheet, QStringLiteral("Cancel")));
    EXPECT_TRUE(
        TestSupport::waitUntil([&] { return buttonWithText(sheet, "Continue to Payment") != nullptr; }));
}

TEST_F(Sheets, ReturnInACodeFieldChecksTheCodeAndNothingElse)
{
    OrderSheet *sheet = presentOpen();
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
    QPushButton *apply = applyFor(sheet, QStringLiteral("Discount or Friends of Friends code (optional)"));
    ASSERT_TRUE(apply);
    EXPECT_FALSE(apply->isEnabled());
    typeInto(sheet, QStringLiteral("Discount or Friends of Friends code (optional)"), QStringLiteral("NOPE"));
    QTest::keyClick(
        fieldWithPlaceholder(sheet, "Discount or Friends of Friends code (optional)"), Qt::Key_Return);
    const QString refused = QStringLiteral("That code doesn't work, or it's been used.");
    EXPECT_TRUE(TestSupport::waitUntil([&] { return shows(sheet, refused); }));
    typeInto(sheet, QStringLiteral("Gift card code (optional)"), QStringLiteral("GIFT-SPENT"));
    QTest::keyClick(fieldWithPlaceholder(sheet, "Gift card code (optional)"), Qt::Key_Enter);
    EXPECT_TRUE(TestSupport::waitUntil(
        [&] { return shows(sheet, "That code doesn't work. Check it against the card, dashes and all."); }));
    // The codes' Return went no further: no order.
    QTest::qWait(200);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(ordersCreated(), 0);
    EXPECT_EQ(service.requests(QStringLiteral("/api/discounts/NOPE$")).size(), 1);

    // An emptied field still checks on Return: no answer, and the line goes.
    typeInto(sheet, QStringLiteral("Discount or Friends of Friends code (optional)"), QString());
    QTest::keyClick(
        fieldWithPlaceholder(sheet, "Discount or Friends of Friends code (optional)"), Qt::Key_Backspace);
    QTest::keyClick(
        fieldWithPlaceholder(sheet, "Discount or Friends of Friends code (optional)"), Qt::Key_Return);
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !shows(sheet, refused); }));
}

// Return did nothing in the sheet: the order button was nobody's default.
TEST_F(Sheets, ReturnOrdersOnceTheOrderCanGoAndEscapeCancels)
{
    QPointer<OrderSheet> cancelled = presentOpen();
    QTest::keyClick(fieldWithPlaceholder(cancelled, "Your email"), Qt::Key_Escape);
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !cancelled || !cancelled->isVisible(); }));
    EXPECT_EQ(ordersCreated(), 0);

    OrderSheet *sheet = presentOpen();
    QLineEdit *email = fieldWithPlaceholder(sheet, "Your email");
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat"));
    QTest::keyClick(email, Qt::Key_Return);
    QTest::qWait(200);
    EXPECT_EQ(ordersCreated(), 0);
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("@example.com"));
    QTest::keyClick(email, Qt::Key_Return);
    EXPECT_TRUE(TestSupport::waitUntil([&] { return ordersCreated() == 1; }));
    EXPECT_TRUE(TestSupport::waitUntil(
        [&] { return shows(sheet, QStringLiteral("The payment page is open in your browser.")); }));
}

TEST_F(Sheets, DiscountsSayWhoseTheyAre)
{
    // Another install's own invite code is a Friends of Friends code.
    const QString friendCode = friendsCode();
    OrderSheet *sheet = presentOpen();
    const QString field = QStringLiteral("Discount or Friends of Friends code (optional)");
    typeInto(sheet, field, friendCode);
    applyFor(sheet, field)->click();
    EXPECT_TRUE(
        TestSupport::waitUntil([&] { return shows(sheet, "Friends of Friends: 10% off the book."); }));
    typeInto(sheet, field, QStringLiteral("welcome10"));
    applyFor(sheet, field)->click();
    EXPECT_TRUE(
        TestSupport::waitUntil([&] { return shows(sheet, "10% off the book, from sharing your Wrapped."); }));
}

TEST_F(Sheets, EveryCodeLineSaysAFailureInTheErrorColourAndGoodNewsInTheSuccessColour)
{
    OrderSheet *sheet = presentOpen();
    const QString discount = QStringLiteral("Discount or Friends of Friends code (optional)");
    const QString gift = QStringLiteral("Gift card code (optional)");
    const auto expectInk = [&](const QString &field, const QString &code, const QString &line,
                               const QColor &ink) {
        typeInto(sheet, field, code);
        applyFor(sheet, field)->click();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return lineSaying(sheet, line); })) << line.toStdString();
        EXPECT_LT(TestSupport::colorDistance(TestSupport::inkOf(lineSaying(sheet, line)), ink), 30)
            << line.toStdString();
    };
    TestSupport::inBothAppearances([&](const QString &) {
        expectInk(discount, QStringLiteral("NOPE"),
            QStringLiteral("That code doesn't work, or it's been used."), Style::error());
        expectInk(discount, QStringLiteral("WELCOME10"),
            QStringLiteral("10% off the book, from sharing your Wrapped."), Style::success());
        expectInk(gift, QStringLiteral("GIFT-SPENT"),
            QStringLiteral("That code doesn't work. Check it against the card, dashes and all."),
            Style::error());
        expectInk(gift, QStringLiteral("GIFT-FULL-2024"),
            QStringLiteral("The gift card from Alex covers all of it."), Style::success());
        // Each look is the next one's starting point.
        for (const QString &field : { discount, gift }) {
            typeInto(sheet, field, QStringLiteral("x"));
            QTest::keyClick(fieldWithPlaceholder(sheet, field), Qt::Key_Backspace);
        }
    });
}

// Fault mended: a code taken out of its field after it was checked still
// showed its line, and the gift card's line still set the card against
// the price less that code, while the order went without it.
TEST_F(Sheets, EveryLineFollowsTheCodesAsTheyAreTypedNow)
{
    chooseEconomy();
    OrderSheet *sheet = presentOpen(eightyDollars());
    const QString discount = QStringLiteral("Discount or Friends of Friends code (optional)");
    const QString gift = QStringLiteral("Gift card code (optional)");
    const QString welcome = QStringLiteral("10% off the book, from sharing your Wrapped.");
    typeInto(sheet, discount, QStringLiteral("WELCOME10"));
    applyFor(sheet, discount)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return shows(sheet, welcome); }));
    typeInto(sheet, gift, QStringLiteral("GIFT-2500"));
    applyFor(sheet, gift)->click();
    // $74 of book less 10%, and $6 shipping: $72.60 due.
    ASSERT_TRUE(TestSupport::waitUntil(
        [&] { return shows(sheet, "The gift card from Grandma takes off $25. $47.60 left to pay."); }));

    typeInto(sheet, discount, QString());
    QTest::keyClick(fieldWithPlaceholder(sheet, discount), Qt::Key_Backspace);
    EXPECT_FALSE(shows(sheet, welcome));
    EXPECT_TRUE(shows(sheet, "The gift card from Grandma takes off $25. $55 left to pay."));

    // Typed back, the answer is the one it had; another code has none yet,
    // and the spaces a lookup drops change nothing.
    typeInto(sheet, discount, QStringLiteral(" WELCOME10 "));
    EXPECT_TRUE(shows(sheet, welcome));
    EXPECT_TRUE(shows(sheet, "The gift card from Grandma takes off $25. $47.60 left to pay."));
    typeInto(sheet, discount, QStringLiteral("WELCOME1"));
    EXPECT_FALSE(shows(sheet, welcome));
    typeInto(sheet, gift, QStringLiteral("GIFT-25"));
    EXPECT_FALSE(lineSaying(sheet, "The gift card from Grandma takes off $25. $55 left to pay."));
    EXPECT_FALSE(fieldWithPlaceholder(sheet, QStringLiteral("Name"))->isVisible());
}

TEST_F(Sheets, TheUnusedShareCodeIsInTheFieldAndCheckedAtOnce)
{
    Rewards::Claim claim;
    claim.url = QStringLiteral("https://example.com/post");
    claim.email = QStringLiteral("pat@example.com");
    claim.agree = true;
    const Rewards::Claimed claimed = TestSupport::await(Rewards::submit(claim));
    ASSERT_TRUE(claimed.discountCode);
    TestSupport::await(Rewards::shared().load());

    OrderSheet *sheet = presentOpen();
    EXPECT_EQ(fieldWithPlaceholder(sheet, "Discount or Friends of Friends code (optional)")->text(),
        *claimed.discountCode);
    EXPECT_TRUE(
        TestSupport::waitUntil([&] { return shows(sheet, "10% off the book, from sharing your Wrapped."); }));
    EXPECT_EQ(service.requests(QStringLiteral("/api/discounts/")).size(), 1);
    sheet->close();

    // The rewards the next test sees have no code: a fresh service's.
    StandIn fresh;
    fresh.pointClientHere();
    TestSupport::await(Rewards::shared().load());
    service.pointClientHere();
    OrderSheet *again = presentOpen();
    EXPECT_TRUE(
        fieldWithPlaceholder(again, "Discount or Friends of Friends code (optional)")->text().isEmpty());
}

TEST_F(Sheets, AGiftThatPaysPartSaysWhatIsLeft)
{
    chooseEconomy();
    OrderSheet *sheet = presentOpen(eightyDollars());
    typeInto(sheet, QStringLiteral("Gift card code (optional)"), QStringLiteral("GIFT-2500"));
    applyFor(sheet, QStringLiteral("Gift card code (optional)"))->click();
    EXPECT_TRUE(TestSupport::waitUntil(
        [&] { return shows(sheet, "The gift card from Grandma takes off $25. $55 left to pay."); }));
    EXPECT_FALSE(fieldWithPlaceholder(sheet, QStringLiteral("Name"))->isVisible());
}

TEST_F(Sheets, AGiftThatPaysAllAsksForTheAddress)
{
    OrderSheet *sheet = presentOpen();
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
    typeInto(sheet, QStringLiteral("Gift card code (optional)"), QStringLiteral("gift-full-2024"));
    QTest::keyClick(fieldWithPlaceholder(sheet, "Gift card code (optional)"), Qt::Key_Return);
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return shows(sheet, "The gift card from Alex covers all of it."); }));
    QPushButton *order = buttonWithText(sheet, QStringLiteral("Continue to Payment"));
    ASSERT_TRUE(fieldWithPlaceholder(sheet, QStringLiteral("Name"))->isVisible());
    EXPECT_FALSE(order->isEnabled());
    typeInto(sheet, QStringLiteral("Name"), QStringLiteral("Pat Doe"));
    typeInto(sheet, QStringLiteral("Address"), QStringLiteral("1 Main St"));
    typeInto(sheet, QStringLiteral("City"), QStringLiteral("Springfield"));
    typeInto(sheet, QStringLiteral("ZIP code"), QStringLiteral("62701"));
    typeInto(sheet, QStringLiteral("State"), QStringLiteral("  "));
    EXPECT_FALSE(order->isEnabled());
    typeInto(sheet, QStringLiteral("State"), QStringLiteral("IL"));
    EXPECT_TRUE(order->isEnabled());
    sheet->close();

    // Without prices there is no total to cover: no address asked.
    OrderSheet *unpriced = presentOpen(std::nullopt);
    typeInto(unpriced, QStringLiteral("Gift card code (optional)"), QStringLiteral("GIFT-FULL-2024"));
    applyFor(unpriced, QStringLiteral("Gift card code (optional)"))->click();
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return shows(unpriced, "The gift card from Alex covers all of it."); }));
    EXPECT_FALSE(fieldWithPlaceholder(unpriced, QStringLiteral("Name"))->isVisible());
}

TEST_F(Sheets, TheSheetFollowsTheOrderToItsClosingWords)
{
    // Each step held a little, long enough to be seen.
    for (const char *path : { "/api/orders$", "/uploads/", "/submit$" })
        service.script({ { QStringLiteral("path"), QLatin1String(path) }, { QStringLiteral("delay"), 700 } });
    OrderSheet *sheet = presentOpen();
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
    buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
    EXPECT_FALSE(buttonWithText(sheet, QStringLiteral("Continue to Payment"))->isEnabled());

    ASSERT_TRUE(TestSupport::waitUntil([&] { return shows(sheet, "Making the print files"); }));
    EXPECT_TRUE(shows(sheet, QStringLiteral("Close")));
    EXPECT_FALSE(shows(sheet, QStringLiteral("Book 1 of 1")));
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return shows(sheet, "Sending them") && shows(sheet, "1 of 2"); }));
    ASSERT_TRUE(TestSupport::waitUntil([&] { return shows(sheet, "Opening the payment page"); }));
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return shows(sheet, "The payment page is open in your browser."); }));
    EXPECT_FALSE(shows(sheet, QStringLiteral("Continue to Payment")));
    EXPECT_TRUE(shows(sheet, QStringLiteral("Close")));
}

TEST_F(Sheets, ARefusedCodeNeverAppliedStopsTheOrderBesideItsField)
{
    OrderSheet *sheet = presentOpen();
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
    typeInto(
        sheet, QStringLiteral("Discount or Friends of Friends code (optional)"), QStringLiteral("WELCOME1"));
    buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
    const QString refused = QStringLiteral("That code doesn't work, or it's been used.");
    ASSERT_TRUE(TestSupport::waitUntil([&] { return lineSaying(sheet, refused) != nullptr; }));
    QPushButton *order = buttonWithText(sheet, QStringLiteral("Continue to Payment"));
    ASSERT_TRUE(TestSupport::waitUntil([&] { return order->isEnabled(); }));
    EXPECT_EQ(ordersCreated(), 0);
    EXPECT_TRUE(fieldWithPlaceholder(sheet, "Your email")->isVisible());
    // Beside the field, not under the sheet: the line follows the discount row.
    QLineEdit *field
        = fieldWithPlaceholder(sheet, QStringLiteral("Discount or Friends of Friends code (optional)"));
    const QPoint fieldAt = field->mapTo(sheet, QPoint(0, field->height()));
    const QPoint lineAt = lineSaying(sheet, refused)->mapTo(sheet, QPoint(0, 0));
    EXPECT_GE(lineAt.y(), fieldAt.y());
    EXPECT_LT(lineAt.y(), fieldAt.y() + 40);

    typeInto(
        sheet, QStringLiteral("Discount or Friends of Friends code (optional)"), QStringLiteral("WELCOME10"));
    order->click();
    EXPECT_TRUE(TestSupport::waitUntil(
        [&] { return shows(sheet, "The payment page is open in your browser."); }, 120000));
    EXPECT_EQ(ordersCreated(), 1);
}

TEST_F(Sheets, AFailureIsShownAndTheFormComesBackWithEverythingTyped)
{
    service.answer(
        QStringLiteral("/api/orders$"), 502, "<html>Bad gateway</html>", QStringLiteral("text/html"));
    OrderSheet *sheet = presentOpen();
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
    typeInto(sheet, QStringLiteral("Gift card code (optional)"), QStringLiteral("GIFT-2500"));
    buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
    const QString failed = QStringLiteral("The order didn't go through (502). Nothing was charged.");
    ASSERT_TRUE(TestSupport::waitUntil([&] { return shows(sheet, failed); }, 120000));
    EXPECT_EQ(fieldWithPlaceholder(sheet, "Your email")->text(), QStringLiteral("pat@example.com"));
    EXPECT_EQ(fieldWithPlaceholder(sheet, "Gift card code (optional)")->text(), QStringLiteral("GIFT-2500"));
    EXPECT_TRUE(shows(sheet, QStringLiteral("Cancel")));

    service.reset();
    buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
    EXPECT_FALSE(shows(sheet, failed));
    EXPECT_TRUE(
        TestSupport::waitUntil([&] { return shows(sheet, "The payment page is open in your browser."); }));
}

// Without a browser the order is in but not paid: the payment page's
// address is the way to pay, to copy, and the browser can be asked again.
TEST_F(Sheets, APaymentPageTheBrowserDidntOpenIsOfferedWithItsAddress)
{
    const QString unopened = QStringLiteral(
        "The payment page didn't open in your browser. Open this address in a browser to pay for your book.");
    TestSupport::desktop().reset();
    TestSupport::desktop().opens = false;
    OrderSheet *sheet = presentOpen();
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
    buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return shows(sheet, unopened); }, 120000));
    EXPECT_FALSE(shows(sheet, QStringLiteral("The payment page is open in your browser.")));
    EXPECT_TRUE(shows(sheet, QStringLiteral("Close")));
    const QString page = TestSupport::desktop().of(QStringLiteral("openUrl")).first().first();
    EXPECT_TRUE(page.startsWith(service.origin() + QStringLiteral("/pay/")));
    auto *offered = sheet->findChild<UnopenedPage *>();
    ASSERT_TRUE(offered && offered->isVisible());
    EXPECT_EQ(offered->findChild<QLineEdit *>()->text(), page);

    buttonWithText(sheet, QStringLiteral("Copy Link"))->click();
    EXPECT_EQ(TestSupport::desktop().of(QStringLiteral("copyText")), QList<QStringList>({ { page } }));
    EXPECT_TRUE(shows(sheet, QStringLiteral("Copied")));
    // Tried again once there is a browser: as when it opened at once.
    TestSupport::desktop().opens = true;
    buttonWithText(sheet, QStringLiteral("Try Again"))->click();
    ASSERT_TRUE(TestSupport::waitUntil(
        [&] { return shows(sheet, QStringLiteral("The payment page is open in your browser.")); }));
    EXPECT_FALSE(offered->isVisible());
    EXPECT_EQ(
        TestSupport::desktop().of(QStringLiteral("openUrl")), QList<QStringList>({ { page }, { page } }));
}

TEST_F(Sheets, ClosedMidwayTheOrderGoesOnAndAnotherSheetShowsIt)
{
    service.script(
        { { QStringLiteral("path"), QStringLiteral("/uploads/") }, { QStringLiteral("delay"), 600 } });
    OrderSheet *sheet = presentOpen();
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
    buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return shows(sheet, "Sending them"); }, 120000));
    const QPointer<OrderSheet> closing = sheet;
    buttonWithText(sheet, QStringLiteral("Close"))->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return closing.isNull(); }));

    OrderSheet *again = present(pricing);
    EXPECT_TRUE(shows(again, QStringLiteral("Sending them"))
        || shows(again, QStringLiteral("Opening the payment page")));
    EXPECT_FALSE(fieldWithPlaceholder(again, QStringLiteral("Your email"))->isVisible());
    EXPECT_TRUE(
        TestSupport::waitUntil([&] { return shows(again, "The payment page is open in your browser."); }));
    EXPECT_EQ(ordersCreated(), 1);
    EXPECT_EQ(TestSupport::desktop().of(QStringLiteral("openUrl")).size(), 1);
}

TEST_F(Sheets, ATestOrderGoesWithoutAnyInput)
{
    qputenv("QUORVEL_TEST_ORDER", "test@example.com");
    OrderSheet *sheet = present(pricing);
    ASSERT_TRUE(TestSupport::waitUntil(
        [&] { return shows(sheet, "The payment page is open in your browser."); }, 120000));
    const QJsonObject created = Json::parseObject(StandIn::body(service.requests("/api/orders$").first()));
    EXPECT_EQ(created.value(QStringLiteral("email")).toString(), QStringLiteral("test@example.com"));
}

TEST_F(Sheets, AGiftCardTakenOutAgainTakesTheAddressAwayAndGoesOnToPayment)
{
    service.script(
        { { QStringLiteral("path"), QStringLiteral("/uploads/") }, { QStringLiteral("delay"), 800 } });
    const QString gift = QStringLiteral("Gift card code (optional)");
    OrderSheet *sheet = presentOpen();
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
    typeInto(sheet, gift, QStringLiteral("GIFT-FULL-2024"));
    applyFor(sheet, gift)->click();
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return shows(sheet, "The gift card from Alex covers all of it."); }));
    EXPECT_TRUE(fieldWithPlaceholder(sheet, "Name")->isVisible());
    typeInto(sheet, gift, QString());
    QTest::keyClick(fieldWithPlaceholder(sheet, gift), Qt::Key_Backspace);
    QTest::keyClick(fieldWithPlaceholder(sheet, gift), Qt::Key_Return);
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !fieldWithPlaceholder(sheet, "Name")->isVisible(); }));
    buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
    EXPECT_TRUE(TestSupport::waitUntil([&] { return shows(sheet, "Sending them"); }, 120000));
    EXPECT_TRUE(
        TestSupport::waitUntil([&] { return shows(sheet, "The payment page is open in your browser."); }));
}

// The sheet is as tall as what it shows: no band of the form's hidden
// parts, or of the spinner it showed first, above its buttons.
TEST_F(Sheets, TheSheetIsAsTallAsWhatItShows)
{
    OrderSheet *sheet = presentOpen();
    QApplication::processEvents();
    QPushButton *cancel = buttonWithText(sheet, QStringLiteral("Cancel"));
    QLineEdit *gift = fieldWithPlaceholder(sheet, QStringLiteral("Gift card code (optional)"));
    ASSERT_TRUE(cancel && gift);
    const int below
        = cancel->mapTo(sheet, QPoint(0, 0)).y() - gift->mapTo(sheet, QPoint(0, gift->height())).y();
    EXPECT_LE(below, 48);
    EXPECT_GE(below, 12);
}
