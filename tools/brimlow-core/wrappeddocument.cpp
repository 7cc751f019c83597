#include "wrappeddocument.h"

#include "failure.h"
#include "wrappedcards.h"

#include <QMap>
#include <QSet>
#include <algorithm>

namespace Brimlow::WrappedDocument {

namespace {

QString plural(int n, const QString &noun)
{
    return QString::number(n) + u' ' + noun + (n == 1 ? QString() : QStringLiteral("s"));
}

// The calendar length from the first to the last day, both counted:
// "3 years, 2 months", "5 months", "12 days", "1 day".
QString spanOf(const QString &firstDay, const QString &lastDay)
{
    const std::optional<QDate> first = WrappedCards::date(firstDay);
    const std::optional<QDate> last = WrappedCards::date(lastDay);
    if (!first || !last)
        return {};
    const QDate end = last->addDays(1);
    int months = (end.year() - first->year()) * 12 + end.month() - first->month();
    if (first->addMonths(months) > end)
        --months;
    const int years = months / 12;
    months %= 12;
    if (years > 0)
        return plural(years, QStringLiteral("year"))
            + (months > 0 ? QStringLiteral(", ") + plural(months, QStringLiteral("month")) : QString());
    if (months > 0)
        return plural(months, QStringLiteral("month"));
    return plural(int(first->addMonths(months).daysTo(end)), QStringLiteral("day"));
}

// Every month from the first day's to the last day's, silent ones with 0.
QList<Wrapped::Month> monthsOf(const Tally &tally, const QString &firstDay, const QString &lastDay)
{
    const std::optional<QDate> first = WrappedCards::date(firstDay);
    const std::optional<QDate> last = WrappedCards::date(lastDay);
    if (!first || !last)
        return {};
    QHash<QString, int> counts;
    for (const Insights::DayCount &day : tally.days) {
        if (WrappedCards::date(day.iso))
            counts[day.iso.left(7)] += day.count;
    }
    // Counted in months, not walked on the calendar: a date mistyped
    // centuries away makes tens of thousands of them.
    const int from = first->year() * 12 + first->month() - 1;
    const int to = last->year() * 12 + last->month() - 1;
    QList<Wrapped::Month> made;
    made.reserve(std::max(0, to - from + 1));
    for (int month = from; month <= to; ++month) {
        const QString key = QString::asprintf("%04d-%02d", month / 12, month % 12 + 1);
        made.append({ key, counts.value(key) });
    }
    return made;
}

// The calendar years of all messages, ascending; a time without a
// four-digit year is in none.
QList<Wrapped::Year> yearsOf(const QList<BookFile::Message> &messages)
{
    QMap<int, int> counts;
    for (const BookFile::Message &message : messages) {
        const QStringView at(message.at);
        if (at.size() < 5 || at[4] != u'-')
            continue;
        int year = 0;
        for (const QChar c : at.left(4))
            year = c >= u'0' && c <= u'9' && year >= 0 ? year * 10 + (c.unicode() - u'0') : -1;
        if (year > 0)
            ++counts[year];
    }
    QList<Wrapped::Year> made;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        made.append({ it.key(), it.value() });
    return made;
}

// One-to-one: the two people as placeholders, so the names follow the
// card settings. A group keeps the book's own title.
QString titleOf(const BookFile &book, bool group)
{
    if (group)
        return book.front.title;
    QStringList parts;
    const auto add = [&](bool me) {
        const auto it = std::find_if(
            book.people.cbegin(), book.people.cend(), [&](const BookFile::Person &p) { return p.me == me; });
        if (it != book.people.cend())
            parts.append(u'{' + it->id + u'}');
    };
    add(true);
    add(false);
    return parts.isEmpty() ? book.front.title : parts.join(QStringLiteral(" & "));
}

} // namespace

Wrapped make(const BookFile &book, std::optional<int> year)
{
    QList<BookFile::Message> ofYear;
    if (year) {
        const QString prefix = QString::asprintf("%04d-", *year);
        for (const BookFile::Message &message : book.messages) {
            if (message.at.startsWith(prefix))
                ofYear.append(message);
        }
        if (ofYear.isEmpty())
            throw Failure(QStringLiteral("There are no messages from %1.").arg(*year));
    }
    const WrappedCards cards(book, year ? ofYear : book.messages, year);

    Wrapped document;
    document.group = cards.isGroup();
    document.title = titleOf(book, document.group);
    for (const BookFile::Person &person : book.people)
        document.people.append({ person.id, person.name, cards.tally().side(person.id).messages });
    document.total = cards.tally().total;
    document.firstDay = cards.firstDay();
    document.lastDay = cards.lastDay();
    document.span = spanOf(document.firstDay, document.lastDay);
    document.months = monthsOf(cards.tally(), document.firstDay, document.lastDay);
    // Card ids name cards in the app's selection: the first one wins there,
    // so a second card with an id could never be shown.
    QSet<QString> ids;
    for (const Wrapped::Card &card : cards.cards()) {
        if (!ids.contains(card.id)) {
            ids.insert(card.id);
            document.cards.append(card);
        }
    }
    document.defaultSelection = WrappedCards::defaultSelection(document.cards, document.group);
    document.years = yearsOf(book.messages);
    document.year = year;
    return document;
}

} // namespace Brimlow::WrappedDocument
