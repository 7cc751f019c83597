#pragma once

#include <QPointer>
#include <QWidget>

class QDateEdit;
class WizardModel;

// "From" and "To" as two date fields over the model's range. Both allow
// the book's first to last day. A field writes the model only when the
// user picks or types a day: what the field shows for a day outside the
// range, or for one that doesn't read, never goes back by itself.
class DateRangeFields : public QWidget
{
    Q_OBJECT

public:
    explicit DateRangeFields(WizardModel *model, QWidget *parent = nullptr);

    QDateEdit *fromField() const { return m_from; }
    QDateEdit *toField() const { return m_to; }
    // The allowed days: the book's first message's day to its last day,
    // today where a day doesn't read; never an upper bound below the lower.
    QDate lowest() const;
    QDate highest() const;

    void refresh();

private:
    QPointer<WizardModel> m_model;
    QDateEdit *m_from;
    QDateEdit *m_to;
};
