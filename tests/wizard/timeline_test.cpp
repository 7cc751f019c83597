// The timeline of special days: chips, their cards, and the add-ons marked
// for a day in the order.
#include "wizard/timeline.h"
#include "wizardtest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

using namespace WizardTest;

namespace {

Celebration day(const QString &id, const QString &date, const QString &title, const QString &to = QString())
{
    Celebration c;
    c.id = id;
    c.kind = Celebration::Kind::Trip;
    c.emoji = QStringLiteral("\u2708\uFE0F");
    c.title = title;
    c.detail = QStringLiteral("Four days away.");
    c.day = date;
    c.from = date;
    c.to = to.isEmpty() ? date : to;
    return c;
}

Pricing madePrices()
{
    Pricing pricing;
    pricing.currency = QStringLiteral("USD");
    pricing.pagesPerVolume = 780;
    pricing.addons = {
        { QStringLiteral("poster"), QStringLiteral("made"), QStringLiteral("A poster of the day"),
            QStringLiteral("The day's messages on one large sheet."), 24, std::nullopt, std::nullopt,
            QStringLiteral("available") },
        { QStringLiteral("gift-box"), QStringLiteral("extras"), QStringLiteral("Gift box"), QString(), 15,
            std::nullopt, std::nullopt, QStringLiteral("available") },
        { QStringLiteral("card"), QStringLiteral("made"), QStringLiteral("A card"), QStringLiteral("Folded."),
            8, std::nullopt, std::nullopt, QStringLiteral("soon") },
    };
    return pricing;
}

// A timeline over an order it owns.
struct Strip
{
    explicit Strip(QList<Celebration> days, std::optional<Pricing> pricing = madePrices(), bool share = true)
    {
        Timeline::Actions actions;
        actions.order = [this] { return order; };
        actions.setOrder = [this](const Order &changed) { order = changed; };
        actions.onBook = [this](const Celebration &c) { booked.append(c.id); };
        if (share)
            actions.onShare = [this](const Celebration &c) { shared.append(c.id); };
        timeline = std::make_unique<Timeline>(days, pricing, actions);
        timeline->resize(760, 60);
        timeline->show();
    }

    QList<QAbstractButton *> chips() const
    {
        QList<QAbstractButton *> found;
        for (QAbstractButton *button : timeline->findChildren<QAbstractButton *>()) {
            if (!timeline->card() || !timeline->card()->isAncestorOf(button))
                found.append(button);
        }
        return found;
    }

    QPushButton *cardButton(const QString &text) const
    {
        return qobject_cast<QPushButton *>(TestSupport::findText(timeline->card(), text));
    }

    Order order;
    QStringList booked;
    QStringList shared;
    std::unique_ptr<Timeline> timeline;
};

} // namespace

TEST(Timeline, MarksForADayOutlineItUntilTheLastIsRemoved)
{
    const Celebration lisbon
        = day(QStringLiteral("trip"), QStringLiteral("2024-05-01"), QStringLiteral("Lisbon"));
    Order order = Timeline::toggled(Order(), QStringLiteral("poster"), lisbon);
    EXPECT_TRUE(Timeline::picked(order, lisbon));
    order = Timeline::toggled(order, QStringLiteral("card"), lisbon);
    ASSERT_EQ(order.moments->size(), 2);
    order = Timeline::toggled(order, QStringLiteral("poster"), lisbon);
    EXPECT_TRUE(Timeline::picked(order, lisbon));
    order = Timeline::toggled(order, QStringLiteral("card"), lisbon);
    EXPECT_FALSE(Timeline::picked(order, lisbon));
    EXPECT_EQ(order.moments, std::nullopt);
    EXPECT_EQ(order.binding, Order().binding);
}

TEST(Timeline, AChipOpensItsCardAsAPopup)
{
    noService();
    Strip strip({ day(QStringLiteral("a"), QStringLiteral("2024-05-01"), QStringLiteral("Lisbon"),
                      QStringLiteral("2024-05-04")),
        day(QStringLiteral("b"), QStringLiteral("2024-06-01"), QStringLiteral("Lunch")) });
    ASSERT_EQ(strip.chips().size(), 2);
    EXPECT_EQ(strip.chips()[0]->text(), QStringLiteral("Lisbon"));
    strip.chips()[0]->click();
    ASSERT_TRUE(strip.timeline->card());
    EXPECT_EQ(QApplication::activePopupWidget(), strip.timeline->card());
    EXPECT_EQ(strip.timeline->open()->id, QStringLiteral("a"));
    EXPECT_TRUE(strip.cardButton(QStringLiteral("Make a Book of These Days")));

    strip.cardButton(QStringLiteral("Make a Book of These Days"))->click();
    EXPECT_EQ(strip.booked, QStringList { QStringLiteral("a") });
    EXPECT_FALSE(strip.timeline->open());

    strip.chips()[1]->click();
    EXPECT_TRUE(strip.cardButton(QStringLiteral("Make a Book of This Day")));
    strip.cardButton(QStringLiteral("Share It as a Story Card"))->click();
    EXPECT_EQ(strip.shared, QStringList { QStringLiteral("b") });
    EXPECT_FALSE(strip.timeline->open());
}

// Chips that run past the strip's edge fade into the page there, so the
// cut one reads as more to come; scrolled to the end, the other edge does.
TEST(Timeline, TheEdgeBeyondWhichChipsLieFadesOut)
{
    noService();
    QList<Celebration> days;
    for (int i = 0; i < 8; ++i)
        days.append(day(QString::number(i), QStringLiteral("2024-05-0%1").arg(i + 1),
            QStringLiteral("Valentine's Day %1").arg(i)));
    Strip strip(days);
    strip.timeline->resize(420, 60);
    QApplication::processEvents();
    auto *row = strip.timeline->findChild<QScrollArea *>();
    ASSERT_TRUE(row);
    const QColor page = strip.timeline->palette().color(QPalette::Window);
    const int right = row->width() - 1;
    EXPECT_LE(TestSupport::columnDistance(row, right, page), 6);
    // The first chip's emoji, where nothing lies before it.
    EXPECT_GT(TestSupport::columnDistance(row, 14, page), 60);

    row->horizontalScrollBar()->setValue(row->horizontalScrollBar()->maximum());
    EXPECT_LE(TestSupport::columnDistance(row, 0, page), 6);
}

TEST(Timeline, MadeAddOnsAreMarkedInTheOrder)
{
    noService();
    const Celebration lisbon
        = day(QStringLiteral("a"), QStringLiteral("2024-05-01"), QStringLiteral("Lisbon"));
    const Celebration lunch = day(QStringLiteral("b"), QStringLiteral("2024-05-01"), QStringLiteral("Lunch"));
    Strip strip({ lisbon, lunch });
    strip.timeline->openCard(lisbon);
    EXPECT_TRUE(TestSupport::findText(strip.timeline->card(), QStringLiteral("Made from this day")));
    EXPECT_FALSE(TestSupport::findText(strip.timeline->card(), QStringLiteral("Gift box")));
    EXPECT_TRUE(TestSupport::findText(strip.timeline->card(), QStringLiteral("Soon")));
    strip.cardButton(QStringLiteral("Add \u00B7 $24"))->click();
    ASSERT_TRUE(strip.order.moments);
    EXPECT_EQ(strip.order.moments->first(),
        (Order::MomentPick {
            QStringLiteral("poster"), QStringLiteral("2024-05-01"), QStringLiteral("Lisbon") }));
    EXPECT_TRUE(strip.cardButton(QStringLiteral("Added")));

    // The outline looks only at the day; "Added" at the day and the title.
    strip.timeline->openCard(lunch);
    EXPECT_TRUE(strip.cardButton(QStringLiteral("Add \u00B7 $24")));
    EXPECT_FALSE(strip.cardButton(QStringLiteral("Added")));
    EXPECT_TRUE(Timeline::picked(strip.order, lunch));

    strip.timeline->openCard(lisbon);
    strip.cardButton(QStringLiteral("Added"))->click();
    EXPECT_EQ(strip.order.moments, std::nullopt);
}

TEST(Timeline, WithoutMadeAddOnsOrShareTheCardIsShort)
{
    noService();
    const Celebration lisbon
        = day(QStringLiteral("a"), QStringLiteral("2024-05-01"), QStringLiteral("Lisbon"));
    Strip strip({ lisbon }, std::nullopt, false);
    strip.timeline->openCard(lisbon);
    EXPECT_FALSE(TestSupport::findText(strip.timeline->card(), QStringLiteral("Made from this day")));
    EXPECT_FALSE(TestSupport::findText(strip.timeline->card(), QStringLiteral("Share It as a Story Card")));

    Strip empty({});
    EXPECT_TRUE(TestSupport::findText(empty.timeline.get(), QStringLiteral("On your timeline")));
    EXPECT_TRUE(empty.chips().isEmpty());
}
