#pragma once

#include <QStringList>

class QWidget;

// What a person can't see whole in a window, found from the widgets' own
// geometry: the screen tests assert these are empty at every window size.
namespace TestSupport {

// Every widget shown below root that is cut: one that runs past what holds
// it (inside a scroll area's viewport that is what scrolling is for, so
// there it counts only sideways), a button, segmented control or one-line
// label narrower than its text, and a wrapping label shorter than its
// lines. One line per fault, naming the widget and its text.
QStringList cutWidgets(QWidget *root);

// Every sideways scroll bar shown below root.
QStringList sidewaysScrollBars(QWidget *root);

} // namespace TestSupport
