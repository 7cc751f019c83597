// The vCard files of the contacts folder.
#include "fuzzing.h"
#include "model/contacts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const Contacts::Card &card : Contacts::parse(Fuzzing::input(data, size)))
        card.name();
    return 0;
}
