#pragma once

#include <QString>

// Times as chat exports write them, turned into the local
// "yyyy-MM-ddTHH:mm:ss" of a book. Every function gives an empty string for
// a time it cannot read, so that a garbled line is left out rather than
// dated wrongly.
namespace Brimlow::ChatTime {

// An instant in seconds or milliseconds since 1970, in local time.
QString fromUnixSeconds(qint64 seconds);
QString fromUnixMilliseconds(qint64 milliseconds);

// ISO 8601 and its near relatives: "2021-01-31T21:41:02", with or without
// seconds, fractions ("…02.1230000"), a "T" or a space, and a zone ("Z",
// "+01:00", "+0100", " UTC"). Times with a zone are turned into local time;
// times without one are taken as written.
QString fromIso(const QString &text);

// A date and a time of day taken as written; empty when impossible.
QString fromFields(int year, int month, int day, int hour, int minute, int second = 0);

// A date and time of day in a zone offsetSeconds ahead of UTC, as local
// time; empty when impossible.
QString fromZonedFields(int year, int month, int day, int hour, int minute, int second, int offsetSeconds);

// Month numbers from English names and their three-letter forms
// ("January", "Jan", "Sept"); 0 when it is no month.
int monthNamed(QStringView name);

// A clock time in 24 hours from 12-hour parts; -1 when impossible.
int hour24(int hour, bool afternoon);

} // namespace Brimlow::ChatTime
