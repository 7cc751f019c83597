#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class WizardModel;

// The chosen stretch as one bar per month, as tall as the month was busy,
// with a line where each book but the last ends and the months no book
// prints greyed, over a legend of the stretch's first and last day.
class VolumeStrip : public QWidget
{
    Q_OBJECT

public:
    explicit VolumeStrip(WizardModel *model, QWidget *parent = nullptr);

    struct Bar
    {
        QString month;
        // Messages that month.
        int count = 0;
        // After the last printed month.
        bool unprinted = false;
        // A book ends in this month, and it isn't the last book's.
        bool ends = false;
    };
    // The bars of the model's stretch, from its first to its chosen last
    // day.
    static QList<Bar> bars(const WizardModel &model);
    // Where bar i of n lies across width: every bar at least a pixel wide
    // and the gaps giving way first, so decades of months still show.
    static QRectF barRect(int index, int count, qreal width);

    void refresh();

private:
    QPointer<WizardModel> m_model;
    QWidget *m_bars;
    QLabel *m_from;
    QLabel *m_lines;
    QLabel *m_to;
};
