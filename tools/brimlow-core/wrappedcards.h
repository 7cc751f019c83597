#pragma once

#include "insights/moments.h"
#include "insights/tally.h"
#include "model/bookfile.h"
#include "model/wrapped.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace Brimlow {

// The cards of a Wrapped, made from one walk over the messages it covers.
// The definitions are the insights' own (runs, the busiest day, late
// nights, reply gaps, first "I love you", words, emoji, special days), so
// that every card the wizard links to shows the wizard's figure.
class WrappedCards
{
public:
    using Card = Wrapped::Card;
    using Row = Wrapped::Row;

    // messages must outlive this value (the tally points into them).
    WrappedCards(const BookFile &book, const QList<BookFile::Message> &messages, std::optional<int> year);

    // A day key "yyyy-MM-dd" that names a calendar day; nothing else reads.
    static std::optional<QDate> date(QStringView day);

    const Tally &tally() const { return m_tally; }
    // The first and last day that read as dates; empty without them.
    QString firstDay() const { return m_firstDay; }
    QString lastDay() const { return m_lastDay; }
    // More than one person besides the user.
    bool isGroup() const { return m_group; }

    // In document order, each only when its figures are there.
    QList<Card> cards() const;
    // The cards shown first, of those made.
    static QStringList defaultSelection(const QList<Card> &cards, bool group);

private:
    // A figure of one person, for ranked rows.
    struct Figure
    {
        QString who;
        double value = 0;
        QString text;
    };
    enum class Rank { MostFirst, FewestFirst, AsGiven };

    std::optional<Card> cover() const;
    std::optional<Card> talks() const;
    std::optional<Card> first() const;
    std::optional<Card> love() const;
    std::optional<Card> streak() const;
    std::optional<Card> silence() const;
    std::optional<Card> busiest() const;
    std::optional<Card> late() const;
    std::optional<Card> leftOnRead() const;
    std::optional<Card> starter() const;
    std::optional<Card> emoji() const;
    std::optional<Card> words() const;
    std::optional<Card> weekday() const;
    std::optional<Card> hour() const;
    std::optional<Card> crew() const;
    std::optional<Card> superlatives() const;
    QList<Card> moments() const;

    // A sender as a card names it: the person's placeholder, or the sender
    // text itself when no person has that id.
    QString who(const QString &from) const;
    // One figure per person whose value is above 0, in book order.
    QList<Figure> figures(const std::function<double(const SideTally &)> &value,
        const std::function<QString(double)> &text) const;
    static QList<Row> rows(QList<Figure> figures, Rank rank);
    // Persons with their median reply gap, for those who have one.
    QList<Figure> replyMedians() const;

    const BookFile &m_book;
    const QList<BookFile::Message> &m_messages;
    std::optional<int> m_year;
    Tally m_tally;
    Moments::Runs m_runs;
    // Distinct person ids in book order.
    QStringList m_persons;
    bool m_group = false;
    QString m_firstDay;
    QString m_lastDay;
};

} // namespace Brimlow
