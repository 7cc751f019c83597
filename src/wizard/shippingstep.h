#pragma once

#include "service/pricing.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class Card;
class QLabel;
class QVBoxLayout;
class SegmentedControl;
class WizardModel;

// Who gets the book and how fast: the recipient, a card per shipping
// speed with its price and arrival window, and what checkout will ask.
class ShippingStep : public QWidget
{
    Q_OBJECT

public:
    explicit ShippingStep(WizardModel *model, QWidget *parent = nullptr);

    // "Jun 8 – Jun 13" for [7, 12] from today; empty unless days is a pair.
    static QString arrival(const QList<int> &days);

private:
    struct Row
    {
        QString id;
        Card *card;
    };

    void rebuild();
    void refresh();
    QString them() const;

    QPointer<WizardModel> m_model;
    SegmentedControl *m_recipient;
    QVBoxLayout *m_cards;
    QWidget *m_cardsBox = nullptr;
    std::optional<Pricing> m_builtFor;
    bool m_built = false;
    QList<Row> m_rows;
    QLabel *m_note;
};
