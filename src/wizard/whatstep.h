#pragma once

#include "insights/insights.h"

#include <QPointer>
#include <QWidget>

class Card;
class DateRangeFields;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class WizardModel;

// The stretch of the conversation the book holds: a card per suggested
// range with its size in pages and books, and a last card to choose the
// days by hand or start at the first message that mentions a moment.
class WhatStep : public QWidget
{
    Q_OBJECT

public:
    explicit WhatStep(WizardModel *model, QWidget *parent = nullptr);

    // Moves the start to the day of the first message holding the moment
    // field's words; nothing changes when none does.
    void findMoment();
    // Whether the own-dates card is open.
    bool isCustom() const { return m_custom; }

private:
    struct SuggestionCard
    {
        Insights::Suggestion suggestion;
        Card *card;
        QLabel *pages;
        QLabel *books;
    };

    void refresh();
    void rebuildSuggestions();
    Card *makeSuggestionCard(const Insights::Suggestion &suggestion);
    Card *makeOwnDatesCard();
    void choose(const Insights::Suggestion &suggestion);
    void chooseOwnDates();
    // Shows the stretch the model holds while no card was tapped here.
    void showHeldStretch();

    QPointer<WizardModel> m_model;
    bool m_custom = false;
    // Whether a card was tapped since the step was shown.
    bool m_tapped = false;
    // The suggestion whose days a range of the model's own ("custom")
    // turned out to be; shown as chosen until a card is tapped.
    QString m_held;
    bool m_hadInsights = false;
    QVBoxLayout *m_cards;
    QList<SuggestionCard> m_suggestions;
    Card *m_ownDates;
    QWidget *m_ownFields;
    DateRangeFields *m_range;
    QLineEdit *m_moment;
};
