#pragma once

#include "bookfile.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class JsonWriter;
class QIODevice;

// Named only: the records library, which the message tool links too, needs
// no QCoro. make() is built into the app's core, which has it.
namespace QCoro {
template<typename T> class Task;
}

// The Wrapped of one conversation: share-ready statistics, each card with
// its texts already worded. The message tool computes all of it and
// writes the document; the app reads it. Texts may name people as "{" +
// id + "}", which the cards replace by the name the card settings choose.
struct Wrapped
{
    // In the order of the document format; a kind the app doesn't know
    // reads as Other.
    enum class Kind {
        Cover,
        First,
        Love,
        Streak,
        Late,
        Emoji,
        Words,
        Busiest,
        Moment,
        Talks,
        LeftOnRead,
        Crew,
        Superlatives,
        Starter,
        Weekday,
        Hour,
        Silence,
        Other,
    };

    struct Person
    {
        QString id;
        // The full display name.
        QString name;
        int messages = 0;

        static Person fromJson(const QJsonObject &object);
        void write(JsonWriter &json) const;
        friend bool operator==(const Person &, const Person &) = default;
    };

    struct Row
    {
        // A Person's id; one that matches nobody shows no name.
        QString who;
        QString value;
        // The bar's length as a fraction of the row, 0 to 1.
        double share = 0;

        static Row fromJson(const QJsonObject &object);
        void write(JsonWriter &json) const;
        friend bool operator==(const Row &, const Row &) = default;
    };

    struct Card
    {
        QString id;
        Kind kind = Kind::Other;
        QString eyebrow;
        QString big;
        // The number behind big, for counting up while the card animates.
        std::optional<int> count;
        QString unit;
        QString detail;
        QList<Row> rows;
        // A day the card refers to, as the tool writes it.
        std::optional<QString> day;

        static Card fromJson(const QJsonObject &object);
        void write(JsonWriter &json) const;
        friend bool operator==(const Card &, const Card &) = default;
    };

    struct Month
    {
        QString key;
        int count = 0;

        static Month fromJson(const QJsonObject &object);
        void write(JsonWriter &json) const;
        friend bool operator==(const Month &, const Month &) = default;
    };

    struct Year
    {
        int year = 0;
        int count = 0;

        static Year fromJson(const QJsonObject &object);
        void write(JsonWriter &json) const;
        friend bool operator==(const Year &, const Year &) = default;
    };

    bool group = false;
    QString title;
    QList<Person> people;
    int total = 0;
    QString firstDay;
    QString lastDay;
    // The length of the period, worded ("2 years, 3 months").
    QString span;
    QList<Month> months;
    QList<Card> cards;
    QStringList defaultSelection;
    // The calendar years of the whole conversation.
    QList<Year> years;
    // The year the document was limited to.
    std::optional<int> year;

    // The kind's text in the document, and back.
    static QString kindName(Kind kind);
    static Kind kindNamed(const QString &name);

    // Strict: a required key missing, null or mistyped throws JsonError.
    static Wrapped fromJson(const QByteArray &bytes);
    static Wrapped fromJson(const QJsonObject &object);
    // Compact, keys in the order of the format, optional parts left out
    // when absent; what fromJson reads back as the same document.
    void write(JsonWriter &json) const;
    // False when the device took not all of it.
    bool write(QIODevice &device) const;

    // Runs the message tool over the whole book, or one calendar year of
    // it. Throws Helpers::Failure when the tool fails, JsonError when its
    // answer doesn't read. The app's alone: the tool makes the document
    // itself.
    static QCoro::Task<Wrapped> make(BookFile book, std::optional<int> year = std::nullopt);

    // The first person with the id, or null.
    const Person *person(const QString &id) const;
    // The first card with the id, or null.
    const Card *card(const QString &id) const;
};
