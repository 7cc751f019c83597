#include "tintedpanel.h"

#include "style.h"

#include <QPainter>

TintedPanel::TintedPanel(qreal radius, qreal strength, QWidget *parent)
    : QWidget(parent)
    , m_radius(radius)
    , m_strength(strength)
{ }

void TintedPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor wash = Style::brand();
    wash.setAlphaF(m_strength);
    painter.setBrush(wash);
    painter.drawRoundedRect(QRectF(rect()), m_radius, m_radius);
}
