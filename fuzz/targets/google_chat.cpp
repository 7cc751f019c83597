// Google Chat in a Takeout.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("google_chat")
