#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class JsonWriter;

namespace Brimlow {

class Plist;

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
    // What the Manifest.plist, Info.plist and Status.plist of the backup in
    // a folder say of it, without looking for its files (messages false,
    // whatsapp unset); nullopt when the manifest is no backup's.
    static std::optional<BackupInfo> fromPropertyLists(
        const QString &folder, const Plist &manifest, const Plist &info, const Plist &status);

    // The backups directly inside a folder, newest first.
    static QList<BackupInfo> listIn(const QString &parent);

    // Where backups are looked for when no folder is named, in this order:
    // the app's own folder of them, the folder idevicebackup2 is usually
    // pointed at, and a Mac's folder copied over with the home folder.
    static QStringList defaultFolders();

    void write(JsonWriter &json) const;
};

} // namespace Brimlow
