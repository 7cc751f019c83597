#include "unlockcache.h"

#include "helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTimer>
#include <memory>
#include <sys/stat.h>

namespace {

// The unlocks under way, on the main thread.
QList<UnlockCache *> &underWay()
{
    static QList<UnlockCache *> unlocks;
    return unlocks;
}

} // namespace

UnlockCache::UnlockCache(QString folder, Saved saved)
    : m_saved(saved)
{
    const QByteArray path = QFile::encodeName(folder);
    // Made here, not by the tool, so that it is claimed before anything is
    // written in it; a sweep beside may remove it in the moment between.
    for (int attempt = 0; attempt < 3 && !m_claim.isHeld(); ++attempt) {
        QDir().mkpath(QFileInfo(folder).path());
        ::mkdir(path.constData(), 0700);
        m_claim = FolderLock::claim(folder);
        if (!m_claim.isHeld() && QFileInfo(folder).isDir())
            break;
    }
    if (!m_claim.isHeld()) {
        throw Helpers::Failure(Helpers::appName(), 0,
            QStringLiteral(
                "Another Quorvel window is unlocking this backup. Wait until it's done, then try again."));
    }
    underWay().append(this);
}

UnlockCache::~UnlockCache()
{
    underWay().removeOne(this);
    if (!m_claim.isHeld())
        return;
    auto claim = std::make_shared<FolderLock>(std::move(m_claim));
    QTimer::singleShot(0, [claim] { claim->release(); });
}

void UnlockCache::discard()
{
    if (m_saved == Saved::Yes) {
        removeHalfWritten(m_claim.folder());
        m_claim.release();
    } else {
        m_claim.removeFolder();
    }
}

void UnlockCache::discardAll()
{
    for (UnlockCache *unlock : std::as_const(underWay()))
        unlock->discard();
}

void UnlockCache::removeHalfWritten(const QString &folder)
{
    const QDir cache(folder);
    for (const QString &name :
        cache.entryList({ QStringLiteral(".unlocking-*") }, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(cache.filePath(name)).removeRecursively();
}
