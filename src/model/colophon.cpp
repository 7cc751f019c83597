#include "colophon.h"

namespace Colophon {

QString years(const QString &first, const QString &last)
{
    const QString from = first.left(4);
    const QString to = last.left(4);
    return from == to ? from : from + QChar(0x2013) + to;
}

QString ofRange(const BookFile &book)
{
    const QString first = book.messages.isEmpty() ? QString() : book.messages.first().day();
    const QString last = book.messages.isEmpty() ? QString() : book.messages.last().day();
    const std::optional<Edits::DayRange> &range = book.edits.range;
    return years(range && range->from ? *range->from : first, range && range->to ? *range->to : last);
}

bool followsRange(const BookFile &book)
{
    if (book.front.colophonTyped)
        return false;
    const QString &line = book.front.colophon;
    if (line == ofRange(book))
        return true;
    if (book.messages.isEmpty())
        return false;
    return line == years(book.messages.first().day(), book.messages.last().day());
}

bool mend(BookFile &book)
{
    if (!followsRange(book))
        return false;
    const QString line = ofRange(book);
    if (book.front.colophon == line)
        return false;
    book.front.colophon = line;
    return true;
}

} // namespace Colophon
