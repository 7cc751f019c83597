// IRC logs of irssi, WeeChat and clients that keep a log per day.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("irc")
