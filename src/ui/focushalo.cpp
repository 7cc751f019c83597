#include "focushalo.h"

#include "controlpainter.h"

#include <QAbstractScrollArea>
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
    // The halo lives beside the target; it goes with the target.
    connect(target, &QObject::destroyed, this, &QObject::deleteLater);
}

bool FocusHalo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_target && !m_between.contains(watched))
        return false;
    switch (event->type()) {
    // A paint comes after the window learns it is worked with keys, which
    // the focus may not change with.
    case QEvent::Paint:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ParentChange:
        place();
        break;
    default:
        break;
    }
    return false;
}

void FocusHalo::place()
{
    const bool shown = m_target && m_target->parentWidget() && m_target->hasFocus() && m_target->isVisible()
        && m_target->window()->testAttribute(Qt::WA_KeyboardFocusChange);
    if (!shown) {
        hide();
        return;
    }
    // The halo needs room around the target that a tight row doesn't give:
    // it lies in the first container up that holds it whole, never out of
    // the scrolled view it is in. The containers between are watched, as
    // their moves move the target.
    QRect around = m_target->geometry().adjusted(-margin, -margin, margin, margin);
    QWidget *host = m_target->parentWidget();
    QList<QPointer<QObject>> between;
    while (!host->rect().contains(around) && !host->isWindow() && host->parentWidget()
        && !qobject_cast<QAbstractScrollArea *>(host->parentWidget())) {
        around.translate(host->pos());
        between.append(host);
        host = host->parentWidget();
    }
    if (between != m_between) {
        for (const QPointer<QObject> &old : std::as_const(m_between)) {
            if (old)
                old->removeEventFilter(this);
        }
        for (const QPointer<QObject> &now : std::as_const(between))
            now->installEventFilter(this);
        m_between = between;
    }
    if (parentWidget() != host)
        setParent(host);
    // Only what changed: a halo shown again would have the target painted
    // under it again, and so on.
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
