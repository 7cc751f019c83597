// Signal exports as JSON.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("signal_json")
