#include "insights.h"

#include "celebrations.h"
#include "messageclock.h"
#include "model/day.h"
#include "moments.h"
#include "tally.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <memory>
#include <unicode/regex.h>

namespace {

const icu::RegexPattern *lovePattern()
{
    // "love you" counts at the start or after . ! ? , and "i love you"
    // anywhere as whole words; "love you guys/all/both" is not about the two.
    static const std::unique_ptr<icu::RegexPattern> pattern = [] {
        UErrorCode status = U_ZERO_ERROR;
        UParseError error;
        std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
            icu::UnicodeString(
                u"(^|[.!?,]\\s*)(i (really |do |still )?)?(love (you|u)|ily)(?! (guys|all|both))\\b"
                u"|\\bi (really |do |still )?love (you|u)\\b(?! (guys|all|both))"),
            0, error, status));
        return U_SUCCESS(status) ? std::move(compiled) : nullptr;
    }();
    return pattern.get();
}

} // namespace

std::optional<QDateTime> Insights::time(const QString &at)
{
    const std::optional<qint64> msecs = MessageClock().msecs(at);
    if (!msecs)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(*msecs);
}

bool Insights::saysLoveYou(const QString &lowered)
{
    // Every match holds "love " or "ily"; most texts have neither.
    if (!lowered.contains(u"love ") && !lowered.contains(u"ily"))
        return false;
    const icu::RegexPattern *pattern = lovePattern();
    if (!pattern)
        return false;
    const icu::UnicodeString input(
        false, reinterpret_cast<const UChar *>(lowered.utf16()), int32_t(lowered.size()));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(input, status));
    if (U_FAILURE(status))
        return false;
    const bool found = matcher->find(status);
    return U_SUCCESS(status) && found;
}

std::optional<QString> Insights::count(qint64 n, const QString &noun)
{
    if (n == 0)
        return std::nullopt;
    return QLocale().toString(n) + u' ' + noun + (n == 1 ? QString() : QStringLiteral("s"));
}

std::optional<double> Insights::median(QList<double> values)
{
    if (values.size() < 20)
        return std::nullopt;
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

bool Insights::sameReplySpeed(double first, double second)
{
    return std::abs(first - second) <= std::max(0.12 * std::max(first, second), 2.0);
}

QString Insights::duration(double seconds)
{
    if (seconds < 90)
        return count(qint64(std::round(seconds)), QStringLiteral("second"))
            .value_or(QStringLiteral("no time"));
    if (seconds < 5400)
        return count(qint64(std::round(seconds / 60)), QStringLiteral("minute")).value_or(QString());
    return QString::asprintf("%.1f hours", seconds / 3600);
}

QString Insights::monthName(const QString &month)
{
    const std::optional<QDateTime> first = Day::date(month + QStringLiteral("-01"));
    if (!first)
        return month;
    return Day::format(*first, QStringLiteral("MMMMy"));
}

const QSet<QString> &Insights::stopWords()
{
    static const QSet<QString> words = [] {
        const QStringList list = QStringLiteral(
            "the, and, you, that, for, are, but, not, was, with, this, have, just, its, it's, i'm, "
            "can, get, what, like, your, all, out, about, too, how, now, know, one, don't, will, "
            "yeah, she, her, him, his, they, there, then, when, got, would, could, did, had, has, "
            "from, our, we're, you're, that's, what's, i'll, i've, gonna, want, going, also, really, "
            "lol, haha, okay, yes, good, here, more, some, think, see, too, why, who, where, them, "
            "were, been, does, only, back, make, any, still, time, today, tonight, tomorrow, can't, "
            "didn't, doesn't, isn't, wasn't, come, said, say, well, much, into, over, very, need, "
            "let, off, home, day, way, thing, lmao, omg, hahaha, yea, yup, nah, the")
                                     .split(QStringLiteral(", "));
        return QSet<QString>(list.cbegin(), list.cend());
    }();
    return words;
}

Insights Insights::read(const BookFile &book)
{
    Insights insights;
    insights.them = QStringLiteral("Them");
    for (const BookFile::Person &person : book.people) {
        if (!person.me) {
            insights.them = person.name;
            break;
        }
    }
    if (book.messages.isEmpty())
        return insights;

    Tally tally(book.people);
    tally.loweredTexts.reserve(book.messages.size());
    for (const BookFile::Message &message : book.messages)
        tally.add(message);

    insights.total = tally.total;
    insights.mine = tally.mine;
    insights.theirs = tally.theirs;
    insights.days = tally.days;
    insights.firstLove = tally.firstLove;

    const Moments::Runs runs = Moments::runs(tally.days);
    insights.moments = Moments::cards(tally, runs, insights.them);
    insights.receiptLines = Moments::receipt(tally, runs, insights.them);
    insights.celebrations = Celebrations::find(book.messages, tally.loweredTexts, insights.them);
    if (tally.latest)
        insights.latestNight = Moments::clock(tally.latestMinutes) + QStringLiteral(" AM");

    QHash<char32_t, int> emoji;
    for (const SideTally &side : std::as_const(tally.sides)) {
        for (auto it = side.emoji.cbegin(); it != side.emoji.cend(); ++it)
            emoji[it.key()] += it.value();
    }
    QList<std::pair<char32_t, int>> ranked;
    for (auto it = emoji.cbegin(); it != emoji.cend(); ++it)
        ranked.append({ it.key(), it.value() });
    // Equal counts in scalar order, so two readings agree.
    std::sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    for (const auto &[scalar, n] : ranked.mid(0, 5))
        insights.topEmoji.append(QString::fromUcs4(&scalar, 1));
    return insights;
}
