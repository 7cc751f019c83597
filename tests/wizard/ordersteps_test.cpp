// The binding, shipping and review steps, priced by the stand-in service's
// list in whole dollars.
#include "service/standin.h"
#include "ui/card.h"
#include "ui/segmentedcontrol.h"
#include "wizard/bindingstep.h"
#include "wizard/reviewstep.h"
#include "wizard/shippingstep.h"
#include "wizardtest.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

using namespace WizardTest;
using namespace std::chrono_literals;

namespace {

Card *cardWith(QWidget *root, const QString &text)
{
    QWidget *widget = TestSupport::findText(root, text);
    while (widget && !qobject_cast<Card *>(widget))
        widget = widget->parentWidget();
    return qobject_cast<Card *>(widget);
}

// Insights whose whole range comes to about pages pages.
Insights insightsOf(int pages)
{
    Insights insights = daysOf(QDate(2024, 3, 1), 20, 0, 617);
    for (Insights::DayCount &day : insights.days)
        day.lines = int((pages - 3.2) * 40.6 / 20);
    return insights;
}

class OrderSteps : public ::testing::Test
{
protected:
    OrderSteps()
    {
        service.pointClientHere();
        pricing = TestSupport::await(Pricing::load());
    }

    StandIn service;
    std::optional<Pricing> pricing;
    Book book { spreadBook(QDate(2024, 3, 1), 20) };
    WizardModel model { book.project, WizardModel::Resuming::No };
};

} // namespace

TEST_F(OrderSteps, BindingsShowTheBooksPriceInWholeDollars)
{
    ASSERT_TRUE(pricing);
    model.setPricing(pricing);
    model.setInsights(insightsOf(300));
    model.setTo(QStringLiteral("2024-03-20"));
    BindingStep step(&model);
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("$39")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("$59")));
    EXPECT_TRUE(TestSupport::findText(&step,
        QStringLiteral(
            "Included: every message in the range, a dedication page, printed and bound to order.")));
    EXPECT_TRUE(cardWith(&step, QStringLiteral("Paperback"))->isSelected());
    EXPECT_FALSE(TestSupport::findText(&step, QStringLiteral("1 books: $39 + 0 \u00D7 $29")));

    cardWith(&step, QStringLiteral("Lay-flat"))->click();
    EXPECT_EQ(model.order().binding, QStringLiteral("paperback"));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Soon")));
    cardWith(&step, QStringLiteral("Hardcover"))->click();
    EXPECT_EQ(model.order().binding, QStringLiteral("hardcover"));
    EXPECT_TRUE(cardWith(&step, QStringLiteral("Hardcover"))->isSelected());

    model.setInsights(insightsOf(1600));
    ASSERT_EQ(model.volumes(), 3);
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("3 books: $39 + 2 \u00D7 $29")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("$97")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("$149")));
}

TEST_F(OrderSteps, WithoutPricesTheStepsStayUsable)
{
    service.answer(QStringLiteral("pricing"), 500, R"({"error":"down"})");
    TestSupport::await(model.load());
    ASSERT_FALSE(model.pricing());
    BindingStep binding(&model);
    EXPECT_TRUE(TestSupport::findText(&binding,
        QStringLiteral("Prices couldn't load. Check your connection; your book is safe either way.")));
    EXPECT_FALSE(binding.findChild<Card *>());
    ShippingStep shipping(&model);
    EXPECT_FALSE(shipping.findChild<Card *>());
    EXPECT_TRUE(TestSupport::findText(&shipping, QStringLiteral("We'll ask for your address at checkout.")));
    ReviewStep review(&model);
    EXPECT_TRUE(TestSupport::findText(&review, QStringLiteral("paperback")));
    EXPECT_TRUE(TestSupport::findText(&review, QStringLiteral("economy")));
    EXPECT_FALSE(TestSupport::findText(&review, QStringLiteral("Total")));
    EXPECT_EQ(model.order(), Order());
}

TEST_F(OrderSteps, ShippingGivesPricesAndArrivalDays)
{
    model.setPricing(pricing);
    ShippingStep step(&model);
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Arrives Jun 8 \u2013 Jun 13")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("$6")));
    cardWith(&step, QStringLiteral("Express"))->click();
    EXPECT_EQ(model.order().shipping, QStringLiteral("express"));

    EXPECT_EQ(ShippingStep::arrival({ 3 }), QString());
    EXPECT_EQ(ShippingStep::arrival({ 3, 7, 9 }), QString());
    EXPECT_EQ(ShippingStep::arrival({ 7, 3 }), QStringLiteral("Jun 8 \u2013 Jun 4"));
    book.clock.advance(std::chrono::hours(24 * 200));
    EXPECT_EQ(ShippingStep::arrival({ 7, 20 }), QStringLiteral("Dec 25 \u2013 Jan 7"));

    Pricing free = *pricing;
    free.shipping.first().price = 0;
    model.setPricing(free);
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Free")));
}

TEST_F(OrderSteps, TheRecipientChangesTheNoteAtOnce)
{
    ShippingStep step(&model);
    step.resize(640, 400);
    step.show();
    auto *picker = step.findChild<SegmentedControl *>();
    EXPECT_EQ(
        picker->labels(), (QStringList { QStringLiteral("To me"), QStringLiteral("Straight to Them") }));
    EXPECT_EQ(picker->width(), 300);
    QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(225, 14));
    EXPECT_EQ(model.order().recipient, QStringLiteral("someone"));
    EXPECT_TRUE(TestSupport::findText(&step,
        QStringLiteral("We'll ask for Them's address at checkout. The packing slip carries no prices.")));
    model.setInsights(daysOf(QDate(2024, 3, 1), 3, 3));
    EXPECT_TRUE(TestSupport::findText(&step,
        QStringLiteral("We'll ask for Sam's address at checkout. The packing slip carries no prices.")));

    // A long name widens the picker: both labels stay whole.
    Insights long_ = daysOf(QDate(2024, 3, 1), 3, 3);
    long_.them = QStringLiteral("Alexandria Wolfeschlegelsteinhausen");
    model.setInsights(long_);
    QApplication::processEvents();
    EXPECT_EQ(picker->labels().last(), QStringLiteral("Straight to Alexandria Wolfeschlegelsteinhausen"));
    EXPECT_GE(picker->width(), picker->minimumSizeHint().width());
    EXPECT_GT(picker->width(), 300);
    QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(60, 14));
    EXPECT_EQ(model.order().recipient, QStringLiteral("me"));
}

TEST_F(OrderSteps, ReviewSumsTheBookAndItsShipping)
{
    model.setPricing(pricing);
    model.setInsights(insightsOf(1000));
    model.setTo(QStringLiteral("2024-03-20"));
    ASSERT_EQ(model.volumes(), 2);
    ReviewStep step(&model);
    EXPECT_EQ(ReviewStep::total(model), 39 + 29 + 6);
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("$74")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Paperback")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Economy")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Palatino style")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Every month")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("12,340")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("about ") + QLocale().toString(model.pages())));

    Order order = model.order();
    order.shipping = QStringLiteral("pigeon");
    model.setOrder(order);
    EXPECT_EQ(ReviewStep::total(model), 39 + 29);
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("pigeon")));
    order.binding = QStringLiteral("scroll");
    model.setOrder(order);
    EXPECT_FALSE(ReviewStep::total(model));
    EXPECT_FALSE(TestSupport::findText(&step, QStringLiteral("Total")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("scroll")));

    EXPECT_EQ(ReviewStep::fontName(QStringLiteral("modern")), QString());
    EXPECT_EQ(ReviewStep::chaptersName(QStringLiteral("week")), QString());
    EXPECT_EQ(ReviewStep::chaptersName(QStringLiteral("none")), QStringLiteral("None"));
}

TEST_F(OrderSteps, ReviewShowsTheCoversFrontWhenThereIsOne)
{
    ReviewStep step(&model);
    auto *front = step.findChild<QLabel *>(QStringLiteral("coverFront"));
    EXPECT_FALSE(front->isVisibleTo(&step));

    // A spread of a 40-page book at 72 pixels per inch: red back, blue
    // front.
    const double spread = 40 / 444.0 + 0.06 + 10.25;
    QImage picture(int(spread * 72), int(8.25 * 72), QImage::Format_RGB32);
    picture.fill(Qt::red);
    QPainter painter(&picture);
    painter.fillRect(QRect(picture.width() / 2 + 10, 0, picture.width(), picture.height()), Qt::blue);
    painter.end();
    const QString path = book.project->folder() + QStringLiteral("/cover-test.png");
    picture.save(path);
    model.setCoverPreview(path);
    ASSERT_TRUE(front->isVisibleTo(&step));
    EXPECT_EQ(front->pixmap().width() / front->pixmap().devicePixelRatio(), 190);
    const QImage shown = front->pixmap().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::blue));

    model.setCoverPreview(book.project->folder() + QStringLiteral("/book.json"));
    EXPECT_FALSE(front->isVisibleTo(&step));
}
