#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Signal chats as the common export tools write them in JSON: sigtop's
// list of Signal Desktop's own message records (one file per chat, named
// after it), and signal-export's data.json, one message per line. Sent
// messages are the user's.
class SignalJsonReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;
};

} // namespace Brimlow
