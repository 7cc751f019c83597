// WhatsApp's text export, and pasted chats in its line format.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("whatsapp")
