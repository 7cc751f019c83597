#include "folderlock.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

FolderLock::FolderLock(int descriptor, QString folder)
    : m_descriptor(descriptor)
    , m_folder(std::move(folder))
{ }

FolderLock::~FolderLock()
{
    release();
}

FolderLock::FolderLock(FolderLock &&other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
    , m_folder(std::move(other.m_folder))
{ }

FolderLock &FolderLock::operator=(FolderLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_folder = std::move(other.m_folder);
    }
    return *this;
}

FolderLock FolderLock::claim(const QString &folder)
{
    const QByteArray path = QFile::encodeName(lockFile(folder));
    // Not inherited by the tools: a child would hold the claim on after us.
    const int descriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0)
        return {};
    // A sweep may have removed the folder between the open and the lock:
    // then the file locked is no longer the one the folder holds.
    struct stat locked = {};
    struct stat named = {};
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0 || ::fstat(descriptor, &locked) != 0
        || ::lstat(path.constData(), &named) != 0 || locked.st_ino != named.st_ino
        || locked.st_dev != named.st_dev) {
        ::close(descriptor);
        return {};
    }
    return FolderLock(descriptor, folder);
}

void FolderLock::removeFolder()
{
    if (!isHeld())
        return;
    // Removed while still claimed, lock file and all, so that nobody
    // claims it halfway gone.
    QDir(m_folder).removeRecursively();
    release();
}

void FolderLock::releaseAndUnlink()
{
    if (!isHeld())
        return;
    // Unlinked while still claimed: whoever opened the file before can't
    // claim it, as claim() finds it is no longer the one the folder names.
    QFile::remove(lockFile(m_folder));
    release();
}

void FolderLock::release()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}
