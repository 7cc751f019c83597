#pragma once

#include <QPointer>
#include <QWidget>

class Card;
class QLabel;
class WizardModel;

// How the book is divided: a chapter a month, a chapter a year, or none,
// each saying what it comes to over the days actually printed.
class ChaptersStep : public QWidget
{
    Q_OBJECT

public:
    explicit ChaptersStep(WizardModel *model, QWidget *parent = nullptr);

    // "16 chapters, from March 2021 to June 2022." and "2 chapters: 2021,
    // 2022." over the printed days.
    static QString monthDetail(const WizardModel &model);
    static QString yearDetail(const WizardModel &model);

private:
    void refresh();
    Card *option(const QString &key, const QString &title, QLabel *detail);

    QPointer<WizardModel> m_model;
    QList<QPair<QString, Card *>> m_options;
    QLabel *m_months;
    QLabel *m_years;
};
