#include "bookdates.h"

#include "day.h"

namespace BookDates {

BookFile::Dates ofLocale()
{
    // "j" is the hour of the locale's own clock, twelve or twenty-four.
    return { Day::pattern(QStringLiteral("EEEEMMMMd")), Day::pattern(QStringLiteral("yMMMMd")),
        Day::pattern(QStringLiteral("yMMMM")), Day::pattern(QStringLiteral("jmm")) };
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
