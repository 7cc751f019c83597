#include "fitcheck.h"

#include "ui/clampedlabel.h"
#include "ui/segmentedcontrol.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QLayout>
#include <QScrollBar>
#include <QStackedLayout>

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
        // A scroll area's content may run on the way it scrolls: down the
        // page, or along a strip that only scrolls sideways.
        auto *area = static_cast<const QAbstractScrollArea *>(parent->parentWidget());
        if (area->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff) {
            if (geometry.top() >= inside.top() && geometry.bottom() <= inside.bottom())
                return {};
            return QStringLiteral("taller than its strip (%1 in %2)")
                .arg(rectText(geometry), rectText(inside));
        }
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
    // A segmented control says how narrow its labels still fit; a button's
    // text needs all of its size.
    int needed = 0;
    if (qobject_cast<const SegmentedControl *>(widget))
        needed = widget->minimumSizeHint().width();
    else if (auto *button = qobject_cast<const QAbstractButton *>(widget);
             button && !button->text().isEmpty())
        needed = widget->sizeHint().width();
    else
        return {};
    return widget->width() + 1 < needed
        ? QStringLiteral("is %1 px wide for its %2 px of text").arg(widget->width()).arg(needed)
        : QString();
}

bool shown(const QWidget *widget, const QWidget *root)
{
    return widget->isVisibleTo(root) && !widget->isWindow() && !widget->size().isEmpty();
}

// The widgets a layout places, those of the rows and columns inside it
// too: a sheet's fields sit in a column within its outer layout. The pages
// of a stack are meant to lie over each other.
void placedBy(const QLayout *layout, const QWidget *root, QList<const QWidget *> &placed)
{
    if (qobject_cast<const QStackedLayout *>(layout))
        return;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (const QWidget *widget = item->widget(); widget && shown(widget, root))
            placed.append(widget);
        else if (const QLayout *inner = item->layout())
            placedBy(inner, root, placed);
    }
}

// Widgets one layout places that lie over each other: a layout squeezed
// below what its widgets need. Overlays placed by hand are meant to.
QStringList overlaps(const QWidget *parent, const QWidget *root)
{
    const QLayout *layout = parent->layout();
    if (!layout)
        return {};
    QList<const QWidget *> placed;
    placedBy(layout, root, placed);
    QStringList found;
    for (int i = 0; i < placed.size(); ++i) {
        for (int j = i + 1; j < placed.size(); ++j) {
            if (placed[i]->geometry().intersects(placed[j]->geometry()))
                found.append(describe(placed[i]) + QStringLiteral(" lies over ") + describe(placed[j]));
        }
    }
    return found;
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
        faults.append(overlaps(widget, root));
    }
    faults.append(overlaps(root, root));
    return faults;
}

QString outOfSight(const QWidget *widget)
{
    if (!widget->isVisible())
        return describe(widget) + QStringLiteral(" is hidden");
    const QWidget *window = widget->window();
    const QRect whole(widget->mapTo(window, QPoint(0, 0)), widget->size());
    QRect seen = whole;
    for (const QWidget *holder = widget->parentWidget(); holder; holder = holder->parentWidget()) {
        seen &= QRect(holder->mapTo(window, QPoint(0, 0)), holder->size());
        if (holder == window)
            break;
    }
    if (seen == whole)
        return {};
    return QStringLiteral("%1 shows %2 of %3 in its window")
        .arg(describe(widget), rectText(seen), rectText(whole));
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
