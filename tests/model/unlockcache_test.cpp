#include "model/folderlock.h"
#include "model/helpers.h"
#include "model/unlockcache.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class UnlockCacheTest : public ::testing::Test
{
protected:
    // A cache as the tool leaves it halfway: the messages in place from an
    // earlier unlock, and the copy it was still making.
    void fill() const
    {
        TestSupport::writeFile(m_cache + QStringLiteral("/sms.db"), "messages");
        QDir().mkpath(m_cache + QStringLiteral("/.unlocking-AbC123"));
        TestSupport::writeFile(m_cache + QStringLiteral("/.unlocking-AbC123/sms.db"), "messages");
    }

    QTemporaryDir m_dir;
    const QString m_cache = m_dir.filePath(QStringLiteral("Backups/00008030-00AABBCCDDEEFF00"));
};

} // namespace

TEST_F(UnlockCacheTest, ItsFolderIsMadePrivateAndClaimedWhileTheUnlockRuns)
{
    UnlockCache unlocking(m_cache, UnlockCache::Saved::No);
    EXPECT_EQ(QFile::permissions(m_cache) & 0x0077, 0);
    EXPECT_FALSE(FolderLock::claim(m_cache).isHeld());
    // Another window can't unlock into it meanwhile.
    try {
        const UnlockCache again(m_cache, UnlockCache::Saved::No);
        ADD_FAILURE() << "a claimed cache was claimed again";
    } catch (const Helpers::Failure &failure) {
        EXPECT_EQ(failure.message(),
            "Another Quorvel window is unlocking this backup. Wait until it's done, then try again.");
    }
}

TEST_F(UnlockCacheTest, AFinishedUnlockLetsItsClaimGoOnlyOnceTheLoopTurns)
{
    {
        UnlockCache unlocking(m_cache, UnlockCache::Saved::No);
    }
    // Whoever awaited the unlock saves its source before the loop turns.
    EXPECT_FALSE(FolderLock::claim(m_cache).isHeld());
    QCoreApplication::processEvents();
    EXPECT_TRUE(FolderLock::claim(m_cache).isHeld());
    EXPECT_TRUE(QFile::exists(m_cache));
}

TEST_F(UnlockCacheTest, AFailedUnlockTakesWhatItWroteAndLeavesASavedSourcesMessages)
{
    {
        UnlockCache unlocking(m_cache, UnlockCache::Saved::No);
        fill();
        unlocking.discard();
        EXPECT_FALSE(QFile::exists(m_cache));
    }
    UnlockCache unlocking(m_cache, UnlockCache::Saved::Yes);
    fill();
    unlocking.discard();
    EXPECT_EQ(QDir(m_cache).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        (QStringList { ".lock", "sms.db" }));
    EXPECT_TRUE(FolderLock::claim(m_cache).isHeld());
}

TEST_F(UnlockCacheTest, UnlocksUnderWayAtTheEndAreDiscarded)
{
    const QString saved = m_dir.filePath(QStringLiteral("Backups/00008030-001A2B3C4D5E6F70"));
    UnlockCache unlocking(m_cache, UnlockCache::Saved::No);
    UnlockCache again(saved, UnlockCache::Saved::Yes);
    fill();
    TestSupport::writeFile(saved + QStringLiteral("/sms.db"), "messages");
    QDir().mkpath(saved + QStringLiteral("/.unlocking-XyZ789"));
    UnlockCache::discardAll();
    EXPECT_FALSE(QFile::exists(m_cache));
    EXPECT_TRUE(QFile::exists(saved + QStringLiteral("/sms.db")));
    EXPECT_FALSE(QFile::exists(saved + QStringLiteral("/.unlocking-XyZ789")));
}
