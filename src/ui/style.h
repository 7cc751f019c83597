#pragma once

#include "model/color.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>

class QAbstractButton;
class QLabel;
class QMessageBox;
class QPalette;
class QWidget;

// The look every screen shares: one type scale, the tones of secondary
// text, the brand colour for the appearance in use, and numbers with the
// user's grouping. Screens take their fonts and colours from here.
namespace Style {

// The type scale, in device-independent pixels as the desktop's own
// screens use them.
enum class Text {
    LargeTitle, // 26
    Title, // 22
    Title2, // 17
    Title3, // 15
    Headline, // 13 semibold
    Body, // 13
    Callout, // 12
    Subheadline, // 11
    Footnote, // 10
    Caption, // 10
    Caption2, // 10
};

// Text colours by importance; fills use Quaternary. Every tone of text,
// the faintest fine print too, reads at 4.5:1 or more on every surface
// below, in either appearance.
enum class Tone { Primary, Secondary, Tertiary, Quaternary };

// What words are drawn on.
enum class Surface {
    Window, // the window: the sidebar, sheets, the menu bar
    Content, // the pane beside the sidebar
    Card, // a card, a chip or a chosen segment on either
    Section, // a form's grouped rows
    Band, // the window's secondary background: a band across a screen
    Field, // text fields and drop-down menus
    Popup, // menus and popovers
    Selection, // a chosen row while its list doesn't have the focus
    Tint, // a panel washed in the brand colour, on the content
};

enum class Weight { Regular, Medium, Semibold, Bold };

QFont font(Text text);
QFont font(Text text, Weight weight);
// The book faces the app ships ("EB Garamond", ...) at a pixel size, with
// emoji in colour.
QFont bookFont(const QString &family, int pixelSize, bool italic = false);

QColor color(Tone tone);
QColor color(Tone tone, const QPalette &palette);
// Opaque, as it shows.
QColor surface(Surface surface);
QColor surface(Surface surface, const QPalette &palette);

// Dark when the window colour is darker than middle grey.
Color::Appearance appearance();
QColor brand();
// A red that reads on both appearances, for error sentences.
QColor error();
QColor error(const QPalette &palette);
// An orange for a caution: a pin that can't be kept.
QColor warning();
QColor warning(const QPalette &palette);
// Draws a widget's words in that orange, whichever text role it paints with.
void setCaution(QWidget *widget);
// A green that reads on both appearances, for good news: a code that
// works, something that fits. The brand is a red, and would read as a
// failure beside the error colour.
QColor success();
QColor success(const QPalette &palette);
// The brand colour washed thin, behind a note or a symbol of the app's own.
QColor tint();

// What shows behind a widget that paints no background of its own: the
// colour of the nearest widget, from it outwards, that fills its
// background, or of its window.
QColor backdrop(const QWidget *widget);

// A card's fill, a step lighter than the window in either appearance:
// surface(Surface::Card).
QColor cardFill();
// The faint edge of a card that isn't selected.
QColor cardEdge();

// A label in a style and tone; word wrap is on for anything but one-liners.
QLabel *label(
    const QString &text, Text style = Text::Body, Tone tone = Tone::Primary, QWidget *parent = nullptr);
void setStyle(QLabel *label, Text style, Tone tone = Tone::Primary);
void setTone(QWidget *widget, Tone tone);

// What a button is for, which decides how the app's style draws it.
enum class ButtonLook {
    Standard, // a rounded bezel
    Prominent, // the one button that does a screen's work, filled in the brand colour
    Link, // words in the brand colour, no bezel
    Plain, // words in the text colour, no bezel
    Chip, // a pill that is on or off; checked, it is washed in the brand colour
};
void setLook(QAbstractButton *button, ButtonLook look);
ButtonLook look(const QWidget *widget);

// The desktop's two control sizes; small ones sit in bands of small print.
enum class ControlSize { Regular, Small };
void setControlSize(QWidget *widget, ControlSize size);
ControlSize controlSize(const QWidget *widget);

// The one button that does a screen's work, filled in the brand colour.
void setProminent(QAbstractButton *button);
// The colour of the words on such a button, for what is drawn on it by hand.
QColor prominentText();
// A button whose action can't be undone ("Forget", "Delete"): its words in
// red, whatever its look.
void setDestructive(QAbstractButton *button);
bool isDestructive(const QWidget *widget);
// The app's own symbol, as alerts and the window show it.
QIcon appSymbol();
// An alert or question as the desktop's own: the app's symbol, the title
// in bold, the sentence below it at a width that reads as a paragraph.
// Call after the texts are set.
void setAlertLook(QMessageBox *box);
// A button drawn as a link: text in the brand colour, no bezel.
void setLink(QAbstractButton *button);

// A whole number with the user's grouping ("12,345").
QString number(qint64 value);

// Text for a button, check box or menu item as it is written: there a "&"
// marks the shortcut letter and is not shown, so a name's own is doubled
// ("Jo & Sam" reads "Jo & Sam", not "Jo _Sam").
QString literal(const QString &text);

// The app's look for the process: its style over Fusion, the UI face, and
// the palette QUORVEL_APPEARANCE asks for ("dark" is dark, any other value
// light); without it the system palette decides between the two. Call once
// the QApplication exists.
void apply();
// Puts a palette in use everywhere, tool tips included.
void usePalette(const QPalette &palette);
// The palettes themselves, for tests and for apply().
QPalette lightPalette();
QPalette darkPalette();

} // namespace Style
