#include "tally.h"

#include "characters.h"
#include "links.h"
#include "phrasematcher.h"
#include "printedlines.h"

#include <unicode/uchar.h>
#include <unordered_set>

namespace {

// Answers after six hours are not replies but new conversations.
constexpr double longestReply = 21600;

enum Phrase { Haha, Lol, Lmao, Sorry, LoveSpace, Ily };

const PhraseMatcher &phrases()
{
    // "love " and "ily" are in every text the love expression matches, so
    // the expression only runs on texts that have one of them.
    static const PhraseMatcher matcher({ QStringLiteral("haha"), QStringLiteral("lol"),
        QStringLiteral("lmao"), QStringLiteral("sorry"), QStringLiteral("love "), QStringLiteral("ily") });
    return matcher;
}

using WordSet = std::unordered_set<QString, WordHash, WordEqual>;

const WordSet &stopSet()
{
    static const WordSet set = [] {
        WordSet made;
        for (const QString &word : Insights::stopWords())
            made.insert(word);
        return made;
    }();
    return set;
}

// A two-digit field of a message time, as a number from 0 to max; a field
// that is missing, not digits or out of range gives nullopt.
std::optional<int> timeField(QStringView at, qsizetype position, int max)
{
    if (position >= at.size())
        return std::nullopt;
    const QStringView digits = at.mid(position, 2);
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}

// The second of its day a message time gives, as the book reads it (the
// seconds may be left out); nullopt when the hours and minutes don't read.
std::optional<int> secondOfDay(QStringView at)
{
    const std::optional<int> hour = timeField(at, 11, 23);
    const std::optional<int> minute = timeField(at, 14, 59);
    if (!hour || !minute || at.size() < 16 || at[13] != u':')
        return std::nullopt;
    const std::optional<int> second = at.size() >= 19 && at[16] == u':' ? timeField(at, 17, 59) : 0;
    return *hour * 3600 + *minute * 60 + second.value_or(0);
}

// A sender who writes again after more than an hour gets the time again.
constexpr int longSilence = 3600;

// A letter or "'", for a character of one code unit.
bool isWordLetter(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'\'';
    return u_isalpha(UChar32(c));
}

bool isWordLetter(QStringView character)
{
    if (character.size() == 1)
        return isWordLetter(character.front().unicode());
    return Characters::isLetter(character);
}

// Whether a text's words can be read a code unit at a time, as if each
// were a character of its own. Emoji with their skin tones, variation
// selectors and joiners make clusters of several units, but a cluster that
// holds no letter only ever ends a word, whatever its length. Only past
// U+0300 can a cluster hold more than one letter or a letter and more: a
// letter there, a mark or joiner after a letter or "'", or a sign that
// joins what follows it.
bool readsByCodeUnit(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x300)
            continue;
        const bool afterWordLetter = i > 0 && isWordLetter(text[i - 1].unicode());
        UChar32 scalar = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            scalar = UChar32(QChar::surrogateToUcs4(text[i], text[i + 1]));
            ++i;
        }
        if (u_isalpha(scalar))
            return false;
        const int kind = u_getIntPropertyValue(scalar, UCHAR_GRAPHEME_CLUSTER_BREAK);
        const bool joinsBefore = kind == U_GCB_EXTEND || kind == U_GCB_ZWJ || kind == U_GCB_SPACING_MARK
            || kind == U_GCB_E_MODIFIER;
        if (kind == U_GCB_PREPEND || (joinsBefore && afterWordLetter))
            return false;
    }
    return true;
}

void countWord(WordCounts &words, QStringView word)
{
    if (const auto it = words.find(word); it != words.end()) {
        ++it->second;
        return;
    }
    if (!stopSet().contains(word))
        words.emplace(word.toString(), 1);
}

// Splits at every character that is neither a letter nor "'"; words of at
// least three characters that are not stop words count. Links and e-mail
// addresses go first, whole, or their pieces would count as words.
void countWords(WordCounts &words, const QString &lowered)
{
    const QString plain = Links::withoutLinks(lowered);
    const QStringView text(plain);
    qsizetype wordStart = 0;
    int characters = 0;
    const auto endWord = [&](qsizetype end, qsizetype next) {
        if (characters >= 3)
            countWord(words, text.mid(wordStart, end - wordStart));
        characters = 0;
        wordStart = next;
    };
    if (readsByCodeUnit(text)) {
        // The common case, kept tight.
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (isWordLetter(text[i].unicode()))
                ++characters;
            else
                endWord(i, i + 1);
        }
    } else {
        qsizetype start = 0;
        for (const qsizetype end : Characters::ends(text)) {
            if (isWordLetter(text.mid(start, end - start)))
                ++characters;
            else
                endWord(start, end);
            start = end;
        }
    }
    endWord(text.size(), text.size());
}

void countEmoji(QHash<char32_t, int> &emoji, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t scalar = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            scalar = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        // No scalar below U+231A (watch) has the property.
        if (scalar >= 0x231A && u_hasBinaryProperty(UChar32(scalar), UCHAR_EMOJI_PRESENTATION))
            ++emoji[scalar];
    }
}

} // namespace

Tally::Tally(const QList<BookFile::Person> &people)
{
    sides.insert(QStringLiteral("me"), {});
    sides.insert(QStringLiteral("them"), {});
    // The first person of an id names it, as in the book.
    for (const BookFile::Person &person : people) {
        if (!m_speakers.contains(person.id)) {
            m_speakers.insert(person.id,
                { person.me ? PrintedLines::Side::Mine : PrintedLines::Side::Theirs,
                    PrintedLines::nameWidth(person.name), PrintedLines::screenNameWidth(person.name) });
        }
    }
}

const SideTally &Tally::side(const QString &from) const
{
    static const SideTally none;
    const auto it = sides.constFind(from);
    return it == sides.cend() ? none : *it;
}

int Tally::dayIndex(QStringView day)
{
    // Messages come day by day, so the last day is almost always the one.
    if (!days.isEmpty() && days.last().iso == day)
        return int(days.size() - 1);
    const QString key = day.toString();
    const auto it = m_dayIndex.constFind(key);
    if (it != m_dayIndex.cend())
        return *it;
    m_dayIndex.insert(key, int(days.size()));
    days.append({ key, 0, 0 });
    return -1;
}

const Tally::Speaker &Tally::speaker(const BookFile::Message &message)
{
    auto found = m_speakers.constFind(message.from);
    if (found == m_speakers.cend()) {
        // Someone the people don't list goes by the name the message gives,
        // else by the sender's id.
        const QString name = message.who.value_or(message.from);
        found = m_speakers.insert(message.from,
            { PrintedLines::Side::Theirs, PrintedLines::nameWidth(name),
                PrintedLines::screenNameWidth(name) });
    }
    return *found;
}

Tally::Lines Tally::printedLines(const BookFile::Message &message, const QString &text, QStringView day)
{
    static const QStringList noMedia;
    const QStringList &media = message.media ? *message.media : noMedia;
    if (text.isEmpty() && media.isEmpty())
        return {};
    const bool opensDay = !m_printed || QStringView(m_printed->at).left(10) != day;
    const bool opensRun = opensDay || m_printed->from != message.from;
    bool resumes = false;
    if (!opensRun) {
        const std::optional<int> before = secondOfDay(m_printed->at);
        const std::optional<int> now = secondOfDay(message.at);
        resumes = before && now && *now - *before > longSilence;
    }
    m_printed = &message;
    const Speaker &who = speaker(message);
    std::optional<PrintedLines::Opening> opening;
    if (resumes)
        opening = PrintedLines::Opening { 0 };
    if (opensRun)
        opening = PrintedLines::Opening { who.name };
    const int heading = opensDay ? PrintedLines::dayHeading : 0;
    return { PrintedLines::ofMessage(text, media, who.side, opening) + heading,
        PrintedLines::ofChatLine(text, media, who.screen) + heading };
}

void Tally::add(const BookFile::Message &message)
{
    const QString text = message.text.value_or(QString());
    SideTally &side = sides[message.from];
    ++total;
    ++side.messages;
    if (message.from == u"me")
        ++mine;
    else
        ++theirs;
    if (!first || (!m_firstHasText && message.text)) {
        first = message;
        m_firstHasText = message.text.has_value();
    }

    const QStringView day = QStringView(message.at).left(10);
    const Lines lines = printedLines(message, text, day);
    const int index = dayIndex(day);
    if (index < 0) {
        days.last().count = 1;
        days.last().lines = lines.book;
        days.last().chatLines = lines.chat;
        ++side.dayStarts;
    } else {
        ++days[index].count;
        days[index].lines += lines.book;
        days[index].chatLines += lines.chat;
    }

    if (message.media) {
        photos += int(message.media->count(QStringLiteral("photo")));
        voiceMemos += int(message.media->count(QStringLiteral("voice memo")));
    }

    const int hour = timeField(message.at, 11, 23).value_or(12);
    const int minute = timeField(message.at, 14, 59).value_or(0);
    ++hours[hour];
    if (hour < 5) {
        ++lateCount;
        ++side.late;
        const int minutes = hour * 60 + minute;
        if (!latest || minutes > latestMinutes) {
            latest = message;
            latestMinutes = minutes;
        }
    }

    // Times are read only where a reply can be: when the sender changes.
    std::optional<std::optional<qint64>> time;
    if (m_previous && m_previous->from != message.from) {
        if (!m_previousTime)
            m_previousTime = m_clock.msecs(m_previous->at);
        time = m_clock.msecs(message.at);
        if (*m_previousTime && *time) {
            const double gap = double(**time - **m_previousTime) / 1000.0;
            if (gap > 0 && gap < longestReply)
                side.replyGaps.append(gap);
        }
    }
    m_previous = &message;
    m_previousTime = time;

    const QString lowered = Characters::lowered(text);
    loweredTexts.append(lowered);
    if (lowered.isEmpty())
        return;
    const PhraseMatcher::Found found = phrases().find(lowered);
    if ((found[LoveSpace] || found[Ily]) && !firstLove.contains(message.from)
        && Insights::saysLoveYou(lowered))
        firstLove.insert(message.from, message);
    if (found[Haha] || found[Lol] || found[Lmao])
        ++side.laughs;
    if (found[Sorry])
        ++side.sorrys;
    countEmoji(side.emoji, text);
    countWords(side.words, lowered);
}
