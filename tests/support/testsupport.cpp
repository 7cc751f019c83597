#include "testsupport.h"

#include <QFile>

namespace TestSupport {

QString stage()
{
    return QStringLiteral(QUORVEL_TEST_STAGE);
}

QString sourceDir()
{
    return QStringLiteral(QUORVEL_SOURCE_DIR);
}

QString dataDir()
{
    return QStringLiteral(QUORVEL_TEST_DATA);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

} // namespace TestSupport
