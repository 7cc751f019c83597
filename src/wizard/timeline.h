#pragma once

#include "insights/celebration.h"
#include "model/order.h"
#include "service/pricing.h"
#include "timelinecard.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QHBoxLayout;
class SideScroll;

// The special days of a conversation as a strip of chips under "On your
// timeline". A chip opens a card from which the user makes a book of that
// day, shares it as a story card, or marks add-ons made from it. Marks go
// into the order's moments through setOrder; the strip keeps only which
// card is open.
class Timeline : public QWidget
{
    Q_OBJECT

public:
    struct Actions
    {
        // The order being edited, read and written whole.
        std::function<Order()> order;
        std::function<void(const Order &)> setOrder;
        std::function<void(const Celebration &)> onBook;
        // Absent: no share button.
        std::function<void(const Celebration &)> onShare;
    };

    Timeline(QList<Celebration> celebrations, std::optional<Pricing> pricing, Actions actions,
        QWidget *parent = nullptr);
    ~Timeline() override;

    // Whether the order marks anything for the celebration's day.
    static bool picked(const Order &order, const Celebration &celebration);
    // The order with the add-on for the celebration marked, or unmarked when
    // it already was; moments absent rather than empty.
    static Order toggled(Order order, const QString &addon, const Celebration &celebration);
    // The add-ons of the price list made from a day, in its order.
    static QList<Pricing::Addon> madeAddons(const std::optional<Pricing> &pricing);

    // The card on screen, or none.
    std::optional<Celebration> open() const;
    void openCard(const Celebration &celebration);
    TimelineCard *card() const { return m_card; }
    // Follows a change of the order or the price list made elsewhere.
    void setPricing(const std::optional<Pricing> &pricing);
    void refresh();

private:
    void toggle(const QString &addon, const Celebration &celebration);

    QList<Celebration> m_celebrations;
    std::optional<Pricing> m_pricing;
    Actions m_actions;
    SideScroll *m_scroll;
    QList<QWidget *> m_chips;
    QPointer<TimelineCard> m_card;
};
