// Signal exports as text and Markdown.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("signal_text")
