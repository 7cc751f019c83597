#include "localphotos.h"

#include <QDir>
#include <QFileInfo>

namespace Brimlow {

QString LocalPhotos::locate(const QString &storedPath)
{
    QString path = storedPath;
    if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    if (!QDir::isAbsolutePath(path))
        return {};
    const QFileInfo info(path);
    return info.isFile() ? info.absoluteFilePath() : QString();
}

} // namespace Brimlow
