#pragma once

#include <QDate>
#include <QDateTime>
#include <QStringView>
#include <QTimeZone>
#include <optional>

// Reads message times, "yyyy-MM-dd'T'HH:mm:ss" wall-clock time, as instants
// in one time zone: the user's when the clock is made. Converting each
// message through the C library re-reads the zone file every time (glibc's
// tzset when TZ is unset), far too slow for a long book, so the clock keeps
// the offset of the last day it saw and converts by arithmetic on days
// without a clock change.
class MessageClock
{
public:
    MessageClock();
    explicit MessageClock(const QTimeZone &zone);

    // Milliseconds since the epoch; nullopt when the text is not such a time.
    std::optional<qint64> msecs(QStringView at);

private:
    qint64 zoneMSecs(QDate date, QTime clock) const;
    void learnDay(QDate date);

    QTimeZone m_zone;
    QDate m_day;
    // m_day as yyyymmdd, to know a day again without making its date.
    int m_dayKey = -1;
    // The day's offset from UTC in seconds, when it is the same all day.
    std::optional<int> m_dayOffset;
};
