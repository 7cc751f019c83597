// KakaoTalk's exports from the PC, the phone and as CSV.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("kakaotalk")
