#include "backupinfo.h"

#include "backup.h"
#include "model/jsonwriter.h"
#include "plist.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace Brimlow {

namespace {

const QString &whatsAppDomain()
{
    static const QString domain = QStringLiteral("AppDomainGroup-group.net.whatsapp.WhatsApp.shared");
    return domain;
}

// File names are hashes of domain and path, unencrypted even in encrypted
// backups, so what a backup holds shows without its password.
bool holds(const QString &folder, const QString &domain, const QString &relativePath)
{
    const QString id = Backup::fileId(domain, relativePath);
    const QDir dir(folder);
    return QFileInfo(dir.filePath(id.left(2) + QLatin1Char('/') + id)).isFile()
        || QFileInfo(dir.filePath(id)).isFile();
}

std::optional<QString> firstString(std::initializer_list<std::optional<QString>> candidates)
{
    for (const auto &candidate : candidates) {
        if (candidate && !candidate->trimmed().isEmpty())
            return candidate->trimmed();
    }
    return std::nullopt;
}

} // namespace

std::optional<BackupInfo> BackupInfo::read(const QString &folder)
{
    const QDir dir(folder);
    auto backup = fromPropertyLists(folder, Plist::fromFile(dir.filePath(QStringLiteral("Manifest.plist"))),
        Plist::fromFile(dir.filePath(QStringLiteral("Info.plist"))),
        Plist::fromFile(dir.filePath(QStringLiteral("Status.plist"))));
    if (backup) {
        backup->messages = holds(folder, Backup::messagesDomain(), Backup::messagesPath());
        backup->whatsapp = holds(folder, whatsAppDomain(), QStringLiteral("ChatStorage.sqlite"));
    }
    return backup;
}

std::optional<BackupInfo> BackupInfo::fromPropertyLists(
    const QString &folder, const Plist &manifest, const Plist &info, const Plist &status)
{
    if (manifest.isNull()
        || (!Plist::item(manifest.root(), "IsEncrypted") && !Plist::item(manifest.root(), "Lockdown")))
        return std::nullopt;
    const plist_t lockdown = Plist::item(manifest.root(), "Lockdown");

    BackupInfo backup;
    backup.path = folder;
    backup.udid = firstString({ Plist::string(Plist::item(info.root(), "Unique Identifier")),
                                  Plist::string(Plist::item(info.root(), "Target Identifier")),
                                  Plist::string(Plist::item(lockdown, "UniqueDeviceID")) })
                      .value_or(QDir(folder).dirName());
    backup.device = firstString({ Plist::string(Plist::item(info.root(), "Device Name")),
                                    Plist::string(Plist::item(info.root(), "Display Name")),
                                    Plist::string(Plist::item(lockdown, "DeviceName")) })
                        .value_or(QStringLiteral("iPhone"));
    backup.model = firstString({ Plist::string(Plist::item(info.root(), "Product Type")),
        Plist::string(Plist::item(lockdown, "ProductType")) });
    backup.ios = firstString({ Plist::string(Plist::item(info.root(), "Product Version")),
        Plist::string(Plist::item(lockdown, "ProductVersion")) });
    auto seconds = Plist::date(Plist::item(info.root(), "Last Backup Date"));
    if (!seconds)
        seconds = Plist::date(Plist::item(status.root(), "Date"));
    if (!seconds)
        seconds = Plist::date(Plist::item(manifest.root(), "Date"));
    if (seconds)
        backup.date = QDateTime::fromSecsSinceEpoch(*seconds, Qt::UTC).toString(Qt::ISODate);
    backup.encrypted = Plist::boolean(Plist::item(manifest.root(), "IsEncrypted")).value_or(false);
    return backup;
}

QList<BackupInfo> BackupInfo::listIn(const QString &parent)
{
    QList<BackupInfo> backups;
    const QDir dir(QDir::cleanPath(QFileInfo(parent).absoluteFilePath()));
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (auto backup = read(dir.filePath(name)))
            backups.append(*backup);
    }
    std::stable_sort(backups.begin(), backups.end(), [](const BackupInfo &a, const BackupInfo &b) {
        return a.date.value_or(QString()) > b.date.value_or(QString());
    });
    return backups;
}

QStringList BackupInfo::defaultFolders()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return { data + QStringLiteral("/Quorvel/iPhone Backups"),
        QDir::homePath() + QStringLiteral("/MobileSync/Backup"),
        QDir::homePath() + QStringLiteral("/Library/Application Support/MobileSync/Backup") };
}

void BackupInfo::write(JsonWriter &json) const
{
    json.beginObject();
    json.member("path", path);
    json.member("udid", udid);
    json.member("device", device);
    if (model)
        json.member("model", *model);
    if (ios)
        json.member("ios", *ios);
    if (date)
        json.member("date", *date);
    json.member("encrypted", encrypted);
    json.member("messages", messages);
    if (whatsapp)
        json.member("whatsapp", *whatsapp);
    json.endObject();
}

} // namespace Brimlow
