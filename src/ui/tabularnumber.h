#pragma once

#include <QLabel>

// A figure whose digits all take the width of the widest one, so counting
// numbers and prices don't shake as they change: the interface face has
// proportional digits, and Qt 6.4 can't ask a font for its tabular ones.
class TabularNumber : public QLabel
{
    Q_OBJECT

public:
    explicit TabularNumber(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal digitWidth() const;
    qreal advance(QChar c) const;
    qreal textWidth() const;
};
