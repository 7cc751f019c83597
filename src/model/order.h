#pragma once

#include <QHashFunctions>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The print order choices. A default-constructed Order is the one a new
// book starts with; a stored order must carry every required key.
struct Order
{
    // A moment picked for an add-on.
    struct MomentPick
    {
        QString addon;
        QString day;
        QString title;

        static MomentPick fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const MomentPick &, const MomentPick &) = default;
    };

    QString binding = QStringLiteral("paperback");
    QString shipping = QStringLiteral("economy");
    QString recipient = QStringLiteral("me");
    std::optional<QStringList> addons;
    std::optional<QList<MomentPick>> moments;

    static Order fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    friend bool operator==(const Order &, const Order &) = default;
};

size_t qHash(const Order::MomentPick &pick, size_t seed = 0) noexcept;
