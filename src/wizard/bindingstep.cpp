#include "bindingstep.h"

#include "ui/card.h"
#include "ui/style.h"
#include "ui/tabularnumber.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

bool isSoon(const Pricing::Binding &binding)
{
    return binding.status == QStringLiteral("soon");
}

} // namespace

BindingStep::BindingStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_column(new QVBoxLayout(this))
{
    m_column->setContentsMargins(0, 0, 0, 0);
    connect(model, &WizardModel::changed, this, &BindingStep::refresh);
    refresh();
}

QString BindingStep::volumesCaption(const Pricing::Binding &binding, int volumes)
{
    if (volumes < 2)
        return {};
    return QString::number(volumes) + QStringLiteral(" books: ") + WizardLook::dollars(binding.price)
        + QStringLiteral(" + ") + QString::number(volumes - 1) + QStringLiteral(" \u00D7 ")
        + WizardLook::dollars(binding.extraVolume);
}

QString BindingStep::includedLine(const Pricing &pricing)
{
    return QStringLiteral("Included: ") + pricing.included.join(QStringLiteral(", ")).toLower()
        + QLatin1Char('.');
}

void BindingStep::rebuild()
{
    delete m_content;
    m_rows.clear();
    m_built = true;
    m_builtFor = m_model->pricing();
    m_content = new QWidget;
    auto *column = new QVBoxLayout(m_content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    m_column->addWidget(m_content);

    if (!m_builtFor) {
        auto *row = new QHBoxLayout;
        row->setSpacing(8);
        row->addWidget(WizardLook::symbol(
            QStringLiteral("wifi.exclamationmark"), 16, Style::color(Style::Tone::Secondary)));
        row->addWidget(
            Style::label(
                QStringLiteral("Prices couldn't load. Check your connection; your book is safe either way."),
                Style::Text::Body, Style::Tone::Secondary),
            1);
        column->addLayout(row);
        return;
    }
    for (const Pricing::Binding &binding : m_builtFor->bindings) {
        auto *card = new Card;
        if (isSoon(binding))
            card->setCursor(Qt::ArrowCursor);
        auto *row = new QHBoxLayout;
        auto *words = new QVBoxLayout;
        words->setSpacing(3);
        words->addWidget(Style::label(binding.name, Style::Text::Headline));
        words->addWidget(Style::label(binding.detail, Style::Text::Callout, Style::Tone::Secondary));
        auto *caption = Style::label(QString(), Style::Text::Caption, Style::Tone::Secondary);
        words->addWidget(caption);
        row->addLayout(words, 1);
        auto *price = new TabularNumber;
        price->setFont(Style::font(Style::Text::Title2, Style::Weight::Semibold));
        price->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (isSoon(binding))
            Style::setTone(price, Style::Tone::Tertiary);
        row->addWidget(price, 0, Qt::AlignVCenter);
        card->content()->addLayout(row);
        connect(card, &Card::clicked, this, [this, binding] {
            if (isSoon(binding))
                return;
            Order order = m_model->order();
            order.binding = binding.id;
            m_model->setOrder(order);
        });
        column->addWidget(card);
        m_rows.append({ binding, card, caption, price });
    }
    auto *included = Style::label(includedLine(*m_builtFor), Style::Text::Callout, Style::Tone::Secondary);
    included->setContentsMargins(0, 4, 0, 0);
    column->addWidget(included);
}

void BindingStep::refresh()
{
    if (!m_built || m_builtFor != m_model->pricing())
        rebuild();
    if (!m_builtFor)
        return;
    const int pages = m_model->pages();
    const int volumes = m_model->volumes();
    for (const Row &row : m_rows) {
        row.card->setSelected(m_model->order().binding == row.binding.id);
        const QString caption = volumesCaption(row.binding, volumes);
        row.caption->setText(caption);
        row.caption->setVisible(!caption.isEmpty());
        row.price->setText(isSoon(row.binding)
                ? QStringLiteral("Soon")
                : WizardLook::dollars(m_builtFor->price(row.binding.id, pages).value_or(row.binding.price)));
    }
}
