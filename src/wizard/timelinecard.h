#pragma once

#include "insights/celebration.h"
#include "model/order.h"
#include "service/pricing.h"

#include <QFrame>
#include <functional>

class QPushButton;

// The card of one special day, shown as a popup under its chip: make a
// book of it, share it, and the add-ons made from it with their state in
// the order.
class TimelineCard : public QFrame
{
    Q_OBJECT

public:
    struct Actions
    {
        std::function<void()> onBook;
        // Absent: no share button.
        std::function<void()> onShare;
        std::function<void(const QString &addon)> toggle;
    };

    TimelineCard(const Celebration &celebration, const QList<Pricing::Addon> &made, Actions actions,
        QWidget *parent = nullptr);

    const Celebration &celebration() const { return m_celebration; }
    // Shows each add-on as added or not in order.
    void refresh(const Order &order);

    // "Make a Book of This Day" for a one-day window, "... These Days"
    // otherwise.
    static QString bookLabel(const Celebration &celebration);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Celebration m_celebration;
    QList<Pricing::Addon> m_made;
    Actions m_actions;
    QList<QPushButton *> m_addButtons;
};
