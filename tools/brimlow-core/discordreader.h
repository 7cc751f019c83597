#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Discord channels and direct messages as DiscordChatExporter writes them,
// in JSON or in CSV; one channel per file, attachments either downloaded
// beside it or left on Discord's servers.
class DiscordReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;
};

} // namespace Brimlow
