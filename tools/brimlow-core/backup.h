#pragma once

#include "keybag.h"
#include "plist.h"

#include <QString>
#include <memory>
#include <optional>

namespace Brimlow {

class SqliteDatabase;

// One iPhone backup folder, made by Finder or idevicebackup2: files stored
// under the SHA-1 of their domain and path, listed in Manifest.db, and for
// an encrypted backup each encrypted with its own key.
class Backup
{
public:
    // Throws Failure when the folder is no backup or its manifest is damaged.
    explicit Backup(const QString &folder);
    // The backup whose Manifest.plist is already read, its other files in
    // folder; throws Failure when the manifest is damaged.
    Backup(const QString &folder, Plist manifest);
    ~Backup();

    Backup(const Backup &) = delete;
    Backup &operator=(const Backup &) = delete;

    static QString fileId(const QString &domain, const QString &relativePath);
    static QString messagesDomain() { return QStringLiteral("HomeDomain"); }
    static QString messagesPath() { return QStringLiteral("Library/SMS/sms.db"); }

    // What Manifest.db records of one file in its "file" column, an
    // NSKeyedArchiver property list; nullopt when it archives no object.
    struct FileRecord
    {
        int protectionClass = 0;
        QByteArray wrappedKey;
        qint64 size = 0;
    };
    static std::optional<FileRecord> readFileRecord(const QByteArray &bytes);

    QString folder() const { return m_folder; }
    bool isEncrypted() const { return m_encrypted; }

    // Throws Failure for a wrong password.
    void unlockWithPassword(const QByteArray &password);
    // The key that an earlier unlock printed; throws Failure when it no
    // longer opens the backup.
    void unlockWithKey(const QString &key);
    // The key that opens this backup again without the password, as text.
    QString key() const;

    // Writes one file of the backup, decrypted, to destination (atomically).
    // False when the backup does not hold it; throws Failure when it is
    // damaged or cannot be written.
    bool extract(const QString &domain, const QString &relativePath, const QString &destination);

private:
    struct Record
    {
        QString fileId;
        FileRecord file;
    };

    void readManifest(Plist manifest);
    void unlockWith(const QByteArray &passcodeKey);
    void openManifestDatabase();
    std::optional<Record> lookup(const QString &domain, const QString &relativePath);
    QString storedPath(const QString &fileId) const;

    QString m_folder;
    Plist m_manifest;
    bool m_encrypted = false;
    std::optional<Keybag> m_keybag;
    QByteArray m_passcodeKey;
    bool m_unlocked = false;
    std::unique_ptr<SqliteDatabase> m_files;
};

} // namespace Brimlow
