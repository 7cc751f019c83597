// Placing an order for real: print files made by typst, the order created
// on the stand-in, covers set to the printer's spine, every file sent, the
// order submitted, and the payment page asked for through the desktop.
#include "flow/ordermodel.h"
#include "model/helpers.h"
#include "model/json.h"
#include "ordertest.h"

namespace {

QString kindName(OrderModel::Stage::Kind kind)
{
    switch (kind) {
    case OrderModel::Stage::Kind::Preparing:
        return QStringLiteral("preparing");
    case OrderModel::Stage::Kind::Uploading:
        return QStringLiteral("uploading");
    case OrderModel::Stage::Kind::Done:
        return QStringLiteral("done");
    case OrderModel::Stage::Kind::Ready:
        return QStringLiteral("ready");
    case OrderModel::Stage::Kind::Handing:
        return QStringLiteral("handing");
    }
    return {};
}

class Placement : public OrderTest
{
protected:
    std::shared_ptr<OrderModel> model(
        const QString &mode, const QString &email = QStringLiteral("pat@example.com"))
    {
        std::shared_ptr<OrderModel> made = OrderModel::make(project, pricing);
        made->setMode(mode);
        made->setEmail(email);
        auto last = std::make_shared<OrderModel::Stage>(made->stage());
        QObject::connect(made.get(), &OrderModel::changed, made.get(), [this, last, raw = made.get()] {
            const OrderModel::Stage stage = raw->stage();
            if (stage == *last)
                return;
            *last = stage;
            stages.append(kindName(stage.kind)
                + (stage.of ? QStringLiteral(" %1/%2").arg(stage.step).arg(stage.of) : QString()));
        });
        return made;
    }

    // Places the order and waits for the road to end.
    void place(OrderModel &order)
    {
        order.go();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !order.isPlacing(); }, 120000));
    }

    static bool giftChecked(OrderModel &order, const QString &code)
    {
        order.setGiftCode(code);
        order.checkGift();
        return TestSupport::waitUntil([&] { return order.gift().has_value(); });
    }

    QStringList stages;
};

} // namespace

TEST_F(Placement, StripeSendsEveryPrintFileAndOpensThePaymentPage)
{
    QList<QStringList> typstRuns;
    project->setPrintRunner([&typstRuns](QStringList arguments) -> QCoro::Task<void> {
        typstRuns.append(arguments);
        co_await Helpers::run(Helpers::typst(), arguments);
    });
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    place(*order);

    ASSERT_FALSE(order->error()) << order->error()->toStdString();
    EXPECT_EQ(
        order->stage(), OrderModel::Stage::done(QStringLiteral("The payment page is open in your browser.")));
    EXPECT_EQ(stages, (QStringList { "preparing 1/1", "uploading 1/2", "uploading 2/2", "handing", "done" }));
    const QList<QStringList> opened = TestSupport::desktop().of(QStringLiteral("openUrl"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.first().first().startsWith(service.origin() + QStringLiteral("/pay/")));

    // The stand-in holds the very PDFs made here, with their page counts.
    const QJsonObject placed = orderOf(opened.first().first());
    EXPECT_EQ(placed.value(QStringLiteral("state")).toString(), QStringLiteral("awaiting payment"));
    EXPECT_EQ(placed.value(QStringLiteral("email")).toString(), QStringLiteral("pat@example.com"));
    ASSERT_EQ(placed.value(QStringLiteral("files")).toArray().size(), 2);
    expectFilesAsMade(placed, project->folder());
    EXPECT_GE(pagesOf(project->folder() + QStringLiteral("/print/interior-1.pdf")), 32);

    // The cover was set again, after the order was made, with the printer's wrap.
    ASSERT_FALSE(typstRuns.isEmpty());
    EXPECT_TRUE(typstRuns.last().contains(QStringLiteral("wrap=0.7500")))
        << typstRuns.last().join(' ').toStdString();
    EXPECT_TRUE(typstRuns.last().last().endsWith(QLatin1String("/cover-1.pdf")));

    const QJsonObject created = Json::parseObject(StandIn::body(service.requests("/api/orders$").first()));
    EXPECT_EQ(created.value(QStringLiteral("title")).toString(), QStringLiteral("You & Sam"));
    EXPECT_EQ(created.value(QStringLiteral("binding")).toString(), QStringLiteral("paperback"));
    EXPECT_EQ(created.value(QStringLiteral("shipping")).toString(), QStringLiteral("economy"));
    EXPECT_FALSE(created.contains(QStringLiteral("giftCode")));
    EXPECT_FALSE(created.contains(QStringLiteral("discountCode")));
    EXPECT_EQ(
        StandIn::body(service.requests("/submit$").first()), QByteArray(R"({"email":"pat@example.com"})"));
}

TEST_F(Placement, EmailModeEndsInTheClosingWordsWithoutABrowser)
{
    service.setMode(QStringLiteral("email"));
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("email"));
    place(*order);
    EXPECT_EQ(order->stage(), OrderModel::Stage::done(QStringLiteral("We have it. Watch your email.")));
    EXPECT_TRUE(TestSupport::desktop().of(QStringLiteral("openUrl")).isEmpty());
    EXPECT_EQ(ordersCreated(), 1);
}

// Whatever step fails, the sheet says so, nothing is charged, and the next
// press goes through: a failed try leaves nothing the next one trips over.
TEST_F(Placement, AFailureAtAnyStepIsToldAndTheNextTryGoesThrough)
{
    struct Failing
    {
        std::function<void(StandIn &)> script;
        QString words;
    };
    const QList<Failing> failures {
        { [](StandIn &s) { s.answer(QStringLiteral("/api/orders$"), 500, "<h1>oops</h1>", "text/html"); },
            QStringLiteral("The order didn't go through (500). Nothing was charged.") },
        { [](StandIn &s) {
             s.answer(QStringLiteral("/cover-1.pdf$"), 507, R"({"error":"The press is full."})");
         },
            QStringLiteral("The press is full.") },
        { [](StandIn &s) { s.drop(QStringLiteral("/submit$")); }, QString() },
    };
    for (const Failing &failing : failures) {
        service.reset();
        TestSupport::desktop().reset();
        failing.script(service);
        const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
        place(*order);
        ASSERT_TRUE(order->error()) << failing.words.toStdString();
        if (!failing.words.isEmpty())
            EXPECT_EQ(*order->error(), failing.words);
        EXPECT_EQ(order->stage(), OrderModel::Stage::ready());
        EXPECT_TRUE(TestSupport::desktop().of(QStringLiteral("openUrl")).isEmpty());

        service.reset();
        place(*order);
        EXPECT_FALSE(order->error()) << order->error().value_or(QString()).toStdString();
        const QList<QStringList> opened = TestSupport::desktop().of(QStringLiteral("openUrl"));
        ASSERT_EQ(opened.size(), 1) << failing.words.toStdString();
        EXPECT_EQ(orderOf(opened.first().first()).value(QStringLiteral("files")).toArray().size(), 2);
    }
}

TEST_F(Placement, AFileTheBookDidNotMakeStopsTheUploadsThere)
{
    const QString upload = service.origin() + QStringLiteral("/uploads/o1/");
    service.answer(QStringLiteral("/api/orders$"), 200,
        QStringLiteral(R"({"id":"o1","token":"t","mode":"stripe","files":[)"
                       R"({"name":"cover-1.pdf","url":"%1cover-1.pdf"},)"
                       R"({"name":"interior-3.pdf","url":"%1interior-3.pdf"},)"
                       R"({"name":"interior-1.pdf","url":"%1interior-1.pdf"}]})")
            .arg(upload)
            .toUtf8());
    service.answer(QStringLiteral("/uploads/"), 200, "{}");
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    place(*order);
    EXPECT_EQ(order->error(), QStringLiteral("Missing interior-3.pdf."));
    // The cover, listed first, went first; nothing after the missing file.
    const QList<QJsonObject> sent = service.requests(QStringLiteral("/uploads/"));
    ASSERT_EQ(sent.size(), 1);
    EXPECT_TRUE(
        sent.first().value(QStringLiteral("path")).toString().endsWith(QLatin1String("/cover-1.pdf")));
    EXPECT_EQ(stages.mid(1, 2), (QStringList { "uploading 1/3", "uploading 2/3" }));
    EXPECT_TRUE(service.requests(QStringLiteral("/submit$")).isEmpty());
}

TEST_F(Placement, CoversFollowTheVolumeOrderWhateverTheServicesOrder)
{
    // A page limit that cuts the book in two, its days spread over pages by
    // a page added before the last, and print runs that only write their
    // files, so only the order of the spines is at stake.
    const int before = project->layout().pageCount;
    project->addPage(project->book().messages.last().at.left(10), QStringLiteral("The last day"));
    ASSERT_TRUE(TestSupport::waitUntil(
        [&] { return project->layout().pageCount > before && !project->isTypesetting(); }, 120000));
    pricing->pagesPerVolume = VolumePlan::reserved + 1;
    while (project->planVolumes(pricing->pagesPerVolume).size() > 2)
        ++pricing->pagesPerVolume;
    ASSERT_EQ(project->planVolumes(pricing->pagesPerVolume).size(), 2);
    QList<QStringList> covers;
    project->setPrintRunner([&covers](QStringList arguments) -> QCoro::Task<void> {
        TestSupport::writeFile(arguments.last(), blankPdf(32));
        if (arguments.last().contains(QLatin1String("/cover-")))
            covers.append(arguments);
        co_return;
    });
    service.answer(QStringLiteral("/api/orders$"), 200,
        R"({"id":"o1","token":"t","mode":"email","files":[],"covers":[)"
        R"({"volume":2,"printer":"p","spine":0.5,"wrap":0.7},{"volume":1,"printer":"p","spine":0.3}]})");
    service.answer(QStringLiteral("/submit$"), 200, "{}");
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("email"));
    place(*order);

    ASSERT_FALSE(order->error()) << order->error()->toStdString();
    EXPECT_EQ(stages, (QStringList { "preparing 1/2", "preparing 2/2", "handing", "done" }));
    const QJsonObject created = Json::parseObject(StandIn::body(service.requests("/api/orders$").first()));
    EXPECT_EQ(created.value(QStringLiteral("volumePages")).toArray(), (QJsonArray { 32, 32 }));
    // Two covers made, then two set again: volume 1 without a wrap, then volume 2 with one.
    ASSERT_EQ(covers.size(), 4);
    EXPECT_TRUE(covers[2].contains(QStringLiteral("spine=0.3000")));
    EXPECT_FALSE(covers[2].join(' ').contains(QLatin1String("wrap=")));
    EXPECT_TRUE(covers[2].last().endsWith(QLatin1String("/cover-1.pdf")));
    EXPECT_TRUE(covers[3].contains(QStringLiteral("spine=0.5000")));
    EXPECT_TRUE(covers[3].contains(QStringLiteral("wrap=0.7000")));
}

TEST_F(Placement, AGiftThatPaysForEverythingSendsTheAddress)
{
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    ASSERT_TRUE(giftChecked(*order, QStringLiteral("GIFT-FULL-2024")));
    ASSERT_TRUE(order->giftCovers());
    EXPECT_FALSE(order->canOrder());
    Ordering::Address address = order->address();
    address.name = QStringLiteral("Pat Doe");
    address.line1 = QStringLiteral("1 Main St");
    address.city = QStringLiteral("Springfield");
    address.state = QStringLiteral(" IL ");
    address.postal_code = QStringLiteral("62701");
    order->setAddress(address);
    EXPECT_TRUE(order->canOrder());
    // Typed, never applied: checked before the order goes, and sent.
    order->setDiscountCode(QStringLiteral("WELCOME10"));
    place(*order);

    EXPECT_EQ(order->stage(),
        OrderModel::Stage::done(
            QStringLiteral("The gift card covers all of it. We'll email you when it ships.")));
    EXPECT_TRUE(TestSupport::desktop().of(QStringLiteral("openUrl")).isEmpty());
    const QJsonObject created = Json::parseObject(StandIn::body(service.requests("/api/orders$").first()));
    EXPECT_EQ(created.value(QStringLiteral("giftCode")).toString(), QStringLiteral("GIFT-FULL-2024"));
    EXPECT_EQ(created.value(QStringLiteral("discountCode")).toString(), QStringLiteral("WELCOME10"));
    EXPECT_EQ(StandIn::body(service.requests("/submit$").first()),
        QByteArray(
            R"({"email":"pat@example.com","address":{"name":"Pat Doe","line1":"1 Main St","line2":"",)"
            R"("city":"Springfield","state":" IL ","postal_code":"62701","phone":"","country":"US"}})"));
}

TEST_F(Placement, AGiftThatPaysOnlyPartGoesToThePaymentPageWithoutAnAddress)
{
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    ASSERT_TRUE(giftChecked(*order, QStringLiteral(" GIFT-2500\t")));
    EXPECT_FALSE(order->giftCovers());
    place(*order);
    EXPECT_EQ(TestSupport::desktop().of(QStringLiteral("openUrl")).size(), 1);
    EXPECT_EQ(
        StandIn::body(service.requests("/submit$").first()), QByteArray(R"({"email":"pat@example.com"})"));
    // The field's text goes as typed; the service trims nothing it needn't.
    const QJsonObject created = Json::parseObject(StandIn::body(service.requests("/api/orders$").first()));
    EXPECT_EQ(created.value(QStringLiteral("giftCode")).toString(), QStringLiteral(" GIFT-2500\t"));
}

// Fault mended: with WELCOME10 in the field and no "Apply", the order
// went at full price without a word.
TEST_F(Placement, ACodeTypedButNeverAppliedIsCheckedBeforeTheOrderGoes)
{
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    order->setDiscountCode(QStringLiteral(" WELCOME10"));
    order->setGiftCode(QStringLiteral("GIFT-2500"));
    place(*order);
    EXPECT_EQ(
        order->stage(), OrderModel::Stage::done(QStringLiteral("The payment page is open in your browser.")));
    ASSERT_EQ(ordersCreated(), 1);
    const QJsonObject created = Json::parseObject(StandIn::body(service.requests("/api/orders$").first()));
    EXPECT_EQ(created.value(QStringLiteral("discountCode")).toString(), QStringLiteral(" WELCOME10"));
    EXPECT_EQ(created.value(QStringLiteral("giftCode")).toString(), QStringLiteral("GIFT-2500"));
    EXPECT_EQ(order->discountPercent(), 10);
}

TEST_F(Placement, ARefusedCodeStopsTheOrderWithItsLine)
{
    for (const bool isGift : { false, true }) {
        const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
        (isGift ? order->setGiftCode(QStringLiteral("NO-SUCH-CARD"))
                : order->setDiscountCode(QStringLiteral("NO-SUCH-CODE")));
        place(*order);
        EXPECT_EQ(order->stage(), OrderModel::Stage::ready());
        EXPECT_FALSE(order->error());
        // The refusal is the answer the field's line reads.
        if (isGift) {
            ASSERT_TRUE(order->gift());
            EXPECT_FALSE(order->gift()->valid);
        } else {
            ASSERT_TRUE(order->discount());
            EXPECT_FALSE(order->discount()->valid);
        }
        // Refused already, it stops the next press as well, without asking.
        const int asked = int(service.requests(QStringLiteral("/api/(discounts|gifts)/")).size());
        place(*order);
        EXPECT_EQ(order->stage(), OrderModel::Stage::ready());
        EXPECT_EQ(service.requests(QStringLiteral("/api/(discounts|gifts)/")).size(), asked);
    }
    EXPECT_EQ(ordersCreated(), 0);
    EXPECT_TRUE(stages.isEmpty()) << stages.join(", ").toStdString();

    // A code the service can't be asked about doesn't go quietly either.
    service.answer(QStringLiteral("/api/discounts/"), 500, "{}");
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    order->setDiscountCode(QStringLiteral("WELCOME10"));
    place(*order);
    EXPECT_EQ(order->stage(), OrderModel::Stage::ready());
    EXPECT_EQ(order->error(),
        QStringLiteral("The order didn't go through: a code couldn't be checked. Nothing was charged."));
    EXPECT_EQ(ordersCreated(), 0);
}

// Fault mended: the sheet announced a friend's code as ten percent off the
// book and the stand-in's payment page asked for the full price.
TEST_F(Placement, AFriendsCodeTheSheetAnnouncesIsTakenOffOnThePaymentPage)
{
    const QString friendCode = friendsCode();
    // A paperback of one volume sent by economy: the book is the binding's
    // price, the shipping is not book.
    BookFile book = project->book();
    book.order = Order();
    project->setBook(book);
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    order->setDiscountCode(friendCode);
    order->checkDiscount();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return order->discount().has_value(); }));
    ASSERT_TRUE(order->discount()->percent);
    const int percent = *order->discount()->percent;
    place(*order);

    const QList<QStringList> opened = TestSupport::desktop().of(QStringLiteral("openUrl"));
    ASSERT_EQ(opened.size(), 1);
    Http::Request checkout;
    checkout.url = QUrl(opened.first().first());
    const QString page = QString::fromUtf8(TestSupport::await(Http::send(checkout)).body);
    ASSERT_TRUE(order->price());
    const int total = order->price()->total();
    const int bookPrice = pricing->bindings.first().price;
    ASSERT_EQ(pricing->bindings.first().id, QStringLiteral("paperback"));
    const int due = total * 100 - bookPrice * percent;
    EXPECT_LT(due, total * 100);
    EXPECT_TRUE(page.contains(QStringLiteral("Pay %1 ").arg(Pricing::cents(due)))) << page.toStdString();
}

// Fault mended: a second press, or a second sheet, while an order is being
// placed would make print files in the same folder the first one is sending.
TEST_F(Placement, OnlyOneOrderOfABookIsPlacedAtATime)
{
    service.script(
        { { QStringLiteral("path"), QStringLiteral("/api/orders$") }, { QStringLiteral("delay"), 800 } });
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    order->go();
    order->go();
    EXPECT_EQ(OrderModel::placing(project.get()), order);
    const std::shared_ptr<OrderModel> other = model(QStringLiteral("stripe"));
    other->go();
    EXPECT_FALSE(other->isPlacing());
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !order->isPlacing(); }, 120000));
    EXPECT_EQ(ordersCreated(), 1);
    EXPECT_EQ(OrderModel::placing(project.get()), nullptr);
}

// Fault mended: a payment page comes from a reply; an address that isn't a
// web page (a file, another program's scheme) is never opened.
TEST_F(Placement, APaymentPageThatIsNotAWebPageIsNotOpened)
{
    service.answer(QStringLiteral("/submit$"), 200, R"({"checkoutUrl":"file:///usr/bin/xterm"})");
    const std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    place(*order);
    EXPECT_EQ(order->error(),
        QStringLiteral(
            "The order didn't go through (its payment page isn't a web address). Nothing was charged."));
    EXPECT_TRUE(TestSupport::desktop().of(QStringLiteral("openUrl")).isEmpty());
}

TEST_F(Placement, TheOrderGoesOnWhenNoOneHoldsTheBookAnyMore)
{
    service.script(
        { { QStringLiteral("path"), QStringLiteral("/uploads/") }, { QStringLiteral("delay"), 300 } });
    std::shared_ptr<OrderModel> order = model(QStringLiteral("stripe"));
    const QPointer<Project> book = project.get();
    order->go();
    // Another conversation is chosen: the screens let go of the book.
    order.reset();
    project.reset();
    ASSERT_TRUE(book);
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return !TestSupport::desktop().of("openUrl").isEmpty(); }, 120000));
    const QJsonObject placed = orderOf(TestSupport::desktop().of(QStringLiteral("openUrl")).first().first());
    EXPECT_EQ(placed.value(QStringLiteral("state")).toString(), QStringLiteral("awaiting payment"));
    EXPECT_EQ(placed.value(QStringLiteral("files")).toArray().size(), 2);
    // Done, the book is let go too.
    EXPECT_TRUE(TestSupport::waitUntil([&] { return book.isNull(); }));
}
