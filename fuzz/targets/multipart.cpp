// The stand-in's multipart/form-data bodies: the content type on the first
// line, the body after it.
#include "multipart.h"

#include "fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzzing::input(data, size);
    const qsizetype end = bytes.indexOf('\n');
    if (end < 0)
        return 0;
    Multipart::parse(bytes.mid(end + 1), bytes.left(end));
    return 0;
}
