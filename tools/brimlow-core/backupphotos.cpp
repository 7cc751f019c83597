#include "backupphotos.h"

#include "backup.h"
#include "failure.h"

#include <QDir>
#include <QFileInfo>

namespace Brimlow {

namespace {

// The phone stores "~/Library/SMS/Attachments/…" or the same under
// /var/mobile; the backup keeps it in the media domain.
QString relativePathOf(const QString &storedPath)
{
    for (const QLatin1String prefix :
        { QLatin1String("~/"), QLatin1String("/private/var/mobile/"), QLatin1String("/var/mobile/") }) {
        if (storedPath.startsWith(prefix)) {
            const QString relative = storedPath.mid(prefix.size());
            return relative.startsWith(QLatin1String("Library/")) && !relative.contains(QLatin1String("/../"))
                ? relative
                : QString();
        }
    }
    return {};
}

} // namespace

BackupPhotos::BackupPhotos(Backup &backup, const QString &folder)
    : m_backup(backup)
    , m_folder(folder)
{ }

QString BackupPhotos::locate(const QString &storedPath)
{
    const auto done = m_done.constFind(storedPath);
    if (done != m_done.constEnd())
        return *done;
    QString result;
    const QString relative = relativePathOf(storedPath);
    if (!relative.isEmpty()) {
        const QString domain = QStringLiteral("MediaDomain");
        const QString name = QFileInfo(relative).fileName();
        const QString target
            = QDir(m_folder).filePath(Backup::fileId(domain, relative).left(12) + QLatin1Char('-') + name);
        try {
            QDir().mkpath(m_folder);
            if (m_backup.extract(domain, relative, target)) {
                result = target;
                m_written.append(target);
            }
        } catch (const Failure &) {
            // A photo that cannot be copied is left out; the book still reads.
        }
    }
    m_done.insert(storedPath, result);
    return result;
}

} // namespace Brimlow
