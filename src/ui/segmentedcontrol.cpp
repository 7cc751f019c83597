#include "segmentedcontrol.h"

#include "style.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

SegmentedControl::SegmentedControl(QWidget *parent)
    : QWidget(parent)
{
    setFont(Style::font(Style::Text::Body));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SegmentedControl::setLabels(const QStringList &labels)
{
    if (m_labels == labels)
        return;
    m_labels = labels;
    updateGeometry();
    update();
}

void SegmentedControl::setCurrentIndex(int index)
{
    if (m_current == index)
        return;
    const int before = m_current;
    m_current = index;
    update();
    if (!QAccessible::isActive())
        return;
    // Each segment is an item of its own: the one left and the one chosen
    // both change.
    QAccessibleInterface *control = QAccessible::queryAccessibleInterface(this);
    for (const int changed : { before, index }) {
        if (QAccessibleInterface *segment = control ? control->child(changed) : nullptr) {
            QAccessible::State state;
            state.checked = true;
            QAccessibleStateChangeEvent event(segment, state);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void SegmentedControl::activate(int index)
{
    choose(index);
}

QRect SegmentedControl::segmentRect(int index) const
{
    return segment(index).toAlignedRect();
}

void SegmentedControl::setWidths(Widths widths)
{
    m_widths = widths;
    updateGeometry();
    update();
}

int SegmentedControl::widthFor(int padding) const
{
    // Measured in the chosen segment's weight, the wider of the two, so that
    // a label never outgrows its segment when it is picked.
    QFont chosen = font();
    chosen.setWeight(QFont::DemiBold);
    const QFontMetrics metrics(chosen);
    int widest = 0;
    int total = 0;
    for (const QString &label : m_labels) {
        const int advance = metrics.horizontalAdvance(label);
        widest = std::max(widest, advance);
        total += advance;
    }
    const int count = int(m_labels.size());
    const int labels = m_widths == Widths::Equal ? count * widest : total;
    return labels + count * padding + 4;
}

QSize SegmentedControl::sizeHint() const
{
    return { widthFor(24), 28 };
}

QSize SegmentedControl::minimumSizeHint() const
{
    return { widthFor(12), 28 };
}

QRectF SegmentedControl::segment(int index) const
{
    const qsizetype count = std::max<qsizetype>(1, m_labels.size());
    if (m_widths == Widths::Equal) {
        const qreal w = (width() - 4.0) / count;
        return { 2 + index * w, 2, w, height() - 4.0 };
    }
    const QFontMetricsF metrics(font());
    QList<qreal> widths;
    qreal total = 0;
    for (const QString &label : m_labels) {
        widths.append(metrics.horizontalAdvance(label));
        total += widths.last();
    }
    const qreal extra = (width() - 4.0 - total) / count;
    qreal x = 2;
    for (int i = 0; i < index; ++i)
        x += widths[i] + extra;
    return { x, 2, widths.value(index) + extra, height() - 4.0 };
}

void SegmentedControl::choose(int index)
{
    if (index < 0 || index >= m_labels.size())
        return;
    setCurrentIndex(index);
    emit activated(index);
}

void SegmentedControl::mousePressEvent(QMouseEvent *event)
{
    for (int i = 0; i < m_labels.size(); ++i) {
        if (segment(i).contains(event->position()))
            choose(i);
    }
}

void SegmentedControl::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Left)
        choose(std::max(0, m_current - 1));
    else if (event->key() == Qt::Key_Right)
        choose(std::min(int(m_labels.size()) - 1, m_current + 1));
    else
        QWidget::keyPressEvent(event);
}

void SegmentedControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor track = Style::color(Style::Tone::Primary);
    track.setAlphaF(0.07);
    painter.setPen(Qt::NoPen);
    painter.setBrush(track);
    painter.drawRoundedRect(frame, 7, 7);
    for (int i = 0; i < m_labels.size(); ++i) {
        const QRectF box = segment(i);
        if (i == m_current) {
            painter.setPen(QPen(Style::cardEdge(), 1));
            painter.setBrush(Style::cardFill());
            painter.drawRoundedRect(box, 5.5, 5.5);
        } else if (i > 0 && i - 1 != m_current) {
            painter.setPen(QPen(Style::cardEdge(), 1));
            painter.drawLine(QPointF(box.left(), box.top() + 6), QPointF(box.left(), box.bottom() - 6));
        }
        QFont f = font();
        if (i == m_current)
            f.setWeight(QFont::DemiBold);
        painter.setFont(f);
        painter.setPen(Style::color(i == m_current ? Style::Tone::Primary : Style::Tone::Secondary));
        // Squeezed below its minimum by a window too small for it, a label
        // ends in an ellipsis rather than at the segment's edge.
        const QString label = QFontMetricsF(f).elidedText(m_labels[i], Qt::ElideRight, box.width() - 8);
        painter.drawText(box, Qt::AlignCenter, label);
    }
    if (hasFocus()) {
        QColor ring = Style::brand();
        ring.setAlphaF(0.4);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), 6, 6);
    }
}
