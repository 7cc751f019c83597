#pragma once

#include "celebration.h"
#include "model/bookfile.h"
#include "pagemodel.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

// The statistical reading of one book: who sent how much, messages and
// printed lines per day, the moment cards, the receipt page, emoji and the
// special days. read() is pure and may run on any thread; nothing is
// cached. The range operations (page estimates and suggestions) work from
// days and firstLove alone, so a value made by hand serves them too.
struct Insights
{
    struct DayCount
    {
        // The day key, "yyyy-MM-dd".
        QString iso;
        // Messages that day.
        int count = 0;
        // Printed lines that day: the day's heading and its messages as the
        // book layout sets them, and as the chat-room layout does.
        int lines = 0;
        int chatLines = 0;
    };

    // A short card such as who texted first or the longest streak.
    struct Moment
    {
        QString id;
        // A symbol image name.
        QString symbol;
        QString title;
        QString detail;
        // The day the card points to.
        std::optional<QString> day;
        // The message the card points to.
        std::optional<QString> messageID;
    };

    // A stretch of the conversation worth proposing as a book.
    struct Suggestion
    {
        QString id;
        QString symbol;
        QString title;
        QString detail;
        // First and last day key of the range.
        QString from;
        QString to;
    };

    int total = 0;
    // Messages from "me".
    int mine = 0;
    int theirs = 0;
    // One entry per day with messages, in the order each day first occurs.
    QList<DayCount> days;
    // In a fixed order, never sorted.
    QList<Moment> moments;
    // Per sender (from), that sender's first message that says "I love you".
    QMap<QString, BookFile::Message> firstLove;
    // The receipt page: label and value per line.
    QList<QStringList> receiptLines;
    // The other party's name; "Them" when no one else is in the book.
    QString them;
    // Clock time of the latest message between midnight and five, "1:07 AM".
    std::optional<QString> latestNight;
    // The five most used emoji, most used first.
    QStringList topEmoji;
    QList<Celebration> celebrations;

    // Reads people and messages only; edits are not applied.
    static Insights read(const BookFile &book);

    // A message time, "yyyy-MM-dd'T'HH:mm:ss" in the local time zone;
    // nullopt when it does not read.
    static std::optional<QDateTime> time(const QString &at);
    // Whether a lower-cased text says "I love you" (not "love you guys").
    static bool saysLoveYou(const QString &lowered);
    // "1 photo", "3 voice memos", with the locale's grouping; nullopt for 0.
    static std::optional<QString> count(qint64 n, const QString &noun);
    // The upper middle of at least 20 values; nullopt for fewer.
    static std::optional<double> median(QList<double> values);
    // Whether two median reply gaps are too close to call one faster:
    // apart by at most 12 % of the slower, or by two seconds.
    static bool sameReplySpeed(double first, double second);
    // "45 seconds", "12 minutes", "2.5 hours" or "no time".
    static QString duration(double seconds);
    // A month key "yyyy-MM" as month name and year ("March 2021"); the key
    // itself when it does not read.
    static QString monthName(const QString &month);
    // Words too common to say anything about who wrote them.
    static const QSet<QString> &stopWords();

    // Estimated printed pages of the days from..to (day keys, inclusive) in
    // a book of that page model; 0 when no day falls in the range. The
    // model has no default here or below: a stretch counted in a look the
    // book doesn't have is off by its chapters and front matter.
    int estimatedPages(const QString &from, const QString &to, const PageModel &model) const;
    // Messages on the days from..to, inclusive.
    int messages(const QString &from, const QString &to) const;
    // The last day, walking from the start day on, before the estimate
    // exceeds the page budget; from itself when even the first day does.
    QString lastDayFitting(const QString &from, int pages, const PageModel &model) const;
    // The printed page a message of day lands on in a book that starts on
    // from: the pins of earlier days count, the day's own don't (they are
    // what is being weighed); 1 for a day before the start.
    int landingPage(const QString &from, const QString &day, const PageModel &model) const;
    // A pin of a stretch, with the page its day would begin on by itself:
    // where the blank pages of the pins before it leave it.
    struct PinLanding
    {
        PageModel::Pin pin;
        int natural = 0;
    };
    // The pins of the model on the days from..to, in book order.
    QList<PinLanding> pinLandings(const QString &from, const QString &to, const PageModel &model) const;
    // How much of from..to one book of the page budget holds, in words:
    // "all of it" or "about 3 months"; empty when the days do not read.
    QString bookSpan(const QString &from, const QString &to, int pages, const PageModel &model) const;
    // Suggested ranges in the order to show them; today is a day key.
    QList<Suggestion> suggestions(const QString &today) const;
};
