#include "keyboardfocus.h"

#include <QWidget>

namespace KeyboardFocus {

QWidget *firstControl(QWidget *root)
{
    if (!root)
        return nullptr;
    // The chain runs through the whole window; root's part of it starts
    // after root and may be interleaved with widgets made elsewhere.
    for (QWidget *widget = root->nextInFocusChain(); widget && widget != root;
         widget = widget->nextInFocusChain()) {
        if (!root->isAncestorOf(widget))
            continue;
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(root->window())
            && widget->isEnabled() && !widget->focusProxy())
            return widget;
    }
    return nullptr;
}

void enter(QWidget *root)
{
    if (!root)
        return;
    QWidget *first = firstControl(root);
    (first ? first : root)->setFocus(Qt::OtherFocusReason);
}

bool isWithin(const QWidget *root)
{
    // The window's own focus, also while a sheet over it has the keys.
    const QWidget *focus = root ? root->window()->focusWidget() : nullptr;
    return root && focus && (focus == root || root->isAncestorOf(focus));
}

bool isAdrift(const QWidget *root)
{
    const QWidget *focus = root ? root->window()->focusWidget() : nullptr;
    return !focus || !focus->isVisible();
}

} // namespace KeyboardFocus
