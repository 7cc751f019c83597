#pragma once

#include <QWidget>

// A rounded panel washed with the brand colour, behind a note or a symbol
// that belongs to the app rather than to the user's words.
class TintedPanel : public QWidget
{
    Q_OBJECT

public:
    // strength: how much of the brand colour shows, from 0 to 1.
    TintedPanel(qreal radius, qreal strength, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_radius;
    qreal m_strength;
};
