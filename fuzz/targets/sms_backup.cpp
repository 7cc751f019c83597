// Android SMS backups: the XML scanner and the MMS inside.
#include "chatformats.h"

QUORVEL_FUZZ_CHAT_FORMAT("sms_backup")
