// LINE's text export.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("line")
