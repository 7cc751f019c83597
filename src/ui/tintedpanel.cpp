#include "tintedpanel.h"

#include "style.h"

#include <QPainter>

TintedPanel::TintedPanel(qreal radius, QWidget *parent)
    : QWidget(parent)
    , m_radius(radius)
{ }

void TintedPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Style::tint());
    painter.drawRoundedRect(QRectF(rect()), m_radius, m_radius);
}
