#pragma once

#include <QString>

namespace Brimlow::LocalTime {

// Seconds from 1970-01-01 to 2001-01-01, the epoch of Apple's stores.
constexpr qint64 AppleEpoch = 978307200;

// An instant (seconds since 1970, UTC) as "yyyy-MM-ddTHH:mm:ss" in the
// local time zone of the machine, which is how a book shows times.
QString text(qint64 unixSeconds);

// The same text of a wall-clock time given by its fields, each in range
// (a year of four digits).
QString text(int year, int month, int day, int hour, int minute, int second);

// A time as a Messages store keeps it: seconds since 2001 in older stores,
// nanoseconds in newer ones, told apart by size.
qint64 fromAppleTime(qint64 stored);

} // namespace Brimlow::LocalTime
