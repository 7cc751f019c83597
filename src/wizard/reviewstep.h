#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>

class QGridLayout;
class QLabel;
class WizardModel;

// The book before it is made: the front of its cover as rendered so far,
// its size, look, binding, shipping and price, and what comes next.
class ReviewStep : public QWidget
{
    Q_OBJECT

public:
    explicit ReviewStep(WizardModel *model, QWidget *parent = nullptr);

    // The words of a typeface or chapters key; empty for a key not known.
    static QString fontName(const QString &key);
    static QString chaptersName(const QString &key);
    // The binding's price for the book plus shipping, in whole dollars;
    // none without prices or for a binding the list doesn't have.
    static std::optional<int> total(const WizardModel &model);

private:
    void refresh();
    void refreshCover();

    QPointer<WizardModel> m_model;
    QLabel *m_cover;
    QString m_coverFor;
    QList<QLabel *> m_values;
    QWidget *m_divider;
    QLabel *m_totalLabel;
    QLabel *m_total;
};
