#pragma once

#include "conversation.h"
#include "transcript.h"

#include <QList>
#include <QString>
#include <optional>

namespace Brimlow {

// Anything conversations are read from: a Messages store or chat exports.
class ConversationSource
{
public:
    virtual ~ConversationSource() = default;

    // Every conversation with at least one message, newest first.
    virtual QList<Conversation> conversations() = 0;

    // One conversation by its key. meIs names the participant who is the
    // user, for sources that do not mark the user's own messages.
    virtual Transcript transcript(const QString &key, const std::optional<QString> &meIs) = 0;
};

} // namespace Brimlow
