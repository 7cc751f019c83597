#pragma once

#include <QList>

namespace Brimlow {

class ChatLogReader;

// The one reader of each chat-export format.
namespace ChatLogReaders {

// Most particular first: the loose line formats of pasted text come last,
// so that a file another format claims is never read as WhatsApp text.
const QList<const ChatLogReader *> &all();

} // namespace ChatLogReaders

} // namespace Brimlow
