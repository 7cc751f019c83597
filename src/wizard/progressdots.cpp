#include "progressdots.h"

#include "ui/style.h"

#include <QEasingCurve>
#include <QPainter>
#include <QVariantAnimation>

namespace {

constexpr qreal narrow = 6;
constexpr qreal wide = 18;
constexpr qreal gap = 6;

} // namespace

ProgressDots::ProgressDots(int count, QWidget *parent)
    : QWidget(parent)
    , m_count(count)
    , m_slide(new QVariantAnimation(this))
{
    m_slide->setDuration(320);
    m_slide->setEasingCurve(QEasingCurve::OutCubic);
    m_slide->setStartValue(0.0);
    m_slide->setEndValue(1.0);
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_progress = value.toReal();
        update();
    });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ProgressDots::setCurrent(int current)
{
    if (current == m_current)
        return;
    m_previous = m_current;
    m_current = current;
    m_progress = 0;
    m_slide->stop();
    m_slide->start();
    update();
}

QSize ProgressDots::sizeHint() const
{
    return { int((m_count - 1) * (narrow + gap) + wide), int(narrow) };
}

qreal ProgressDots::widthOf(int index, qreal progress) const
{
    qreal w = narrow;
    if (index == m_current)
        w += (wide - narrow) * progress;
    if (index == m_previous && m_previous != m_current)
        w += (wide - narrow) * (1 - progress);
    return w;
}

QRectF ProgressDots::capsule(int index) const
{
    qreal x = 0;
    for (int i = 0; i < index; ++i)
        x += widthOf(i, 1) + gap;
    return { x, (height() - narrow) / 2, widthOf(index, 1), narrow };
}

void ProgressDots::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor later = Style::color(Style::Tone::Secondary);
    later.setAlphaF(0.25);
    qreal x = 0;
    for (int i = 0; i < m_count; ++i) {
        const qreal w = widthOf(i, m_progress);
        painter.setBrush(i <= m_current ? Style::brand() : later);
        painter.drawRoundedRect(QRectF(x, (height() - narrow) / 2, w, narrow), narrow / 2, narrow / 2);
        x += w + gap;
    }
}
