#pragma once

#include <QAbstractButton>

class QVBoxLayout;

// The wizard's selectable rounded container: a choice the user clicks
// anywhere on. Selection draws a ring in the brand colour inside the edge,
// so a card takes the same room either way; the keyboard's focus is a halo
// outside it, never a ring like the choice's. The card only reports the
// click; the step decides what it chooses.
class Card : public QAbstractButton
{
    Q_OBJECT

public:
    explicit Card(QWidget *parent = nullptr);

    // What the card holds, inset 14 pixels on every side.
    QVBoxLayout *content() const { return m_content; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    QVBoxLayout *m_content;
    bool m_selected = false;
};
