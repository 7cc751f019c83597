#include "chattime.h"

#include "localtime.h"

#include <QDate>
#include <ctime>

namespace Brimlow::ChatTime {

namespace {

// Digits at text[at, at + count), or -1.
int digits(QStringView text, qsizetype at, int count)
{
    if (at + count > text.size())
        return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text.at(at + i);
        if (!c.isDigit() || c.unicode() > '9')
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
qint64 daysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - int(era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// A leap second reads as the second before it.
bool isReadable(int year, int month, int day, int hour, int minute, int second)
{
    return year >= 1990 && year <= 2100 && QDate::isValid(year, month, day) && hour >= 0 && hour <= 23
        && minute >= 0 && minute <= 59 && second >= 0 && second <= 60;
}

} // namespace

QString fromUnixSeconds(qint64 seconds)
{
    // Earlier than 1990 or later than 2100 is a broken field, not a message.
    constexpr qint64 Earliest = 631152000;
    constexpr qint64 Latest = 4102444800;
    if (seconds < Earliest || seconds > Latest)
        return {};
    // Time zones differ from UTC and change their offsets in steps of a
    // quarter of an hour, so one conversion serves every message of the
    // same quarter; chats write many in a row.
    constexpr qint64 Quarter = 900;
    thread_local qint64 cachedQuarter = -1;
    thread_local const char *cachedZone = nullptr;
    thread_local long cachedOffset = 0;
    thread_local struct tm cached = {};
    const qint64 quarter = seconds / Quarter;
    // A changed TZ (tests change it) invalidates what was worked out.
    if (quarter != cachedQuarter || cachedZone != tzname[0] || cachedOffset != timezone) {
        const time_t start = time_t(quarter * Quarter);
        if (!localtime_r(&start, &cached))
            return LocalTime::text(seconds);
        cachedQuarter = quarter;
        cachedZone = tzname[0];
        cachedOffset = timezone;
    }
    const int into = int(seconds - quarter * Quarter);
    const int minute = cached.tm_min + into / 60;
    if (minute > 59 || cached.tm_sec != 0)
        return LocalTime::text(seconds); // a zone off by less than a quarter
    return LocalTime::text(cached.tm_year + 1900, cached.tm_mon + 1, cached.tm_mday, cached.tm_hour, minute,
        cached.tm_sec + into % 60);
}

QString fromUnixMilliseconds(qint64 milliseconds)
{
    return fromUnixSeconds(milliseconds >= 0 ? milliseconds / 1000 : -1);
}

QString fromFields(int year, int month, int day, int hour, int minute, int second)
{
    if (!isReadable(year, month, day, hour, minute, second))
        return {};
    return LocalTime::text(year, month, day, hour, minute, qMin(second, 59));
}

QString fromIso(const QString &raw)
{
    const QStringView text = QStringView(raw).trimmed();
    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    if (year < 0 || month < 0 || day < 0 || text.size() < 16 || text.at(4) != QLatin1Char('-')
        || text.at(7) != QLatin1Char('-')
        || (text.at(10) != QLatin1Char('T') && text.at(10) != QLatin1Char(' ')))
        return {};
    const int hour = digits(text, 11, 2);
    const int minute = digits(text, 14, 2);
    if (hour < 0 || minute < 0 || text.at(13) != QLatin1Char(':'))
        return {};
    qsizetype at = 16;
    int second = 0;
    if (at < text.size() && text.at(at) == QLatin1Char(':')) {
        second = digits(text, at + 1, 2);
        if (second < 0)
            return {};
        at += 3;
        if (at < text.size() && (text.at(at) == QLatin1Char('.') || text.at(at) == QLatin1Char(','))) {
            ++at;
            while (at < text.size() && text.at(at).isDigit())
                ++at;
        }
    }
    const QString local = fromFields(year, month, day, hour, minute, second);
    if (local.isEmpty())
        return {};
    QStringView zone = text.mid(at).trimmed();
    if (zone.isEmpty())
        return local;
    int offsetSeconds = 0;
    if (zone == QLatin1String("Z") || zone == QLatin1String("UTC") || zone == QLatin1String("GMT")) {
        offsetSeconds = 0;
    } else if (zone.at(0) == QLatin1Char('+') || zone.at(0) == QLatin1Char('-')) {
        const int hours = digits(zone, 1, 2);
        const qsizetype minutesAt = zone.size() > 3 && zone.at(3) == QLatin1Char(':') ? 4 : 3;
        const int minutes = zone.size() > minutesAt ? digits(zone, minutesAt, 2) : 0;
        if (hours < 0 || minutes < 0 || hours > 14)
            return {};
        offsetSeconds = (hours * 3600 + minutes * 60) * (zone.at(0) == QLatin1Char('-') ? -1 : 1);
    } else {
        return {};
    }
    return fromZonedFields(year, month, day, hour, minute, second, offsetSeconds);
}

QString fromZonedFields(int year, int month, int day, int hour, int minute, int second, int offsetSeconds)
{
    if (!isReadable(year, month, day, hour, minute, second))
        return {};
    const qint64 seconds
        = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + qMin(second, 59);
    return fromUnixSeconds(seconds - offsetSeconds);
}

int monthNamed(QStringView name)
{
    static const char *const names[]
        = { "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec" };
    static const char *const full[] = { "january", "february", "march", "april", "may", "june", "july",
        "august", "september", "october", "november", "december" };
    const auto named = [&](const auto &word) {
        for (int i = 0; i < 12; ++i) {
            if (word == QLatin1StringView(full[i]) || word == QLatin1StringView(names[i])
                || (i == 8 && word == QLatin1StringView("sept")))
                return i + 1;
        }
        return 0;
    };
    // Full stops left out and lower-cased in place, for ASCII names: some
    // exports name the month in every message. Anything else goes through
    // Unicode lower-casing, which turns a few letters into ASCII ones.
    char lower[10];
    int size = 0;
    for (const QChar c : name.trimmed()) {
        if (c.unicode() >= 0x80) {
            const QString other = name.trimmed().toString().toLower().remove(QLatin1Char('.'));
            return other.size() < 3 ? 0 : named(other);
        }
        if (c == QLatin1Char('.'))
            continue;
        if (size == int(sizeof lower))
            return 0;
        lower[size++] = char(c >= u'A' && c <= u'Z' ? c.unicode() + ('a' - 'A') : c.unicode());
    }
    return size < 3 ? 0 : named(QLatin1StringView(lower, size));
}

int hour24(int hour, bool afternoon)
{
    // Some apps write the hour after midnight as 0 ("午前0:05").
    if (hour < 0 || hour > 12)
        return -1;
    if (hour == 12 || hour == 0)
        return afternoon ? 12 : 0;
    return afternoon ? hour + 12 : hour;
}

} // namespace Brimlow::ChatTime
