// Skype's export.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("skype")
