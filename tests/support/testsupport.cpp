#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

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

QString epubcheckErrors(const QString &epub)
{
    // Debian's epubcheck is the jar itself, runnable only where binfmt
    // hands jars to java; run it through java everywhere.
    const QString jar
        = QFileInfo(QStandardPaths::findExecutable(QStringLiteral("epubcheck"))).canonicalFilePath();
    if (jar.isEmpty())
        return QStringLiteral("epubcheck is not installed");
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(QStringLiteral("java"), { QStringLiteral("-jar"), jar, epub });
    if (!check.waitForFinished(180000))
        return QStringLiteral("epubcheck did not finish");
    const QString output = QString::fromUtf8(check.readAll());
    if (check.exitCode() != 0
        || output.contains(
            QRegularExpression(QStringLiteral("^(ERROR|FATAL)"), QRegularExpression::MultilineOption)))
        return output;
    return {};
}

} // namespace TestSupport
