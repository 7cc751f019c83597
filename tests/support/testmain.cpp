// Every test binary starts here: it gets a private home folder, so that
// user defaults, support folders and contacts of the person running the
// tests are never touched, and the app's helpers come from the staged tree.
#include "model/helpers.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

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
    return TestSupport::runAllTests(home.path());
}
