#pragma once

#include "folderlock.h"

#include <QString>

// The cache folder an unlock fills with a backup's messages in the clear,
// claimed for as long as the unlock runs, so that another window's sweep
// leaves it alone. What an unlock that doesn't finish leaves goes with it:
// the whole folder, or, for a backup that a saved source reads, only the
// copy the tool was still making. What a killed app left, the next start's
// sweep removes (Backups::sweep).
class UnlockCache
{
public:
    // Whether a saved source reads the folder: its cache stays whatever
    // becomes of this unlock.
    enum class Saved { No, Yes };

    // Creates folder when missing and claims it; throws Helpers::Failure
    // when another window is unlocking into it.
    UnlockCache(QString folder, Saved saved);
    // A finished unlock's claim is let go once the event loop turns, so that
    // whoever awaited the unlock has saved its source by then: a sweep never
    // sees the folder unclaimed and named by no source.
    ~UnlockCache();
    UnlockCache(const UnlockCache &) = delete;
    UnlockCache &operator=(const UnlockCache &) = delete;

    // The unlock failed: what it wrote goes, and the claim with it.
    void discard();
    // Discards every unlock still under way: the app is ending before they
    // are done.
    static void discardAll();

    // Removes the copies an unlock was making in folder: the tool writes
    // the messages into a folder of their own there (".unlocking-" and a
    // suffix) and moves them into place only once they read.
    static void removeHalfWritten(const QString &folder);

private:
    FolderLock m_claim;
    Saved m_saved;
};
