#include "checklabel.h"

#include <QAbstractButton>
#include <QMouseEvent>

CheckLabel::CheckLabel(const QString &text, QAbstractButton *box, QWidget *parent)
    : QLabel(text, parent)
    , m_box(box)
{
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setBuddy(box);
}

void CheckLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && m_box
        && m_box->isEnabled())
        m_box->click();
    QLabel::mouseReleaseEvent(event);
}
