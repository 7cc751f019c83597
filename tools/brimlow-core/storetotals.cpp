#include "storetotals.h"

#include "sqlitedatabase.h"
#include "sqlitestatement.h"

#include <QThread>
#include <algorithm>
#include <future>
#include <limits>
#include <vector>

namespace Brimlow::StoreTotals {

namespace {

// Fewer rows than this are read in one go: threads would cost more than
// they save.
constexpr qint64 RowsPerSlice = 100'000;
constexpr int MostSlices = 8;

struct Row
{
    qint64 id = 0;
    qint64 date = 0;
};

// Which chat each message is in. Message ids are mostly dense, so the
// first chat of each is kept by id; the rare message in more chats than
// one, chats of ids past what an int holds, and message ids far apart are
// looked up by hash.
class Membership
{
public:
    Membership(qint64 lowestId, qint64 highestId)
        : m_lowest(lowestId)
    {
        const qint64 span = highestId - lowestId + 1;
        if (span > 0 && span <= 64'000'000)
            m_first.assign(size_t(span), -1);
    }

    void add(qint64 message, qint64 chat)
    {
        const qint64 at = message - m_lowest;
        if (at >= 0 && at < qint64(m_first.size()) && m_first[size_t(at)] < 0 && chat >= 0
            && chat <= std::numeric_limits<qint32>::max())
            m_first[size_t(at)] = qint32(chat);
        else
            m_more.insert(message, chat);
    }

    template<typename Each> void forEachChat(qint64 message, Each &&each) const
    {
        const qint64 at = message - m_lowest;
        if (at >= 0 && at < qint64(m_first.size()) && m_first[size_t(at)] >= 0)
            each(m_first[size_t(at)]);
        if (m_more.isEmpty())
            return;
        for (auto it = m_more.constFind(message); it != m_more.cend() && it.key() == message; ++it)
            each(it.value());
    }

private:
    qint64 m_lowest;
    std::vector<qint32> m_first; // by id less the lowest; -1 for none
    QMultiHash<qint64, qint64> m_more;
};

// A connection that reads the store's pages where they lie rather than
// copying each into its own cache: every thread reads a part of the same
// file once.
SqliteDatabase openMapped(const QString &path, int busyTimeoutMs)
{
    SqliteDatabase db = SqliteDatabase::openForReading(path, busyTimeoutMs);
    db.execute("PRAGMA mmap_size = 4294967296");
    return db;
}

Membership readMembership(const QString &path, int busyTimeoutMs, qint64 lowestId, qint64 highestId)
{
    SqliteDatabase db = openMapped(path, busyTimeoutMs);
    Membership membership(lowestId, highestId);
    SqliteStatement query(db, "SELECT message_id, chat_id FROM chat_message_join");
    while (query.next())
        membership.add(query.integer(0), query.integer(1));
    return membership;
}

std::vector<Row> readSlice(
    const QString &path, int busyTimeoutMs, const QString &filter, qint64 from, qint64 to)
{
    SqliteDatabase db = openMapped(path, busyTimeoutMs);
    std::vector<Row> rows;
    rows.reserve(size_t(std::clamp<qint64>(to - from + 1, 0, 10'000'000)));
    SqliteStatement query(db,
        QStringLiteral("SELECT m.ROWID, m.date FROM message m WHERE m.ROWID BETWEEN ? AND ? AND %1")
            .arg(filter));
    query.bind(1, from);
    query.bind(2, to);
    while (query.next())
        rows.push_back({ query.integer(0), query.integer(1) });
    return rows;
}

} // namespace

QHash<qint64, Totals> read(const QString &path, int busyTimeoutMs, const QString &filter)
{
    qint64 lowest = 0;
    qint64 highest = -1;
    {
        SqliteDatabase db = SqliteDatabase::openForReading(path, busyTimeoutMs);
        // Two lookups at the ends of the table: MIN and MAX asked together
        // would scan a whole index for them.
        SqliteStatement bounds(db,
            "SELECT (SELECT ROWID FROM message ORDER BY ROWID LIMIT 1), "
            "(SELECT ROWID FROM message ORDER BY ROWID DESC LIMIT 1)");
        if (bounds.next() && !bounds.isNull(0)) {
            lowest = bounds.integer(0);
            highest = bounds.integer(1);
        }
    }
    QHash<qint64, Totals> totals;
    if (highest < lowest)
        return totals;

    auto membership = std::async(std::launch::async, readMembership, path, busyTimeoutMs, lowest, highest);
    const qint64 span = highest - lowest + 1;
    const qint64 slices
        = std::clamp<qint64>(span / RowsPerSlice, 1, qMax(1, qMin(MostSlices, QThread::idealThreadCount())));
    std::vector<std::future<std::vector<Row>>> parts;
    for (qint64 i = 0; i < slices; ++i) {
        const qint64 from = lowest + span / slices * i;
        const qint64 to = i + 1 == slices ? highest : lowest + span / slices * (i + 1) - 1;
        parts.push_back(std::async(std::launch::async, readSlice, path, busyTimeoutMs, filter, from, to));
    }
    const Membership chats = membership.get();
    // Chat ids are small; a list by id is summed into faster than a hash.
    std::vector<Totals> byId;
    for (auto &part : parts) {
        for (const Row &row : part.get()) {
            chats.forEachChat(row.id, [&](qint64 chat) {
                Totals *sum = nullptr;
                if (chat >= 0 && chat < 1'000'000) {
                    if (size_t(chat) >= byId.size())
                        byId.resize(size_t(chat) + 1);
                    sum = &byId[size_t(chat)];
                } else {
                    sum = &totals[chat];
                }
                if (sum->count == 0 || row.date < sum->first)
                    sum->first = row.date;
                if (sum->count == 0 || row.date > sum->last)
                    sum->last = row.date;
                ++sum->count;
            });
        }
    }
    for (size_t chat = 0; chat < byId.size(); ++chat) {
        if (byId[chat].count > 0)
            totals.insert(qint64(chat), byId[chat]);
    }
    return totals;
}

} // namespace Brimlow::StoreTotals
