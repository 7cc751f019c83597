// Every amount the app shows for an order, on the book's page and in the
// order sheet, against what the stand-in then asks for it on its payment
// page: a $39 paperback sent by $6 economy, the code WELCOME10 (10% off the
// book, never the shipping) and the gift cards GIFT-2500 ($25 from Grandma),
// GIFT-4200 ($42 from Jo) and GIFT-FULL-2024 (from Alex, enough for any book).
//
// Fault mended: the button read "Order · $39" for a book without saved
// choices although its page shows economy shipping and the service charges
// it; the gift line set the card against the price before the code ("$14
// left to pay", or a card that "covers all of it" and asks for the address
// when it doesn't); and the stand-in ignored a card that paid only part.
#include "flow/bookhomeview.h"
#include "flow/ordercodes.h"
#include "flow/ordersheet.h"
#include "ordertest.h"
#include "service/rewards.h"
#include "ui/errors.h"

#include <QRegularExpression>
#include <QTest>

namespace {

struct Case
{
    const char *name;
    // The book has its order choices saved (the wizard's), or none yet.
    bool saved;
    QString discount;
    QString gift;
    // The gift line under the card's field; empty without a card.
    QString giftLine;
    // What the payment page asks.
    QString due;
    // The discount field is emptied again once both codes are applied.
    bool discountTakenOut = false;
};

// What the user met, from the book's page to the payment page.
struct Seen
{
    QString button;
    QString discountLine;
    QString giftLine;
    bool addressAsked = false;
    QString closing;
    QString error;
    QString page;
};

const QString discountField = QStringLiteral("Discount or Friends of Friends code (optional)");
const QString giftField = QStringLiteral("Gift card code (optional)");
const QString pageOpen = QStringLiteral("The payment page is open in your browser.");
const QString paidByCard = QStringLiteral("The gift card covers all of it. We'll email you when it ships.");

class Amounts : public OrderTest
{
protected:
    void TearDown() override { delete window; }

    void setSaved(bool saved)
    {
        BookFile book = project->book();
        book.order = saved ? std::optional(Order()) : std::nullopt;
        project->setBook(book);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !project->isTypesetting(); }, 120000));
    }

    // The order button's words once the page has its prices.
    QString button()
    {
        BookHomeView view(project);
        view.show();
        EXPECT_TRUE(TestSupport::waitUntil([&] { return view.pricesAsked(); }, 60000));
        return view.orderLabel().plainText();
    }

    // The visible line of the sheet that starts so; empty when none shows.
    static QString lineStarting(QWidget *sheet, const QString &start)
    {
        for (StatusLine *line : sheet->findChildren<StatusLine *>()) {
            if (line->isVisible() && line->text().startsWith(start))
                return line->text();
        }
        return {};
    }

    static QString errorShown(QWidget *sheet)
    {
        for (ErrorRow *row : sheet->findChildren<ErrorRow *>()) {
            if (row->isVisible() && !row->text().isEmpty())
                return row->text();
        }
        return {};
    }

    // Orders as the user does, in the stripe mode, with a fresh stand-in so
    // that every card has its whole balance.
    Seen order(const Case &c)
    {
        StandIn fresh;
        fresh.pointClientHere();
        TestSupport::desktop().reset();
        Seen seen;
        seen.button = button();

        auto *sheet = new OrderSheet(window, project, pricing);
        sheet->present();
        EXPECT_TRUE(
            TestSupport::waitUntil([&] { return fieldWithPlaceholder(sheet, "Your email")->isVisible(); }));
        typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
        if (!c.discount.isEmpty()) {
            typeInto(sheet, discountField, c.discount);
            applyFor(sheet, discountField)->click();
            EXPECT_TRUE(TestSupport::waitUntil([&] { return !lineStarting(sheet, "10% off").isEmpty(); }));
        }
        if (!c.gift.isEmpty()) {
            typeInto(sheet, giftField, c.gift);
            applyFor(sheet, giftField)->click();
            EXPECT_TRUE(TestSupport::waitUntil(
                [&] { return !lineStarting(sheet, QStringLiteral("The gift card")).isEmpty(); }));
            seen.giftLine = lineStarting(sheet, QStringLiteral("The gift card"));
        }
        if (c.discountTakenOut) {
            typeInto(sheet, discountField, QString());
            QTest::keyClick(fieldWithPlaceholder(sheet, discountField), Qt::Key_Backspace);
            seen.discountLine = lineStarting(sheet, QStringLiteral("10% off"));
            seen.giftLine = lineStarting(sheet, QStringLiteral("The gift card"));
        }
        seen.addressAsked = fieldWithPlaceholder(sheet, QStringLiteral("Name"))->isVisible();
        if (seen.addressAsked) {
            typeInto(sheet, QStringLiteral("Name"), QStringLiteral("Pat Doe"));
            typeInto(sheet, QStringLiteral("Address"), QStringLiteral("1 Main St"));
            typeInto(sheet, QStringLiteral("City"), QStringLiteral("Springfield"));
            typeInto(sheet, QStringLiteral("State"), QStringLiteral("IL"));
            typeInto(sheet, QStringLiteral("ZIP code"), QStringLiteral("62701"));
        }
        buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
        EXPECT_TRUE(TestSupport::waitUntil(
            [&] {
                seen.error = errorShown(sheet);
                seen.closing = fieldWithPlaceholder(sheet, "Your email")->isVisible()
                    ? QString()
                    : lineStarting(sheet, QString());
                return !seen.closing.isEmpty() || !seen.error.isEmpty();
            },
            120000));

        // The page of the order the stand-in took, whether the app opened it
        // or the card paid for everything.
        const QList<QJsonObject> submitted = fresh.requests(QStringLiteral("/submit$"));
        if (!submitted.isEmpty()) {
            const QString path = submitted.last().value(QStringLiteral("path")).toString();
            Http::Request request;
            request.url
                = QUrl(fresh.origin() + QStringLiteral("/pay/") + path.section(QLatin1Char('/'), -2, -2));
            seen.page = QString::fromUtf8(TestSupport::await(Http::send(request)).body);
        }
        sheet->close();
        service.pointClientHere();
        return seen;
    }

    static QString dueOn(const QString &page)
    {
        static const QRegularExpression due(QStringLiteral("Amount due: (\\$[0-9.]+)"));
        return due.match(page).captured(1);
    }

    void expectAsAsked(const Case &c)
    {
        SCOPED_TRACE(c.name);
        setSaved(c.saved);
        const Seen seen = order(c);
        ASSERT_TRUE(seen.error.isEmpty()) << seen.error.toStdString();
        EXPECT_EQ(seen.button, QStringLiteral("Order · $45"));
        EXPECT_EQ(seen.giftLine, c.giftLine);
        EXPECT_EQ(dueOn(seen.page), c.due) << seen.page.toStdString();
        // A card that pays for everything asks for the address and closes
        // the order itself; anything left to pay goes to the payment page.
        const bool covered = c.due == QLatin1String("$0");
        EXPECT_EQ(seen.addressAsked, covered);
        EXPECT_EQ(seen.closing, covered ? paidByCard : pageOpen);
        if (!covered)
            EXPECT_TRUE(seen.page.contains(QStringLiteral("Pay %1 ").arg(c.due))) << seen.page.toStdString();
        EXPECT_TRUE(seen.discountLine.isEmpty()) << seen.discountLine.toStdString();
        EXPECT_EQ(seen.page.contains(QStringLiteral("WELCOME10: &minus;$3.90")),
            !c.discount.isEmpty() && !c.discountTakenOut)
            << seen.page.toStdString();
        if (!c.gift.isEmpty())
            EXPECT_TRUE(seen.page.contains(QStringLiteral("Gift card ") + c.gift)) << seen.page.toStdString();
    }

    QWidget *window = new QWidget;
};

} // namespace

TEST_F(Amounts, WithoutAGiftCardTheButtonAndThePageAgree)
{
    for (const Case &c : {
             Case { "no code, no saved order", false, {}, {}, {}, QStringLiteral("$45") },
             Case { "no code, a saved order", true, {}, {}, {}, QStringLiteral("$45") },
             Case { "the code alone", false, QStringLiteral("WELCOME10"), {}, {}, QStringLiteral("$41.10") },
         })
        expectAsAsked(c);
}

TEST_F(Amounts, AGiftCardThatPaysPartLeavesWhatThePageAsks)
{
    const QString grandma = QStringLiteral("The gift card from Grandma takes off $25. ");
    for (const Case &c : {
             Case { "the card alone", false, {}, QStringLiteral("GIFT-2500"),
                 grandma + QStringLiteral("$20 left to pay."), QStringLiteral("$20") },
             Case { "code and card, no saved order", false, QStringLiteral("WELCOME10"),
                 QStringLiteral("GIFT-2500"), grandma + QStringLiteral("$16.10 left to pay."),
                 QStringLiteral("$16.10") },
             Case { "code and card, a saved order", true, QStringLiteral("WELCOME10"),
                 QStringLiteral("GIFT-2500"), grandma + QStringLiteral("$16.10 left to pay."),
                 QStringLiteral("$16.10") },
         })
        expectAsAsked(c);
}

TEST_F(Amounts, AGiftCardThatPaysAllAsksForTheAddressAndNothingIsDue)
{
    for (const Case &c : {
             Case { "a big card alone", false, {}, QStringLiteral("GIFT-FULL-2024"),
                 QStringLiteral("The gift card from Alex covers all of it."), QStringLiteral("$0") },
             Case { "a big card and the code", true, QStringLiteral("WELCOME10"),
                 QStringLiteral("GIFT-FULL-2024"),
                 QStringLiteral("The gift card from Alex covers all of it."), QStringLiteral("$0") },
             // $42 pays for the $41.10 left after the code, not for $45.
             Case { "a card enough only after the code", false, QStringLiteral("WELCOME10"),
                 QStringLiteral("GIFT-4200"), QStringLiteral("The gift card from Jo covers all of it."),
                 QStringLiteral("$0") },
             Case { "the same card without the code", false, {}, QStringLiteral("GIFT-4200"),
                 QStringLiteral("The gift card from Jo takes off $42. $3 left to pay."),
                 QStringLiteral("$3") },
         })
        expectAsAsked(c);
}

// Fault mended: with the code taken out of its field again, the sheet
// still said "10% off the book" and set the card against the price less
// the code ("$16.10 left to pay"), while the order went without the code
// and its page asked $20.
TEST_F(Amounts, ACodeTakenOutAgainIsNeitherShownNorTakenOff)
{
    for (const Case &c : {
             Case { "the code taken out, with a card", false, QStringLiteral("WELCOME10"),
                 QStringLiteral("GIFT-2500"),
                 QStringLiteral("The gift card from Grandma takes off $25. $20 left to pay."),
                 QStringLiteral("$20"), true },
             // $42 pays for $41.10, not for the $45 asked without the code.
             Case { "the code taken out, with a card it no longer covers", false, QStringLiteral("WELCOME10"),
                 QStringLiteral("GIFT-4200"),
                 QStringLiteral("The gift card from Jo takes off $42. $3 left to pay."), QStringLiteral("$3"),
                 true },
         })
        expectAsAsked(c);
}

// The share reward the button strikes through is the code the sheet fills
// in, and what the button asks after it is what the payment page asks.
TEST_F(Amounts, TheShareRewardOnTheButtonIsWhatThePageAsks)
{
    setSaved(false);
    Rewards::Claim claim;
    claim.url = QStringLiteral("https://example.com/post");
    claim.email = QStringLiteral("pat@example.com");
    claim.agree = true;
    ASSERT_TRUE(TestSupport::await(Rewards::submit(claim)).discountCode);
    TestSupport::await(Rewards::shared().load());
    EXPECT_EQ(button(), QStringLiteral("Order · $45 $41.10"));

    auto *sheet = new OrderSheet(window, project, pricing);
    sheet->present();
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return !lineStarting(sheet, QStringLiteral("10% off")).isEmpty(); }));
    typeInto(sheet, QStringLiteral("Your email"), QStringLiteral("pat@example.com"));
    buttonWithText(sheet, QStringLiteral("Continue to Payment"))->click();
    ASSERT_TRUE(TestSupport::waitUntil(
        [&] { return !TestSupport::desktop().of(QStringLiteral("openUrl")).isEmpty(); }, 120000));
    Http::Request request;
    request.url = QUrl(TestSupport::desktop().of(QStringLiteral("openUrl")).first().first());
    EXPECT_EQ(
        dueOn(QString::fromUtf8(TestSupport::await(Http::send(request)).body)), QStringLiteral("$41.10"));

    // The next test in this process meets no reward.
    StandIn fresh;
    fresh.pointClientHere();
    TestSupport::await(Rewards::shared().load());
}
