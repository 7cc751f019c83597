#pragma once

#include <QStringList>

class QWidget;

// What a person can't see whole in a window, found from the widgets' own
// geometry: the screen tests assert these are empty at every window size.
namespace TestSupport {

// Every widget shown below root that is cut: one that runs past what holds
// it (inside a scroll area's viewport it may run on the way the area
// scrolls: down a page, or along a strip whose only scrolling is sideways),
// a button, segmented control or one-line label narrower than its text, a
// wrapping label shorter than its lines, and widgets of one layout lying
// over each other. One line per fault, naming the widget and its text.
QStringList cutWidgets(QWidget *root);

// Every sideways scroll bar shown below root.
QStringList sidewaysScrollBars(QWidget *root);

// What of widget a person can't see: it is hidden, or part of it lies
// outside something that holds it, its window included (a scroll area
// shows only what is scrolled into its viewport). Empty when all of it is
// in sight.
QString outOfSight(const QWidget *widget);

} // namespace TestSupport
