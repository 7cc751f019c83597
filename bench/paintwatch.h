#pragma once

// For the benchmarks of screens: notes when a widget has been painted.
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace Bench {

class PaintWatch : public QObject
{
public:
    void watch(QWidget *widget)
    {
        painted = false;
        m_widget = widget;
        widget->installEventFilter(this);
    }
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            painted = true;
        return false;
    }

private:
    QPointer<QWidget> m_widget;
};

} // namespace Bench
