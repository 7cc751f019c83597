// Page estimates and range suggestions of Insights: what a stretch of the
// conversation comes to in print, worked out from the per-day line counts
// alone so the wizard can ask on every change of its range.
#include "celebrations.h"
#include "insights.h"
#include "model/day.h"
#include "pinpages.h"

#include <QLocale>
#include <QMap>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace {

QString formatted(qint64 n)
{
    return QLocale().toString(n);
}

// The pages of the days taken so far, walking a stretch in book order:
// their lines, the chapters they open and the blank pages their pins put
// in. A pin is weighed where its day begins: the message's place within
// its day is not known here, and a day is short beside a page.
class PageWalk
{
public:
    explicit PageWalk(const PageModel &model)
        : m_model(model)
    { }

    // Notes where each pin of the days taken lands by itself.
    void record(QList<Insights::PinLanding> *landings) { m_landings = landings; }

    void take(const Insights::DayCount &day)
    {
        open(day.iso);
        for (const PageModel::Pin &pin : m_model.pins) {
            if (pin.day != day.iso)
                continue;
            if (m_landings)
                m_landings->append({ pin, landing() });
            // The pinned message starts the page asked for instead of
            // where it would have begun: the rest of that page and every
            // page between go blank.
            const double before = reach();
            if (PinPages::added(pin.page, landing()) > 0)
                m_blanks += double(pin.page - 1) - before;
        }
        m_lines += m_model.layout == PageModel::Layout::ChatRoom ? day.chatLines : day.lines;
    }

    // A day's chapter opens before its first message.
    void open(QStringView day)
    {
        if (const QStringView chapter = m_model.chapterOf(day); !chapter.isEmpty())
            m_chapters.insert(chapter);
    }

    double lines() const { return m_lines; }
    // Of the whole book, front and back included, before rounding up.
    double pages() const { return m_model.pages(m_lines, m_chapters.size()) + m_blanks; }
    // The printed page on which what follows would begin.
    int landing() const { return 1 + int(std::floor(reach())); }

private:
    double reach() const { return m_model.reach(m_lines, m_chapters.size()) + m_blanks; }

    const PageModel &m_model;
    double m_lines = 0;
    QSet<QStringView> m_chapters;
    double m_blanks = 0;
    QList<Insights::PinLanding> *m_landings = nullptr;
};

} // namespace

int Insights::estimatedPages(const QString &from, const QString &to, const PageModel &model) const
{
    PageWalk walk(model);
    for (const DayCount &day : days) {
        if (from <= day.iso && day.iso <= to)
            walk.take(day);
    }
    if (walk.lines() < 1)
        return 0;
    return int(std::ceil(walk.pages()));
}

int Insights::messages(const QString &from, const QString &to) const
{
    int sum = 0;
    for (const DayCount &day : days) {
        if (from <= day.iso && day.iso <= to)
            sum += day.count;
    }
    return sum;
}

QString Insights::lastDayFitting(const QString &from, int pages, const PageModel &model) const
{
    PageWalk walk(model);
    const DayCount *taken = nullptr;
    // No upper bound: the walk answers how far one book could reach.
    for (const DayCount &day : days) {
        if (day.iso < from)
            continue;
        walk.take(day);
        if (walk.pages() > double(pages))
            break;
        taken = &day;
    }
    return taken ? taken->iso : from;
}

int Insights::landingPage(const QString &from, const QString &day, const PageModel &model) const
{
    if (day < from)
        return 1;
    PageWalk walk(model);
    for (const DayCount &earlier : days) {
        if (from <= earlier.iso && earlier.iso < day)
            walk.take(earlier);
    }
    walk.open(day);
    return walk.landing();
}

QList<Insights::PinLanding> Insights::pinLandings(
    const QString &from, const QString &to, const PageModel &model) const
{
    QList<PinLanding> landings;
    PageWalk walk(model);
    walk.record(&landings);
    for (const DayCount &day : days) {
        if (from <= day.iso && day.iso <= to)
            walk.take(day);
    }
    return landings;
}

QString Insights::bookSpan(const QString &from, const QString &to, int pages, const PageModel &model) const
{
    const QString end = lastDayFitting(from, pages, model);
    const std::optional<QDateTime> start = Day::date(from);
    const std::optional<QDateTime> stop = Day::date(end);
    if (!start || !stop)
        return {};
    if (!(end < to))
        return QStringLiteral("all of it");
    const qint64 n = std::max<qint64>(1, start->date().daysTo(stop->date()));
    const auto rounded = [](double value) { return QString::number(qint64(std::round(value))); };
    if (n <= 13)
        return QStringLiteral("about %1 days").arg(n);
    if (n <= 69)
        return QStringLiteral("about ") + rounded(double(n) / 7) + QStringLiteral(" weeks");
    if (n < 730)
        return QStringLiteral("about ") + rounded(double(n) / 30.4) + QStringLiteral(" months");
    return QStringLiteral("about ") + rounded(double(n) / 365) + QStringLiteral(" years");
}

QList<Insights::Suggestion> Insights::suggestions(const QString &today) const
{
    QList<Suggestion> result;
    if (days.isEmpty())
        return result;
    // List order, not the calendar's: the book's first and last message.
    const QString first = days.first().iso;
    const QString last = days.last().iso;

    result.append(
        { QStringLiteral("everything"), QStringLiteral("books.vertical"), QStringLiteral("The whole story"),
            QStringLiteral("From your first message on ") + longDay(first) + QStringLiteral(" to now."),
            first, last });

    if (!firstLove.isEmpty()) {
        auto said = firstLove.cbegin();
        for (auto it = firstLove.cbegin(); it != firstLove.cend(); ++it) {
            if (it->at < said->at)
                said = it;
        }
        const QString love = said->at.left(10);
        if (first < love) {
            result.append({ QStringLiteral("beginning"), QStringLiteral("heart"),
                QStringLiteral("From hello to \u201CI love you\u201D"),
                QStringLiteral("Your first message to the week after it was first said."), first,
                Celebrations::shift(love, 7) });
        }
    }

    QMap<QString, qint64> months;
    for (const DayCount &day : days)
        months[day.iso.left(7)] += day.count;
    if (months.size() > 3) {
        const QStringList keys = months.keys();
        const QList<qint64> totals = months.values();
        qsizetype best = 0;
        qint64 bestSum = -1;
        for (qsizetype i = 0; i + 2 < totals.size(); ++i) {
            const qint64 sum = totals[i] + totals[i + 1] + totals[i + 2];
            // The earliest of equally loud windows stays.
            if (sum > bestSum) {
                bestSum = sum;
                best = i;
            }
        }
        const QString start = keys[best];
        const QString end = keys[best + 2];
        QString lastDay = end + QStringLiteral("-28");
        if (const std::optional<QDateTime> endMonth = Day::date(end + QStringLiteral("-01"))) {
            const QDate monthEnd = endMonth->date().addMonths(1).addDays(-1);
            if (monthEnd.isValid())
                lastDay = Day::iso(monthEnd.startOfDay());
        }
        result.append(
            { QStringLiteral("busiest"), QStringLiteral("flame"), QStringLiteral("Your loudest three months"),
                formatted(bestSum) + QStringLiteral(" messages, ") + monthName(start) + QStringLiteral(" to ")
                    + monthName(end) + u'.',
                start + QStringLiteral("-01"), lastDay });
    }

    QSet<QString> yearSet;
    for (const DayCount &day : days)
        yearSet.insert(day.iso.left(4));
    QStringList years(yearSet.cbegin(), yearSet.cend());
    std::sort(years.begin(), years.end(), std::greater<>());
    for (const QString &year : years.mid(0, 3)) {
        const QString january = year + QStringLiteral("-01-01");
        const QString december = year + QStringLiteral("-12-31");
        result.append({ QStringLiteral("year-") + year, QStringLiteral("calendar"),
            today.startsWith(year) ? year + QStringLiteral(" so far") : year,
            formatted(messages(january, december)) + QStringLiteral(" messages."), std::max(january, first),
            std::min(december, last) });
    }
    return result;
}
