// The Instagram and Messenger downloads.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("messenger")
