#pragma once

#include <QLabel>
#include <QPointer>

class QAbstractButton;

// The words of a check box, beside it, wrapping onto as many lines as they
// need: a check box's own text never wraps, and a sentence that carries a
// person's name can be wider than any window. Pressing the words ticks the
// box, as pressing a check box's own text does. Plain text: a name's "&"
// shows as it is.
class CheckLabel : public QLabel
{
    Q_OBJECT

public:
    CheckLabel(const QString &text, QAbstractButton *box, QWidget *parent = nullptr);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPointer<QAbstractButton> m_box;
};
