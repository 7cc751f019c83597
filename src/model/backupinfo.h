#pragma once

#include <QHashFunctions>
#include <QJsonObject>
#include <QString>
#include <optional>

// One iPhone backup as the message tool's "backups" answer describes it.
struct BackupInfo
{
    QString path;
    // The device identifier: the id of the source made from the backup.
    QString udid;
    // The device's name; becomes the source's name.
    QString device;
    std::optional<QString> model;
    std::optional<QString> ios;
    // An ISO 8601 internet date-time with time zone.
    std::optional<QString> date;
    bool encrypted = false;
    // The backup holds a messages database.
    bool messages = false;
    std::optional<bool> whatsapp;

    // The date for display, abbreviated date and short time in the user's
    // locale and time zone; "Date unknown" without a valid date-time.
    QString when() const;

    static BackupInfo fromJson(const QJsonObject &object);
    friend bool operator==(const BackupInfo &, const BackupInfo &) = default;
};

size_t qHash(const BackupInfo &info, size_t seed = 0) noexcept;
