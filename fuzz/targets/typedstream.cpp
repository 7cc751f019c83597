// The typedstream archives of the attributedBody column.
#include "typedstream.h"

#include "fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Brimlow::TypedStream::attributedText(Fuzzing::input(data, size));
    return 0;
}
