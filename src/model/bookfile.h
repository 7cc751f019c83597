#pragma once

#include "design.h"
#include "edits.h"
#include "order.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The book document, book.json: the messages as the message tool exported
// them, the user's edits, the book's look, the order choices and a few
// figures. Reading is strict and fills in nothing; unknown keys are
// dropped. No equality: other code compares its parts.
struct BookFile
{
    struct Front
    {
        QString title;
        // The line under the title.
        QString colophon;
        // One string per line; may be empty.
        QStringList dedication;
        // Whether the user wrote the line under the title; stored only when
        // true. Without it the line is the years of the book (Colophon).
        bool colophonTyped = false;

        static Front fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
    };

    struct Person
    {
        // The sender identifier that messages' from refers to.
        QString id;
        QString name;
        // True for the user's own side.
        bool me = false;

        static Person fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
    };

    struct Message
    {
        QString id;
        // "yyyy-MM-dd'T'HH:mm:ss"; its first ten characters are the day.
        QString at;
        QString from;
        std::optional<QString> who;
        std::optional<QString> text;
        // One kind word per attachment: "photo", "video", "voice memo", ...
        std::optional<QStringList> media;
        // File paths of the message's photos.
        std::optional<QStringList> photos;

        // The day key the message falls on.
        QString day() const { return at.left(10); }

        static Message fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
    };

    // Figures of the message tool, kept as read.
    struct Stats
    {
        int messages = 0;
        std::optional<QString> first;
        std::optional<QString> last;

        static Stats fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
    };

    // How the reader writes dates: date patterns of the user's locale
    // (BookDates), which the templates follow with English words. Without
    // them a book prints dates as a US English reader writes them.
    struct Dates
    {
        // Weekday, day and month: the heading of a day.
        QString day;
        // Day, month and year: running heads, the receipt, the covers.
        QString date;
        // Month and year: a month's chapter in a book of several years.
        QString month;
        // Hour and minute: a message's time.
        QString time;

        static Dates fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const Dates &, const Dates &) = default;
    };

    int format = 0;
    QString style;
    Front front;
    QList<Person> people;
    // In the order the message tool wrote them; the book keeps it.
    QList<Message> messages;
    Edits edits;
    // Absent until the user chose a look; its absence sends a book into the wizard.
    std::optional<Design> design;
    std::optional<Order> order;
    std::optional<Stats> stats;
    std::optional<Dates> dates;

    // Both throw JsonError when anything required is missing or mistyped.
    static BookFile fromJson(const QByteArray &bytes);
    static BookFile fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    // Compact JSON, "/" unescaped, as book.json is written.
    QByteArray toJsonBytes() const;
};
