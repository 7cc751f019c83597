#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Skype's export (messages.json): every conversation of the account, whose
// owner is "userId"; texts in Skype's light HTML.
class SkypeReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;
};

} // namespace Brimlow
