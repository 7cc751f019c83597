#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QRadioButton;
class TabularNumber;
class VolumeStrip;
class WizardModel;

// How big the chosen stretch is as a printed book: how much one book
// holds, the months as bars with the volumes' ends, the messages, pages
// and books, and, when it needs more than one book, the choice between
// printing all of it and keeping to one book.
class FitStep : public QWidget
{
    Q_OBJECT

public:
    explicit FitStep(WizardModel *model, QWidget *parent = nullptr);

    // A figure: the value large, its label under it.
    static QWidget *stat(TabularNumber *value, QLabel *label);

private:
    void refresh();

    QPointer<WizardModel> m_model;
    QWidget *m_content;
    QLabel *m_sentence;
    VolumeStrip *m_strip;
    TabularNumber *m_messages;
    TabularNumber *m_pages;
    TabularNumber *m_books;
    QLabel *m_booksLabel;
    QWidget *m_fits;
    QWidget *m_choice;
    QRadioButton *m_all;
    QRadioButton *m_one;
};
