#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Snapchat's "My Data" download, json/chat_history.json: the older lists
// of received and sent chats, and the newer chats keyed by conversation
// with the owner's own messages marked "IsSender".
class SnapchatReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;
};

} // namespace Brimlow
