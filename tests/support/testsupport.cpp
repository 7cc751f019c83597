#include "testsupport.h"

#include "service/http.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_SANITIZED 1
#endif
#endif

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

namespace {

// Whether a child this process started is still there, ended or not.
bool hasChildren()
{
    QDirIterator threads(QStringLiteral("/proc/self/task"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (threads.hasNext()) {
        QFile children(threads.next() + QStringLiteral("/children"));
        if (children.open(QIODevice::ReadOnly) && !children.readAll().trimmed().isEmpty())
            return true;
    }
    return false;
}

// Work a test didn't wait for (a typesetting still going when the book
// closed, a request still on its way when the screen went) ends before the
// process does, and the coroutines awaiting it resume as they would in the
// app: what they touch then is checked, and no coroutine is cut off
// mid-way with its frame left behind.
void finishLeftoverWork()
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // Timers due now, the calls and resumptions queued meanwhile (one may
        // send a request), and deletions; only then is it known what's left.
        for (int round = 0; round < 4; ++round) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        if ((!hasChildren() && !Http::hasRequests()) || waited.elapsed() > 60000)
            return;
        QTest::qWait(20);
    }
}

int runTests()
{
    const int status = RUN_ALL_TESTS();
    finishLeftoverWork();
    return status;
}

} // namespace

int runAllTests(const QString &home)
{
#ifdef QUORVEL_SANITIZED
    const QString folder = home + QStringLiteral("/sanitizer-reports");
    QDir().mkpath(folder);
    const QByteArray setting = ":log_path=" + QFile::encodeName(folder) + "/report:log_exe_name=1";
    // This process read its own settings when it started; only children
    // see these.
    for (const char *name : { "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS" })
        qputenv(name, qgetenv(name) + setting);
    int status = runTests();
    QDirIterator reports(folder, QDir::Files);
    while (reports.hasNext()) {
        QFile report(reports.next());
        report.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "A child process reported a finding (%s):\n%s\n", qPrintable(report.fileName()),
            report.readAll().constData());
        status = 1;
    }
    return status;
#else
    Q_UNUSED(home);
    return runTests();
#endif
}

} // namespace TestSupport
