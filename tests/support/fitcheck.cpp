#include "fitcheck.h"

#include "ui/clampedlabel.h"
#include "ui/segmentedcontrol.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QScrollBar>

namespace TestSupport {

namespace {

QString describe(const QWidget *widget)
{
    QString text;
    if (auto *label = qobject_cast<const QLabel *>(widget))
        text = label->text();
    else if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        text = button->text();
    else if (auto *segments = qobject_cast<const SegmentedControl *>(widget))
        text = segments->labels().join(QStringLiteral(" | "));
    QString line = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty())
        line += QLatin1Char('#') + widget->objectName();
    if (!text.isEmpty())
        line += QStringLiteral(" \"") + text.left(60) + QLatin1Char('"');
    return line;
}

QString rectText(const QRect &rect)
{
    return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

bool isViewport(const QWidget *widget)
{
    auto *area = qobject_cast<const QAbstractScrollArea *>(widget->parentWidget());
    return area && area->viewport() == widget;
}

// Where the widget runs past its parent; empty when it doesn't.
QString overflow(const QWidget *widget)
{
    const QWidget *parent = widget->parentWidget();
    const QRect inside = parent->rect();
    const QRect geometry = widget->geometry();
    if (isViewport(parent)) {
        // A scroll area's content may be taller than its viewport, never wider.
        if (geometry.left() >= inside.left() && geometry.right() <= inside.right())
            return {};
        return QStringLiteral("wider than its scroll area (%1 in %2)")
            .arg(rectText(geometry), rectText(inside));
    }
    if (inside.contains(geometry))
        return {};
    return QStringLiteral("runs out of %1 (%2 in %3)")
        .arg(describe(parent), rectText(geometry), rectText(inside));
}

// Where the widget is too small for its own text; empty when it isn't.
QString squeezed(const QWidget *widget)
{
    if (qobject_cast<const ClampedLabel *>(widget))
        return {};
    if (auto *label = qobject_cast<const QLabel *>(widget)) {
        if (label->text().isEmpty())
            return {};
        if (label->wordWrap()) {
            const int needed = label->heightForWidth(label->width());
            return label->height() + 1 < needed
                ? QStringLiteral("shows %1 of its %2 px of lines").arg(label->height()).arg(needed)
                : QString();
        }
        const int needed = label->sizeHint().width();
        return label->width() + 1 < needed
            ? QStringLiteral("is %1 px wide for a %2 px line").arg(label->width()).arg(needed)
            : QString();
    }
    const bool hasText = qobject_cast<const SegmentedControl *>(widget)
        || (qobject_cast<const QAbstractButton *>(widget)
            && !static_cast<const QAbstractButton *>(widget)->text().isEmpty());
    if (!hasText)
        return {};
    const int needed = widget->sizeHint().width();
    return widget->width() + 1 < needed
        ? QStringLiteral("is %1 px wide for its %2 px of text").arg(widget->width()).arg(needed)
        : QString();
}

bool shown(const QWidget *widget, const QWidget *root)
{
    return widget->isVisibleTo(root) && !widget->isWindow() && !widget->size().isEmpty();
}

} // namespace

QStringList cutWidgets(QWidget *root)
{
    QStringList faults;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (!shown(widget, root))
            continue;
        const QString out = overflow(widget);
        if (!out.isEmpty())
            faults.append(describe(widget) + QLatin1Char(' ') + out);
        const QString small = squeezed(widget);
        if (!small.isEmpty())
            faults.append(describe(widget) + QLatin1Char(' ') + small);
    }
    return faults;
}

QStringList sidewaysScrollBars(QWidget *root)
{
    QStringList bars;
    for (QScrollBar *bar : root->findChildren<QScrollBar *>()) {
        if (bar->orientation() == Qt::Horizontal && shown(bar, root))
            bars.append(describe(bar->parentWidget() ? bar->parentWidget()->parentWidget() : bar));
    }
    return bars;
}

} // namespace TestSupport
