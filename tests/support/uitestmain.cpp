// Every screen test binary starts here: widgets run for real on the
// offscreen platform, in a fixed locale and look, with a private home, the
// staged tree, and a recording desktop so no test opens a browser or a
// file manager.
#include "model/helpers.h"
#include "ui/desktop.h"
#include "ui/style.h"
#include "uitestsupport.h"
#include "wizard/bookfonts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every test starts with nothing asked of the desktop, whatever ran before
// it in the same process (ctest runs each test alone; a person running a
// whole binary does not).
class FreshDesktop : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override { TestSupport::desktop().reset(); }
};

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/quorvel-test-home-XXXXXX"));
    const QByteArray root = home.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", root + "/.local/share");
    qputenv("XDG_CONFIG_HOME", root + "/.config");
    qputenv("XDG_CACHE_HOME", root + "/.cache");
    qputenv("XDG_DATA_DIRS", root + "/.local/share-system");
    qputenv("XDG_RUNTIME_DIR", root + "/.runtime");
    QDir().mkpath(home.path() + QStringLiteral("/.runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/.runtime"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // with-keyring.sh names the private keyring it started; the switches go
    // below, so remember whether this is it.
    const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    TestSupport::setOnPrivateKeyring(!bus.isEmpty() && qgetenv("QUORVEL_PRIVATE_KEYRING") == bus);
    TestSupport::setOnBareBus(!bus.isEmpty() && qgetenv("QUORVEL_BARE_BUS") == bus);
    // Every development and test switch of the app is off unless a test
    // sets it.
    for (const QString &name : QProcessEnvironment::systemEnvironment().keys()) {
        if (name.startsWith(QLatin1String("QUORVEL_")))
            qunsetenv(name.toUtf8().constData());
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    QApplication app(argc, argv);
    Helpers::setPackageRoot(TestSupport::stage());
    BookFonts::registerFonts();
    Style::apply();
    Desktop::setInstance(&TestSupport::desktop());

    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshDesktop);
    return TestSupport::runAllTests(home.path());
}
