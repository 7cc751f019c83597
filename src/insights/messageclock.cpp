#include "messageclock.h"

namespace {

// Two ASCII digits at position in text, or -1.
int twoDigits(QStringView text, qsizetype position)
{
    const QChar a = text[position];
    const QChar b = text[position + 1];
    if (a < u'0' || a > u'9' || b < u'0' || b > u'9')
        return -1;
    return (a.unicode() - u'0') * 10 + (b.unicode() - u'0');
}

constexpr qint64 msecsPerHour = 3600 * 1000;
// 1970-01-01 as a Julian day, which QDate counts in.
constexpr qint64 epochDay = 2440588;

} // namespace

MessageClock::MessageClock()
    : MessageClock(QTimeZone::systemTimeZone())
{ }

MessageClock::MessageClock(const QTimeZone &zone)
    : m_zone(zone)
{ }

std::optional<qint64> MessageClock::msecs(QStringView at)
{
    if (at.size() != 19 || at[4] != u'-' || at[7] != u'-' || at[10] != u'T' || at[13] != u':'
        || at[16] != u':')
        return std::nullopt;
    const int century = twoDigits(at, 0);
    const int year = twoDigits(at, 2);
    const int month = twoDigits(at, 5);
    const int day = twoDigits(at, 8);
    const int hour = twoDigits(at, 11);
    const int minute = twoDigits(at, 14);
    const int second = twoDigits(at, 17);
    if (century < 0 || year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0)
        return std::nullopt;
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    // Messages come day by day: the day's date is worked out once.
    const int dayKey = (century * 100 + year) * 10000 + month * 100 + day;
    if (dayKey != m_dayKey) {
        const QDate date(century * 100 + year, month, day);
        if (!date.isValid())
            return std::nullopt;
        learnDay(date);
        m_dayKey = dayKey;
    }
    const QTime clock(hour, minute, second);
    if (!m_dayOffset)
        return zoneMSecs(m_day, clock);
    const qint64 wall = (m_day.toJulianDay() - epochDay) * 86400 + clock.msecsSinceStartOfDay() / 1000;
    return (wall - *m_dayOffset) * 1000;
}

qint64 MessageClock::zoneMSecs(QDate date, QTime clock) const
{
    const QDateTime exact = m_zone.isValid() ? QDateTime(date, clock, m_zone) : QDateTime(date, clock);
    if (exact.isValid())
        return exact.toMSecsSinceEpoch();
    // A wall-clock time the spring-forward skipped reads, as calendars read
    // it, with the offset in force before the change: 2:30 becomes 3:30.
    const qint64 wall = QDateTime(date, clock, Qt::UTC).toMSecsSinceEpoch();
    const QDateTime before = QDateTime::fromMSecsSinceEpoch(wall - 12 * msecsPerHour, Qt::UTC);
    const int offset = m_zone.isValid() ? m_zone.offsetFromUtc(before) : before.toLocalTime().offsetFromUtc();
    return wall - qint64(offset) * 1000;
}

void MessageClock::learnDay(QDate date)
{
    m_day = date;
    m_dayOffset.reset();
    if (!m_zone.isValid())
        return;
    const QDateTime start(date, QTime(0, 0), m_zone);
    const QDateTime end(date.addDays(1), QTime(0, 0), m_zone);
    if (!start.isValid() || !end.isValid())
        return;
    if (m_zone.hasTransitions()) {
        const QTimeZone::OffsetData change = m_zone.nextTransition(start);
        if (change.atUtc.isValid() && change.atUtc < end)
            return;
    }
    m_dayOffset = m_zone.offsetFromUtc(start);
}
