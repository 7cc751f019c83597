#include "localtime.h"

#include <cstdio>
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
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", local.tm_year + 1900,
        local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return QString::fromLatin1(buffer);
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
