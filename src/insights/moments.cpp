#include "moments.h"

#include "characters.h"
#include "model/day.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

const QString me = QStringLiteral("me");
const QString themKey = QStringLiteral("them");

QString who(const QString &from, const QString &them)
{
    return from == me ? QStringLiteral("You") : them;
}

QString quote(const BookFile::Message &message)
{
    const QString text = message.text.value_or(QString()).trimmed();
    if (Characters::count(text) <= 80)
        return u'\u201C' + text + u'\u201D';
    return u'\u201C' + Characters::left(text, 78) + QStringLiteral("\u2026\u201D");
}

// A run of ASCII digits as a number, or -1.
int number(QStringView digits)
{
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// The date of a day key as Day::date reads it. Well-formed keys are read
// here: Day::date makes a local start of day, slow over thousands of days.
std::optional<QDate> dateOf(const QString &day)
{
    if (day.size() == 10 && day[4] == u'-' && day[7] == u'-') {
        const QStringView key(day);
        const int year = number(key.mid(0, 4));
        const QDate date(year, number(key.mid(5, 2)), number(key.mid(8, 2)));
        // number() gives -1 for a non-digit, which QDate would take as 1 BC.
        if (year > 0 && date.isValid())
            return date;
    }
    const std::optional<QDateTime> date = Day::date(day);
    if (!date)
        return std::nullopt;
    return date->date();
}

QString formatted(qint64 n)
{
    return QLocale().toString(n);
}

// Ordered by count, most first; ties in a fixed order so the cards do not
// change between two readings of the same book.
template<typename Key> QList<std::pair<Key, int>> ranked(QList<std::pair<Key, int>> entries)
{
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    return entries;
}

// Words a side used at least 15 times and clearly more than the other side.
QString topWords(const SideTally &side, const SideTally &other)
{
    QList<std::pair<QString, int>> qualifying;
    for (const auto &[word, count] : side.words) {
        if (count < 15)
            continue;
        const auto theirs = other.words.find(word);
        if (theirs == other.words.end() || count > 2.5 * theirs->second)
            qualifying.append({ word, count });
    }
    QStringList shown;
    for (const auto &[word, count] : ranked(qualifying).mid(0, 3))
        shown.append(u'\u201C' + word + QStringLiteral("\u201D ") + formatted(count) + u'\u00D7');
    return shown.join(QStringLiteral(", "));
}

QString emojiList(const SideTally &side)
{
    QList<std::pair<char32_t, int>> entries;
    for (auto it = side.emoji.cbegin(); it != side.emoji.cend(); ++it)
        entries.append({ it.key(), it.value() });
    QStringList shown;
    for (const auto &[scalar, count] : ranked(entries).mid(0, 3))
        shown.append(QString::fromUcs4(&scalar, 1) + u' ' + formatted(count));
    return shown.join(QStringLiteral("   "));
}

std::optional<Insights::Moment> loveMoment(const Tally &tally, const QString &them)
{
    const std::optional<Moments::FirstLove> love = Moments::firstLove(tally);
    if (!love)
        return std::nullopt;
    QString detail = quote(love->said) + u' ' + longDay(love->said.day());
    if (love->back && love->backAfter) {
        detail += QStringLiteral(". ") + who(love->back->from, them) + QStringLiteral(" said it back ")
            + *love->backAfter + QStringLiteral(" later.");
    }
    return Insights::Moment { QStringLiteral("first-love"), QStringLiteral("heart"),
        who(love->said.from, them) + QStringLiteral(" said \u201CI love you\u201D first"), detail,
        love->said.day(), love->said.id };
}

std::optional<Insights::Moment> replySpeed(const Tally &tally, const QString &them)
{
    const std::optional<double> mine = Insights::median(tally.side(me).replyGaps);
    const std::optional<double> theirs = Insights::median(tally.side(themKey).replyGaps);
    if (!mine || !theirs)
        return std::nullopt;
    const double slower = std::max(*mine, *theirs);
    const double faster = std::min(*mine, *theirs);
    Insights::Moment moment { QStringLiteral("reply"), QStringLiteral("bolt"), {}, {}, {}, {} };
    if (Insights::sameReplySpeed(*mine, *theirs)) {
        moment.title = QStringLiteral("Same reply speed");
        moment.detail
            = QStringLiteral("You both reply in about ") + Insights::duration((*mine + *theirs) * 0.5) + u'.';
    } else {
        moment.title = (*mine < *theirs ? QStringLiteral("You reply") : them + QStringLiteral(" replies"))
            + QStringLiteral(" faster");
        moment.detail = QStringLiteral("Usually in ") + Insights::duration(faster)
            + QStringLiteral(", against ") + Insights::duration(slower) + u'.';
    }
    return moment;
}

std::optional<Insights::Moment> starter(const Tally &tally, const QString &them)
{
    const int mine = tally.side(me).dayStarts;
    const int theirs = tally.side(themKey).dayStarts;
    const int all = mine + theirs;
    if (all < 10)
        return std::nullopt;
    const QString who = mine >= theirs ? QStringLiteral("You") : them;
    const QString verb = who == u"You" ? QStringLiteral(" start") : QStringLiteral(" starts");
    return Insights::Moment { QStringLiteral("starter"), QStringLiteral("sunrise"),
        who + verb + QStringLiteral(" the day"),
        QStringLiteral("First message of the day %1% of the time.").arg(100 * std::max(mine, theirs) / all),
        {}, {} };
}

void appendSide(
    QList<Insights::Moment> &moments, const Tally &tally, const QString &side, const QString &them)
{
    const QString other = side == me ? themKey : me;
    const QString words = topWords(tally.side(side), tally.side(other));
    if (!words.isEmpty()) {
        moments.append({ QStringLiteral("words-") + side, QStringLiteral("quote.bubble"),
            side == me ? QStringLiteral("Your words") : them + QStringLiteral("'s words"), words, {}, {} });
    }
    if (!tally.side(side).emoji.isEmpty()) {
        moments.append({ QStringLiteral("emoji-") + side, QStringLiteral("face.smiling"),
            side == me ? QStringLiteral("Your emoji") : them + QStringLiteral("'s emoji"),
            emojiList(tally.side(side)), {}, {} });
    }
}

} // namespace

namespace Moments {

std::optional<FirstLove> firstLove(const Tally &tally)
{
    if (tally.firstLove.isEmpty())
        return std::nullopt;
    // Earliest by time as written; on equal times the first met stays.
    auto said = tally.firstLove.cbegin();
    for (auto it = tally.firstLove.cbegin(); it != tally.firstLove.cend(); ++it) {
        if (it->at < said->at)
            said = it;
    }
    FirstLove love { *said, {}, {} };
    if (tally.firstLove.size() != 2)
        return love;
    love.back
        = said == tally.firstLove.cbegin() ? *std::next(tally.firstLove.cbegin()) : *tally.firstLove.cbegin();
    const std::optional<QDateTime> saidAt = Insights::time(love.said.at);
    const std::optional<QDateTime> backAt = Insights::time(love.back->at);
    if (saidAt && backAt) {
        const double gap = double(saidAt->msecsTo(*backAt)) / 1000.0;
        if (gap < 3600)
            love.backAfter = Insights::count(
                std::max(qint64(std::trunc(gap / 60)), qint64(1)), QStringLiteral("minute"));
        else if (gap < 172800)
            love.backAfter = Insights::count(qint64(std::trunc(gap / 3600)), QStringLiteral("hour"));
        else
            love.backAfter = Insights::count(qint64(std::trunc(gap / 86400)), QStringLiteral("day"));
    }
    return love;
}

const Insights::DayCount *busiestDay(const QList<Insights::DayCount> &days)
{
    if (days.isEmpty())
        return nullptr;
    // The first of the busiest days wins a tie.
    const Insights::DayCount *busiest = &days.first();
    for (const Insights::DayCount &day : days) {
        if (day.count > busiest->count)
            busiest = &day;
    }
    return busiest;
}

Runs runs(const QList<Insights::DayCount> &days)
{
    int longest = 0;
    int current = 0;
    QDate start, end, currentStart, gapStart, gapEnd;
    qint64 gap = 0;
    std::optional<QDate> previous;
    for (const Insights::DayCount &day : days) {
        const std::optional<QDate> date = dateOf(day.iso);
        if (!date)
            continue;
        if (!previous) {
            current = longest = 1;
            start = end = currentStart = *date;
            previous = date;
            continue;
        }
        const qint64 between = previous->daysTo(*date);
        if (between == 1) {
            ++current;
        } else {
            current = 1;
            currentStart = *date;
        }
        if (current > longest) {
            longest = current;
            start = currentStart;
            end = *date;
        }
        if (between > gap) {
            gap = between;
            gapStart = *previous;
            gapEnd = *date;
        }
        previous = date;
    }
    const auto iso = [](QDate date) { return date.isValid() ? Day::iso(date.startOfDay()) : QString(); };
    return { longest, iso(start), iso(end), int(gap), iso(gapStart), iso(gapEnd) };
}

QList<Insights::Moment> cards(const Tally &tally, const Runs &runs, const QString &them)
{
    QList<Insights::Moment> moments;
    if (tally.first) {
        const BookFile::Message &first = *tally.first;
        moments.append({ QStringLiteral("first"), QStringLiteral("envelope.open"),
            who(first.from, them) + QStringLiteral(" texted first"),
            quote(first) + u' ' + longDay(first.day()), first.day(), first.id });
    }
    if (const std::optional<Insights::Moment> love = loveMoment(tally, them))
        moments.append(*love);
    if (runs.longest >= 7) {
        moments.append({ QStringLiteral("streak"), QStringLiteral("flame"),
            QString::number(runs.longest) + QStringLiteral(" days in a row"),
            QStringLiteral("You didn't miss a day from ") + longDay(runs.start) + QStringLiteral(" to ")
                + longDay(runs.end) + u'.',
            runs.start, {} });
    }
    if (runs.gap >= 4) {
        moments.append({ QStringLiteral("silence"), QStringLiteral("moon.zzz"),
            QString::number(runs.gap) + QStringLiteral(" quiet days"),
            QStringLiteral("The longest gap, from ") + longDay(runs.gapStart) + QStringLiteral(" to ")
                + longDay(runs.gapEnd) + u'.',
            runs.gapEnd, {} });
    }
    if (const Insights::DayCount *busiest = busiestDay(tally.days)) {
        moments.append({ QStringLiteral("busiest"), QStringLiteral("bubble.left.and.bubble.right"),
            formatted(busiest->count) + QStringLiteral(" messages in one day"),
            longDay(busiest->iso) + QStringLiteral(" was your busiest day."), busiest->iso, {} });
    }
    if (tally.latest && tally.lateCount >= 3) {
        moments.append({ QStringLiteral("late"), QStringLiteral("moon.stars"),
            QStringLiteral("Still up at ") + clock(tally.latestMinutes) + QStringLiteral(" a.m."),
            formatted(tally.lateCount) + QStringLiteral(" messages after midnight. The latest was ")
                + longDay(tally.latest->day()) + u'.',
            tally.latest->day(), tally.latest->id });
    }
    if (const std::optional<Insights::Moment> reply = replySpeed(tally, them))
        moments.append(*reply);
    if (const std::optional<Insights::Moment> starts = starter(tally, them))
        moments.append(*starts);
    appendSide(moments, tally, me, them);
    appendSide(moments, tally, themKey, them);

    const int myLaughs = tally.side(me).laughs;
    const int theirLaughs = tally.side(themKey).laughs;
    if (myLaughs + theirLaughs >= 20) {
        moments.append({ QStringLiteral("laughs"), QStringLiteral("face.smiling.inverse"),
            (myLaughs >= theirLaughs ? QStringLiteral("You laugh") : them + QStringLiteral(" laughs"))
                + QStringLiteral(" more"),
            formatted(myLaughs) + QStringLiteral(" \u201Chaha\u201Ds from you, ") + formatted(theirLaughs)
                + QStringLiteral(" from ") + them + u'.',
            {}, {} });
    }
    if (tally.photos + tally.voiceMemos >= 1) {
        QStringList media;
        if (const std::optional<QString> photos = Insights::count(tally.photos, QStringLiteral("photo")))
            media.append(*photos);
        if (const std::optional<QString> memos
            = Insights::count(tally.voiceMemos, QStringLiteral("voice memo")))
            media.append(*memos);
        moments.append(
            { QStringLiteral("media"), QStringLiteral("photo.on.rectangle"), media.join(QStringLiteral(", ")),
                QStringLiteral("They print as notes in the line. The photo edition prints them in colour."),
                {}, {} });
    }
    return moments;
}

QList<QStringList> receipt(const Tally &tally, const Runs &runs, const QString &them)
{
    QList<QStringList> lines;
    const std::optional<double> mine = Insights::median(tally.side(me).replyGaps);
    const std::optional<double> theirs = Insights::median(tally.side(themKey).replyGaps);
    if (mine && theirs) {
        lines.append({ QStringLiteral("Reply time, you"), Insights::duration(*mine) });
        lines.append({ QStringLiteral("Reply time, ") + them, Insights::duration(*theirs) });
    }
    if (runs.longest >= 2)
        lines.append(
            { QStringLiteral("Longest streak"), QString::number(runs.longest) + QStringLiteral(" days") });
    if (tally.latest)
        lines.append({ QStringLiteral("Latest night"), clock(tally.latestMinutes) + QStringLiteral(" AM") });
    const int mySorrys = tally.side(me).sorrys;
    const int theirSorrys = tally.side(themKey).sorrys;
    if (mySorrys + theirSorrys >= 1) {
        lines.append({ QStringLiteral("Sorrys"),
            QStringLiteral("%1 you, %2 %3").arg(mySorrys).arg(theirSorrys).arg(them) });
    }
    return lines;
}

QString clock(int minutesOfNight)
{
    const int hour = minutesOfNight / 60;
    const int minute = minutesOfNight - 60 * hour;
    return QString::asprintf("%d:%02d", hour == 0 ? 12 : hour, minute);
}

} // namespace Moments
