#pragma once

#include "statusline.h"

#include <QLabel>
#include <QString>
#include <QWidget>
#include <exception>

class QMessageBox;
class QWidget;

// How a failure reaches the user: every error the core throws carries the
// sentence to show as its what(); screens show it through these and nothing
// else.
namespace Errors {

QString sentence(const std::exception &error);
// For catch (...) around code that may throw anything.
QString sentence(const std::exception_ptr &error);
// A helper tool's failure as the adding sheets show it: the last non-empty
// line of what the tool said, every "Error: " removed. Other errors whole.
QString toolLine(const std::exception &error);
// The same line with "Error: " kept, as the hand-off shows it.
QString lastLine(const std::exception &error);
// A window-modal alert with one button over parent; returns at once with
// the alert, which deletes itself when closed.
QMessageBox *alert(QWidget *parent, const QString &title, const QString &sentence);

} // namespace Errors

// A sentence in the error colour under whatever failed; hidden while empty.
// Selectable, so it can be copied into a message to us.
class ErrorLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ErrorLabel(QWidget *parent = nullptr);

    void setError(const QString &sentence);
    void setError(const std::exception &error);
    void clear();

protected:
    void changeEvent(QEvent *event) override;

private:
    void recolour();
};

// An error sentence after the warning mark, as the sheets show what went
// wrong under their fields; hidden while empty.
class ErrorRow : public StatusLine
{
    Q_OBJECT

public:
    explicit ErrorRow(QWidget *parent = nullptr);

    void setError(const QString &sentence);
    void clear();
};
