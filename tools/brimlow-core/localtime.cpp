#include "localtime.h"

#include <ctime>

namespace Brimlow::LocalTime {

QString text(qint64 unixSeconds)
{
    // Beyond what struct tm can carry the year would be garbage anyway.
    constexpr qint64 Latest = 253402214400; // 9999-12-31T00:00:00Z
    constexpr qint64 Earliest = -62135510400; // 0001-01-02T00:00:00Z
    unixSeconds = qBound(Earliest, unixSeconds, Latest);
    const time_t time = time_t(unixSeconds);
    struct tm local = {};
    if (!localtime_r(&time, &local))
        return QStringLiteral("1970-01-01T00:00:00");
    return text(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
        local.tm_sec);
}

QString text(int year, int month, int day, int hour, int minute, int second)
{
    // Written digit by digit: every message of an export has a time, and
    // formatting it through snprintf costs more than reading the message.
    QChar written[19];
    const auto put = [&](int at, int width, int value) {
        for (int i = at + width - 1; i >= at; --i, value /= 10)
            written[i] = QLatin1Char(char('0' + value % 10));
    };
    put(0, 4, year);
    written[4] = QLatin1Char('-');
    put(5, 2, month);
    written[7] = QLatin1Char('-');
    put(8, 2, day);
    written[10] = QLatin1Char('T');
    put(11, 2, hour);
    written[13] = QLatin1Char(':');
    put(14, 2, minute);
    written[16] = QLatin1Char(':');
    put(17, 2, second);
    return QString(written, 19);
}

qint64 fromAppleTime(qint64 stored)
{
    // 1e11 seconds is three thousand years; as nanoseconds it is the first
    // two minutes of 2001.
    constexpr qint64 NanosecondsFrom = 100'000'000'000;
    qint64 seconds = stored;
    if (stored >= NanosecondsFrom || stored <= -NanosecondsFrom) {
        seconds = stored / 1'000'000'000;
        if (stored < 0 && stored % 1'000'000'000 != 0)
            --seconds;
    }
    return seconds + AppleEpoch;
}

} // namespace Brimlow::LocalTime
