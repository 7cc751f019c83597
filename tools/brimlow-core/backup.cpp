#include "backup.h"

#include "backupcrypto.h"
#include "failure.h"
#include "keyedarchive.h"
#include "sqlitedatabase.h"
#include "sqlitestatement.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtEndian>

namespace Brimlow {

namespace {

Failure damaged()
{
    return Failure(QStringLiteral("The backup is damaged: its list of files can't be read."));
}

} // namespace

Backup::Backup(const QString &folder)
    : m_folder(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
{
    const QString manifest = QDir(m_folder).filePath(QStringLiteral("Manifest.plist"));
    if (!QFileInfo(m_folder).isDir() || !QFileInfo::exists(manifest))
        throw Failure(QStringLiteral("That folder isn't an iPhone backup."));
    readManifest(Plist::fromFile(manifest));
}

Backup::Backup(const QString &folder, Plist manifest)
    : m_folder(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
{
    readManifest(std::move(manifest));
}

void Backup::readManifest(Plist manifest)
{
    m_manifest = std::move(manifest);
    if (m_manifest.isNull())
        throw Failure(QStringLiteral("The backup is damaged: its Manifest.plist can't be read."));
    m_encrypted = Plist::boolean(Plist::item(m_manifest.root(), "IsEncrypted")).value_or(false);
    if (m_encrypted) {
        const auto bag = Plist::data(Plist::item(m_manifest.root(), "BackupKeyBag"));
        if (bag)
            m_keybag = Keybag::parse(*bag);
        if (!m_keybag)
            throw Failure(QStringLiteral("The backup is damaged: its keys can't be read."));
    }
}

Backup::~Backup() = default;

std::optional<Backup::FileRecord> Backup::readFileRecord(const QByteArray &bytes)
{
    const KeyedArchive archive(bytes);
    const plist_t file = archive.root();
    if (!file)
        return std::nullopt;
    FileRecord record;
    record.protectionClass = int(Plist::integer(archive.member(file, "ProtectionClass")).value_or(0));
    record.size = Plist::integer(archive.member(file, "Size")).value_or(0);
    // The key is an NSData object, its bytes in "NS.data" (some iOS 10
    // backups refer to them there too), or the bytes themselves.
    const plist_t key = archive.member(file, "EncryptionKey");
    auto data = Plist::data(archive.member(key, "NS.data"));
    if (!data)
        data = Plist::data(key);
    if (data)
        record.wrappedKey = *data;
    return record;
}

QString Backup::fileId(const QString &domain, const QString &relativePath)
{
    const QByteArray name = (domain + QLatin1Char('-') + relativePath).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex());
}

void Backup::unlockWithPassword(const QByteArray &password)
{
    if (!m_encrypted)
        return;
    const QByteArray key = m_keybag->passcodeKey(password);
    if (key.isEmpty() || !m_keybag->unlock(key))
        throw Failure(QStringLiteral("That password didn't unlock the backup. Check it and try again."));
    unlockWith(key);
}

void Backup::unlockWithKey(const QString &key)
{
    if (!m_encrypted)
        return;
    const QByteArray hex = key.trimmed().toLatin1();
    const QByteArray bytes = QByteArray::fromHex(hex);
    if (hex.size() != 64 || bytes.size() != 32 || bytes.toHex() != hex.toLower() || !m_keybag->unlock(bytes))
        throw Failure(
            QStringLiteral("The saved key doesn't unlock this backup anymore. Remove the backup and add it "
                           "again with its password."));
    unlockWith(bytes);
}

void Backup::unlockWith(const QByteArray &passcodeKey)
{
    m_passcodeKey = passcodeKey;
    m_unlocked = true;
}

QString Backup::key() const
{
    return QString::fromLatin1(m_passcodeKey.toHex());
}

QString Backup::storedPath(const QString &fileId) const
{
    const QDir dir(m_folder);
    const QString hashed = dir.filePath(fileId.left(2) + QLatin1Char('/') + fileId);
    if (QFileInfo(hashed).isFile())
        return hashed;
    // Backups of iOS 9 and earlier keep every file at the top.
    const QString flat = dir.filePath(fileId);
    return QFileInfo(flat).isFile() ? flat : QString();
}

void Backup::openManifestDatabase()
{
    if (m_files)
        return;
    const QString path = QDir(m_folder).filePath(QStringLiteral("Manifest.db"));
    if (!QFileInfo(path).isFile()) {
        if (m_encrypted)
            throw Failure(QStringLiteral("This backup was made by an iOS version that's too old to read."));
        return; // plain old backups are read by hashed name alone
    }
    try {
        if (!m_encrypted) {
            m_files = std::make_unique<SqliteDatabase>(SqliteDatabase::openForReading(path));
            return;
        }
        if (!m_unlocked)
            throw Failure(QStringLiteral("This backup is encrypted. Enter its password to unlock it."));
        const auto manifestKey = Plist::data(Plist::item(m_manifest.root(), "ManifestKey"));
        if (!manifestKey || manifestKey->size() < 4 + 40)
            throw damaged();
        const int protectionClass = int(qFromLittleEndian<quint32>(manifestKey->constData()));
        const auto key = m_keybag->unwrap(protectionClass, manifestKey->mid(4));
        if (!key)
            throw damaged();
        // Decrypted in memory only: a copy in a file would outlive a run
        // that is killed.
        QFile source(path);
        QByteArray plain;
        QBuffer destination(&plain);
        if (!source.open(QIODevice::ReadOnly) || !destination.open(QIODevice::WriteOnly))
            throw damaged();
        if (!BackupCrypto::decryptFile(source, destination, *key, 0))
            throw damaged();
        destination.close();
        m_files = std::make_unique<SqliteDatabase>(SqliteDatabase::fromImage(std::move(plain)));
    } catch (const SqliteDatabase::Error &) {
        throw damaged();
    }
}

std::optional<Backup::Record> Backup::lookup(const QString &domain, const QString &relativePath)
{
    openManifestDatabase();
    if (!m_files) {
        const QString id = fileId(domain, relativePath);
        if (storedPath(id).isEmpty())
            return std::nullopt;
        return Record { id, {} };
    }
    try {
        SqliteStatement query(
            *m_files, "SELECT fileID, file FROM Files WHERE domain = ? AND relativePath = ?");
        query.bind(1, domain);
        query.bind(2, relativePath);
        if (!query.next())
            return std::nullopt;
        Record record;
        record.fileId = query.text(0);
        static const QRegularExpression sha1(QStringLiteral("^[0-9a-f]{40}$"));
        if (!sha1.match(record.fileId).hasMatch())
            throw damaged();
        if (auto file = readFileRecord(query.blob(1)))
            record.file = std::move(*file);
        return record;
    } catch (const SqliteDatabase::Error &) {
        throw damaged();
    }
}

bool Backup::extract(const QString &domain, const QString &relativePath, const QString &destination)
{
    const auto record = lookup(domain, relativePath);
    if (!record)
        return false;
    const QString stored = storedPath(record->fileId);
    if (stored.isEmpty())
        return false;
    QFile source(stored);
    if (!source.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The backup's file %1 can't be read.").arg(relativePath));
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        throw Failure(QStringLiteral("%1 can't be written: %2").arg(destination, out.errorString()));
    if (m_encrypted) {
        const FileRecord &file = record->file;
        if (file.wrappedKey.size() < 4 + 40)
            throw Failure(QStringLiteral("The backup is damaged: %1 has no key.").arg(relativePath));
        const int protectionClass = file.protectionClass
            ? file.protectionClass
            : int(qFromLittleEndian<quint32>(file.wrappedKey.constData()));
        const auto key = m_keybag->unwrap(protectionClass, file.wrappedKey.mid(4));
        if (!key || !BackupCrypto::decryptFile(source, out, *key, file.size))
            throw Failure(QStringLiteral("The backup is damaged: %1 can't be decrypted.").arg(relativePath));
    } else {
        while (!source.atEnd()) {
            const QByteArray chunk = source.read(1 << 20);
            if (chunk.isEmpty() || out.write(chunk) != chunk.size())
                throw Failure(QStringLiteral("The backup's file %1 can't be copied.").arg(relativePath));
        }
    }
    if (!out.commit())
        throw Failure(QStringLiteral("%1 can't be written: %2").arg(destination, out.errorString()));
    return true;
}

} // namespace Brimlow
