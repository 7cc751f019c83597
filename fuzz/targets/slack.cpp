// Slack's workspace export.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("slack")
