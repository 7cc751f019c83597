#include "hairline.h"

#include "style.h"

#include <QPainter>

Hairline::Hairline(Qt::Orientation orientation, QWidget *parent)
    : QWidget(parent)
{
    if (orientation == Qt::Horizontal) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setFixedWidth(1);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
}

void Hairline::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Style::color(Style::Tone::Quaternary, palette()));
}
