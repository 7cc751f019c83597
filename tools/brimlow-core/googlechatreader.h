#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Google Chat in a Google Takeout: "Groups/<conversation>/messages.json"
// with "group_info.json" beside it, and the account's owner in
// "Users/<user>/user_info.json".
class GoogleChatReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    // "Sunday, January 31, 2021 at 9:41:02 PM UTC" as a local time.
    static QString timeOf(const QString &text);
};

} // namespace Brimlow
