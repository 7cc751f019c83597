// The book document, book.json, as the app opens it. A book that reads
// must also read back after it is saved, to the same bytes: a save that
// can't be opened again loses the book.
#include "fuzzing.h"
#include "model/bookfile.h"
#include "model/json.h"

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
    return 0;
}
