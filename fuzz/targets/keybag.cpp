// The keybag of an encrypted backup: read, unlocked with a key that is
// not its own, and asked for file keys. The password's key is not derived:
// its iteration counts are the keybag's to ask for, and slow on purpose.
#include "keybag.h"

#include "fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzzing::input(data, size);
    std::optional<Brimlow::Keybag> keybag = Brimlow::Keybag::parse(bytes);
    if (!keybag)
        return 0;
    keybag->unlock(QByteArray(32, '\x5A'));
    for (int protectionClass = 0; protectionClass <= 11; ++protectionClass)
        keybag->unwrap(protectionClass, bytes.right(40));
    return 0;
}
