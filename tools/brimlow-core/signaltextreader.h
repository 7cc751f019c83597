#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Signal chats as the common export tools write them in text: the Markdown
// of signal-export ("[2021-01-31 21:41:02] Me: hey", a folder per chat) and
// sigtop's text ("From:", "Type:", "Sent:" and the body). The user is "Me"
// or "You", as the tool writes it.
class SignalTextReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;
};

} // namespace Brimlow
