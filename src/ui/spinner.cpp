#include "spinner.h"

#include "style.h"

#include <QPainter>
#include <QTimer>
#include <QtMath>

namespace {
constexpr int spokes = 12;
}

Spinner::Spinner(QWidget *parent)
    : Spinner(Size::Regular, parent)
{ }

Spinner::Spinner(Size size, QWidget *parent)
    : QWidget(parent)
    , m_size(static_cast<int>(size))
    , m_timer(new QTimer(this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(m_size, m_size);
    m_timer->setInterval(80);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % spokes;
        update();
    });
}

QSize Spinner::sizeHint() const
{
    return { m_size, m_size };
}

void Spinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal outer = m_size / 2.0;
    const qreal inner = outer * 0.5;
    QColor colour = Style::color(Style::Tone::Primary);
    QPen pen(colour, qMax(1.5, m_size / 11.0), Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < spokes; ++i) {
        // The newest spoke is darkest; the ones behind it fade out.
        const int age = (m_step - i + spokes) % spokes;
        colour.setAlphaF(0.85 - 0.65 * age / (spokes - 1));
        pen.setColor(colour);
        painter.setPen(pen);
        const qreal angle = 2 * M_PI * i / spokes - M_PI / 2;
        painter.drawLine(QPointF(qCos(angle) * inner, qSin(angle) * inner),
            QPointF(qCos(angle) * (outer - pen.widthF()), qSin(angle) * (outer - pen.widthF())));
    }
}

void Spinner::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_timer->start();
}

void Spinner::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_timer->stop();
}
