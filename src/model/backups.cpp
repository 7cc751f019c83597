#include "backups.h"

#include "defaults.h"
#include "folderlock.h"
#include "helpers.h"
#include "json.h"
#include "keychain.h"
#include "unlockcache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

const QString savedKey = QStringLiteral("backups");

QList<BackupInfo> backupList(const QByteArray &answer)
{
    return Json::mapArray(Json::parseArray(answer),
        [](const QJsonValue &value) { return BackupInfo::fromJson(Json::toObject(value)); });
}

QString standardized(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void removeFolder(const QString &path)
{
    // A link in the folder's place goes, never what it points to.
    if (QFileInfo(path).isSymLink())
        QFile::remove(path);
    else
        QDir(path).removeRecursively();
}

// A stored list, every source in it. Nothing is kept of a partly readable
// list.
QList<Source> listIn(const std::optional<QByteArray> &bytes)
{
    if (!bytes)
        return {};
    try {
        return Json::mapArray(Json::parseArray(*bytes),
            [](const QJsonValue &value) { return Source::fromJson(Json::toObject(value)); });
    } catch (const JsonError &) {
        return {};
    }
}

QList<Source> savedList(const Defaults &defaults)
{
    return listIn(defaults.data(savedKey));
}

QByteArray stored(const QList<Source> &sources)
{
    QJsonArray array;
    for (const Source &source : sources) {
        if (source.id != u"mac")
            array.append(source.toJson());
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// Changes the saved list as the file holds it now, so that what another
// window saved meanwhile stays.
bool changeSaved(const std::function<QList<Source>(QList<Source>)> &change)
{
    return Defaults::standard().changeData(savedKey,
        [&](const std::optional<QByteArray> &bytes) { return std::optional(stored(change(listIn(bytes)))); });
}

// A backup reads its cache under "Backups/", a chat file the copy under
// "Files/".
enum class Kind { Backup, ChatFile };

// Whether sources hold a source of this id and kind, which reads its folder.
bool namesFolder(const QList<Source> &sources, const QString &id, Kind kind)
{
    return std::any_of(sources.begin(), sources.end(), [&](const Source &source) {
        return source.id == id && source.log.has_value() == (kind == Kind::ChatFile);
    });
}

bool isSaved(const QString &id)
{
    return namesFolder(Backups::saved(), id, Kind::Backup);
}

// Claims every folder in parent that no other window claims: one it is
// unlocking into, or a chat it is adding.
std::vector<FolderLock> claimFolders(const QString &parent)
{
    const QFileInfoList folders
        = QDir(parent).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    std::vector<FolderLock> claims;
    for (const QFileInfo &folder : folders) {
        if (FolderLock claim = FolderLock::claim(folder.filePath()); claim.isHeld())
            claims.push_back(std::move(claim));
    }
    return claims;
}

} // namespace

namespace Backups {

bool save(const QList<Source> &sources)
{
    return Defaults::standard().setData(savedKey, stored(sources));
}

bool keep(const Source &source)
{
    return changeSaved([&](QList<Source> saved) {
        saved.removeIf([&](const Source &other) { return other.id == source.id; });
        return saved << source;
    });
}

bool drop(const QString &id)
{
    return changeSaved([&](QList<Source> saved) {
        saved.removeIf([&](const Source &other) { return other.id == id; });
        return saved;
    });
}

QList<Source> saved()
{
    QList<Source> present;
    for (const Source &source : savedList(Defaults::standard())) {
        if (QFileInfo::exists(source.log.value_or(source.database)))
            present.append(source);
    }
    return present;
}

Unlocked Unlocked::fromJson(const QJsonObject &object)
{
    return { Json::requiredString(object, "db"), Json::optionalString(object, "key") };
}

bool isFolderName(const QString &id)
{
    if (id.isEmpty() || id == u"." || id == u"..")
        return false;
    for (const QChar c : id) {
        const bool allowed = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
            || c == u'-' || c == u'.';
        if (!allowed)
            return false;
    }
    return true;
}

std::optional<QString> folder(const Source &source)
{
    if (!isFolderName(source.id))
        return std::nullopt;
    const QString parent = source.log ? QStringLiteral("/Files/") : QStringLiteral("/Backups/");
    return Helpers::support() + parent + source.id;
}

QCoro::Task<std::optional<QList<BackupInfo>>> list()
{
    try {
        const QByteArray answer = co_await Helpers::run(Helpers::core(), { QStringLiteral("backups") });
        co_return backupList(answer);
    } catch (const std::exception &) {
        co_return std::nullopt;
    }
}

QCoro::Task<BackupInfo> info(QString folder)
{
    const QString wanted = standardized(folder);
    const QString parent = QFileInfo(wanted).path();
    const QByteArray answer = co_await Helpers::run(
        Helpers::core(), { QStringLiteral("backups"), QStringLiteral("--dir"), parent });
    for (const BackupInfo &backup : backupList(answer)) {
        if (standardized(backup.path) == wanted)
            co_return backup;
    }
    throw Helpers::Failure(Helpers::appName(), 0,
        QStringLiteral("That folder isn't an iPhone backup. Pick the folder named with a long string of "
                       "letters and numbers."));
}

QCoro::Task<Source> unlock(BackupInfo info, std::optional<QString> password)
{
    Source source;
    source.id = info.udid;
    // The device identifier becomes the cache's folder name.
    const std::optional<QString> cache = folder(source);
    if (!cache) {
        throw Helpers::Failure(Helpers::appName(), 0,
            QStringLiteral("That backup can't be read: its device identifier can't name a folder."));
    }
    // Asked before the slow part: a key that no keyring keeps would leave
    // the backup unlocked for nothing, and a locked keyring asks for its
    // password now rather than after the backup's.
    if (info.encrypted)
        co_await Keychain::check();
    QStringList arguments { QStringLiteral("unlock"), QStringLiteral("--backup"), info.path,
        QStringLiteral("--cache"), *cache };
    if (info.encrypted)
        arguments << QStringLiteral("--password-stdin");
    // A backup added before reads the same cache, which stays whatever
    // happens here; any other is nobody's once this fails.
    UnlockCache unlocking(*cache, isSaved(info.udid) ? UnlockCache::Saved::Yes : UnlockCache::Saved::No);
    Unlocked unlocked;
    try {
        // The answer holds the backup's key: it comes through a pipe, never
        // a file in the working folder.
        const QByteArray answer
            = co_await Helpers::run(Helpers::core(), arguments, password, Helpers::Output::Pipe);
        unlocked = Unlocked::fromJson(Json::parseObject(answer));
        if (unlocked.key)
            co_await Keychain::set(*unlocked.key, info.udid);
    } catch (...) {
        unlocking.discard();
        throw;
    }

    source.name = info.device;
    source.date = info.date;
    source.backup = info.path;
    source.database = unlocked.db;
    source.encrypted = info.encrypted;
    co_return source;
}

void sweep()
{
    std::vector<FolderLock> caches = claimFolders(Helpers::support() + QStringLiteral("/Backups"));
    std::vector<FolderLock> files = claimFolders(Helpers::support() + QStringLiteral("/Files"));
    // Read once every folder is claimed, from the file rather than what this
    // window read before: another window lets a finished unlock's folder go
    // only once it has saved its source there. A source whose messages are
    // gone still names its folder.
    const QList<Source> named = savedList(Defaults(Defaults::standard().fileName()));
    for (FolderLock &claim : caches) {
        if (namesFolder(named, QFileInfo(claim.folder()).fileName(), Kind::Backup))
            UnlockCache::removeHalfWritten(claim.folder());
        else
            claim.removeFolder();
    }
    for (FolderLock &claim : files) {
        if (!namesFolder(named, QFileInfo(claim.folder()).fileName(), Kind::ChatFile))
            claim.removeFolder();
    }
}

void discardUnfinishedUnlocks()
{
    UnlockCache::discardAll();
}

QCoro::Task<void> forget(Source source)
{
    if (const std::optional<QString> path = folder(source))
        removeFolder(*path);
    co_await Keychain::remove(source.id);
}

} // namespace Backups
