// Property lists, binary and XML: walked through every accessor the tool
// uses; then read as the Info.plist, Status.plist and Manifest.plist of a
// backup and as a file's record in its Manifest.db, through what reads
// them out of a backup folder, given the bytes a file would hold.
#include "plist.h"

#include "backup.h"
#include "backupinfo.h"
#include "failure.h"
#include "fuzzing.h"

#include <cstdlib>
#include <plist/plist.h>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzzing::input(data, size);
    Plist plist = Plist::fromBytes(bytes);
    walk(plist.root(), 0);

    // A backup's files are looked for only when one is extracted; no
    // folder needs to exist.
    const QString folder = QStringLiteral("/backup");
    Brimlow::BackupInfo::fromPropertyLists(folder, plist, plist, plist);
    try {
        Brimlow::Backup backup(folder, std::move(plist));
    } catch (const Brimlow::Failure &) { }
    Brimlow::Backup::readFileRecord(bytes);
    return 0;
}
