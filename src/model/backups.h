#pragma once

#include "backupinfo.h"
#include "source.h"

#include <QJsonObject>
#include <QList>
#include <optional>
#include <qcorotask.h>

// The sources the user added, kept in the user's defaults under "backups"
// and read again at every start; iPhone backups found, described and
// unlocked by the message tool; and forgetting any added source.
namespace Backups {

// Stores the list without the computer's own source ("mac"), in order.
// Whether it reached the user's defaults file.
bool save(const QList<Source> &sources);
// Adds a source to the end of the saved list, in place of one of its id;
// removes the source of an id from it. Each changes the list as the file
// holds it now, so the sources another window saved meanwhile stay.
// Whether the change reached the user's defaults file.
bool keep(const Source &source);
bool drop(const QString &id);

// The saved list, without the sources whose file (log, else database) is
// gone. Never fails: an unreadable list reads as empty.
QList<Source> saved();

// The message tool's answer to "unlock".
struct Unlocked
{
    // The messages database that unlocking produced.
    QString db;
    // What later runs need to read an encrypted backup.
    std::optional<QString> key;

    static Unlocked fromJson(const QJsonObject &object);
};

// Whether a source id can name a folder of its own below "Files/" or
// "Backups/": letters, digits, "-" and ".", and not "." or "..". Ids come
// from the saved list and from the backups themselves, so they are checked
// before they become part of a path.
bool isFolderName(const QString &id);

// The folder the program keeps for a source inside the support folder:
// "Files/<id>" for a chat file, "Backups/<id>" (the unlock cache) for a
// backup. Nothing when the id is no safe folder name.
std::optional<QString> folder(const Source &source);

// The backups the message tool finds in the default place; nothing on any
// failure.
QCoro::Task<std::optional<QList<BackupInfo>>> list();

// The backup in folder, as the message tool lists the backups of its
// parent folder. Throws the tool's failure, a JsonError, or a Failure of
// our own when the folder is not among them.
QCoro::Task<BackupInfo> info(QString folder);

// Unlocks a backup into its cache with the tool and keeps the key it
// returns in the keychain. For an encrypted backup the keyring is asked
// first whether it can keep a key (Keychain::check), and its failure ends
// the unlock before the tool starts. password goes to the tool whenever it
// is given; the tool's answer, which holds the key, comes through a pipe.
// What the cache holds is the backup's messages in the clear: when any
// step fails, the cache goes with it, unless a saved source reads it (then
// only the copy the tool was making goes). Throws a Failure of our own when
// another window is unlocking the same backup.
QCoro::Task<Source> unlock(BackupInfo info, std::optional<QString> password);

// Removes what killed apps left under "Backups/" and "Files/": every cache
// folder and every chat file's folder that no saved source names (as the
// defaults file says now), and in the caches that remain the copies an
// unlock was still making; never a folder that another window is
// unlocking into or adding a chat to. At the start, before anything is
// listed.
void sweep();
// Removes what every unlock still under way wrote, as a failure would: the
// app is ending before they are done.
void discardUnfinishedUnlocks();

// Deletes the source's folder and its keychain item. Never fails.
QCoro::Task<void> forget(Source source);

} // namespace Backups
