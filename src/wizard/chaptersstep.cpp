#include "chaptersstep.h"

#include "ui/card.h"
#include "ui/style.h"
#include "wizardmodel.h"

#include <QLabel>
#include <QSet>
#include <QVBoxLayout>

namespace {

// The months of the printed days, in order.
QStringList printedMonths(const WizardModel &model)
{
    QSet<QString> months;
    if (model.insights()) {
        const QString last = model.effectiveTo();
        for (const Insights::DayCount &day : model.insights()->days) {
            if (model.from() <= day.iso && day.iso <= last)
                months.insert(day.iso.left(7));
        }
    }
    QStringList sorted(months.cbegin(), months.cend());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

QString chapters(qsizetype count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" chapter") : QStringLiteral(" chapters"));
}

} // namespace

ChaptersStep::ChaptersStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_months(Style::label(QString(), Style::Text::Callout, Style::Tone::Secondary))
    , m_years(Style::label(QString(), Style::Text::Callout, Style::Tone::Secondary))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    column->addWidget(option(QStringLiteral("month"), QStringLiteral("A chapter for every month"), m_months));
    column->addWidget(option(QStringLiteral("year"), QStringLiteral("A chapter for every year"), m_years));
    column->addWidget(option(QStringLiteral("none"), QStringLiteral("One long story"),
        Style::label(QStringLiteral("No chapter breaks, only the dates at the top of each page."),
            Style::Text::Callout, Style::Tone::Secondary)));
    auto *note = Style::label(QStringLiteral("You can also start your own chapters at any message later, and "
                                             "give them names (emoji welcome)."),
        Style::Text::Callout, Style::Tone::Secondary);
    note->setContentsMargins(0, 6, 0, 0);
    column->addWidget(note);
    connect(model, &WizardModel::changed, this, &ChaptersStep::refresh);
    refresh();
}

QString ChaptersStep::monthDetail(const WizardModel &model)
{
    const QStringList months = printedMonths(model);
    // One month reads "1 chapter", not the "1 chapters" a plain plural gives.
    return chapters(months.size()) + QStringLiteral(", from ") + Insights::monthName(months.value(0))
        + QStringLiteral(" to ") + Insights::monthName(months.isEmpty() ? QString() : months.last())
        + QLatin1Char('.');
}

QString ChaptersStep::yearDetail(const WizardModel &model)
{
    QStringList years;
    for (const QString &month : printedMonths(model)) {
        if (years.isEmpty() || years.last() != month.left(4))
            years.append(month.left(4));
    }
    return chapters(years.size()) + QStringLiteral(": ") + years.join(QStringLiteral(", "))
        + QLatin1Char('.');
}

Card *ChaptersStep::option(const QString &key, const QString &title, QLabel *detail)
{
    auto *card = new Card;
    card->content()->addWidget(Style::label(title, Style::Text::Headline));
    card->content()->addWidget(detail);
    connect(card, &Card::clicked, this, [this, key] {
        Design design = m_model->design();
        design.chapters = key;
        m_model->setDesign(design);
    });
    m_options.append({ key, card });
    return card;
}

void ChaptersStep::refresh()
{
    m_months->setText(monthDetail(*m_model));
    m_years->setText(yearDetail(*m_model));
    for (const auto &[key, card] : m_options)
        card->setSelected(m_model->design().chapters == key);
}
