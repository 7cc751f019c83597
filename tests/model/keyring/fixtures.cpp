#include "fixtures.h"

#include "testsupport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <openssl/evp.h>
#include <plist/plist.h>
#include <sqlite3.h>
#include <stdexcept>

namespace Fixtures {

namespace {

constexpr int Iterations = 10;
constexpr int ProtectionClass = 3;

// Runs SQL, binding one blob to the first "?" when given.
void execute(const QString &path, const QByteArray &sql, const QByteArray &blob = {})
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        throw std::runtime_error("can't open " + path.toStdString());
    sqlite3_stmt *statement = nullptr;
    const char *rest = sql.constData();
    while (*rest && sqlite3_prepare_v2(db, rest, -1, &statement, &rest) == SQLITE_OK && statement) {
        if (sqlite3_bind_parameter_count(statement) > 0)
            sqlite3_bind_blob(statement, 1, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
        sqlite3_step(statement);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

QByteArray littleEndian(quint32 number)
{
    char bytes[4];
    qToLittleEndian(number, bytes);
    return QByteArray(bytes, 4);
}

QByteArray tlv(const char *tag, const QByteArray &value)
{
    char length[4];
    qToBigEndian(quint32(value.size()), length);
    return QByteArray(tag, 4) + QByteArray(length, 4) + value;
}

QByteArray tlv(const char *tag, quint32 number)
{
    char value[4];
    qToBigEndian(number, value);
    return tlv(tag, QByteArray(value, 4));
}

QByteArray cipher(const EVP_CIPHER *kind, const QByteArray &key, const QByteArray &plain)
{
    EVP_CIPHER_CTX *context = EVP_CIPHER_CTX_new();
    EVP_CIPHER_CTX_set_flags(context, EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
    const unsigned char zero[16] = {};
    EVP_EncryptInit_ex(context, kind, nullptr, reinterpret_cast<const unsigned char *>(key.constData()),
        kind == EVP_aes_256_cbc() ? zero : nullptr);
    QByteArray out(plain.size() + 16, '\0');
    int length = 0;
    int last = 0;
    EVP_EncryptUpdate(context, reinterpret_cast<unsigned char *>(out.data()), &length,
        reinterpret_cast<const unsigned char *>(plain.constData()), int(plain.size()));
    EVP_EncryptFinal_ex(context, reinterpret_cast<unsigned char *>(out.data()) + length, &last);
    EVP_CIPHER_CTX_free(context);
    out.resize(length + last);
    return out;
}

// What a wrapped key looks like in a backup: its class, then the RFC 3394 wrap.
QByteArray wrapped(const QByteArray &classKey, const QByteArray &key)
{
    return littleEndian(ProtectionClass) + cipher(EVP_aes_256_wrap(), classKey, key);
}

QByteArray toBytes(plist_t root, bool binary)
{
    char *bytes = nullptr;
    uint32_t length = 0;
    if (binary)
        plist_to_bin(root, &bytes, &length);
    else
        plist_to_xml(root, &bytes, &length);
    const QByteArray data(bytes, length);
    ::free(bytes);
    plist_free(root);
    return data;
}

plist_t text(const QString &value)
{
    return plist_new_string(value.toUtf8().constData());
}

// Manifest.db's record of a file: an NSKeyedArchiver property list.
QByteArray fileRecord(const QString &relativePath, qint64 size, const QByteArray &wrappedKey)
{
    plist_t file = plist_new_dict();
    plist_dict_set_item(file, "$class", plist_new_uid(3));
    plist_dict_set_item(file, "RelativePath", plist_new_uid(2));
    plist_dict_set_item(file, "Size", plist_new_uint(uint64_t(size)));
    plist_dict_set_item(file, "ProtectionClass", plist_new_uint(ProtectionClass));
    plist_dict_set_item(file, "EncryptionKey", plist_new_uid(4));
    plist_t fileClass = plist_new_dict();
    plist_dict_set_item(fileClass, "$classname", plist_new_string("MBFile"));
    plist_t key = plist_new_dict();
    plist_dict_set_item(key, "NS.data", plist_new_data(wrappedKey.constData(), uint64_t(wrappedKey.size())));
    plist_t objects = plist_new_array();
    plist_array_append_item(objects, plist_new_string("$null"));
    plist_array_append_item(objects, file);
    plist_array_append_item(objects, text(relativePath));
    plist_array_append_item(objects, fileClass);
    plist_array_append_item(objects, key);
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(1));
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(root, "$top", top);
    plist_dict_set_item(root, "$objects", objects);
    return toBytes(root, true);
}

} // namespace

void writeMessagesStore(const QString &path, const QStringList &handles)
{
    QByteArray sql = R"(
CREATE TABLE handle (ROWID INTEGER PRIMARY KEY, id TEXT NOT NULL, service TEXT);
CREATE TABLE chat (ROWID INTEGER PRIMARY KEY, guid TEXT, style INTEGER, chat_identifier TEXT,
  service_name TEXT, display_name TEXT);
CREATE TABLE message (ROWID INTEGER PRIMARY KEY, guid TEXT, text TEXT, handle_id INTEGER DEFAULT 0,
  date INTEGER, is_from_me INTEGER DEFAULT 0);
CREATE TABLE chat_message_join (chat_id INTEGER, message_id INTEGER);
CREATE TABLE chat_handle_join (chat_id INTEGER, handle_id INTEGER);
)";
    // Nanoseconds since 2001, around March 2023.
    const qint64 at = 700000000LL * 1000000000LL;
    for (qsizetype i = 1; i <= handles.size(); ++i) {
        const QByteArray handle = handles.at(i - 1).toUtf8();
        const QByteArray n = QByteArray::number(i);
        sql += "INSERT INTO handle VALUES (" + n + ", '" + handle + "', 'iMessage');\n";
        sql += "INSERT INTO chat VALUES (" + n + ", 'iMessage;-;" + handle + "', 45, '" + handle
            + "', 'iMessage', NULL);\n";
        sql += "INSERT INTO chat_handle_join VALUES (" + n + ", " + n + ");\n";
        sql += "INSERT INTO message VALUES (" + QByteArray::number(2 * i) + ", 'in" + n + "', 'hello', " + n
            + ", " + QByteArray::number(at + i) + ", 0);\n";
        sql += "INSERT INTO message VALUES (" + QByteArray::number(2 * i + 1) + ", 'out" + n + "', 'hi', 0, "
            + QByteArray::number(at + i + 60'000'000'000LL) + ", 1);\n";
        sql += "INSERT INTO chat_message_join VALUES (" + n + ", " + QByteArray::number(2 * i) + "), (" + n
            + ", " + QByteArray::number(2 * i + 1) + ");\n";
    }
    QFile::remove(path);
    execute(path, sql);
}

void writeBackup(const QString &folder, const Phone &phone, const QStringList &handles,
    const std::optional<QByteArray> &password)
{
    QTemporaryDir work;
    const QString storePath = work.filePath("sms.db");
    writeMessagesStore(storePath, handles);
    const QByteArray store = TestSupport::readFile(storePath);

    const QString domain = QStringLiteral("HomeDomain");
    const QString relativePath = QStringLiteral("Library/SMS/sms.db");
    const QString id = QString::fromLatin1(
        QCryptographicHash::hash((domain + "-" + relativePath).toUtf8(), QCryptographicHash::Sha1).toHex());
    const QDir dir(folder);
    dir.mkpath(id.left(2));

    plist_t info = plist_new_dict();
    plist_dict_set_item(info, "Unique Identifier", text(phone.udid));
    plist_dict_set_item(info, "Device Name", text(phone.name));
    plist_dict_set_item(info, "Product Version", plist_new_string("17.4"));
    plist_dict_set_item(info, "Last Backup Date", plist_new_date(738000000, 0));
    TestSupport::writeFile(dir.filePath("Info.plist"), toBytes(info, false));

    plist_t manifest = plist_new_dict();
    plist_dict_set_item(manifest, "IsEncrypted", plist_new_bool(password ? 1 : 0));
    plist_t lockdown = plist_new_dict();
    plist_dict_set_item(lockdown, "UniqueDeviceID", text(phone.udid));
    plist_dict_set_item(lockdown, "DeviceName", text(phone.name));
    plist_dict_set_item(manifest, "Lockdown", lockdown);

    if (!password) {
        TestSupport::writeFile(dir.filePath(id.left(2) + "/" + id), store);
        TestSupport::writeFile(dir.filePath("Manifest.plist"), toBytes(manifest, true));
        return;
    }

    // The password's key unwraps the class key, which unwraps the keys of
    // the manifest database and of every file.
    const QByteArray salt = randomBytes(20);
    QByteArray passcodeKey(32, '\0');
    PKCS5_PBKDF2_HMAC_SHA1(password->constData(), int(password->size()),
        reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()), Iterations, 32,
        reinterpret_cast<unsigned char *>(passcodeKey.data()));
    const QByteArray classKey = randomBytes(32);
    const QByteArray keybag = tlv("VERS", 4) + tlv("TYPE", 1) + tlv("UUID", randomBytes(16))
        + tlv("SALT", salt) + tlv("ITER", Iterations) + tlv("UUID", randomBytes(16))
        + tlv("CLAS", ProtectionClass) + tlv("WRAP", 2) + tlv("KTYP", 0u)
        + tlv("WPKY", cipher(EVP_aes_256_wrap(), passcodeKey, classKey));

    const QByteArray fileKey = randomBytes(32);
    TestSupport::writeFile(dir.filePath(id.left(2) + "/" + id), cipher(EVP_aes_256_cbc(), fileKey, store));

    const QString manifestDb = work.filePath("Manifest.db");
    execute(manifestDb,
        "CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, flags INTEGER, file "
        "BLOB);"
        "CREATE TABLE Properties (key TEXT PRIMARY KEY, value BLOB);");
    execute(manifestDb,
        "INSERT INTO Files VALUES ('" + id.toUtf8() + "', '" + domain.toUtf8() + "', '"
            + relativePath.toUtf8() + "', 1, ?);",
        fileRecord(relativePath, store.size(), wrapped(classKey, fileKey)));
    const QByteArray manifestKey = randomBytes(32);
    TestSupport::writeFile(dir.filePath("Manifest.db"),
        cipher(EVP_aes_256_cbc(), manifestKey, TestSupport::readFile(manifestDb)));

    plist_dict_set_item(
        manifest, "BackupKeyBag", plist_new_data(keybag.constData(), uint64_t(keybag.size())));
    const QByteArray wrappedManifestKey = wrapped(classKey, manifestKey);
    plist_dict_set_item(manifest, "ManifestKey",
        plist_new_data(wrappedManifestKey.constData(), uint64_t(wrappedManifestKey.size())));
    TestSupport::writeFile(dir.filePath("Manifest.plist"), toBytes(manifest, true));
}

} // namespace Fixtures
