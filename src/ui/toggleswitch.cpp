#include "toggleswitch.h"

#include "style.h"

#include <QPainter>

ToggleSwitch::ToggleSwitch(QWidget *parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ToggleSwitch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor off = Style::color(Style::Tone::Primary);
    off.setAlphaF(0.16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isChecked() ? Style::brand() : off);
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    if (hasFocus()) {
        QColor ring = Style::brand();
        ring.setAlphaF(0.4);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track.adjusted(1, 1, -1, -1), track.height() / 2 - 1, track.height() / 2 - 1);
        painter.setPen(Qt::NoPen);
    }
    const qreal knob = track.height() - 4;
    const qreal x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(QRectF(x, track.top() + 2.5, knob, knob));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}
