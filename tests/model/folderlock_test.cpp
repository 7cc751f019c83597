#include "model/folderlock.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Another process claiming folder, as another window would, until it is
// killed as a window can be.
class OtherProcess
{
public:
    explicit OtherProcess(const QString &folder)
    {
        // One process holds it: the shell's descriptor, kept by sleep.
        m_process.start(QStringLiteral("/bin/sh"),
            { QStringLiteral("-c"), QStringLiteral("exec 9>\"$1\"; flock 9; exec sleep 60"),
                QStringLiteral("sh"), folder + QStringLiteral("/.lock") });
        m_process.waitForStarted();
    }
    ~OtherProcess() { kill(); }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

} // namespace

TEST(FolderLock, OneClaimAtATimeAndFreeOnceLetGo)
{
    QTemporaryDir dir;
    FolderLock first = FolderLock::claim(dir.path());
    ASSERT_TRUE(first.isHeld());
    EXPECT_EQ(first.folder(), dir.path());
    EXPECT_FALSE(FolderLock::claim(dir.path()).isHeld());
    first.release();
    EXPECT_TRUE(FolderLock::claim(dir.path()).isHeld());
}

TEST(FolderLock, AnotherProcesssClaimHoldsUntilItEndsHoweverItEnds)
{
    QTemporaryDir dir;
    OtherProcess other(dir.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !FolderLock::claim(dir.path()).isHeld(); }, 10000));
    other.kill();
    EXPECT_TRUE(FolderLock::claim(dir.path()).isHeld());
}

TEST(FolderLock, RemovingTakesTheFolderWithTheClaim)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("work"));
    QDir().mkpath(folder + QStringLiteral("/inner"));
    TestSupport::writeFile(folder + QStringLiteral("/inner/out"), "messages");
    FolderLock claim = FolderLock::claim(folder);
    claim.removeFolder();
    EXPECT_FALSE(claim.isHeld());
    EXPECT_FALSE(QFile::exists(folder));
    // Neither a folder that is gone nor one that isn't there is claimed.
    EXPECT_FALSE(FolderLock::claim(folder).isHeld());
    // Nor a claim that isn't held removes anything.
    QDir().mkpath(folder);
    FolderLock none;
    none.removeFolder();
    EXPECT_TRUE(QFile::exists(folder));
}
