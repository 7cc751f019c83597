#pragma once

#include <QPointer>
#include <QString>
#include <memory>
#include <qcorotask.h>

class Project;
class QWidget;

// Saving the typeset book as a PDF where the user picks: one panel and one
// copy, whether the book's page or its pages asked.
namespace PdfExport {

// The panel is named after the command that opened it.
enum class Wording { Save, Export };

// The file name offered for a book's title, ".pdf" added: a "/" would name
// a folder and a leading dot hide the file, so "/" becomes "-", leading dots
// go, "Book" stands for a title with nothing left, and a name too long for
// a file is cut.
QString suggestedName(const QString &title);

// Asks where, over parent, and copies the book's PDF there; a failed copy
// becomes the project's error. Before the book's first PDF it does nothing.
QCoro::Task<void> run(std::shared_ptr<Project> project, QPointer<QWidget> parent, Wording wording);

} // namespace PdfExport
