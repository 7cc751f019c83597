// Property lists, binary and XML: walked through every accessor the tool
// uses; then as the Info.plist, Status.plist and Manifest.plist of a
// backup folder; then as a file's record in the Manifest.db of a backup.
#include "plist.h"

#include "backup.h"
#include "backupinfo.h"
#include "backupwriter.h"
#include "failure.h"
#include "fuzzing.h"

#include <QDir>
#include <cstdlib>
#include <plist/plist.h>
#include <sqlite3.h>

namespace {

using Brimlow::Plist;

// The keys the tool asks backups' property lists for.
constexpr const char *Keys[] = { "$objects", "$top", "root", "NS.data", "ProtectionClass", "Size",
    "EncryptionKey", "IsEncrypted", "BackupKeyBag", "ManifestKey", "Lockdown", "Device Name", "DeviceName",
    "Display Name", "Product Type", "ProductType", "Product Version", "ProductVersion", "Last Backup Date",
    "Date", "Target Identifier", "Unique Identifier", "UniqueDeviceID" };

// Every node, through the accessors the tool reads with. Keys are not read
// as text: the tool looks members up by the keys it knows, and libplist's
// own key accessor aborts on one holding a NUL. libplist's trees are deep
// only as far as its parsers let them be; the walk stops well before.
void walk(plist_t node, int depth)
{
    if (!node || depth > 64)
        return;
    Plist::string(node);
    Plist::boolean(node);
    Plist::integer(node);
    Plist::data(node);
    Plist::uid(node);
    Plist::date(node);
    if (plist_get_node_type(node) == PLIST_ARRAY) {
        const quint32 count = plist_array_get_size(node);
        for (quint32 i = 0; i < count && i < 1000; ++i)
            walk(Plist::at(node, i), depth + 1);
        Plist::at(node, count);
    } else if (plist_get_node_type(node) == PLIST_DICT) {
        for (const char *key : Keys)
            Plist::item(node, key);
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (int i = 0; it && i < 1000; ++i) {
            plist_t value = nullptr;
            plist_dict_next_item(node, it, nullptr, &value);
            if (!value)
                break;
            walk(value, depth + 1);
        }
        std::free(it);
    }
}

// A plain backup with one file, whose record the input replaces.
struct RecordBackup
{
    QString folder;
    sqlite3 *db = nullptr;

    RecordBackup()
        : folder(Fuzzing::scratch() + QStringLiteral("/record"))
    {
        BackupWriter writer(folder, {}, BackupWriter::Encryption::None);
        writer.addFile(QStringLiteral("HomeDomain"), QStringLiteral("Library/SMS/sms.db"), "stored bytes");
        writer.finish();
        if (sqlite3_open((folder + QStringLiteral("/Manifest.db")).toUtf8().constData(), &db) != SQLITE_OK)
            std::abort();
        // Each input is one record written and read back at once: a journal
        // on disk and a sync per input would only slow the search.
        if (sqlite3_exec(
                db, "PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr)
            != SQLITE_OK)
            std::abort();
    }

    void setRecord(const QByteArray &record)
    {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, "UPDATE Files SET file = ?", -1, &statement, nullptr);
        sqlite3_bind_blob(statement, 1, record.constData(), int(record.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(statement) != SQLITE_DONE)
            std::abort();
        sqlite3_finalize(statement);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzzing::input(data, size);
    walk(Plist::fromBytes(bytes).root(), 0);

    const QString folder = Fuzzing::scratch() + QStringLiteral("/backup");
    for (const char *name : { "Info.plist", "Status.plist", "Manifest.plist" })
        Fuzzing::writeFile(folder + QLatin1Char('/') + QLatin1String(name), bytes);
    Brimlow::BackupInfo::read(folder);
    try {
        Brimlow::Backup backup(folder);
    } catch (const Brimlow::Failure &) { }

    static RecordBackup recordBackup;
    recordBackup.setRecord(bytes);
    try {
        Brimlow::Backup backup(recordBackup.folder);
        backup.extract(Brimlow::Backup::messagesDomain(), Brimlow::Backup::messagesPath(),
            Fuzzing::scratch() + QStringLiteral("/extracted"));
    } catch (const Brimlow::Failure &) { }
    return 0;
}
