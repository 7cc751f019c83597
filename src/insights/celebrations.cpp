#include "celebrations.h"

#include "characters.h"
#include "model/day.h"
#include "phrasematcher.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

struct HolidayRule
{
    QString id;
    QString name;
    QString emoji;
    QString detail;
    QSet<QString> days;
    QStringList words;
};

struct MilestoneRule
{
    QString id;
    QString title;
    QString emoji;
    QStringList phrases;
};

const QList<HolidayRule> &holidayRules()
{
    // Thanksgiving moves with the weekday; any day it can fall on counts.
    static const QList<HolidayRule> rules {
        { QStringLiteral("valentines"), QStringLiteral("Valentine's Day"), QStringLiteral("\U0001F48C"),
            QStringLiteral("What you said on the day."), { QStringLiteral("02-14") },
            { QStringLiteral("valentine") } },
        { QStringLiteral("christmas"), QStringLiteral("Christmas"), QStringLiteral("\U0001F384"),
            QStringLiteral("Christmas, in messages."), { QStringLiteral("12-24"), QStringLiteral("12-25") },
            { QStringLiteral("merry christmas"), QStringLiteral("merry xmas"),
                QStringLiteral("christmas") } },
        { QStringLiteral("newyear"), QStringLiteral("New Year's"), QStringLiteral("\U0001F386"),
            QStringLiteral("Seeing the year in."), { QStringLiteral("12-31"), QStringLiteral("01-01") },
            { QStringLiteral("happy new year"), QStringLiteral("new year") } },
        { QStringLiteral("halloween"), QStringLiteral("Halloween"), QStringLiteral("\U0001F383"),
            QStringLiteral("Costumes and candy."), { QStringLiteral("10-31") },
            { QStringLiteral("halloween"), QStringLiteral("costume") } },
        { QStringLiteral("thanksgiving"), QStringLiteral("Thanksgiving"), QStringLiteral("\U0001F983"),
            QStringLiteral("Thanksgiving, in messages."),
            { QStringLiteral("11-22"), QStringLiteral("11-23"), QStringLiteral("11-24"),
                QStringLiteral("11-25"), QStringLiteral("11-26"), QStringLiteral("11-27"),
                QStringLiteral("11-28") },
            { QStringLiteral("happy thanksgiving"), QStringLiteral("thanksgiving") } },
    };
    return rules;
}

const QList<MilestoneRule> &milestoneRules()
{
    // People type both apostrophes; the phrases list the forms seen in practice.
    static const QList<MilestoneRule> rules {
        { QStringLiteral("first-date"), QStringLiteral("The first date"), QStringLiteral("\U0001F339"),
            { QStringLiteral("first date") } },
        { QStringLiteral("engaged"), QStringLiteral("Engaged"), QStringLiteral("\U0001F48D"),
            { QStringLiteral("we're engaged"), QStringLiteral("we\u2019re engaged"),
                QStringLiteral("we got engaged"), QStringLiteral("said yes"),
                QStringLiteral("will you marry me") } },
        { QStringLiteral("married"), QStringLiteral("Married"), QStringLiteral("\U0001F492"),
            { QStringLiteral("we're married"), QStringLiteral("we\u2019re married"),
                QStringLiteral("just married"), QStringLiteral("our wedding day") } },
        { QStringLiteral("moving"), QStringLiteral("Moving in"), QStringLiteral("\U0001F3E1"),
            { QStringLiteral("got the keys"), QStringLiteral("move in together"),
                QStringLiteral("moving in together"), QStringLiteral("our new apartment"),
                QStringLiteral("our new place"), QStringLiteral("closed on the house") } },
        { QStringLiteral("job"), QStringLiteral("The new job"), QStringLiteral("\U0001F4BC"),
            { QStringLiteral("got the job"), QStringLiteral("i got the offer"),
                QStringLiteral("got an offer"), QStringLiteral("i got promoted"),
                QStringLiteral("first day at the new job") } },
        { QStringLiteral("graduation"), QStringLiteral("Graduation"), QStringLiteral("\U0001F393"),
            { QStringLiteral("i graduated"), QStringLiteral("graduation day"),
                QStringLiteral("we graduated") } },
        { QStringLiteral("baby"), QStringLiteral("The baby news"), QStringLiteral("\U0001F37C"),
            { QStringLiteral("i'm pregnant"), QStringLiteral("i\u2019m pregnant"),
                QStringLiteral("we're pregnant"), QStringLiteral("it's a girl"), QStringLiteral("it's a boy"),
                QStringLiteral("the baby is here") } },
        { QStringLiteral("pet"), QStringLiteral("A new pet"), QStringLiteral("\U0001F43E"),
            { QStringLiteral("new puppy"), QStringLiteral("new kitten"), QStringLiteral("we adopted"),
                QStringLiteral("we got a dog"), QStringLiteral("we got a cat") } },
    };
    return rules;
}

const QStringList birthdayPhrases { QStringLiteral("happy birthday"), QStringLiteral("happy bday"),
    QStringLiteral("happy b-day"), QStringLiteral("hbd "), QStringLiteral("hbd!"),
    QStringLiteral("happiest birthday") };
const QStringList anniversaryPhrases { QStringLiteral("happy anniversary"), QStringLiteral("happy anni") };
// "landed" at the very start of a text is tested on its own.
const QStringList landingPhrases { QStringLiteral("just landed"), QStringLiteral(" landed in "),
    QStringLiteral("we landed") };

// Every phrase of every rule in one matcher, with a mask per rule, so each
// message is walked once however many rules there are.
struct Phrases
{
    PhraseMatcher matcher;
    PhraseMatcher::Found birthday;
    PhraseMatcher::Found anniversary;
    PhraseMatcher::Found landing;
    QList<PhraseMatcher::Found> holidays;
    QList<PhraseMatcher::Found> milestones;

    static QStringList all()
    {
        QStringList phrases = birthdayPhrases + anniversaryPhrases + landingPhrases;
        for (const HolidayRule &rule : holidayRules())
            phrases += rule.words;
        for (const MilestoneRule &rule : milestoneRules())
            phrases += rule.phrases;
        phrases.removeDuplicates();
        return phrases;
    }

    Phrases()
        : matcher(all())
        , birthday(matcher.mask(birthdayPhrases))
        , anniversary(matcher.mask(anniversaryPhrases))
        , landing(matcher.mask(landingPhrases))
    {
        for (const HolidayRule &rule : holidayRules())
            holidays.append(matcher.mask(rule.words));
        for (const MilestoneRule &rule : milestoneRules())
            milestones.append(matcher.mask(rule.phrases));
    }
};

const Phrases &phrases()
{
    static const Phrases shared;
    return shared;
}

QString birthdayEmoji()
{
    return QStringLiteral("\U0001F382");
}

QString anniversaryEmoji()
{
    return QStringLiteral("\U0001F942");
}

QString tripEmoji()
{
    return QStringLiteral("\u2708\uFE0F");
}

std::optional<int> gap(const QString &from, const QString &to)
{
    const std::optional<QDateTime> start = Day::date(from);
    const std::optional<QDateTime> end = Day::date(to);
    if (!start || !end)
        return std::nullopt;
    return int(start->date().daysTo(end->date()));
}

// A capitalised one-word place name right after the marker ("Paris" in
// "Landed in Paris, finally").
std::optional<QString> place(const QString &marker, const QString &text)
{
    const qsizetype at = text.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    const QStringView rest = QStringView(text).mid(at + marker.size());
    qsizetype start = 0;
    int letters = 0;
    for (const qsizetype end : Characters::ends(rest)) {
        if (!Characters::isLetter(rest.mid(start, end - start)))
            break;
        start = end;
        ++letters;
    }
    if (letters <= 2 || !Characters::isUpper(rest))
        return std::nullopt;
    return rest.left(start).toString();
}

// A milestone's words as its detail quotes them: up to 60 characters whole,
// longer ones cut to 58 and an ellipsis.
QString milestoneQuote(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (Characters::count(trimmed) < 61)
        return trimmed;
    return Characters::left(trimmed, 58) + QStringLiteral("\u2026");
}

// Messages grouped under a key, keys in the order first met.
class Groups
{
public:
    void append(const QString &key, int message)
    {
        auto it = m_index.constFind(key);
        if (it == m_index.cend())
            it = m_index.insert(key, addKey(key));
        m_messages[*it].append(message);
    }
    qsizetype size() const { return m_keys.size(); }
    const QString &key(qsizetype i) const { return m_keys[i]; }
    const QList<int> &messages(qsizetype i) const { return m_messages[i]; }
    bool contains(const QString &key) const { return m_index.contains(key); }

private:
    qsizetype addKey(const QString &key)
    {
        m_keys.append(key);
        m_messages.append(QList<int>());
        return m_keys.size() - 1;
    }

    QStringList m_keys;
    QList<QList<int>> m_messages;
    QHash<QString, qsizetype> m_index;
};

struct Landing
{
    int message;
    std::optional<QString> place;
};

QList<Celebration> wishes(const Groups &groups, const QList<BookFile::Message> &messages, const QString &them)
{
    QList<Celebration> made;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const QString &key = groups.key(g);
        const QList<int> &members = groups.messages(g);
        QSet<QString> years;
        for (const int m : members)
            years.insert(messages[m].day().left(4));
        const bool anniversary = key.startsWith(u"anniversary");
        // One wish on one day may be a one-off; a birthday needs to recur.
        if (members.size() < 2 && !anniversary && years.size() < 2)
            continue;
        const BookFile::Message &marker = messages[members.last()];
        Celebration c;
        c.id = key;
        c.kind = anniversary ? Celebration::Kind::Anniversary : Celebration::Kind::Birthday;
        c.emoji = anniversary ? anniversaryEmoji() : birthdayEmoji();
        if (key.startsWith(u"birthday-them"))
            c.title = them + QStringLiteral("'s birthday");
        else if (key.startsWith(u"birthday-me"))
            c.title = QStringLiteral("Your birthday");
        else
            c.title = QStringLiteral("Your anniversary");
        c.day = marker.day();
        c.detail = Celebrations::monthDay(c.day) + QStringLiteral(". ")
            + (years.size() < 2 ? QStringLiteral("Celebrated here.")
                                : QStringLiteral("Celebrated here %1 years running.").arg(years.size()));
        c.from = Celebrations::shift(c.day, -1);
        c.to = Celebrations::shift(c.day, 1);
        c.messageID = marker.id;
        made.append(c);
    }
    return made;
}

QList<Celebration> trips(const QList<Landing> &landings, const QList<BookFile::Message> &messages)
{
    QList<Celebration> made;
    qsizetype i = 0;
    while (i < landings.size()) {
        const QString start = messages[landings[i].message].day();
        qsizetype back = -1;
        for (qsizetype j = i + 1; j < landings.size(); ++j) {
            const std::optional<int> days = gap(start, messages[landings[j].message].day());
            if (days && *days >= 2 && *days <= 30) {
                back = j;
                break;
            }
        }
        if (back < 0) {
            ++i;
            continue;
        }
        const QString end = messages[landings[back].message].day();
        Celebration c;
        c.id = QStringLiteral("trip-") + start;
        c.kind = Celebration::Kind::Trip;
        c.emoji = tripEmoji();
        c.title = landings[i].place ? *landings[i].place + QStringLiteral(" trip") : QStringLiteral("A trip");
        c.detail = Celebrations::monthDay(start) + QStringLiteral(" to ") + Celebrations::monthDay(end)
            + QStringLiteral(", ") + QString::number(gap(start, end).value_or(0)) + QStringLiteral(" days.");
        c.day = start;
        c.from = start;
        c.to = end;
        c.messageID = messages[landings[i].message].id;
        made.append(c);
        i = back + 1;
    }
    return made;
}

} // namespace

namespace Celebrations {

QList<Celebration> find(const QList<BookFile::Message> &messages, const QString &them)
{
    QStringList lowered;
    lowered.reserve(messages.size());
    for (const BookFile::Message &message : messages)
        lowered.append(message.text ? Characters::lowered(*message.text) : QString());
    return find(messages, lowered, them);
}

QList<Celebration> find(
    const QList<BookFile::Message> &messages, const QStringList &loweredTexts, const QString &them)
{
    const Phrases &rules = phrases();
    Groups wished;
    Groups holidays;
    QList<int> milestones(milestoneRules().size(), -1);
    QList<int> milestoneOrder;
    QList<Landing> landings;

    for (int m = 0; m < messages.size(); ++m) {
        const BookFile::Message &message = messages[m];
        if (!message.text)
            continue;
        static const QString none;
        const QString &lowered = m < loweredTexts.size() ? loweredTexts.at(m) : none;
        if (lowered.isEmpty())
            continue;
        const PhraseMatcher::Found found = rules.matcher.find(lowered);
        if (found.none() && !lowered.startsWith(u"landed"))
            continue;
        const QString day = message.day();
        const QString monthDay = day.mid(5);

        if ((found & rules.birthday).any()) {
            const QString whose
                = message.from == u"me" ? QStringLiteral("birthday-them|") : QStringLiteral("birthday-me|");
            wished.append(whose + monthDay, m);
        }
        if ((found & rules.anniversary).any())
            wished.append(QStringLiteral("anniversary|") + monthDay, m);
        for (qsizetype r = 0; r < holidayRules().size(); ++r) {
            const HolidayRule &rule = holidayRules()[r];
            if (!(found & rules.holidays[r]).any() || !rule.days.contains(monthDay))
                continue;
            const QString key = rule.id + u'|' + day.left(4);
            if (!holidays.contains(key))
                holidays.append(key, m);
        }
        for (qsizetype r = 0; r < milestones.size(); ++r) {
            if (milestones[r] < 0 && (found & rules.milestones[r]).any()) {
                milestones[r] = m;
                milestoneOrder.append(int(r));
            }
        }
        if ((found & rules.landing).any() || lowered.startsWith(u"landed"))
            landings.append({ m, place(QStringLiteral("landed in "), *message.text) });
    }

    QList<Celebration> result = wishes(wished, messages, them);

    for (qsizetype h = 0; h < holidays.size(); ++h) {
        const QString &key = holidays.key(h);
        const BookFile::Message &message = messages[holidays.messages(h).first()];
        const QString ruleId = key.section(u'|', 0, 0);
        const auto rule = std::find_if(holidayRules().cbegin(), holidayRules().cend(),
            [&](const HolidayRule &r) { return r.id == ruleId; });
        Celebration c;
        c.id = key;
        c.kind = Celebration::Kind::Holiday;
        c.emoji = rule->emoji;
        c.detail = rule->detail;
        c.day = message.day();
        c.title = rule->name + u' ' + c.day.left(4);
        c.from = shift(c.day, -2);
        c.to = shift(c.day, 2);
        c.messageID = message.id;
        result.append(c);
    }

    for (const int r : std::as_const(milestoneOrder)) {
        const MilestoneRule &rule = milestoneRules()[r];
        const BookFile::Message &message = messages[milestones[r]];
        Celebration c;
        c.id = rule.id;
        c.kind = Celebration::Kind::Milestone;
        c.emoji = rule.emoji;
        c.title = rule.title;
        c.day = message.day();
        c.detail = longDay(c.day) + QStringLiteral(": \u201C") + milestoneQuote(*message.text)
            + QStringLiteral("\u201D");
        c.from = shift(c.day, -7);
        c.to = shift(c.day, 7);
        c.messageID = message.id;
        result.append(c);
    }

    result += trips(landings, messages);

    std::stable_sort(result.begin(), result.end(),
        [](const Celebration &a, const Celebration &b) { return a.day < b.day; });
    return result;
}

QString monthDay(const QString &day)
{
    const std::optional<QDateTime> date = Day::date(day);
    if (!date)
        return day;
    return Day::format(*date, QStringLiteral("MMMd"));
}

QString shift(const QString &day, int days)
{
    const std::optional<QDateTime> date = Day::date(day);
    if (!date)
        return day;
    const QDate moved = date->date().addDays(days);
    if (!moved.isValid())
        return day;
    return Day::iso(moved.startOfDay());
}

} // namespace Celebrations
