// Mailboxes and single mails.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("mail")
