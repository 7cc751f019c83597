// The book document, book.json, as the app opens it and as the message
// tool reads it to make the Wrapped. A book that reads must read back to
// the same bytes after it is saved (a save that can't be opened again loses
// the book), and the Wrapped the tool makes of it must read in the app as
// the very document the tool wrote. The Wrapped lists every month between
// its first and last day; a book whose days lie further apart than any
// person's chat (more than 200 years) is still read and saved in full, but
// its months are left uncounted: listing tens of thousands of them per
// input would leave the fuzzer no time for the reading this target guards.
#include "fuzzing.h"
#include "insights/insights.h"
#include "model/bookfile.h"
#include "model/json.h"
#include "model/wrapped.h"
#include "wrappeddocument.h"

#include <QBuffer>
#include <QDate>
#include <cstdlib>

namespace {

constexpr int LongestChatYears = 200;

bool spansLongerThanAnyChat(const BookFile &book)
{
    QDate first;
    QDate last;
    for (const BookFile::Message &message : book.messages) {
        const QDate day = QDate::fromString(message.day(), Qt::ISODate);
        if (!day.isValid())
            continue;
        if (!first.isValid() || day < first)
            first = day;
        if (!last.isValid() || day > last)
            last = day;
    }
    return first.isValid() && first.addYears(LongestChatYears) < last;
}

} // namespace

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
    if (spansLongerThanAnyChat(book))
        return 0;
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
