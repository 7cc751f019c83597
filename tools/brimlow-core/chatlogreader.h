#pragma once

#include "transcript.h"

#include <QByteArray>
#include <QString>

namespace Brimlow {

// One chat-export format. A reader is chosen by what a file holds, never by
// its name, so that a renamed export still reads.
class ChatLogReader
{
public:
    virtual ~ChatLogReader() = default;

    // The messaging service the format comes from, as "chats" lists it.
    virtual QString service() const = 0;

    // Whether a file that starts with these bytes is in this format.
    virtual bool recognises(const QByteArray &head) const = 0;

    // The chat in a file of this format: every sender is a participant
    // (the user among them, unmarked), messages in file order, attachment
    // paths absolute. An empty transcript when no message reads.
    virtual Transcript read(const QString &path) const = 0;
};

} // namespace Brimlow
