#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The book's look. A default-constructed Design is the look a new book
// starts with; reading never fills defaults: a stored design carries every
// required key or fails to read.
struct Design
{
    struct Cover
    {
        // A cover in the user's own colours ("#rrggbb") and type.
        struct Custom
        {
            QString background = QStringLiteral("#6b1f24");
            QString ink = QStringLiteral("#efe6d2");
            QString font = QStringLiteral("garamond");
            QString position = QStringLiteral("middle");

            static Custom fromJson(const QJsonObject &object);
            QJsonObject toJson() const;
            friend bool operator==(const Custom &, const Custom &) = default;
        };

        QString style = QStringLiteral("cloth");
        QString color = QStringLiteral("oxblood");
        std::optional<QString> image;
        std::optional<QString> fit;
        std::optional<Custom> custom;

        static Cover fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const Cover &, const Cover &) = default;
    };

    QString font = QStringLiteral("pagella");
    QString chapters = QStringLiteral("month");
    bool receipt = true;
    // Label and value pairs of the receipt page, one inner list per line.
    std::optional<QList<QStringList>> receiptLines;
    std::optional<bool> colourCoding;
    std::optional<QString> layout;
    Cover cover;

    static Design fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    friend bool operator==(const Design &, const Design &) = default;
};
