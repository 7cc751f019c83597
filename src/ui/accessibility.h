#pragma once

class QAbstractButton;
class QAction;
class QString;
class QLineEdit;

// How the kit's self-drawn controls read to a screen reader. The desktop's
// own controls say what they are and which is chosen; ours draw that
// themselves, so they tell the accessibility bus through interfaces of
// their own, handed out by one factory.
namespace Accessibility {

// What a self-drawn button is to a listener.
enum class Kind {
    // One of a set of which one is chosen (a design, a colour, a theme):
    // a radio item, checked when the button is.
    Choice,
    // A button that shows something (a card in a strip): selected while
    // the button is checked, never "checked" itself.
    Shows,
};

// Installs the factory, once, after the QApplication exists.
void install();

// Makes the button read as kind; call it first where the button is built,
// before it announces anything (its name, being checkable).
void setKind(QAbstractButton *button, Kind kind);

// Names the button a field draws for one of its actions (an icon at its
// edge), which has no words of its own.
void nameFieldButton(QLineEdit *field, const QAction *action, const QString &name);
// Names the clear button of a field that has one "Clear".
void nameClearButton(QLineEdit *field);

} // namespace Accessibility
