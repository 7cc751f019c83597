#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class JsonWriter;

namespace Brimlow {

// One iPhone backup as "backups" describes it.
struct BackupInfo
{
    QString path;
    QString udid;
    QString device;
    std::optional<QString> model;
    std::optional<QString> ios;
    std::optional<QString> date; // ISO 8601, UTC, to the second
    bool encrypted = false;
    bool messages = false;
    std::optional<bool> whatsapp;

    // The backup in a folder, or nullopt when the folder holds none.
    static std::optional<BackupInfo> read(const QString &folder);

    // The backups directly inside a folder, newest first.
    static QList<BackupInfo> listIn(const QString &parent);

    // Where backups are looked for when no folder is named, in this order:
    // the app's own folder of them, the folder idevicebackup2 is usually
    // pointed at, and a Mac's folder copied over with the home folder.
    static QStringList defaultFolders();

    void write(JsonWriter &json) const;
};

} // namespace Brimlow
