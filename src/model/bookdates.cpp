#include "bookdates.h"

#include "day.h"

#include <QLocale>
#include <QRegularExpression>

namespace BookDates {

namespace {

// A day's heading with its weekday. English that writes the day before the
// month sets no comma after the weekday ("Tuesday 14 June"), as British
// books and papers print it; the locale data's pattern carries the comma
// of its full date ("Tuesday, 14 June 2022"). American English keeps
// "Tuesday, June 14", and other languages keep their own.
QString dayPattern()
{
    QString day = Day::pattern(QStringLiteral("EEEEMMMMd"));
    if (QLocale().language() == QLocale::English) {
        static const QRegularExpression commaBeforeDayNumber(QStringLiteral("^EEEE, (?=d)"));
        day.replace(commaBeforeDayNumber, QStringLiteral("EEEE "));
    }
    return day;
}

} // namespace

BookFile::Dates ofLocale()
{
    // "j" is the hour of the locale's own clock, twelve or twenty-four.
    return { dayPattern(), Day::pattern(QStringLiteral("yMMMMd")), Day::pattern(QStringLiteral("yMMMM")),
        Day::pattern(QStringLiteral("jmm")) };
}

bool mend(BookFile &book)
{
    BookFile::Dates dates = ofLocale();
    // ICU without its data gives no patterns: the book then keeps what it
    // has, rather than dates made of nothing.
    if (dates.day.isEmpty() || dates.date.isEmpty() || dates.month.isEmpty() || dates.time.isEmpty())
        return false;
    if (book.dates == dates)
        return false;
    book.dates = std::move(dates);
    return true;
}

} // namespace BookDates
