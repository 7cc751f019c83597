// Telegram's JSON export, of one chat or a whole account.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("telegram_json")
