#pragma once

#include "controlpainter.h"

#include <QStyle>

class QPainter;
class QProxyStyle;
class QStyleOption;
class QStyleOptionButton;
class QStyleOptionComboBox;
class QStyleOptionMenuItem;
class QStyleOptionProgressBar;
class QStyleOptionSlider;
class QStyleOptionSpinBox;
class QStyleOptionToolButton;
class QWidget;

// The app's style draws each standard control from these: a button by the
// look its screen asked for, a drop-down, a stepper, a scroll bar, a menu
// item, a check box, a progress bar. Each takes the control's style option
// as Qt fills it in; where a part sits is the style's to say.
namespace ControlParts {

// Measures the drawing and the style's geometry share.
constexpr int buttonPadding = 14;
constexpr int arrowWidth = 22; // the chevrons of drop-downs and date fields
constexpr int menuPadding = 10;
constexpr int menuCheckColumn = 24;

bool isEnabled(const QStyleOption *option);
ControlPainter::Touch touchOf(const QStyleOption *option);
// A button's ring shows once the window is worked with keys, as on the
// desktop: a click leaves none.
bool keyboardFocus(const QStyleOption *option);
int mnemonicFlags(const QStyle *style, const QStyleOption *option, const QWidget *widget);
QColor faded(QColor color, qreal alpha);

// The colour of a button's words for its look and state.
QColor labelColor(const QStyleOption *option, const QWidget *widget);
void buttonBevel(
    const QStyle *style, const QStyleOptionButton *button, QPainter *painter, const QWidget *widget);
void buttonLabel(
    const QProxyStyle *style, const QStyleOptionButton *button, QPainter *painter, const QWidget *widget);
void toolButton(
    const QProxyStyle *style, const QStyleOptionToolButton *tool, QPainter *painter, const QWidget *widget);

// A check box or radio button's box, with its mark when on.
void checkIndicator(const QStyleOption *option, QPainter *painter, QStyle::PrimitiveElement element);
void menuItem(
    const QStyle *style, const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget);
void comboBox(
    const QStyle *style, const QStyleOptionComboBox *combo, QPainter *painter, const QWidget *widget);
void spinBox(const QStyle *style, const QStyleOptionSpinBox *spin, QPainter *painter, const QWidget *widget);
void scrollBar(const QStyle *style, const QStyleOptionSlider *bar, QPainter *painter, const QWidget *widget);
void progressGroove(const QStyleOption *option, QPainter *painter);
void progressContents(const QStyleOptionProgressBar *bar, QPainter *painter);

} // namespace ControlParts
