#include "whatstep.h"

#include "daterangefields.h"
#include "model/day.h"
#include "model/text.h"
#include "project/clock.h"
#include "project/project.h"
#include "ui/accessibility.h"
#include "ui/card.h"
#include "ui/style.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *cardSymbol(const QString &symbol)
{
    auto *label = WizardLook::symbol(symbol, 22, Style::brand());
    label->setFixedWidth(30);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QString booksText(int volumes)
{
    return volumes == 1 ? QStringLiteral("one book") : QString::number(volumes) + QStringLiteral(" books");
}

} // namespace

WhatStep::WhatStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_cards(new QVBoxLayout(this))
{
    m_cards->setContentsMargins(0, 0, 0, 0);
    m_cards->setSpacing(10);
    m_ownDates = makeOwnDatesCard();
    m_cards->addWidget(m_ownDates);
    connect(model, &WizardModel::changed, this, &WhatStep::refresh);
    rebuildSuggestions();
    showHeldStretch();
    refresh();
}

Card *WhatStep::makeSuggestionCard(const Insights::Suggestion &suggestion)
{
    auto *card = new Card;
    auto *row = new QHBoxLayout;
    row->setSpacing(14);
    row->addWidget(cardSymbol(suggestion.symbol));
    auto *words = new QVBoxLayout;
    words->setSpacing(2);
    words->addWidget(Style::label(suggestion.title, Style::Text::Headline));
    words->addWidget(Style::label(suggestion.detail, Style::Text::Callout, Style::Tone::Secondary));
    row->addLayout(words, 1);
    auto *size = new QVBoxLayout;
    size->setSpacing(2);
    auto *pages = Style::label(QString(), Style::Text::Callout);
    pages->setWordWrap(false);
    pages->setAlignment(Qt::AlignRight);
    auto *books = Style::label(QString(), Style::Text::Caption, Style::Tone::Secondary);
    books->setWordWrap(false);
    books->setAlignment(Qt::AlignRight);
    size->addWidget(pages);
    size->addWidget(books);
    row->addLayout(size);
    card->content()->addLayout(row);
    connect(card, &Card::clicked, this, [this, suggestion] { choose(suggestion); });
    m_suggestions.append({ suggestion, card, pages, books });
    return card;
}

Card *WhatStep::makeOwnDatesCard()
{
    auto *card = new Card;
    auto *row = new QHBoxLayout;
    row->setSpacing(14);
    row->addWidget(cardSymbol(QStringLiteral("calendar.badge.clock")), 0, Qt::AlignTop);
    auto *column = new QVBoxLayout;
    column->setSpacing(8);
    auto *title = Style::label(QStringLiteral("Choose my own dates"), Style::Text::Headline);
    title->setMinimumHeight(22);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    column->addWidget(title);

    m_ownFields = new QWidget;
    auto *fields = new QVBoxLayout(m_ownFields);
    fields->setContentsMargins(0, 0, 0, 0);
    fields->setSpacing(8);
    m_range = new DateRangeFields(m_model);
    fields->addWidget(m_range);
    auto *search = new QHBoxLayout;
    search->setSpacing(8);
    m_moment = new QLineEdit;
    m_moment->setPlaceholderText(QStringLiteral("Or start at a moment, like \u201Cfirst date\u201D"));
    m_moment->setClearButtonEnabled(true);
    // The placeholder is an example, gone once something is typed.
    m_moment->setAccessibleName(QStringLiteral("Start at a moment"));
    Accessibility::nameClearButton(m_moment);
    m_moment->setText(m_model->momentSearch());
    auto *find = new QPushButton(QStringLiteral("Find"));
    find->setAutoDefault(false);
    search->addWidget(m_moment, 1);
    search->addWidget(find);
    fields->addLayout(search);
    column->addWidget(m_ownFields);
    row->addLayout(column, 1);
    card->content()->addLayout(row);

    connect(m_moment, &QLineEdit::textEdited, this,
        [this](const QString &text) { m_model->setMomentSearch(text); });
    connect(m_moment, &QLineEdit::returnPressed, this, &WhatStep::findMoment);
    connect(find, &QPushButton::clicked, this, &WhatStep::findMoment);
    connect(card, &Card::clicked, this, &WhatStep::chooseOwnDates);
    return card;
}

void WhatStep::rebuildSuggestions()
{
    for (const SuggestionCard &entry : m_suggestions)
        delete entry.card;
    m_suggestions.clear();
    m_hadInsights = m_model->insights().has_value();
    if (!m_hadInsights)
        return;
    const QString today = Day::iso(Clock::current().now());
    int at = 0;
    for (const Insights::Suggestion &suggestion : m_model->insights()->suggestions(today))
        m_cards->insertWidget(at++, makeSuggestionCard(suggestion));
}

void WhatStep::choose(const Insights::Suggestion &suggestion)
{
    m_model->setSuggestion(suggestion.id);
    m_model->setFrom(suggestion.from);
    m_model->setTo(suggestion.to);
    m_custom = false;
    m_tapped = true;
    m_held.clear();
    refresh();
}

void WhatStep::chooseOwnDates()
{
    if (m_custom)
        return;
    m_custom = true;
    m_tapped = true;
    m_held.clear();
    m_model->setSuggestion(QStringLiteral("custom"));
    m_range->refresh();
    refresh();
}

// A book reopened, or days chosen before, come back as "custom": the step
// shows them as the suggestion they are, else in the own-dates card, so the
// user sees what the book covers without opening anything.
void WhatStep::showHeldStretch()
{
    if (m_tapped || m_model->suggestion() != QLatin1String("custom"))
        return;
    m_held.clear();
    for (const SuggestionCard &entry : std::as_const(m_suggestions)) {
        if (entry.suggestion.from == m_model->from() && entry.suggestion.to == m_model->to()) {
            m_held = entry.suggestion.id;
            break;
        }
    }
    m_custom = m_held.isEmpty();
    m_range->refresh();
}

void WhatStep::findMoment()
{
    const QString query = Text::trimmedSpaces(m_model->momentSearch().toLower());
    if (query.isEmpty())
        return;
    for (const BookFile::Message &message : m_model->project()->book().messages) {
        if (message.text && message.text->toLower().contains(query)) {
            m_model->setFrom(message.at.left(10));
            return;
        }
    }
}

void WhatStep::refresh()
{
    if (m_model->insights().has_value() != m_hadInsights) {
        rebuildSuggestions();
        showHeldStretch();
    }
    const QString chosen = m_held.isEmpty() ? m_model->suggestion() : m_held;
    for (const SuggestionCard &entry : m_suggestions) {
        const WizardModel::Estimate estimate = m_model->estimate(entry.suggestion);
        entry.card->setSelected(!m_custom && chosen == entry.suggestion.id);
        entry.pages->setText(
            QStringLiteral("about ") + Style::number(estimate.pages) + QStringLiteral(" pages"));
        entry.books->setText(booksText(estimate.volumes));
    }
    m_ownDates->setSelected(m_custom);
    m_ownFields->setVisible(m_custom);
    if (!m_moment->hasFocus() && m_moment->text() != m_model->momentSearch())
        m_moment->setText(m_model->momentSearch());
}
