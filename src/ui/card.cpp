#include "card.h"

#include "focushalo.h"
#include "style.h"

#include <QAccessible>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr qreal radius = 12;

} // namespace

Card::Card(QWidget *parent)
    : QAbstractButton(parent)
    , m_content(new QVBoxLayout(this))
{
    m_content->setContentsMargins(14, 14, 14, 14);
    m_content->setSpacing(3);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    FocusHalo::follow(this, radius);
}

void Card::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
    // A screen reader hears the card as a radio item: being chosen is its
    // checked state.
    QAccessible::State state;
    state.checked = true;
    QAccessibleStateChangeEvent event(this, state);
    QAccessible::updateAccessibility(&event);
}

QSize Card::sizeHint() const
{
    return m_content->sizeHint();
}

QSize Card::minimumSizeHint() const
{
    return m_content->minimumSize();
}

bool Card::hasHeightForWidth() const
{
    return m_content->hasHeightForWidth();
}

int Card::heightForWidth(int width) const
{
    return m_content->hasHeightForWidth() ? m_content->totalHeightForWidth(width) : sizeHint().height();
}

void Card::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, radius, radius);
    painter.fillPath(shape, Style::cardFill());
    if (isDown() && isEnabled()) {
        QColor pressed = Style::color(Style::Tone::Primary);
        pressed.setAlphaF(0.05);
        painter.fillPath(shape, pressed);
    }
    if (m_selected) {
        // Inside the edge, 2 pixels wide.
        const QRectF ring = QRectF(rect()).adjusted(1, 1, -1, -1);
        painter.setPen(QPen(Style::brand(), 2));
        painter.drawRoundedRect(ring, radius - 1, radius - 1);
    } else {
        painter.setPen(QPen(Style::cardEdge(), 1));
        painter.drawPath(shape);
    }
}

bool Card::hitButton(const QPoint &position) const
{
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), radius, radius);
    return shape.contains(position);
}
