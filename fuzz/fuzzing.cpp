#include "fuzzing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>

namespace Fuzzing {

QByteArray input(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QString scratch()
{
    // In memory where there is room: inputs are written, and the stand-in's
    // store synced, thousands of times a second.
    static const QString parent
        = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir dir(parent + QStringLiteral("/quorvel-fuzz-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    return dir.path();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    // A target that can't write its input would fuzz nothing.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

} // namespace Fuzzing
