#include "focushalo.h"

#include "controlpainter.h"

#include <QEvent>
#include <QPainter>
#include <cmath>

namespace {

const int margin = int(std::ceil(ControlPainter::haloWidth)) + 1;

} // namespace

FocusHalo *FocusHalo::follow(QWidget *target, qreal radius)
{
    return new FocusHalo(target, radius);
}

FocusHalo::FocusHalo(QWidget *target, qreal radius)
    : QWidget(target->parentWidget())
    , m_target(target)
    , m_radius(radius)
{
    setObjectName(QStringLiteral("focusHalo"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    target->installEventFilter(this);
    // The halo lives in the target's parent; it goes with the target.
    connect(target, &QObject::destroyed, this, &QObject::deleteLater);
}

bool FocusHalo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_target)
        return false;
    switch (event->type()) {
    case QEvent::ParentChange:
        setParent(m_target->parentWidget());
        place();
        break;
    // A paint comes after the window learns it is worked with keys, which
    // the focus may not change with.
    case QEvent::Paint:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
        place();
        break;
    default:
        break;
    }
    return false;
}

void FocusHalo::place()
{
    const bool shown = m_target && parentWidget() && m_target->hasFocus() && m_target->isVisible()
        && m_target->window()->testAttribute(Qt::WA_KeyboardFocusChange);
    if (!shown) {
        hide();
        return;
    }
    // Only what changed: a halo shown again would have the target painted
    // under it again, and so on.
    const QRect around = m_target->geometry().adjusted(-margin, -margin, margin, margin);
    if (geometry() != around)
        setGeometry(around);
    if (isHidden()) {
        raise();
        show();
    }
}

void FocusHalo::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ControlPainter::focusHalo(&painter, QRectF(rect()).adjusted(margin, margin, -margin, -margin), m_radius,
        ControlPainter::colors(palette()));
}
