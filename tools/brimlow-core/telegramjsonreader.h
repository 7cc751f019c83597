#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Telegram Desktop's JSON export ("result.json"): one chat, or the whole
// account with its owner named in "personal_information".
class TelegramJsonReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;
};

} // namespace Brimlow
