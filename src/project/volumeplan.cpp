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

QList<VolumePlan> VolumePlan::plan(const Layout &layout, const QString &first, const QString &last, int limit,
    const QMap<QString, int> &pinned)
{
    // A limit that leaves no room at all would cut a volume per day.
    if (limit <= reserved)
        limit = defaultLimit;

    // QMap keeps the day keys in ascending order.
    const QStringList days = layout.days.keys();
    QList<int> pages;
    QList<int> reach;
    pages.reserve(days.size());
    reach.reserve(days.size());
    for (auto day = layout.days.cbegin(); day != layout.days.cend(); ++day) {
        pages.append(day->printed);
        reach.append(std::max(day->printed, pinned.value(day.key(), 0)));
    }
    const qsizetype n = days.size();
    if (n == 0 || layout.pageCount < 1)
        return {};

    const int capacity = limit - reserved;
    if (capacity >= *std::max_element(reach.cbegin(), reach.cend()) - pages.first() + 1)
        return { { first, last, 1 } };

    const QList<int> &chapters = layout.chapterPages;
    QList<VolumePlan> volumes;
    qsizetype start = 0;
    int startPage = pages.first();
    for (qsizetype i = 1; i < n; ++i) {
        if (reach[i] - startPage + 1 <= capacity)
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
        // The blank pages of a pin can overflow even the volume a chapter
        // opened for the day: that day then starts one of its own.
        if (cut < i && reach[i] - startPage + 1 > capacity) {
            volumes.append({ days[start], days[i - 1], chapterNumberAt(chapters, startPage) });
            start = i;
            startPage = pages[i];
        }
    }
    volumes.append({ days[start], days[n - 1], chapterNumberAt(chapters, startPage) });
    return volumes;
}
