#pragma once

#include "model/bookfile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QIODevice;

namespace Brimlow {

// The Wrapped of one book: the share cards with their texts worded, and
// the figures around them. The statistics come from the insights library,
// as the app's moments and special days do, so a card and the moment that
// links to it never disagree. No card quotes a message.
struct WrappedDocument
{
    struct Person
    {
        QString id;
        QString name;
        qint64 messages = 0;
    };

    struct Row
    {
        // A person id.
        QString who;
        QString value;
        // The bar's length, 0 to 1.
        double share = 0;
    };

    struct Card
    {
        QString id;
        QString kind;
        // In capitals.
        QString eyebrow;
        // Texts that name a person hold "{" + id + "}".
        QString big;
        // The number big shows, when it shows one.
        std::optional<qint64> count;
        QString unit;
        QString detail;
        QList<Row> rows;
        std::optional<QString> day;
    };

    struct Month
    {
        // "yyyy-MM".
        QString key;
        qint64 count = 0;
    };

    struct Year
    {
        int year = 0;
        qint64 count = 0;
    };

    bool group = false;
    QString title;
    QList<Person> people;
    qint64 total = 0;
    // "yyyy-MM-dd"; empty without messages.
    QString firstDay;
    QString lastDay;
    QString span;
    // Every month from the first to the last, silent ones with 0.
    QList<Month> months;
    QList<Card> cards;
    QStringList defaultSelection;
    // Every year of the book, also when the document covers one.
    QList<Year> years;
    std::optional<int> year;

    // The document for the whole book, or for the messages of one year.
    // Throws Failure for a year without messages.
    static WrappedDocument make(const BookFile &book, std::optional<int> year = std::nullopt);

    // Compact JSON, keys in the documented order, then a line feed.
    void write(QIODevice &output) const;
};

} // namespace Brimlow
