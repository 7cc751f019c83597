#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

// A question asked before an action that can't be undone ("Delete",
// "Forget"), as the desktop asks it.
namespace Question {

struct Words
{
    // The window's title.
    QString title;
    // "Delete “You & Sam”?"
    QString question;
    // What the action does, below the question.
    QString sentence;
    // The action's button.
    QString action;
};

// A window-modal alert over parent. Its action's button, in red, is the one
// that does the dialog's work, so the desktop puts it where every sheet's
// confirming button goes; Cancel answers Return and Escape. Returns at once
// with the alert, which deletes itself when closed; act runs only when the
// action is chosen.
QMessageBox *askFirst(QWidget *parent, const Words &words, std::function<void()> act);

} // namespace Question
