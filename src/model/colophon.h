#pragma once

#include "bookfile.h"

#include <QString>

// The line under the title that the app writes while the user has written
// none: the years of the days the book covers, so that a book of 2022 says
// 2022 on its cover, its title page, the wizard's review and its PDF, and
// says so again when its range moves.
namespace Colophon {

// "2022" when both days fall in one year, else the two years joined by an
// en dash, "2019–2022"; a day's year is its first four characters.
QString years(const QString &first, const QString &last);

// The years of the range a book prints: its stored ends, else the days of
// its first and last message.
QString ofRange(const BookFile &book);

// Whether the book's line is the app's to keep in step with its range: the
// user never wrote it. Books saved before the app kept track of that say
// nothing; their line counts as the app's only when it reads as the years
// of the whole conversation or of the range, the only lines the app wrote
// there, so a line the user wrote is never taken for one.
bool followsRange(const BookFile &book);

// Puts the years of the range in a line that follows it; true when that
// changed the line.
bool mend(BookFile &book);

} // namespace Colophon
