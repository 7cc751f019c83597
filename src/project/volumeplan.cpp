#include "volumeplan.h"

#include "model/layout.h"

#include <algorithm>

namespace {

// A chapter starts no later than this share of a volume's limit only if it
// leaves a volume worth printing before it.
constexpr double chapterCutShare = 0.6;

int chapterNumberAt(const QList<int> &chapterPages, int page)
{
    return 1
        + int(std::count_if(chapterPages.begin(), chapterPages.end(), [page](int p) { return p < page; }));
}

} // namespace

QList<VolumePlan> VolumePlan::plan(const Layout &layout, const QString &first, const QString &last, int limit)
{
    // A limit that leaves no room at all would cut a volume per day.
    if (limit <= reserved)
        limit = defaultLimit;

    // QMap keeps the day keys in ascending order.
    const QStringList days = layout.days.keys();
    QList<int> pages;
    pages.reserve(days.size());
    for (const Layout::Day &day : layout.days)
        pages.append(day.printed);
    const qsizetype n = days.size();
    if (n == 0 || layout.pageCount < 1)
        return {};

    const int capacity = limit - reserved;
    if (capacity >= pages.last() - pages.first() + 1)
        return { { first, last, 1 } };

    const QList<int> &chapters = layout.chapterPages;
    QList<VolumePlan> volumes;
    qsizetype start = 0;
    int startPage = pages.first();
    for (qsizetype i = 1; i < n; ++i) {
        if (pages[i] - startPage + 1 <= capacity)
            continue;
        qsizetype cut = i;
        for (qsizetype j = i; j > start; --j) {
            if (chapters.contains(pages[j]) && pages[j - 1] < pages[j]
                && double(pages[j] - startPage) >= chapterCutShare * double(limit)) {
                cut = j;
                break;
            }
        }
        volumes.append({ days[start], days[cut - 1], chapterNumberAt(chapters, startPage) });
        start = cut;
        startPage = pages[cut];
    }
    volumes.append({ days[start], days[n - 1], chapterNumberAt(chapters, startPage) });
    return volumes;
}
