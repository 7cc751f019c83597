#pragma once

#include <QHashFunctions>
#include <QString>
#include <optional>

// A special day found in the messages (a birthday, an anniversary, a
// holiday, a milestone or a trip), with a window of days around it that a
// book of that day would cover.
struct Celebration
{
    enum class Kind { Birthday, Anniversary, Holiday, Milestone, Trip };

    // Stable key of the special day.
    QString id;
    Kind kind = Kind::Birthday;
    QString emoji;
    QString title;
    QString detail;
    // The day it happened, "yyyy-MM-dd".
    QString day;
    // First and last day of the suggested window.
    QString from;
    QString to;
    // The message that marks it.
    std::optional<QString> messageID;

    // "birthday", "anniversary", "holiday", "milestone" or "trip".
    static QString kindName(Kind kind);

    friend bool operator==(const Celebration &, const Celebration &) = default;
};

size_t qHash(const Celebration &celebration, size_t seed = 0);
