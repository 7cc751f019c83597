#pragma once

#include "transcript.h"

#include <QList>
#include <QString>

namespace Brimlow {

// What listing a chat needs of its messages: how many each participant
// wrote, and the first and last time. Listing a large export keeps this
// instead of the messages themselves.
struct ChatTally
{
    QList<qint64> perSender; // by participant index
    QString first; // "yyyy-MM-ddTHH:mm:ss"
    QString last;
    qint64 count = 0;

    void add(const QString &at, int sender);
    // Another share of the chat, its participant i being senders[i] here.
    void add(const ChatTally &share, const QList<int> &senders);

    static ChatTally of(const Transcript &transcript);
};

} // namespace Brimlow
