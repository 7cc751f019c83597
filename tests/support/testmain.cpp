// Every test binary starts here: it gets a private home folder, so that
// user defaults, support folders and contacts of the person running the
// tests are never touched, and the app's helpers come from the staged tree.
#include "model/helpers.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_SANITIZED 1
#endif
#endif

#ifdef QUORVEL_SANITIZED
// In the sanitized build the helpers a test starts (the message tool, the
// stand-in, the test binary itself) are sanitized too, and a finding of
// theirs ends them with a status the test may well expect ("Error: ...",
// status 1). So their reports go to files in the private home instead of
// their standard error, and any report fails the test.
QString childReports(const QString &home)
{
    const QString folder = home + QStringLiteral("/sanitizer-reports");
    QDir().mkpath(folder);
    const QByteArray setting = ":log_path=" + QFile::encodeName(folder) + "/report:log_exe_name=1";
    for (const char *name : { "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS" }) {
        // The test binary read its own settings at start; only children see these.
        qputenv(name, qgetenv(name) + setting);
    }
    return folder;
}

bool printChildReports(const QString &folder)
{
    bool any = false;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        QFile report(it.next());
        report.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "A child process reported (%s):\n%s\n", qPrintable(report.fileName()),
            report.readAll().constData());
        any = true;
    }
    return any;
}
#endif

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/quorvel-test-home-XXXXXX"));
    const QByteArray root = home.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", root + "/.local/share");
    qputenv("XDG_CONFIG_HOME", root + "/.config");
    qputenv("XDG_CACHE_HOME", root + "/.cache");
    for (const char *name : { "QUORVEL_DB", "QUORVEL_DEMO", "QUORVEL_BACKUP", "QUORVEL_BACKUP_PASSWORD",
             "QUORVEL_FILE", "QUORVEL_API", "QUORVEL_HANDOFF_ORIGIN" })
        qunsetenv(name);

    QCoreApplication app(argc, argv);
    Helpers::setPackageRoot(TestSupport::stage());

    ::testing::InitGoogleTest(&argc, argv);
#ifdef QUORVEL_SANITIZED
    const QString reports = childReports(home.path());
    const int status = RUN_ALL_TESTS();
    return printChildReports(reports) ? 1 : status;
#else
    return RUN_ALL_TESTS();
#endif
}
