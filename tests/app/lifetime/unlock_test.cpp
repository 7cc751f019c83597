// Nothing decrypted outlives the app, however it ends: the app unlocks the
// tests' encrypted backup (named for development, so that it unlocks at
// the start) and is ended by SIGTERM or SIGKILL at moments across the
// unlock; once it has started again, no file outside the cache of a saved
// source holds the backup's messages, and no tool it started runs on.
#include "fixtures.h"
#include "runningapp.h"
#include "uitestsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace {

[[maybe_unused]] ::testing::Environment *const keyring
    = ::testing::AddGlobalTestEnvironment(new TestSupport::PrivateKeyringRequired);

const QString udid = QStringLiteral("00008030-00AABBCCDDEEFF00");

class UnlockTest : public ::testing::TestWithParam<int>
{
protected:
    UnlockTest()
    {
        Fixtures::writeBackup(m_backup.filePath(udid), { udid, "Kim's iPhone" },
            { QStringLiteral("kim@example.com") }, QByteArray("right horse"));
        app.set(QStringLiteral("QUORVEL_BACKUP"), m_backup.filePath(udid));
        app.set(QStringLiteral("QUORVEL_BACKUP_PASSWORD"), QStringLiteral("right horse"));
    }

    int signalNumber() const { return GetParam(); }

    // Ends the app with the test's signal; a held app is let go, so that it
    // can take a SIGTERM.
    void end()
    {
        app.signal(signalNumber());
        app.signal(SIGCONT);
        ASSERT_TRUE(app.waitForEnd());
    }

    // The unlock tool, once the app has started it; held where it stands.
    pid_t heldUnlock()
    {
        const std::optional<pid_t> tool
            = app.waitForChild(QStringLiteral("brimlow-core"), QStringLiteral("unlock"));
        EXPECT_TRUE(tool.has_value());
        if (tool)
            ::kill(*tool, SIGSTOP);
        return tool.value_or(0);
    }

    // The cache of the backup, where a saved source names it.
    QString savedCache() const
    {
        const QByteArray defaults
            = TestSupport::readFile(app.home() + QStringLiteral("/.config/Quorvel/defaults.json"));
        const QJsonValue saved = QJsonDocument::fromJson(defaults).object().value(QStringLiteral("backups"));
        const QByteArray list
            = QByteArray::fromBase64(saved.toObject().value(QStringLiteral("data")).toString().toLatin1());
        for (const QJsonValue &source : QJsonDocument::fromJson(list).array()) {
            if (source.toObject().value(QStringLiteral("id")).toString() == udid)
                return QStringLiteral(".local/share/Quorvel/Backups/") + udid + QLatin1Char('/');
        }
        return {};
    }

    // Every file under the home (its data, cache and configuration) and
    // the temporary folder that holds the backup's messages or a database
    // decrypted from it, but for the cache of a saved source.
    QStringList decryptedLeft() const
    {
        const QString kept = savedCache();
        QStringList left;
        for (const QString &root : { app.home(), app.temp() }) {
            for (const QString &file : RunningApp::filesUnder(root)) {
                if (!kept.isEmpty() && file.startsWith(kept))
                    continue;
                const QByteArray bytes = TestSupport::readFile(root + QLatin1Char('/') + file);
                if (bytes.startsWith("SQLite format 3") || bytes.contains("kim@example.com"))
                    left.append(file);
            }
        }
        return left;
    }

    // Starts the app again, then says what is left.
    QStringList leftAfterTheNextStart()
    {
        EXPECT_TRUE(app.startAgain());
        return decryptedLeft();
    }

    QTemporaryDir m_backup;
    RunningApp app;
};

} // namespace

TEST_P(UnlockTest, EndedAtOnceLeavesNothingDecrypted)
{
    app.start();
    end();
    EXPECT_EQ(listed(leftAfterTheNextStart()), "");
}

// The tool, still unlocking, ends with the app within a second.
TEST_P(UnlockTest, EndedWhileTheToolUnlocksLeavesNothingDecryptedNorTheTool)
{
    app.start();
    const pid_t tool = heldUnlock();
    ASSERT_NE(tool, 0);
    end();
    EXPECT_TRUE(QTest::qWaitFor([&] { return RunningApp::hasEnded(tool); }, 1000));
    EXPECT_EQ(listed(leftAfterTheNextStart()), "");
}

// The tool has written the messages in the clear, and the app has not yet
// saved the source that names them.
TEST_P(UnlockTest, EndedOnceTheToolHasUnlockedLeavesNothingDecrypted)
{
    app.start();
    const std::optional<pid_t> tool
        = app.waitForChild(QStringLiteral("brimlow-core"), QStringLiteral("unlock"));
    ASSERT_TRUE(tool.has_value());
    // Held once it has the password (it writes where the messages go), and
    // the app held with it, so that the tool ends while the app can't answer.
    const QString cache = app.home() + QStringLiteral("/.local/share/Quorvel/Backups/") + udid;
    while (!RunningApp::hasEnded(*tool)
        && QDir(cache).entryList({ QStringLiteral(".unlocking-*") }, QDir::Dirs | QDir::Hidden).isEmpty())
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    ::kill(*tool, SIGSTOP);
    ASSERT_FALSE(RunningApp::hasEnded(*tool));
    app.signal(SIGSTOP);
    ::kill(*tool, SIGCONT);
    EXPECT_TRUE(QTest::qWaitFor([&] { return RunningApp::hasEnded(*tool); }, 30000));
    EXPECT_TRUE(QFile::exists(cache + QStringLiteral("/sms.db")));
    end();
    EXPECT_EQ(listed(leftAfterTheNextStart()), "");
}

// Once saved, the source keeps its cache, and only that.
TEST_P(UnlockTest, EndedOnceTheBackupIsAddedKeepsOnlyItsCache)
{
    app.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !savedCache().isEmpty(); }, 30000));
    end();
    EXPECT_EQ(listed(leftAfterTheNextStart()), "");
    EXPECT_TRUE(QFile::exists(app.home() + QLatin1Char('/') + savedCache() + QStringLiteral("sms.db")));
}

// A window started beside one that is unlocking sweeps nothing of its: the
// first one's unlock and its list go on to their end.
TEST_P(UnlockTest, ASecondWindowLeavesTheFirstsUnlockAlone)
{
    app.start();
    const pid_t tool = heldUnlock();
    ASSERT_NE(tool, 0);
    const QStringList working = app.leftInTemp();
    EXPECT_FALSE(working.isEmpty());
    EXPECT_TRUE(app.startAgain());
    EXPECT_EQ(listed(app.leftInTemp()), listed(working));
    ::kill(tool, SIGCONT);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !savedCache().isEmpty(); }, 30000));
    end();
}

INSTANTIATE_TEST_SUITE_P(
    Signals, UnlockTest, ::testing::Values(SIGTERM, SIGKILL), [](const ::testing::TestParamInfo<int> &info) {
        return std::string(info.param == SIGTERM ? "Sigterm" : "Sigkill");
    });
