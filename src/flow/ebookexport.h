#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <qcorotask.h>

class Project;

// The book as an ebook, handed on to where the user asked: a reader
// application, Send to Kindle, or a file of their choosing. The EPUB is
// made afresh each time in the book's "ebook" folder and stays there.
namespace EbookExport {

enum class Destination {
    // The reader the desktop opens ebooks with.
    Reader,
    Kindle,
    File,
};

// Where Send to Kindle is when its application isn't installed.
QUrl kindlePage();

// Makes the ebook and delivers it. Every failure ends in the project's
// error() as its sentence; nothing is thrown. The export holds the project,
// so it finishes even when the book's page goes away; panelParent, when it
// still exists, carries the save panel.
QCoro::Task<void> run(
    std::shared_ptr<Project> project, Destination destination, QPointer<QWidget> panelParent);

} // namespace EbookExport
