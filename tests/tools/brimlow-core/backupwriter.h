#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Writes an iPhone backup folder the way Finder and idevicebackup2 lay it
// out: Info.plist, Status.plist, Manifest.plist and Manifest.db, and every
// file under the SHA-1 of its domain and path. An encrypted backup gets a
// keybag whose class keys are wrapped with the password's key, a wrapped
// manifest key and a key per file; the iteration counts are tiny so tests
// stay fast.
class BackupWriter
{
public:
    enum class Encryption { None, Password };
    // How a file's record holds the bytes of its key: in place, or, as some
    // backups of iOS 10 do, as a reference to an object of its own.
    enum class KeyBytes { InPlace, Referenced };

    struct Device
    {
        QString udid = QStringLiteral("00008030-000A1B2C3D4E5F60");
        QString name = QStringLiteral("Robin's iPhone");
        QString productType = QStringLiteral("iPhone14,2");
        QString version = QStringLiteral("17.4.1");
        QDateTime date = QDateTime(QDate(2024, 5, 31), QTime(10, 20, 30), Qt::UTC);
    };

    BackupWriter(
        const QString &folder, const Device &device, Encryption encryption, const QByteArray &password = {});

    void setKeyBytes(KeyBytes keyBytes) { m_keyBytes = keyBytes; }

    void addFile(const QString &domain, const QString &relativePath, const QByteArray &contents,
        int protectionClass = 3);
    // Writes the manifests; the folder is a complete backup afterwards.
    void finish();

    QString folder() const { return m_folder; }
    static QString fileId(const QString &domain, const QString &relativePath);
    // Where a file lies in the backup.
    QString storedPath(const QString &domain, const QString &relativePath) const;

    // AES key wrap (RFC 3394) and the file encryption of backups.
    static QByteArray wrapKey(const QByteArray &keyEncryptionKey, const QByteArray &key);
    static QByteArray encrypt(const QByteArray &plain, const QByteArray &key);

private:
    struct Entry
    {
        QString domain;
        QString relativePath;
        qint64 size = 0;
        int protectionClass = 0;
        QByteArray wrappedKey;
    };

    QByteArray keybag() const;
    QByteArray fileBlob(const Entry &entry) const;
    void writeManifestDb();
    void writePlists();

    QString m_folder;
    Device m_device;
    Encryption m_encryption;
    KeyBytes m_keyBytes = KeyBytes::InPlace;
    QByteArray m_password;
    QByteArray m_salt;
    QByteArray m_doubleSalt;
    QByteArray m_passcodeKey;
    QList<QByteArray> m_classKeys; // index = protection class - 1
    QByteArray m_manifestKey;
    QList<Entry> m_entries;
};
