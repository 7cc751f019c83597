// Snapchat's chat history, newer and older.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("snapchat")
