#include "fixtures.h"
#include "model/backups.h"
#include "model/helpers.h"
#include "model/keychain.h"
#include "scopeddefaults.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using TestSupport::await;
using TestSupport::failureOf;

namespace {

const QString notABackup = QStringLiteral("Quorvel failed (0): That folder isn't an iPhone backup. Pick the "
                                          "folder named with a long string of letters and numbers.");

class BackupsToolTest : public ::testing::Test
{
protected:
    QString backup(const QString &name, const Fixtures::Phone &phone,
        const std::optional<QByteArray> &password = std::nullopt)
    {
        const QString folder = m_dir.filePath(name);
        Fixtures::writeBackup(folder, phone, { QStringLiteral("+15550100") }, password);
        return folder;
    }

    static QString cache(const QString &udid) { return Helpers::support() + "/Backups/" + udid; }

    QTemporaryDir m_dir;
};

Fixtures::Phone phone(const QString &udid, const QString &name = QStringLiteral("Robin's iPhone"))
{
    return { udid, name };
}

} // namespace

TEST_F(BackupsToolTest, InfoDescribesTheChosenFolderNotItsSibling)
{
    backup("Backup/0001", phone("0001", "First"));
    const QString second = backup("Backup/0002", phone("0002", "Second"));

    const BackupInfo info = await(Backups::info(second + "/../0002/"));
    EXPECT_EQ(info.udid, "0002");
    EXPECT_EQ(info.device, "Second");
    EXPECT_EQ(QDir::cleanPath(info.path), second);
    EXPECT_FALSE(info.encrypted);
    EXPECT_TRUE(info.messages);
    EXPECT_TRUE(info.date);
}

TEST_F(BackupsToolTest, FoldersTheToolDoesNotListAreRefused)
{
    backup("Backup/0001", phone("0001"));
    QDir(m_dir.path()).mkpath("Photos");
    EXPECT_EQ(failureOf(Backups::info(m_dir.filePath("Backup"))), notABackup);
    EXPECT_EQ(failureOf(Backups::info(m_dir.filePath("Photos"))), notABackup);
}

TEST_F(BackupsToolTest, ListFindsTheBackupsInTheDefaultPlace)
{
    const QString place = QDir::homePath() + "/Library/Application Support/MobileSync/Backup";
    EXPECT_EQ(await(Backups::list()), QList<BackupInfo>());
    Fixtures::writeBackup(place + "/0009", phone("0009", "Found"), { QStringLiteral("+15550100") });
    const std::optional<QList<BackupInfo>> found = await(Backups::list());
    QDir(place).removeRecursively();
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1);
    EXPECT_EQ(found->first().device, "Found");
}

TEST_F(BackupsToolTest, APlainBackupUnlocksWithoutAKey)
{
    const BackupInfo info = await(Backups::info(backup("Backup/0101", phone("0101"))));
    const Source source = await(Backups::unlock(info, std::nullopt));

    EXPECT_EQ(source.id, "0101");
    EXPECT_EQ(source.name, "Robin's iPhone");
    EXPECT_EQ(source.date, info.date);
    EXPECT_EQ(source.backup, info.path);
    EXPECT_EQ(QFileInfo(source.database).path(), cache("0101"));
    EXPECT_TRUE(QFileInfo(source.database).isFile());
    EXPECT_FALSE(source.encrypted);
    EXPECT_FALSE(source.log);
    EXPECT_EQ(await(Keychain::get("0101")), std::nullopt);
}

TEST_F(BackupsToolTest, AnEncryptedBackupKeepsItsKeyInTheKeychain)
{
    const BackupInfo info = await(Backups::info(backup("Backup/0202", phone("0202"), "open sesame")));
    ASSERT_TRUE(info.encrypted);

    const std::optional<QString> wrong = failureOf(Backups::unlock(info, QStringLiteral("wrong")));
    ASSERT_TRUE(wrong);
    EXPECT_TRUE(wrong->startsWith("brimlow-core failed (")) << wrong->toStdString();
    EXPECT_EQ(await(Keychain::get("0202")), std::nullopt);

    const Source source = await(Backups::unlock(info, QStringLiteral("open sesame")));
    EXPECT_TRUE(source.encrypted);
    const std::optional<QString> key = await(Keychain::get("0202"));
    ASSERT_TRUE(key);

    // Unlocking again replaces the item rather than failing on it.
    await(Backups::unlock(info, QStringLiteral("open sesame")));
    EXPECT_EQ(await(Keychain::get("0202")), key);

    // The stored key is what reading the backup later takes.
    const QString book = m_dir.filePath("book.json");
    await(Helpers::core(
        QStringList { "export", "--conversation", "+15550100", "--out", book, "--me", "Me", "--them", "Sam" }
            + source.exportArguments(),
        source, *key));
    EXPECT_TRUE(QFileInfo(book).isFile());
    await(Backups::forget(source));
}

TEST_F(BackupsToolTest, ForgettingRemovesTheSourcesFolderAndKey)
{
    const BackupInfo info = await(Backups::info(backup("Backup/0303", phone("0303"), "pw")));
    const Source unlocked = await(Backups::unlock(info, QStringLiteral("pw")));
    Source pasted;
    pasted.id = "file-0303abcd";
    pasted.log = Helpers::support() + "/Files/file-0303abcd/pasted.txt";
    QDir().mkpath(Helpers::support() + "/Files/file-0303abcd");
    TestSupport::writeFile(*pasted.log, "chat");

    await(Backups::forget(pasted));
    EXPECT_FALSE(QFileInfo::exists(Helpers::support() + "/Files/file-0303abcd"));
    EXPECT_TRUE(QFileInfo::exists(cache("0303")));

    await(Backups::forget(unlocked));
    EXPECT_FALSE(QFileInfo::exists(cache("0303")));
    EXPECT_EQ(await(Keychain::get("0303")), std::nullopt);

    // The folder already gone, the key still goes.
    await(Keychain::set("key", "0303"));
    await(Backups::forget(unlocked));
    EXPECT_EQ(await(Keychain::get("0303")), std::nullopt);
}

// A source id is a folder name below "Files/" and "Backups/". An id such
// as ".." from a tampered saved list, or a backup's own identifier, used to
// reach outside: forgetting could delete the whole support folder.
TEST_F(BackupsToolTest, IdsThatAreNoPlainFolderNameReachNothing)
{
    const QString marker = Helpers::support() + "/marker";
    QDir().mkpath(Helpers::support() + "/Files");
    QDir().mkpath(Helpers::support() + "/Backups");
    TestSupport::writeFile(marker, "keep");
    for (const QString &id : { QStringLiteral(".."), QStringLiteral("."), QStringLiteral("../Files"),
             QStringLiteral("a/../.."), QStringLiteral("") }) {
        Source source;
        source.id = id;
        await(Backups::forget(source));
        source.log = marker;
        await(Backups::forget(source));
        EXPECT_TRUE(QFileInfo::exists(marker)) << id.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(Helpers::support() + "/Files"));
    EXPECT_TRUE(QFileInfo::exists(Helpers::support() + "/Backups"));

    const BackupInfo info = await(Backups::info(backup("Backup/evil", phone("../../escaped"))));
    EXPECT_EQ(info.udid, "../../escaped");
    const std::optional<QString> refused = failureOf(Backups::unlock(info, std::nullopt));
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->startsWith("Quorvel failed (0): ")) << refused->toStdString();
    EXPECT_FALSE(QFileInfo::exists(Helpers::support() + "/../escaped"));

    EXPECT_TRUE(Backups::isFolderName("00008030-001A2B3C4D5E6F70"));
    EXPECT_TRUE(Backups::isFolderName("file-3fa85f64"));
    EXPECT_FALSE(Backups::isFolderName("a b"));
    EXPECT_FALSE(Backups::isFolderName("a\\b"));
}

// Unlocking writes the backup's messages in the clear. When it fails, they
// go with it, and so does the folder made for them, unless a backup added
// before reads from it.
TEST_F(BackupsToolTest, AFailedUnlockLeavesNothingButWhatASavedSourceReads)
{
    ScopedDefaults defaults;
    const QString folder = backup("Backup/0505", phone("0505"));
    // The store in the backup is damaged: the tool finds out only once it
    // has made the cache and copied the store there.
    TestSupport::writeFile(folder + "/3d/3d0d7e5fb2ce288813306e4d4636395e047a3d28", "not a database");
    const BackupInfo damaged = await(Backups::info(folder));
    const std::optional<QString> failure = failureOf(Backups::unlock(damaged, std::nullopt));
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains("damaged")) << failure->toStdString();
    EXPECT_FALSE(QFileInfo::exists(cache("0505")));

    // Added before and saved: a wrong password later leaves it readable.
    const BackupInfo locked = await(Backups::info(backup("Backup/0606", phone("0606"), "pw")));
    const Source added = await(Backups::unlock(locked, QStringLiteral("pw")));
    Backups::save({ added });
    EXPECT_TRUE(failureOf(Backups::unlock(locked, QStringLiteral("wrong"))));
    EXPECT_TRUE(QFileInfo(added.database).isFile());
    await(Backups::forget(added));
}
