#pragma once

#include "insights.h"
#include "tally.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The moment cards and receipt lines made from a tallied book.
namespace Moments {

// The longest run of consecutive days and the longest gap between days
// with messages, over the days whose keys read as dates.
struct Runs
{
    int longest = 0;
    QString start;
    QString end;
    // In days; messages on the 1st and the 5th make a gap of 4.
    int gap = 0;
    QString gapStart;
    QString gapEnd;
};

Runs runs(const QList<Insights::DayCount> &days);

// The first "I love you" by time as written and, when exactly two people
// said it, the answer with the time it took ("2 hours"; absent when a time
// doesn't read).
struct FirstLove
{
    BookFile::Message said;
    std::optional<BookFile::Message> back;
    std::optional<QString> backAfter;
};

std::optional<FirstLove> firstLove(const Tally &tally);

// The first day with the most messages; null without days.
const Insights::DayCount *busiestDay(const QList<Insights::DayCount> &days);

// The cards in their fixed order, each only when its condition holds.
QList<Insights::Moment> cards(const Tally &tally, const Runs &runs, const QString &them);

QList<QStringList> receipt(const Tally &tally, const Runs &runs, const QString &them);

// Minutes after midnight as a clock, "12:47" (hour 0 reads 12).
QString clock(int minutesOfNight);

} // namespace Moments
