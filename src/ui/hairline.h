#pragma once

#include <QWidget>

// A one-pixel rule between two parts of a screen, in the faintest tone of
// the text colour, so it shows in either appearance without a frame.
class Hairline : public QWidget
{
    Q_OBJECT

public:
    explicit Hairline(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
