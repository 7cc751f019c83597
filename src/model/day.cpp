#include "day.h"

#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QStringList>
#include <QTimeZone>
#include <cstdlib>
#include <limits>
#include <memory>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace {

// A decimal integer as a piece of a day key: an optional "+" and ASCII
// digits; anything else, or an overflow, is no number.
std::optional<qint64> decimal(QStringView piece)
{
    if (piece.startsWith(u'+'))
        piece = piece.mid(1);
    if (piece.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : piece) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (value > (std::numeric_limits<qint64>::max() - 9) / 10)
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Year, month and day as a lenient Gregorian calendar takes them: months
// past 12 and days past the month's end carry over, zero steps back.
std::optional<QDate> lenientDate(qint64 year, qint64 month, qint64 day)
{
    // Far beyond any calendar date; keeps the arithmetic below in range.
    constexpr qint64 limit = 100'000'000;
    if (std::llabs(year) > limit || std::llabs(month) > limit || std::llabs(day) > limit)
        return std::nullopt;
    const qint64 months = year * 12 + (month - 1);
    const qint64 y = floorDiv(months, 12);
    const int m = int(months - y * 12) + 1;
    // QDate has no year 0: year 0 of the calendar is 1 BC.
    const QDate first(int(y > 0 ? y : y - 1), m, 1);
    const QDate date = first.addDays(day - 1);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

icu::Locale userLocale()
{
    const QLocale locale;
    // ICU's own reading of the POSIX locale.
    if (locale.language() == QLocale::C)
        return icu::Locale("en_US_POSIX");
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale icuLocale = icu::Locale::forLanguageTag(locale.bcp47Name().toStdString(), status);
    return U_SUCCESS(status) ? icuLocale : icu::Locale::getDefault();
}

icu::UnicodeString unicode(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
}

// Finding the best pattern is slow and lists show many dates, so patterns
// are kept per locale and skeleton.
std::optional<icu::UnicodeString> bestPattern(const icu::Locale &locale, const QString &skeleton)
{
    static QMutex mutex;
    static QHash<QString, icu::UnicodeString> patterns;
    const QString key = QString::fromLatin1(locale.getName()) + QLatin1Char('|') + skeleton;
    QMutexLocker lock(&mutex);
    if (const auto it = patterns.constFind(key); it != patterns.cend())
        return *it;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status))
        return std::nullopt;
    const icu::UnicodeString pattern = generator->getBestPattern(unicode(skeleton), status);
    if (U_FAILURE(status))
        return std::nullopt;
    patterns.insert(key, pattern);
    return pattern;
}

// Making a formatter costs many times what formatting with it does, and the
// conversation list formats a date for each of hundreds of rows before it
// first shows: formatters are kept per locale and skeleton, one set a
// thread, as ICU's formatters are not to be shared between threads.
const icu::SimpleDateFormat *formatterFor(const icu::Locale &locale, const QString &skeleton)
{
    thread_local QHash<QString, std::shared_ptr<icu::SimpleDateFormat>> formatters;
    const QString key = QString::fromLatin1(locale.getName()) + QLatin1Char('|') + skeleton;
    if (const auto it = formatters.constFind(key); it != formatters.cend())
        return it->get();
    const std::optional<icu::UnicodeString> pattern = bestPattern(locale, skeleton);
    if (!pattern)
        return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    auto formatter = std::make_shared<icu::SimpleDateFormat>(*pattern, locale, status);
    if (U_FAILURE(status))
        return nullptr;
    formatter->setTimeZone(*icu::TimeZone::getGMT());
    formatters.insert(key, formatter);
    return formatter.get();
}

} // namespace

namespace Day {

std::optional<QDateTime> date(const QString &day)
{
    QList<qint64> numbers;
    for (const QStringView piece : QStringView(day).split(u'-', Qt::SkipEmptyParts)) {
        if (const std::optional<qint64> number = decimal(piece))
            numbers.append(*number);
    }
    if (numbers.size() != 3)
        return std::nullopt;
    const std::optional<QDate> calendarDate = lenientDate(numbers[0], numbers[1], numbers[2]);
    if (!calendarDate)
        return std::nullopt;
    const QDateTime start = calendarDate->startOfDay();
    if (!start.isValid())
        return std::nullopt;
    return start;
}

QString iso(const QDateTime &at)
{
    const QDate date = at.toLocalTime().date();
    if (!date.isValid())
        return QStringLiteral("0000-00-00");
    // Years before 1 count back from 1 BC, as the calendar's era does.
    const int year = date.year() > 0 ? date.year() : -date.year();
    return QString::asprintf("%04d-%02d-%02d", year, date.month(), date.day());
}

QString format(const QDateTime &at, const QString &skeleton)
{
    if (!at.isValid())
        return {};
    const icu::SimpleDateFormat *formatter = formatterFor(userLocale(), skeleton);
    if (!formatter)
        return {};
    // The wall-clock time comes from Qt's local time; ICU only lays it out,
    // in UTC, so the two never disagree about the time zone.
    const QDateTime local = at.toLocalTime();
    const QDateTime wallClock(local.date(), local.time(), QTimeZone::utc());
    icu::UnicodeString text;
    formatter->format(UDate(wallClock.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

QString pattern(const QString &skeleton)
{
    const std::optional<icu::UnicodeString> found = bestPattern(userLocale(), skeleton);
    if (!found)
        return {};
    return QString(reinterpret_cast<const QChar *>(found->getBuffer()), found->length());
}

std::optional<QDateTime> internetDateTime(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})T([0-9]{2}):([0-9]{2}):([0-9]{2})(?:Z|([+-])([0-9]{"
                       "2}):([0-9]{2}))$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    int offset = 0;
    if (match.hasCaptured(7)) {
        offset = (number(8) * 60 + number(9)) * 60;
        if (match.capturedView(7) == u"-")
            offset = -offset;
    }
    const QTimeZone zone = offset == 0 ? QTimeZone::utc() : QTimeZone(offset);
    if (!date.isValid() || !time.isValid() || !zone.isValid())
        return std::nullopt;
    const QDateTime at(date, time, zone);
    if (!at.isValid())
        return std::nullopt;
    return at;
}

} // namespace Day

QString longDay(const QString &day)
{
    const std::optional<QDateTime> date = Day::date(day);
    if (!date)
        return day;
    return Day::format(*date, QStringLiteral("MMMMdy"));
}
