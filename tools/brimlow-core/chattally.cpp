#include "chattally.h"

namespace Brimlow {

void ChatTally::add(const QString &at, int sender)
{
    // Times of one form compare as texts in time order.
    if (count == 0 || at < first)
        first = at;
    if (count == 0 || at > last)
        last = at;
    ++count;
    if (sender < 0)
        return;
    if (sender >= perSender.size())
        perSender.resize(sender + 1);
    ++perSender[sender];
}

void ChatTally::add(const ChatTally &share, const QList<int> &senders)
{
    if (share.count == 0)
        return;
    if (count == 0 || share.first < first)
        first = share.first;
    if (count == 0 || share.last > last)
        last = share.last;
    count += share.count;
    for (qsizetype i = 0; i < share.perSender.size(); ++i) {
        const int sender = senders.value(i, int(i));
        if (sender >= perSender.size())
            perSender.resize(sender + 1);
        perSender[sender] += share.perSender.at(i);
    }
}

ChatTally ChatTally::of(const Transcript &transcript)
{
    ChatTally tally;
    for (const Transcript::Message &message : transcript.messages)
        tally.add(message.at, message.sender);
    return tally;
}

} // namespace Brimlow
