#pragma once

#include "folderlock.h"

#include <QString>

// A folder of the app's own in the temporary folder, for whatever holds
// messages for a moment: a tool's run, the hand-off's export. It is named
// "quorvel-" and a UUID, made private (mode 0700) and claimed while in use,
// and goes with everything in it once its owner is done, however that
// ends. What a killed app left, the next start's sweep removes.
class WorkingFolder
{
public:
    // Throws Helpers::LaunchError when no folder can be made.
    WorkingFolder();
    ~WorkingFolder() { m_claim.removeFolder(); }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    QString path() const { return m_claim.folder(); }
    QString file(const QString &name) const { return path() + QLatin1Char('/') + name; }

    // Removes the working folders that killed apps left in the temporary
    // folder, and the "handoff-" folders earlier versions left with a
    // conversation exported in them; never a folder a running app still
    // works in, nor anyone else's. At the start, before anything runs.
    static void sweep();

private:
    FolderLock m_claim;
};
