#include "shippingstep.h"

#include "model/day.h"
#include "project/clock.h"
#include "ui/card.h"
#include "ui/segmentedcontrol.h"
#include "ui/style.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

ShippingStep::ShippingStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_recipient(new SegmentedControl)
    , m_cards(new QVBoxLayout)
    , m_note(Style::label(QString(), Style::Text::Callout, Style::Tone::Secondary))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);
    m_recipient->setFixedWidth(300);
    m_recipient->setAccessibleName(QStringLiteral("Recipient"));
    column->addWidget(m_recipient);
    m_cards->setContentsMargins(0, 0, 0, 0);
    column->addLayout(m_cards);
    column->addWidget(m_note);

    connect(m_recipient, &SegmentedControl::activated, this, [this](int index) {
        Order order = m_model->order();
        order.recipient = index == 0 ? QStringLiteral("me") : QStringLiteral("someone");
        m_model->setOrder(order);
    });
    connect(model, &WizardModel::changed, this, &ShippingStep::refresh);
    refresh();
}

QString ShippingStep::arrival(const QList<int> &days)
{
    if (days.size() != 2)
        return {};
    const QDateTime now = Clock::current().now();
    const QDateTime start = now.addDays(days[0]);
    const QDateTime end = now.addDays(days[1]);
    if (!start.isValid() || !end.isValid())
        return {};
    return Day::format(start, QStringLiteral("MMMd")) + QStringLiteral(" \u2013 ")
        + Day::format(end, QStringLiteral("MMMd"));
}

QString ShippingStep::them() const
{
    return m_model->insights() ? m_model->insights()->them : QStringLiteral("Them");
}

void ShippingStep::rebuild()
{
    delete m_cardsBox;
    m_rows.clear();
    m_built = true;
    m_builtFor = m_model->pricing();
    m_cardsBox = new QWidget;
    auto *column = new QVBoxLayout(m_cardsBox);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    m_cards->addWidget(m_cardsBox);
    m_cardsBox->setVisible(m_builtFor.has_value());
    if (!m_builtFor)
        return;
    for (const Pricing::Shipping &option : m_builtFor->shipping) {
        auto *card = new Card;
        auto *row = new QHBoxLayout;
        auto *words = new QVBoxLayout;
        words->setSpacing(3);
        words->addWidget(Style::label(option.name, Style::Text::Headline));
        words->addWidget(Style::label(
            QStringLiteral("Arrives ") + arrival(option.days), Style::Text::Callout, Style::Tone::Secondary));
        row->addLayout(words, 1);
        auto *price = Style::label(WizardLook::shippingPrice(option.price), Style::Text::Title3);
        price->setFont(Style::font(Style::Text::Title3, Style::Weight::Semibold));
        price->setWordWrap(false);
        row->addWidget(price, 0, Qt::AlignVCenter);
        card->content()->addLayout(row);
        connect(card, &Card::clicked, this, [this, id = option.id] {
            Order order = m_model->order();
            order.shipping = id;
            m_model->setOrder(order);
        });
        column->addWidget(card);
        m_rows.append({ option.id, card });
    }
}

void ShippingStep::refresh()
{
    if (!m_built || m_builtFor != m_model->pricing())
        rebuild();
    const Order &order = m_model->order();
    m_recipient->setLabels({ QStringLiteral("To me"), QStringLiteral("Straight to ") + them() });
    m_recipient->setCurrentIndex(order.recipient == QLatin1String("me") ? 0
            : order.recipient == QLatin1String("someone")               ? 1
                                                                        : -1);
    for (const Row &row : m_rows)
        row.card->setSelected(order.shipping == row.id);
    m_note->setText(order.recipient == QLatin1String("someone")
            ? QStringLiteral("We'll ask for ") + them()
                + QStringLiteral("'s address at checkout. The packing slip carries no prices.")
            : QStringLiteral("We'll ask for your address at checkout."));
}
