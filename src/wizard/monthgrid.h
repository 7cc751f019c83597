#pragma once

#include "insights/insights.h"

#include <QList>
#include <QPair>
#include <QWidget>

// The months of a conversation as a grid of small squares, two years to a
// row, each as strong in the brand colour as its month was busy. The
// found step reveals the cells one by one.
class MonthGrid : public QWidget
{
    Q_OBJECT

public:
    explicit MonthGrid(QWidget *parent = nullptr);

    // Month keys ("yyyy-MM") with their message totals, in key order; only
    // months with a day in days.
    static QList<QPair<QString, int>> months(const QList<Insights::DayCount> &days);
    // "March 2024: 1,234 messages".
    static QString tooltip(const QString &month, int total);

    void setDays(const QList<Insights::DayCount> &days);
    int count() const { return int(m_months.size()); }
    // How many cells, from the first, are shown.
    int shown() const { return m_shown; }
    void setShown(int shown);
    // The fill's opacity of a cell: 1 for the busiest month, down to 0.15.
    qreal opacity(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    QRectF cell(int index) const;

    QList<QPair<QString, int>> m_months;
    int m_peak = 1;
    int m_shown = 0;
};
