#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <optional>
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

// Send to Kindle's page when the desktop didn't open it: the caller offers
// its address to copy and another try.
struct Unopened
{
    QUrl page;
    // The ebook, when the file manager didn't show it either; empty when
    // it did.
    QString unshownEbook;
};

// How what is said of it meets its address: offered beside it, or named
// in the sentence where nothing offers it.
enum class Address { Offered, Named };
QString sentence(const Unopened &unopened, Address address);

// Makes the ebook and delivers it. Send to Kindle's page that didn't open
// is returned; every other failure ends in the project's error() as its
// sentence, and nothing is thrown. The export holds the project, so it
// finishes even when the book's page goes away; panelParent, when it still
// exists, carries the save panel.
QCoro::Task<std::optional<Unopened>> run(
    std::shared_ptr<Project> project, Destination destination, QPointer<QWidget> panelParent);

} // namespace EbookExport
