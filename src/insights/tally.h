#pragma once

#include "insights.h"
#include "messageclock.h"
#include "printedlines.h"

#include <QHash>
#include <QMap>
#include <QStringView>
#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>

// Words are counted by views into the message text: a QString is made only
// for a word not seen before.
struct WordHash
{
    using is_transparent = void;
    // FNV-1a: words are short, and Qt's seeded hash costs more than the lookup.
    size_t operator()(QStringView word) const noexcept
    {
        size_t hash = 14695981039346656037ull;
        for (const QChar c : word)
            hash = (hash ^ c.unicode()) * 1099511628211ull;
        return hash;
    }
};

struct WordEqual
{
    using is_transparent = void;
    bool operator()(QStringView a, QStringView b) const noexcept
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }
};

using WordCounts = std::unordered_map<QString, int, WordHash, WordEqual>;

// What one sender (a from value) did over the whole book.
struct SideTally
{
    int messages = 0;
    // Messages sent between midnight and five.
    int late = 0;
    // Days whose first message this side sent.
    int dayStarts = 0;
    // Messages with "haha", "lol" or "lmao"; at most one per message.
    int laughs = 0;
    int sorrys = 0;
    // Seconds this side took to answer the other.
    QList<double> replyGaps;
    // Kept for every side: a group's Wrapped names each member's word.
    WordCounts words;
    // Per Unicode scalar with the Emoji_Presentation property.
    QHash<char32_t, int> emoji;
};

// The one walk over a book's messages that every insight is made from.
struct Tally
{
    // people name the speakers whose names the book runs in.
    explicit Tally(const QList<BookFile::Person> &people = {});

    // Adds the next message in book order; the message must stay in place
    // until the walk ends.
    void add(const BookFile::Message &message);

    // The side of a from value; "me" and "them" read as empty when absent.
    const SideTally &side(const QString &from) const;

    int total = 0;
    int mine = 0;
    int theirs = 0;
    QList<Insights::DayCount> days;
    // The first message with a text (an empty one counts), else the first.
    std::optional<BookFile::Message> first;
    int photos = 0;
    int voiceMemos = 0;
    // Messages sent between midnight and five.
    int lateCount = 0;
    // Messages per hour of the day as written (hour 12 when it doesn't read).
    std::array<int, 24> hours {};
    std::optional<BookFile::Message> latest;
    int latestMinutes = 0;
    QMap<QString, BookFile::Message> firstLove;
    QHash<QString, SideTally> sides;
    // Every message's text lower-cased (empty without one), for the special
    // days, which test the same texts.
    QStringList loweredTexts;

private:
    // The day's index in days, or -1 when it is new and was just appended.
    int dayIndex(QStringView day);
    // The lines the book prints for a message: a day's heading where the
    // day changes, the message with its speaker's name where that changes,
    // its time there and where its speaker writes again after a long
    // silence.
    // In each layout: the book layout's, and the chat-room layout's, where
    // every message has its time and screen name.
    struct Lines
    {
        int book = 0;
        int chat = 0;
    };
    Lines printedLines(const BookFile::Message &message, const QString &text, QStringView day);
    // How a speaker is set: their side, and the widths of their name as the
    // book layout runs it in and of their screen name.
    struct Speaker
    {
        PrintedLines::Side side = PrintedLines::Side::Theirs;
        double name = 0;
        double screen = 0;
    };
    const Speaker &speaker(const BookFile::Message &message);

    QHash<QString, int> m_dayIndex;
    bool m_firstHasText = false;
    MessageClock m_clock;
    // The message added last; the caller's list outlives the walk.
    const BookFile::Message *m_previous = nullptr;
    // The last message the book prints (one with a text or an attachment).
    const BookFile::Message *m_printed = nullptr;
    // The speakers, by from.
    QHash<QString, Speaker> m_speakers;
    // The previous message's time, once read.
    std::optional<std::optional<qint64>> m_previousTime;
};
