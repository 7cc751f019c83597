#include "embeddedphotos.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace Brimlow {

namespace {

QString extensionOf(const QString &name)
{
    const QString extension = QFileInfo(name).suffix().toLower();
    static const QStringList known = { QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
        QStringLiteral("gif"), QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("webp"),
        QStringLiteral("bmp"), QStringLiteral("tif"), QStringLiteral("tiff") };
    return known.contains(extension) ? extension : QStringLiteral("jpg");
}

} // namespace

EmbeddedPhotos::EmbeddedPhotos(const QString &folder)
    : m_folder(folder)
{ }

QString EmbeddedPhotos::save(const QByteArray &data, const QString &name)
{
    if (data.isEmpty())
        return {};
    // Named by content: the same picture sent twice is written once, and no
    // name from the export reaches the file system.
    const QByteArray hash = QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex().left(24);
    const auto done = m_done.constFind(hash);
    if (done != m_done.constEnd())
        return *done;
    const QString path
        = QDir(m_folder).filePath(QString::fromLatin1(hash) + QLatin1Char('.') + extensionOf(name));
    QString result;
    if (QDir().mkpath(m_folder)) {
        const bool existed = QFileInfo::exists(path);
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit()) {
            result = path;
            if (!existed)
                m_written.append(path);
        }
    }
    m_done.insert(hash, result);
    return result;
}

} // namespace Brimlow
