#include "unfinishedbooks.h"

#include "fileerror.h"
#include "project.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <chrono>
#include <qcorotimer.h>

namespace {

bool isBook(const QString &folder)
{
    return QFileInfo::exists(folder + QStringLiteral("/book.json"));
}

void removeIfUnfinished(const QString &folder)
{
    const QFileInfo entry(folder);
    if (entry.isSymLink() || !entry.isDir() || isBook(folder))
        return;
    FolderLock claim = FolderLock::claim(folder);
    // Claimed, it can't become a book now: a window puts one in place only
    // while it holds the claim, and may have done so just before.
    if (claim.isHeld() && !isBook(folder))
        claim.removeFolder();
}

// Every folder of the books folder whose name begins with prefix.
void sweepNamed(const QString &prefix)
{
    QDirIterator folders(Project::booksFolder(), { prefix + QLatin1Char('*') },
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System | QDir::CaseSensitive);
    while (folders.hasNext())
        removeIfUnfinished(folders.next());
}

} // namespace

namespace UnfinishedBooks {

QCoro::Task<FolderLock> claim(QString folder)
{
    // A sweep in another window may remove the folder, still without a
    // book, in the moment before it is claimed: then it is made again.
    int missed = 0;
    for (;;) {
        if (!QDir().mkpath(folder))
            throw FileError(QStringLiteral("The book folder %1 couldn't be made.").arg(folder));
        FolderLock claimed = FolderLock::claim(folder);
        if (claimed.isHeld())
            co_return claimed;
        // Another export of the conversation, in this window or another,
        // holds it until it ends; whatever it made is then there to read.
        if (QFileInfo(FolderLock::lockFile(folder)).isFile())
            co_await QCoro::sleepFor(std::chrono::milliseconds(100));
        else if (++missed == 3)
            throw FileError(QStringLiteral("The book folder %1 can't be claimed.").arg(folder));
    }
}

void sweep()
{
    sweepNamed(QString());
}

void forget(const Source &source)
{
    // The computer's own source keys its books by the bare key: no prefix
    // tells them from others'.
    if (source.id == Source::mac().id)
        return;
    sweepNamed(Project::folderName(source.id + QLatin1Char(':')));
}

} // namespace UnfinishedBooks
