#include "keyboardfocus.h"

#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace KeyboardFocus {

namespace {

// Outside a dialog a push button answers Space alone; Return should press
// the button the keys are on too, as the desktop's own buttons do. Sheets
// decide Return for themselves.
class ReturnPresses : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress
            || (static_cast<QKeyEvent *>(event)->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->hasFocus() || button->autoDefault() || button->isDefault()
            || qobject_cast<QDialog *>(button->window()))
            return false;
        return pressedByReturn(button, event);
    }
};

} // namespace

QObject *returnPressesFocusedButtons(QObject *parent)
{
    return new ReturnPresses(parent);
}

bool pressedByReturn(QAbstractButton *button, QEvent *event)
{
    if (!button || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    if (button->isEnabled())
        button->click();
    return true;
}

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
