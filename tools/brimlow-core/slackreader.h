#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Slack's workspace export: a folder per channel or conversation holding a
// JSON file per day, and "users.json" at the top naming the members.
class SlackReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    // Slack's markup as plain text: "<@U012AB3CD>" as "@Sam",
    // "<https://…|label>" as "label", "&amp;" as "&".
    static QString plainText(const QString &text, const QHash<QString, QString> &users);
};

} // namespace Brimlow
