#pragma once

#include <QString>

// A claim on a folder for as long as this process works in it: an
// exclusive lock on the file ".lock" in it. The kernel lets a claim go
// however its process ends, so a folder nobody claims is one a run that
// was killed left behind, and the start's sweep may remove it; a folder
// that another window still works in is claimed and stays.
class FolderLock
{
public:
    FolderLock() = default;
    ~FolderLock();
    FolderLock(FolderLock &&other) noexcept;
    FolderLock &operator=(FolderLock &&other) noexcept;
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Claims folder, which must exist. The claim isn't held when another
    // process holds it, when the folder went away before the claim took
    // (a sweep removed it), or when no lock file can be made in it.
    static FolderLock claim(const QString &folder);
    // The lock file of folder, there while a claim on it is held or was
    // left by a run that ended.
    static QString lockFile(const QString &folder) { return folder + QStringLiteral("/.lock"); }

    bool isHeld() const { return m_descriptor >= 0; }
    QString folder() const { return m_folder; }

    // Removes the folder with everything in it, then lets the claim go.
    void removeFolder();
    // Removes the lock file, then lets the claim go: for a folder that
    // stays once the work that needed the claim is done.
    void releaseAndUnlink();
    void release();

private:
    FolderLock(int descriptor, QString folder);

    int m_descriptor = -1;
    QString m_folder;
};
