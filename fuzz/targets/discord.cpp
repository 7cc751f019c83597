// Discord exports as JSON and CSV.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("discord")
