#pragma once

#include "project/clock.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <memory>

class Card;
class MonthGrid;
class QLabel;
class QGridLayout;
class QVBoxLayout;
class TabularNumber;
class Timeline;
class WizardModel;
struct Insights;

// The wizard's first step: a waiting line while the messages are read,
// then what was found, revealed in turn (the message count running up,
// the months filling in, the highlights one by one, then the special days
// and a word on Make It for Me). The end of the reveal sets the model's
// foundReady, which lets the user on.
class FoundStep : public QWidget
{
    Q_OBJECT

public:
    explicit FoundStep(WizardModel *model, QWidget *parent = nullptr);
    ~FoundStep() override;

    // The Wrapped card telling the same story as a moment, by the moment's
    // key ("emoji" and "words" for every moment whose id starts so).
    static const QHash<QString, QString> &wrappedCard();
    // The key of a moment id in wrappedCard().
    static QString momentKey(const QString &id);

    // The reveal's state, as the user sees it.
    int counted() const { return m_counted; }
    int monthsShown() const { return m_monthsShown; }
    int shown() const { return m_shown; }
    bool isReady() const { return m_ready; }

private:
    void refresh();
    void build(const Insights &insights);
    QWidget *momentCard(
        int index, const QString &id, const QString &symbol, const QString &title, const QString &detail);
    // One step of the reveal; schedules the next.
    void reveal();
    void advance(std::chrono::milliseconds pause);
    void finishReveal();
    void apply();

    QPointer<WizardModel> m_model;
    QVBoxLayout *m_stack;
    QWidget *m_waiting;
    QWidget *m_loaded = nullptr;
    int m_revealedTotal = -1;

    TabularNumber *m_counter = nullptr;
    MonthGrid *m_grid = nullptr;
    Timeline *m_timeline = nullptr;
    QList<QWidget *> m_moments;
    QWidget *m_note = nullptr;

    int m_total = 0;
    int m_momentCount = 0;
    int m_phase = 0;
    int m_counted = 0;
    int m_monthsShown = 0;
    int m_shown = 0;
    bool m_ready = false;
    bool m_revealing = false;
    std::unique_ptr<Clock::Alarm> m_alarm;
};
