#pragma once

#include "ui/sheet.h"

#include <QPointer>
#include <qcorotask.h>

class ErrorRow;
class Library;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// A chat pasted in as text, with whom it is. "Add Chat" stores the text
// as a chat file, has the message tool list it as a check, and only then
// adds it to the library and closes; a failure stays in the sheet with
// the tool's own words.
class PasteSheet : public Sheet
{
    Q_OBJECT

public:
    PasteSheet(Library *library, QWidget *parent);

    QLineEdit *nameField() const { return m_name; }
    QPlainTextEdit *textField() const { return m_text; }
    QPushButton *chatButton() const { return m_add; }
    QString error() const;

private:
    void add();
    QCoro::Task<void> addTask(QString text, QString name);

    QPointer<Library> m_library;
    QLineEdit *m_name;
    QPlainTextEdit *m_text;
    ErrorRow *m_error;
    QPushButton *m_add;
    bool m_adding = false;
};
