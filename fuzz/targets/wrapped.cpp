// The Wrapped document as the app reads what the message tool prints.
#include "model/wrapped.h"

#include "fuzzing.h"
#include "model/json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const Wrapped wrapped = Wrapped::fromJson(Fuzzing::input(data, size));
        for (const Wrapped::Card &card : wrapped.cards) {
            wrapped.card(card.id);
            Wrapped::kindName(card.kind);
            for (const Wrapped::Row &row : card.rows)
                wrapped.person(row.who);
        }
        for (const QString &id : wrapped.defaultSelection)
            wrapped.card(id);
    } catch (const JsonError &) { }
    return 0;
}
