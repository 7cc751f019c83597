#pragma once

class QAbstractButton;
class QEvent;
class QObject;
class QWidget;

// Where the keyboard's focus goes when a screen changes under it: onto the
// new screen's first control, so the user reads on from the top and never
// finds the focus left in another pane or on nothing at all.
namespace KeyboardFocus {

// The first control of root that Tab stops at, in Tab order: visible,
// enabled, taking focus by Tab. nullptr when root has none.
QWidget *firstControl(QWidget *root);
// Puts the focus on root's first control; on root itself when it has none,
// so the focus stays on what shows and Tab goes on from there.
void enter(QWidget *root);
// Whether the focus of root's window is on root or inside it, also while
// a sheet over the window has the keys.
bool isWithin(const QWidget *root);
// Whether the focus of root's window is lost: on no widget, or on one
// that doesn't show.
bool isAdrift(const QWidget *root);

// An event filter for the application under which Return presses the
// focused push button of a window that is no dialog.
QObject *returnPressesFocusedButtons(QObject *parent);
// For event filters on buttons: when event is Return or Enter pressed on
// button, clicks it if it is enabled and says the key was taken.
bool pressedByReturn(QAbstractButton *button, QEvent *event);

} // namespace KeyboardFocus
