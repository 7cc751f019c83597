#include "backupwriter.h"

#include "sqlitedatabase.h"
#include "sqlitestatement.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdlib>
#include <openssl/evp.h>
#include <plist/plist.h>

namespace {

constexpr int Iterations = 10;
constexpr int ClassCount = 11;

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

QByteArray tlv(const char *tag, const QByteArray &value)
{
    char length[4];
    qToBigEndian<quint32>(quint32(value.size()), length);
    return QByteArray(tag, 4) + QByteArray(length, 4) + value;
}

QByteArray tlv(const char *tag, quint32 number)
{
    char value[4];
    qToBigEndian<quint32>(number, value);
    return tlv(tag, QByteArray(value, 4));
}

QByteArray littleEndianClass(int protectionClass)
{
    char value[4];
    qToLittleEndian<quint32>(quint32(protectionClass), value);
    return QByteArray(value, 4);
}

QByteArray toBinary(plist_t root)
{
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    QByteArray data(bytes, length);
    plist_to_bin_free(bytes);
    plist_free(root);
    return data;
}

QByteArray toXml(plist_t root)
{
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &bytes, &length);
    QByteArray data(bytes, length);
    plist_to_xml_free(bytes);
    plist_free(root);
    return data;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

plist_t string(const QString &text)
{
    return plist_new_string(text.toUtf8().constData());
}

plist_t date(const QDateTime &at)
{
    return plist_new_date(int32_t(at.toSecsSinceEpoch() - 978307200), 0);
}

} // namespace

BackupWriter::BackupWriter(
    const QString &folder, const Device &device, Encryption encryption, const QByteArray &password)
    : m_folder(folder)
    , m_device(device)
    , m_encryption(encryption)
    , m_password(password)
{
    QDir().mkpath(folder);
    if (encryption == Encryption::None)
        return;
    m_salt = randomBytes(20);
    m_doubleSalt = randomBytes(20);
    // The password's key: PBKDF2-SHA256 over the second salt, then
    // PBKDF2-SHA1 over the first.
    QByteArray first(32, '\0');
    PKCS5_PBKDF2_HMAC(password.constData(), int(password.size()),
        reinterpret_cast<const unsigned char *>(m_doubleSalt.constData()), int(m_doubleSalt.size()),
        Iterations, EVP_sha256(), 32, reinterpret_cast<unsigned char *>(first.data()));
    m_passcodeKey = QByteArray(32, '\0');
    PKCS5_PBKDF2_HMAC(first.constData(), 32, reinterpret_cast<const unsigned char *>(m_salt.constData()),
        int(m_salt.size()), Iterations, EVP_sha1(), 32,
        reinterpret_cast<unsigned char *>(m_passcodeKey.data()));
    for (int i = 0; i < ClassCount; ++i)
        m_classKeys.append(randomBytes(32));
    m_manifestKey = randomBytes(32);
}

QString BackupWriter::fileId(const QString &domain, const QString &relativePath)
{
    return QString::fromLatin1(QCryptographicHash::hash(
        (domain + QLatin1Char('-') + relativePath).toUtf8(), QCryptographicHash::Sha1)
                                   .toHex());
}

QString BackupWriter::storedPath(const QString &domain, const QString &relativePath) const
{
    const QString id = fileId(domain, relativePath);
    return QDir(m_folder).filePath(id.left(2) + QLatin1Char('/') + id);
}

QByteArray BackupWriter::wrapKey(const QByteArray &keyEncryptionKey, const QByteArray &key)
{
    EVP_CIPHER_CTX *context = EVP_CIPHER_CTX_new();
    EVP_CIPHER_CTX_set_flags(context, EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
    EVP_EncryptInit_ex(context, EVP_aes_256_wrap(), nullptr,
        reinterpret_cast<const unsigned char *>(keyEncryptionKey.constData()), nullptr);
    QByteArray wrapped(key.size() + 8, '\0');
    int length = 0;
    EVP_EncryptUpdate(context, reinterpret_cast<unsigned char *>(wrapped.data()), &length,
        reinterpret_cast<const unsigned char *>(key.constData()), int(key.size()));
    int last = 0;
    EVP_EncryptFinal_ex(context, reinterpret_cast<unsigned char *>(wrapped.data()) + length, &last);
    EVP_CIPHER_CTX_free(context);
    wrapped.resize(length + last);
    return wrapped;
}

QByteArray BackupWriter::encrypt(const QByteArray &plain, const QByteArray &key)
{
    EVP_CIPHER_CTX *context = EVP_CIPHER_CTX_new();
    const unsigned char zero[16] = {};
    EVP_EncryptInit_ex(
        context, EVP_aes_256_cbc(), nullptr, reinterpret_cast<const unsigned char *>(key.constData()), zero);
    QByteArray out(plain.size() + 16, '\0');
    int length = 0;
    EVP_EncryptUpdate(context, reinterpret_cast<unsigned char *>(out.data()), &length,
        reinterpret_cast<const unsigned char *>(plain.constData()), int(plain.size()));
    int last = 0;
    EVP_EncryptFinal_ex(context, reinterpret_cast<unsigned char *>(out.data()) + length, &last);
    EVP_CIPHER_CTX_free(context);
    out.resize(length + last);
    return out;
}

void BackupWriter::addFile(
    const QString &domain, const QString &relativePath, const QByteArray &contents, int protectionClass)
{
    Entry entry { domain, relativePath, contents.size(), protectionClass, {} };
    QByteArray stored = contents;
    if (m_encryption == Encryption::Password) {
        const QByteArray fileKey = randomBytes(32);
        entry.wrappedKey
            = littleEndianClass(protectionClass) + wrapKey(m_classKeys.at(protectionClass - 1), fileKey);
        stored = encrypt(contents, fileKey);
    }
    writeFile(storedPath(domain, relativePath), stored);
    m_entries.append(entry);
}

QByteArray BackupWriter::keybag() const
{
    QByteArray bag = tlv("VERS", 4) + tlv("TYPE", 1) + tlv("UUID", randomBytes(16))
        + tlv("HMCK", randomBytes(40)) + tlv("WRAP", 0) + tlv("SALT", m_salt) + tlv("ITER", Iterations)
        + tlv("DPWT", 1) + tlv("DPIC", Iterations) + tlv("DPSL", m_doubleSalt);
    for (int i = 0; i < ClassCount; ++i) {
        bag += tlv("UUID", randomBytes(16)) + tlv("CLAS", quint32(i + 1)) + tlv("WRAP", 2) + tlv("KTYP", 0)
            + tlv("WPKY", wrapKey(m_passcodeKey, m_classKeys.at(i)));
    }
    return bag;
}

// An MBFile archived with NSKeyedArchiver, as Manifest.db's "file" column
// holds it.
QByteArray BackupWriter::fileBlob(const Entry &entry) const
{
    plist_t file = plist_new_dict();
    plist_dict_set_item(file, "$class", plist_new_uid(3));
    plist_dict_set_item(file, "RelativePath", plist_new_uid(2));
    plist_dict_set_item(file, "Size", plist_new_uint(uint64_t(entry.size)));
    plist_dict_set_item(file, "Mode", plist_new_uint(33188));
    plist_dict_set_item(file, "Flags", plist_new_uint(0));
    plist_dict_set_item(file, "ProtectionClass", plist_new_uint(uint64_t(entry.protectionClass)));
    plist_t classInfo = plist_new_dict();
    plist_dict_set_item(classInfo, "$classname", plist_new_string("MBFile"));
    plist_t classes = plist_new_array();
    plist_array_append_item(classes, plist_new_string("MBFile"));
    plist_array_append_item(classes, plist_new_string("NSObject"));
    plist_dict_set_item(classInfo, "$classes", classes);

    plist_t objects = plist_new_array();
    plist_array_append_item(objects, plist_new_string("$null"));
    plist_array_append_item(objects, file);
    plist_array_append_item(objects, string(entry.relativePath));
    plist_array_append_item(objects, classInfo);
    if (!entry.wrappedKey.isEmpty()) {
        plist_dict_set_item(file, "EncryptionKey", plist_new_uid(4));
        plist_t key = plist_new_dict();
        plist_t bytes = plist_new_data(entry.wrappedKey.constData(), uint64_t(entry.wrappedKey.size()));
        plist_dict_set_item(key, "$class", plist_new_uid(5));
        plist_array_append_item(objects, key);
        plist_t dataClass = plist_new_dict();
        plist_dict_set_item(dataClass, "$classname", plist_new_string("NSMutableData"));
        plist_array_append_item(objects, dataClass);
        if (m_keyBytes == KeyBytes::Referenced) {
            plist_dict_set_item(key, "NS.data", plist_new_uid(6));
            plist_array_append_item(objects, bytes);
        } else {
            plist_dict_set_item(key, "NS.data", bytes);
        }
    }
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "$version", plist_new_uint(100000));
    plist_dict_set_item(root, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(1));
    plist_dict_set_item(root, "$top", top);
    plist_dict_set_item(root, "$objects", objects);
    return toBinary(root);
}

void BackupWriter::writeManifestDb()
{
    QTemporaryDir work;
    const QString plain = work.filePath(QStringLiteral("Manifest.db"));
    {
        Brimlow::SqliteDatabase db(plain, Brimlow::SqliteDatabase::Mode::ReadWrite);
        db.execute(
            "CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, flags INTEGER, "
            "file BLOB); CREATE INDEX FilesDomainIdx ON Files(domain); "
            "CREATE INDEX FilesRelativePathIdx ON Files(relativePath); "
            "CREATE INDEX FilesFlagsIdx ON Files(flags); "
            "CREATE TABLE Properties (key TEXT PRIMARY KEY, value BLOB);");
        for (const Entry &entry : m_entries) {
            Brimlow::SqliteStatement insert(db, "INSERT INTO Files VALUES (?, ?, ?, 1, ?)");
            insert.bind(1, fileId(entry.domain, entry.relativePath));
            insert.bind(2, entry.domain);
            insert.bind(3, entry.relativePath);
            insert.bind(4, fileBlob(entry));
            insert.next();
        }
    }
    QFile file(plain);
    file.open(QIODevice::ReadOnly);
    QByteArray bytes = file.readAll();
    if (m_encryption == Encryption::Password)
        bytes = encrypt(bytes, m_manifestKey);
    writeFile(QDir(m_folder).filePath(QStringLiteral("Manifest.db")), bytes);
}

void BackupWriter::writePlists()
{
    const QDir dir(m_folder);
    plist_t info = plist_new_dict();
    plist_dict_set_item(info, "Device Name", string(m_device.name));
    plist_dict_set_item(info, "Display Name", string(m_device.name));
    plist_dict_set_item(info, "Last Backup Date", date(m_device.date));
    plist_dict_set_item(info, "Product Type", string(m_device.productType));
    plist_dict_set_item(info, "Product Version", string(m_device.version));
    plist_dict_set_item(info, "Unique Identifier", string(m_device.udid));
    plist_dict_set_item(info, "Target Identifier", string(m_device.udid.toLower()));
    plist_dict_set_item(info, "Serial Number", plist_new_string("F00X00000000"));
    writeFile(dir.filePath(QStringLiteral("Info.plist")), toXml(info));

    plist_t status = plist_new_dict();
    plist_dict_set_item(status, "BackupState", plist_new_string("new"));
    plist_dict_set_item(status, "Date", date(m_device.date));
    plist_dict_set_item(status, "IsFullBackup", plist_new_bool(0));
    plist_dict_set_item(status, "SnapshotState", plist_new_string("finished"));
    plist_dict_set_item(status, "Version", plist_new_string("3.3"));
    writeFile(dir.filePath(QStringLiteral("Status.plist")), toBinary(status));

    plist_t manifest = plist_new_dict();
    const bool encrypted = m_encryption == Encryption::Password;
    plist_dict_set_item(manifest, "IsEncrypted", plist_new_bool(encrypted ? 1 : 0));
    plist_dict_set_item(manifest, "Version", plist_new_string("10.0"));
    plist_dict_set_item(manifest, "Date", date(m_device.date));
    plist_dict_set_item(manifest, "WasPasscodeSet", plist_new_bool(1));
    plist_t lockdown = plist_new_dict();
    plist_dict_set_item(lockdown, "DeviceName", string(m_device.name));
    plist_dict_set_item(lockdown, "ProductType", string(m_device.productType));
    plist_dict_set_item(lockdown, "ProductVersion", string(m_device.version));
    plist_dict_set_item(lockdown, "UniqueDeviceID", string(m_device.udid));
    plist_dict_set_item(manifest, "Lockdown", lockdown);
    if (encrypted) {
        const QByteArray bag = keybag();
        plist_dict_set_item(manifest, "BackupKeyBag", plist_new_data(bag.constData(), uint64_t(bag.size())));
        const QByteArray manifestKey = littleEndianClass(4) + wrapKey(m_classKeys.at(3), m_manifestKey);
        plist_dict_set_item(
            manifest, "ManifestKey", plist_new_data(manifestKey.constData(), uint64_t(manifestKey.size())));
    }
    writeFile(dir.filePath(QStringLiteral("Manifest.plist")), toBinary(manifest));
}

void BackupWriter::finish()
{
    writeManifestDb();
    writePlists();
}
