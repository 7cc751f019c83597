#include "wrappedcards.h"

#include "insights/celebrations.h"
#include "insights/insights.h"
#include "model/day.h"

#include <QLocale>
#include <algorithm>
#include <array>

namespace Brimlow {

namespace {

using Card = Wrapped::Card;
using Kind = Wrapped::Kind;

QString grouped(qint64 n)
{
    return QLocale().toString(n);
}

// n and the noun, plural unless n is 1: "1 message", "2,004 messages".
QString counted(qint64 n, const QString &noun)
{
    return grouped(n) + u' ' + noun + (n == 1 ? QString() : QStringLiteral("s"));
}

QString percent(qint64 part, qint64 whole)
{
    return QString::number(whole > 0 ? 100 * part / whole : 0) + u'%';
}

QString placeholder(const QString &id)
{
    return u'{' + id + u'}';
}

QString fromTo(const QString &first, const QString &last)
{
    return QStringLiteral("From ") + longDay(first) + QStringLiteral(" to ") + longDay(last) + u'.';
}

Card made(const char *id, Kind kind, const QString &eyebrow, const QString &big, const QString &unit,
    const QString &detail = {})
{
    Card card;
    card.id = QString::fromLatin1(id);
    card.kind = kind;
    card.eyebrow = eyebrow;
    card.big = big;
    card.unit = unit;
    card.detail = detail;
    return card;
}

// A card whose big text is a number, which the app counts up to.
Card counting(
    const char *id, Kind kind, const QString &eyebrow, int n, const QString &unit, const QString &detail = {})
{
    Card card = made(id, kind, eyebrow, grouped(n), unit, detail);
    card.count = n;
    return card;
}

// The hour a clock shows, "10 p.m.".
QString hourLabel(int hour)
{
    const int shown = hour % 12 == 0 ? 12 : hour % 12;
    return QString::number(shown) + (hour < 12 ? QStringLiteral(" a.m.") : QStringLiteral(" p.m."));
}

// Ordered by count, most first, then in a fixed order, as the insights rank.
template<typename Key> std::optional<std::pair<Key, int>> topOf(const QHash<Key, int> &counts)
{
    std::optional<std::pair<Key, int>> top;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (!top || it.value() > top->second || (it.value() == top->second && it.key() < top->first))
            top = { it.key(), it.value() };
    }
    return top;
}

std::optional<std::pair<QString, int>> topWord(const WordCounts &words)
{
    std::optional<std::pair<QString, int>> top;
    for (const auto &[word, count] : words) {
        if (!top || count > top->second || (count == top->second && word < top->first))
            top = { word, count };
    }
    return top;
}

QString emojiText(char32_t scalar)
{
    return QString::fromUcs4(&scalar, 1);
}

} // namespace

WrappedCards::WrappedCards(
    const BookFile &book, const QList<BookFile::Message> &messages, std::optional<int> year)
    : m_book(book)
    , m_messages(messages)
    , m_year(year)
{
    m_tally.loweredTexts.reserve(messages.size());
    for (const BookFile::Message &message : messages)
        m_tally.add(message);
    m_runs = Moments::runs(m_tally.days);
    for (const Insights::DayCount &day : m_tally.days) {
        if (!date(day.iso))
            continue;
        if (m_firstDay.isEmpty() || day.iso < m_firstDay)
            m_firstDay = day.iso;
        if (m_lastDay.isEmpty() || day.iso > m_lastDay)
            m_lastDay = day.iso;
    }

    int others = 0;
    for (const BookFile::Person &person : book.people) {
        if (!m_persons.contains(person.id))
            m_persons.append(person.id);
        if (!person.me)
            ++others;
    }
    m_group = others > 1;
}

std::optional<QDate> WrappedCards::date(QStringView day)
{
    const auto digits = [&](qsizetype from, qsizetype n) {
        int value = 0;
        for (const QChar c : day.mid(from, n)) {
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c.unicode() - u'0');
        }
        return value;
    };
    if (day.size() != 10 || day[4] != u'-' || day[7] != u'-')
        return std::nullopt;
    const int year = digits(0, 4);
    const QDate date(year, digits(5, 2), digits(8, 2));
    // A non-digit gives -1, which QDate would take for a year BC.
    if (year < 1 || !date.isValid())
        return std::nullopt;
    return date;
}

QList<Card> WrappedCards::cards() const
{
    QList<Card> cards;
    const auto add = [&](const std::optional<Card> &card) {
        if (card)
            cards.append(*card);
    };
    add(cover());
    if (m_messages.isEmpty())
        return cards;
    add(talks());
    add(first());
    add(love());
    add(streak());
    add(silence());
    add(busiest());
    add(late());
    add(leftOnRead());
    add(starter());
    add(emoji());
    add(words());
    add(weekday());
    add(hour());
    add(crew());
    add(superlatives());
    cards += moments();
    return cards;
}

QStringList WrappedCards::defaultSelection(const QList<Card> &cards, bool group)
{
    QStringList selection;
    for (const char *id :
        { "cover", group ? "crew" : "talks", "busiest", "love", "streak", "late", "words" }) {
        const QString wanted = QString::fromLatin1(id);
        if (std::any_of(cards.cbegin(), cards.cend(), [&](const Card &card) { return card.id == wanted; }))
            selection.append(wanted);
    }
    return selection;
}

QString WrappedCards::who(const QString &from) const
{
    return m_persons.contains(from) ? placeholder(from) : from;
}

QList<WrappedCards::Figure> WrappedCards::figures(
    const std::function<double(const SideTally &)> &value, const std::function<QString(double)> &text) const
{
    QList<Figure> made;
    for (const QString &id : m_persons) {
        const double figure = value(m_tally.side(id));
        if (figure > 0)
            made.append({ id, figure, text(figure) });
    }
    return made;
}

QList<WrappedCards::Row> WrappedCards::rows(QList<Figure> figures, Rank rank)
{
    if (rank == Rank::MostFirst)
        std::stable_sort(figures.begin(), figures.end(),
            [](const Figure &a, const Figure &b) { return a.value > b.value; });
    else if (rank == Rank::FewestFirst)
        std::stable_sort(figures.begin(), figures.end(),
            [](const Figure &a, const Figure &b) { return a.value < b.value; });
    double largest = 0;
    double smallest = 0;
    for (const Figure &figure : figures) {
        largest = std::max(largest, figure.value);
        smallest = smallest == 0 ? figure.value : std::min(smallest, figure.value);
    }
    QList<Row> made;
    for (const Figure &figure : figures) {
        // The best row has the whole bar: the largest value, or for times,
        // where fewer is better, the smallest.
        double share = 1;
        if (rank == Rank::FewestFirst)
            share = figure.value > 0 ? smallest / figure.value : 0;
        else if (largest > 0)
            share = figure.value / largest;
        made.append({ figure.who, figure.text, std::clamp(share, 0.0, 1.0) });
    }
    return made;
}

QList<WrappedCards::Figure> WrappedCards::replyMedians() const
{
    QList<Figure> made;
    for (const QString &id : m_persons) {
        if (const std::optional<double> median = Insights::median(m_tally.side(id).replyGaps))
            made.append({ id, *median, Insights::duration(*median) });
    }
    return made;
}

std::optional<Card> WrappedCards::cover() const
{
    const QString eyebrow
        = m_year ? QString::number(*m_year) + QStringLiteral(" WRAPPED") : QStringLiteral("WRAPPED");
    const qint64 total = m_tally.total;
    Card card = counting("cover", Kind::Cover, eyebrow, total,
        total == 1 ? QStringLiteral("message") : QStringLiteral("messages"));
    if (!m_firstDay.isEmpty())
        card.detail = fromTo(m_firstDay, m_lastDay);
    card.rows = rows(figures([](const SideTally &side) { return side.messages; },
                         [](double n) { return grouped(qint64(n)); }),
        Rank::AsGiven);
    return card;
}

std::optional<Card> WrappedCards::talks() const
{
    const QList<Row> ranked = rows(figures([](const SideTally &side) { return side.messages; },
                                       [](double n) { return grouped(qint64(n)); }),
        Rank::MostFirst);
    if (ranked.size() < 2)
        return std::nullopt;
    const qint64 top = m_tally.side(ranked.first().who).messages;
    Card card = made("talks", Kind::Talks, QStringLiteral("WHO TALKS MORE"), placeholder(ranked.first().who),
        QStringLiteral("sends the most messages"), percent(top, m_tally.total) + QStringLiteral(" of them."));
    card.rows = ranked;
    return card;
}

std::optional<Card> WrappedCards::first() const
{
    if (!m_tally.first)
        return std::nullopt;
    // The day only: the first message itself is never quoted on a card.
    const QString day = m_tally.first->day();
    Card card = made("first", Kind::First, QStringLiteral("WHO TEXTED FIRST"), who(m_tally.first->from),
        QStringLiteral("sent the first message"), longDay(day) + u'.');
    card.day = day;
    return card;
}

std::optional<Card> WrappedCards::love() const
{
    const std::optional<Moments::FirstLove> love = Moments::firstLove(m_tally);
    if (!love)
        return std::nullopt;
    const QString day = love->said.day();
    QString detail = longDay(day);
    if (love->back && love->backAfter)
        detail += QStringLiteral(", ") + who(love->back->from) + QStringLiteral(" said it back ")
            + *love->backAfter + QStringLiteral(" later.");
    else
        detail += u'.';
    Card card = made("love", Kind::Love, QStringLiteral("THE FIRST \u201CI LOVE YOU\u201D"),
        who(love->said.from), QStringLiteral("said it first"), detail);
    card.day = day;
    return card;
}

std::optional<Card> WrappedCards::streak() const
{
    // The wizard's streak moment starts at a week; the card must be there
    // whenever that moment is.
    if (m_runs.longest < 7)
        return std::nullopt;
    Card card = counting("streak", Kind::Streak, QStringLiteral("LONGEST STREAK"), m_runs.longest,
        QStringLiteral("days in a row"), fromTo(m_runs.start, m_runs.end));
    card.day = m_runs.start;
    return card;
}

std::optional<Card> WrappedCards::silence() const
{
    if (m_runs.gap < 4)
        return std::nullopt;
    Card card = counting("silence", Kind::Silence, QStringLiteral("LONGEST SILENCE"), m_runs.gap,
        QStringLiteral("quiet days"), fromTo(m_runs.gapStart, m_runs.gapEnd));
    card.day = m_runs.gapEnd;
    return card;
}

std::optional<Card> WrappedCards::busiest() const
{
    const Insights::DayCount *busiest = Moments::busiestDay(m_tally.days);
    if (!busiest)
        return std::nullopt;
    Card card = counting("busiest", Kind::Busiest, QStringLiteral("BUSIEST DAY"), busiest->count,
        busiest->count == 1 ? QStringLiteral("message in one day") : QStringLiteral("messages in one day"),
        longDay(busiest->iso) + u'.');
    card.day = busiest->iso;
    QHash<QString, int> sent;
    for (const BookFile::Message &message : m_messages) {
        if (QStringView(message.at).left(10) == busiest->iso)
            ++sent[message.from];
    }
    QList<Figure> that;
    for (const QString &id : m_persons) {
        if (const int n = sent.value(id))
            that.append({ id, double(n), grouped(n) });
    }
    card.rows = rows(that, Rank::MostFirst);
    return card;
}

std::optional<Card> WrappedCards::late() const
{
    if (!m_tally.latest || m_tally.lateCount < 3)
        return std::nullopt;
    const QString day = m_tally.latest->day();
    Card card = counting("late", Kind::Late, QStringLiteral("LATE NIGHTS"), m_tally.lateCount,
        QStringLiteral("messages after midnight"),
        QStringLiteral("The latest was ") + Moments::clock(m_tally.latestMinutes)
            + QStringLiteral(" a.m., on ") + longDay(day) + u'.');
    card.day = day;
    card.rows = rows(
        figures([](const SideTally &side) { return side.late; }, [](double n) { return grouped(qint64(n)); }),
        Rank::MostFirst);
    return card;
}

std::optional<Card> WrappedCards::leftOnRead() const
{
    QList<Figure> medians = replyMedians();
    const QList<Row> ranked = rows(medians, Rank::FewestFirst);
    if (ranked.size() < 2)
        return std::nullopt;
    const auto median = [&](const Row &row) { return *Insights::median(m_tally.side(row.who).replyGaps); };
    const double fastest = median(ranked.at(0));
    const double next = median(ranked.at(1));
    // The wizard's rule: two who answer about as fast reply at the same
    // speed, and neither is named the faster. Their rows then say the time
    // the tie is called at: "5 minutes" under "both reply in about 6
    // minutes" read as a faster side the card says there isn't.
    if (Insights::sameReplySpeed(fastest, next)) {
        QStringList two { ranked.at(0).who, ranked.at(1).who };
        if (m_persons.indexOf(two.at(0)) > m_persons.indexOf(two.at(1)))
            two.swapItemsAt(0, 1);
        const double even = (fastest + next) * 0.5;
        for (Figure &figure : medians) {
            if (two.contains(figure.who))
                figure = { figure.who, even, Insights::duration(even) };
        }
        Card card = made("leftOnRead", Kind::LeftOnRead, QStringLiteral("WHO REPLIES FASTER"),
            QStringLiteral("A tie"), QStringLiteral("same reply speed"),
            placeholder(two.at(0)) + QStringLiteral(" and ") + placeholder(two.at(1))
                + QStringLiteral(" both reply in about ") + Insights::duration(even) + u'.');
        card.rows = rows(medians, Rank::FewestFirst);
        return card;
    }
    Card card = made("leftOnRead", Kind::LeftOnRead, QStringLiteral("WHO REPLIES FASTER"),
        placeholder(ranked.first().who), QStringLiteral("replies fastest"),
        QStringLiteral("Usually in ") + Insights::duration(fastest) + u'.');
    card.rows = ranked;
    return card;
}

std::optional<Card> WrappedCards::starter() const
{
    qint64 all = 0;
    for (const SideTally &side : m_tally.sides)
        all += side.dayStarts;
    if (all < 10)
        return std::nullopt;
    const QList<Row> ranked = rows(figures([](const SideTally &side) { return side.dayStarts; },
                                       [](double n) { return grouped(qint64(n)); }),
        Rank::MostFirst);
    if (ranked.isEmpty())
        return std::nullopt;
    const qint64 top = m_tally.side(ranked.first().who).dayStarts;
    Card card = made("starter", Kind::Starter, QStringLiteral("WHO STARTS THE DAY"),
        placeholder(ranked.first().who), QStringLiteral("sends the first message of the day"),
        percent(top, all) + QStringLiteral(" of the time."));
    card.rows = ranked;
    return card;
}

std::optional<Card> WrappedCards::emoji() const
{
    QHash<char32_t, int> all;
    for (const SideTally &side : m_tally.sides) {
        for (auto it = side.emoji.cbegin(); it != side.emoji.cend(); ++it)
            all[it.key()] += it.value();
    }
    const std::optional<std::pair<char32_t, int>> top = topOf(all);
    if (!top)
        return std::nullopt;
    Card card = made("emoji", Kind::Emoji, QStringLiteral("FAVOURITE EMOJI"), emojiText(top->first),
        QStringLiteral("used ") + counted(top->second, QStringLiteral("time")));
    QList<Figure> favourites;
    for (const QString &id : m_persons) {
        if (const auto own = topOf(m_tally.side(id).emoji))
            favourites.append(
                { id, double(own->second), emojiText(own->first) + u' ' + grouped(own->second) });
    }
    card.rows = rows(favourites, Rank::MostFirst);
    return card;
}

std::optional<Card> WrappedCards::words() const
{
    QList<Row> said;
    for (const QString &id : m_persons) {
        if (const auto top = topWord(m_tally.side(id).words))
            said.append({ id,
                u'\u201C' + top->first + QStringLiteral("\u201D ") + grouped(top->second) + u'\u00D7', 1 });
    }
    if (said.isEmpty())
        return std::nullopt;
    Card card = made("words", Kind::Words, QStringLiteral("IN YOUR WORDS"), QString(),
        QStringLiteral("each of you, in one word"));
    card.rows = said;
    return card;
}

std::optional<Card> WrappedCards::weekday() const
{
    std::array<qint64, 7> counts {};
    bool any = false;
    for (const Insights::DayCount &day : m_tally.days) {
        if (const std::optional<QDate> calendarDay = date(day.iso)) {
            counts[calendarDay->dayOfWeek() - 1] += day.count;
            any = true;
        }
    }
    if (!any)
        return std::nullopt;
    // Monday first, so an equal count names the earlier day of the week.
    const auto top = std::max_element(counts.cbegin(), counts.cend());
    const int weekday = int(top - counts.cbegin()) + 1;
    // 1 January 2024 was a Monday.
    const QDate sample = QDate(2024, 1, 1).addDays(weekday - 1);
    return made("weekday", Kind::Weekday, QStringLiteral("BUSIEST WEEKDAY"),
        Day::format(sample.startOfDay(), QStringLiteral("EEEE")), QStringLiteral("is your day"),
        percent(*top, m_tally.total) + QStringLiteral(" of your messages."));
}

std::optional<Card> WrappedCards::hour() const
{
    const auto top = std::max_element(m_tally.hours.cbegin(), m_tally.hours.cend());
    if (*top == 0)
        return std::nullopt;
    return made("hour", Kind::Hour, QStringLiteral("BUSIEST HOUR"),
        hourLabel(int(top - m_tally.hours.cbegin())), QStringLiteral("is when you talk most"));
}

std::optional<Card> WrappedCards::crew() const
{
    if (!m_group)
        return std::nullopt;
    const QList<Row> ranked = rows(figures([](const SideTally &side) { return side.messages; },
                                       [](double n) { return grouped(qint64(n)); }),
        Rank::MostFirst);
    Card card = made("crew", Kind::Crew, QStringLiteral("THE CREW"), grouped(ranked.size()),
        ranked.size() == 1 ? QStringLiteral("person talking") : QStringLiteral("people talking"));
    card.rows = ranked;
    return card;
}

std::optional<Card> WrappedCards::superlatives() const
{
    if (!m_group)
        return std::nullopt;
    QList<Row> labels;
    // Each title goes to its winner, and nobody holds two: a title whose
    // winner already has one is left out rather than given to a runner-up.
    const auto award = [&](const QList<Figure> &figures, Rank rank, const QString &title) {
        const QList<Row> ranked = rows(figures, rank);
        if (ranked.isEmpty())
            return;
        const QString &winner = ranked.first().who;
        if (std::any_of(labels.cbegin(), labels.cend(), [&](const Row &row) { return row.who == winner; }))
            return;
        labels.append({ winner, title, 1 });
    };
    const auto none = [](double) { return QString(); };
    award(figures([](const SideTally &side) { return side.messages; }, none), Rank::MostFirst,
        QStringLiteral("Most messages"));
    award(figures([](const SideTally &side) { return side.late; }, none), Rank::MostFirst,
        QStringLiteral("Night owl"));
    award(figures([](const SideTally &side) { return side.dayStarts; }, none), Rank::MostFirst,
        QStringLiteral("Day starter"));
    award(replyMedians(), Rank::FewestFirst, QStringLiteral("Fastest reply"));
    award(figures(
              [](const SideTally &side) {
                  int n = 0;
                  for (const int count : side.emoji)
                      n += count;
                  return n;
              },
              none),
        Rank::MostFirst, QStringLiteral("Emoji champion"));
    if (labels.isEmpty())
        return std::nullopt;
    Card card
        = made("superlatives", Kind::Superlatives, QStringLiteral("SUPERLATIVES"), QString(), QString());
    card.rows = labels;
    return card;
}

QList<Card> WrappedCards::moments() const
{
    QString them = QStringLiteral("Them");
    for (const BookFile::Person &person : m_book.people) {
        if (!person.me) {
            them = person.name;
            break;
        }
    }
    QList<Card> cards;
    for (const Celebration &c : Celebrations::find(m_messages, m_tally.loweredTexts, them)) {
        Card card;
        card.id = QStringLiteral("moment-") + c.id;
        card.kind = Kind::Moment;
        card.eyebrow = Celebration::kindName(c.kind).toUpper();
        card.big = c.emoji;
        card.unit = c.title;
        // A milestone's own detail quotes the message that marks it.
        card.detail = c.kind == Celebration::Kind::Milestone ? longDay(c.day) + u'.' : c.detail;
        card.day = c.day;
        cards.append(card);
    }
    return cards;
}

} // namespace Brimlow
