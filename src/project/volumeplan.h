#pragma once

#include <QList>
#include <QMap>
#include <QString>

struct Layout;

// One printed volume of a book: the days it holds and the number its first
// chapter carries. Days are never split between volumes.
struct VolumePlan
{
    // First and last day, "yyyy-MM-dd".
    QString from;
    QString to;
    // 1 plus the chapters that begin before the volume's first page.
    int firstChapter = 1;

    friend bool operator==(const VolumePlan &, const VolumePlan &) = default;

    // The pages of a volume when the price list didn't say.
    static constexpr int defaultLimit = 780;
    // Pages of each volume kept for its own front and back matter.
    static constexpr int reserved = 8;

    // Cuts the typeset days of layout into volumes of at most limit pages.
    // A book that fits is one volume over the book's own range, first..last;
    // otherwise volumes fill greedily and, where a chapter opens a fresh page
    // late enough, are cut there instead of at the overflowing day. A day
    // reaches at least as far as the page its pinned messages landed on
    // (pinned: by day), since a pin in the middle of a day puts its blank
    // pages inside it.
    static QList<VolumePlan> plan(const Layout &layout, const QString &first, const QString &last, int limit,
        const QMap<QString, int> &pinned = {});
};
