// Telegram's HTML export.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("telegram_html")
