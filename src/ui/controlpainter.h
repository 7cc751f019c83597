#pragma once

#include <QColor>
#include <QRectF>

class QPainter;
class QPalette;

// The shapes the app's controls are drawn with, in the colours of a
// palette, so that a button, a field, a menu and a scroll bar in one
// appearance read as one family. The style decides which control gets
// which shape; nothing here knows a widget.
namespace ControlPainter {

// The colours of one appearance's controls, worked out from its palette.
struct Colors
{
    bool dark;
    QColor text; // the words on a control
    QColor face; // a bezel button's fill
    QColor hover; // ... under the pointer
    QColor pressed; // ... held down
    QColor edge; // the line around a button or field
    QColor field; // a text field's fill
    QColor accent; // the brand colour of the appearance
    QColor onAccent; // words on the accent
    QColor focus; // the ring of the control with the keyboard
    QColor popup; // menus, drop-down lists and their kin
    QColor popupEdge; // ... their outline, which must show on the window
    QColor separator; // a line between groups in a popup
};
Colors colors(const QPalette &palette);

// How a control is being touched.
enum class Touch { None, Hover, Pressed };

// A rounded bezel button: face, edge and the focus ring.
void bezel(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors, Touch touch,
    bool enabled, bool focused);
// The same shape filled in the accent, as the one button that does a
// screen's work.
void accentBezel(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors, Touch touch,
    bool enabled, bool focused);
// A bezel that is on: washed with the accent and outlined in it.
void onBezel(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors, Touch touch,
    bool enabled, bool focused);
// A text field: its fill, edge, and the ring while it has the keyboard.
void field(QPainter *painter, const QRectF &rect, const Colors &colors, bool enabled, bool focused);
// The ring of keyboard focus just inside a rounded rectangle.
void focusRing(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors);
// The keyboard's halo around a choice whose own ring says it is chosen:
// a soft band outside the shape, haloWidth wide, so focus and choice read
// apart and both show at once. rect is the shape itself.
void focusHalo(QPainter *painter, const QRectF &rect, qreal radius, const Colors &colors);
constexpr qreal haloWidth = 3.5;

// A chevron pointing the way given (Qt::UpArrow ... Qt::RightArrow),
// centred in rect, size pixels across.
void chevron(QPainter *painter, const QRectF &rect, int arrow, qreal size, const QColor &color);
// A check mark filling rect.
void tick(QPainter *painter, const QRectF &rect, const QColor &color, qreal width);

// A popup's panel: fill and outline.
void popupPanel(QPainter *painter, const QRectF &rect, const Colors &colors);
// A square one-pixel outline just inside rect.
void outline(QPainter *painter, const QRectF &rect, const QColor &color);
// A rounded fill without an edge, for hover and pressed states and handles.
void wash(QPainter *painter, const QRectF &rect, qreal radius, const QColor &color);

// The corner radius of bezel buttons and of fields.
constexpr qreal buttonRadius = 6;
constexpr qreal fieldRadius = 5;

} // namespace ControlPainter
