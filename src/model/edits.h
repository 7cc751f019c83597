#pragma once

#include <QHashFunctions>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The user's changes to a book. Every field is optional: absent means no
// edits of that kind, and an empty object is a valid Edits. Edits itself
// has no equality; its parts do.
struct Edits
{
    // The stretch of days the book covers; an absent end leaves it open.
    struct DayRange
    {
        std::optional<QString> from;
        std::optional<QString> to;

        static DayRange fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const DayRange &, const DayRange &) = default;
    };

    // Bold on one message: the phrase within it, or the whole message.
    struct Emphasis
    {
        QString id;
        std::optional<QString> phrase;

        static Emphasis fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const Emphasis &, const Emphasis &) = default;
    };

    // A chapter the user started at the message start.
    struct ChapterBreak
    {
        QString start;
        QString title;

        static ChapterBreak fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const ChapterBreak &, const ChapterBreak &) = default;
    };

    // A page added before the message before.
    struct Insert
    {
        QString before;
        QString kind;
        std::optional<QString> text;

        static Insert fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const Insert &, const Insert &) = default;
    };

    // A message pinned to the page asked for.
    struct Pin
    {
        QString id;
        int page = 0;

        static Pin fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const Pin &, const Pin &) = default;
    };

    std::optional<DayRange> range;
    std::optional<QStringList> hidden;
    // Replacement text by message id.
    std::optional<QMap<QString, QString>> text;
    std::optional<QList<Emphasis>> emphasis;
    std::optional<QStringList> words;
    std::optional<QList<ChapterBreak>> chapters;
    std::optional<QList<Insert>> inserts;
    std::optional<QList<Pin>> pins;

    static Edits fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
};

size_t qHash(const Edits::Emphasis &emphasis, size_t seed = 0) noexcept;
size_t qHash(const Edits::ChapterBreak &chapter, size_t seed = 0) noexcept;
size_t qHash(const Edits::Insert &insert, size_t seed = 0) noexcept;
size_t qHash(const Edits::Pin &pin, size_t seed = 0) noexcept;
