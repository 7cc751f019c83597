#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// Calendar days travel through the system as day keys, "yyyy-MM-dd" in the
// user's calendar; keys of one calendar sort correctly as plain strings.
namespace Day {

// The start of the day a key names, in the local time zone. The key is
// split at "-" (runs count as one), pieces that are not decimal integers
// are skipped, and exactly three numbers must remain. Out-of-range months
// and days roll over as the calendar does ("2024-13-01" is 1 January 2025).
std::optional<QDateTime> date(const QString &day);

// The day key of an instant in the local time zone; never fails.
QString iso(const QDateTime &at);

// The instant in the local time zone and the user's locale, with the
// fields of an ICU date skeleton ("MMMMdy", "MMMd", "yMMMdjmm"): order and
// punctuation come from the locale.
QString format(const QDateTime &at, const QString &skeleton);

// The user's locale's pattern for an ICU date skeleton ("EEEEMMMMd" gives
// "EEEE, MMMM d" in US English, "EEEE, d MMMM" in British English); empty
// when ICU has none.
QString pattern(const QString &skeleton);

// An internet date-time as backups carry it: date, "T", time to the
// second, then "Z" or an offset; no fractional seconds, no bare day.
std::optional<QDateTime> internetDateTime(const QString &text);

} // namespace Day

// A day key as a long date without weekday ("March 5, 2024" in US English);
// text that is not a day key comes back unchanged.
QString longDay(const QString &day);
