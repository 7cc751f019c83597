// The app as a program: `bin/quorvel` is the app itself and starts no other
// program in its place, and a start ended by SIGTERM at any moment leaves
// nothing in the temporary folder (a launcher once started the message
// tool in a working folder there, which a start ended early left behind).
#include "fixtures.h"
#include "runningapp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(120000);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0
        ? QString()
        : QString::fromUtf8(process.readAll()) + QStringLiteral(" (failed)");
}

// Whether the process has loaded the window's libraries.
bool hasLoadedTheWindow(pid_t pid)
{
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Widgets");
}

class StartTest : public ::testing::Test
{
protected:
    // The app on a store of the computer's messages, so that it starts the
    // message tool on its list the moment it can.
    void SetUp() override
    {
        const QString store = m_store.filePath(QStringLiteral("chat.db"));
        Fixtures::writeMessagesStore(
            store, { QStringLiteral("kim@example.com"), QStringLiteral("+15555550123") });
        app.set(QStringLiteral("QUORVEL_DB"), store);
    }

    // Ends the app with SIGTERM and says what it left.
    QStringList terminated()
    {
        app.signal(SIGTERM);
        EXPECT_TRUE(app.waitForEnd());
        return app.leftInTemp();
    }

    QTemporaryDir m_store;
    RunningApp app;
};

} // namespace

TEST(InstalledApp, TheInstalledProgramIsTheWindowsOwnAndStartsNoOther)
{
    QTemporaryDir prefix;
    const QString build = QDir::cleanPath(TestSupport::stage() + QStringLiteral("/.."));
    ASSERT_EQ(run(QStringLiteral("cmake"),
                  { QStringLiteral("--install"), build, QStringLiteral("--prefix"), prefix.path() }),
        QString());
    const QString program = prefix.filePath(QStringLiteral("bin/quorvel"));
    EXPECT_EQ(QDir(prefix.filePath(QStringLiteral("bin"))).entryList(QDir::Files), QStringList { "quorvel" });
    EXPECT_FALSE(QFileInfo::exists(prefix.filePath(QStringLiteral("libexec/quorvel/quorvel-window"))));

    // Where it can read messages the old launcher started the tool, then
    // became another program; this one loads the window in its own process.
    RunningApp app;
    QTemporaryDir store;
    TestSupport::writeFile(store.filePath(QStringLiteral("chat.db")), "not read here");
    app.set(QStringLiteral("QUORVEL_DB"), store.filePath(QStringLiteral("chat.db")));
    app.start(program);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasLoadedTheWindow(app.pid()); }, 30000));
    EXPECT_EQ(QFileInfo(QStringLiteral("/proc/%1/exe").arg(app.pid())).symLinkTarget(), program);
    app.signal(SIGTERM);
    EXPECT_TRUE(app.waitForEnd());
}

TEST_F(StartTest, ASigtermAtOnceOrEarlyLeavesNothingInTheTemporaryFolder)
{
    for (const int ms : { 0, 10, 20, 40, 80, 160 }) {
        RunningApp again;
        again.set(QStringLiteral("QUORVEL_DB"), m_store.filePath(QStringLiteral("chat.db")));
        again.start();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        again.signal(SIGTERM);
        EXPECT_TRUE(again.waitForEnd()) << ms;
        EXPECT_EQ(again.leftInTemp(), QStringList()) << "a SIGTERM " << ms << " ms into the start";
    }
}

TEST_F(StartTest, ASigtermWhileTheToolListsEndsTheToolAndLeavesNothing)
{
    app.start();
    // The tool held where it stands, its working folder full.
    const std::optional<pid_t> tool = app.waitForChild(QStringLiteral("brimlow-core"));
    ASSERT_TRUE(tool.has_value());
    ::kill(*tool, SIGSTOP);
    EXPECT_EQ(terminated(), QStringList());
    EXPECT_TRUE(RunningApp::hasEnded(*tool));
}

TEST_F(StartTest, ASigtermOnceTheListIsInLeavesNothing)
{
    app.start();
    const std::optional<pid_t> tool = app.waitForChild(QStringLiteral("brimlow-core"));
    ASSERT_TRUE(tool.has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return RunningApp::hasEnded(*tool); }, 30000));
    EXPECT_EQ(terminated(), QStringList());
}
