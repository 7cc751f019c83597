#pragma once

#include <QHash>
#include <QString>

namespace Brimlow {

// How many real messages each chat of a Messages store holds, and the
// first and last of their times, read as fast as the store can be read:
// the messages in slices side by side, each on a connection of its own,
// while another connection reads which chat each message is in. Listing a
// store of a million messages so takes hardly longer than counting them.
namespace StoreTotals {

struct Totals
{
    qint64 count = 0;
    qint64 first = 0; // the store's own times
    qint64 last = 0;
};

// By chat id; filter is the SQL condition that tells a real message,
// written for the message table under the name "m". Throws
// SqliteDatabase::Error.
QHash<qint64, Totals> read(const QString &path, int busyTimeoutMs, const QString &filter);

} // namespace StoreTotals

} // namespace Brimlow
