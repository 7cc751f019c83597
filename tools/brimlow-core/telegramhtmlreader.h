#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Telegram Desktop's HTML export: a chat's messages in "messages.html",
// "messages2.html", … in one folder, a message's sender left out when it is
// the same as the message before.
class TelegramHtmlReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;
};

} // namespace Brimlow
