#pragma once

#include <QDialog>

class QDialogButtonBox;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

// A window-modal sheet over the window, as every adding, naming and
// ordering step uses. No button answers Return unless the sheet names it
// the default one, so Return in a text field never presses a button by
// accident; a focused button answers Return itself. Escape closes the
// sheet only where it is allowed to.
class Sheet : public QDialog
{
    Q_OBJECT

public:
    enum class Escape { Closes, Ignored };
    enum class Role { Cancel, Confirm, Other };

    Sheet(QWidget *parent, int width, Escape escape = Escape::Closes);

    // The sheet's content, above the button row.
    QVBoxLayout *body() const { return m_body; }
    // A button in the row at the bottom: Other buttons at the leading end;
    // Cancel and Confirm at the trailing end, in the order the desktop's own
    // dialogs and the app's questions put them. Confirm buttons are drawn
    // prominent.
    QPushButton *addButton(const QString &text, Role role);
    // The one button Return presses (while it is enabled), or none.
    void setDefaultButton(QPushButton *button);
    QPushButton *defaultButton() const { return m_default; }
    // Shows the sheet and returns at once; finished() tells the outcome.
    void present();
    // Takes the height its content needs at its width, after the content
    // changed; a sheet never keeps the empty space of what it showed before.
    void fitToContent();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void quietButtons();
    // Takes more height when the content needs more than it has; it
    // never takes any away, which fitToContent() does when asked.
    void growToContent();

    Escape m_escape;
    QVBoxLayout *m_body;
    QHBoxLayout *m_leading;
    QDialogButtonBox *m_buttons;
    QPushButton *m_default = nullptr;
};
