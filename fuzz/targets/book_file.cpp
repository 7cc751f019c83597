// The book document, book.json, as the app opens it and as the message
// tool reads it to make the Wrapped. A book that reads must read back to
// the same bytes after it is saved (a save that can't be opened again loses
// the book), and the Wrapped the tool makes of it must read in the app as
// the very document the tool wrote.
#include "fuzzing.h"
#include "insights/insights.h"
#include "model/bookfile.h"
#include "model/json.h"
#include "model/wrapped.h"
#include "wrappeddocument.h"

#include <QBuffer>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    BookFile book;
    try {
        book = BookFile::fromJson(Fuzzing::input(data, size));
    } catch (const JsonError &) {
        return 0;
    }
    const QByteArray saved = book.toJsonBytes();
    try {
        if (BookFile::fromJson(saved).toJsonBytes() != saved)
            std::abort();
    } catch (const JsonError &) {
        std::abort();
    }

    Insights::read(book);
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    Brimlow::WrappedDocument::make(book).write(document);
    try {
        // And read as the tool wrote it: written again, the same bytes.
        QBuffer again;
        again.open(QIODevice::WriteOnly);
        Wrapped::fromJson(document.data()).write(again);
        if (again.data() != document.data())
            std::abort();
    } catch (const JsonError &) {
        std::abort();
    }
    return 0;
}
