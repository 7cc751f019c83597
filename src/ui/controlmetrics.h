#pragma once

#include <QRect>
#include <QSize>
#include <QStyle>

class QStyleOption;
class QStyleOptionComboBox;
class QStyleOptionMenuItem;
class QStyleOptionSlider;
class QStyleOptionSpinBox;
class QWidget;

// Where the parts of the app's controls sit and how large the controls
// are, as the desktop's own: buttons of one height, fields of another, the
// room of a drop-down's chevrons and a stepper's arrows, scroll bars whose
// handle runs their whole length. Rectangles are left to right; the style
// mirrors them for right-to-left text.
namespace ControlMetrics {

constexpr int buttonHeight = 28;
constexpr int fieldInset = 7; // a field's edge and the room before its words
constexpr int scrollBarExtent = 12;
constexpr int scrollHandleMin = 28;
constexpr int editorFrame = 4; // around a text editor's words: its edge and some air

QRect scrollBarPart(const QStyleOptionSlider *bar, QStyle::SubControl part);
// An empty rectangle asks the style Fusion is for the part.
QRect comboBoxPart(const QStyleOptionComboBox *combo, QStyle::SubControl part);
QRect spinBoxPart(const QStyleOptionSpinBox *spin, QStyle::SubControl part);

QSize buttonSize(const QStyleOption *option, const QSize &contents, const QWidget *widget);
// A date field asks with an option it never filled in; the widget tells.
QSize comboBoxSize(const QStyleOptionComboBox *combo, const QSize &contents, const QWidget *widget);
QSize spinBoxSize(const QSize &contents);
QSize menuItemSize(const QStyleOptionMenuItem *item, const QSize &contents);

} // namespace ControlMetrics
