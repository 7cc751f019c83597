#pragma once

#include <QWidget>

// A rounded panel washed with the brand colour, behind a note or a symbol
// that belongs to the app rather than to the user's words.
class TintedPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TintedPanel(qreal radius, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_radius;
};
