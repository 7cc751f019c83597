#include "model/backups.h"
#include "model/consent.h"
#include "model/folderlock.h"
#include "model/helpers.h"
#include "otherprocess.h"
#include "scopeddefaults.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString key = QStringLiteral("backups");

class BackupsTest : public ::testing::Test
{
protected:
    // A source whose database is a real file in the test's folder.
    Source backupAt(const QString &name)
    {
        Source source;
        source.id = name;
        source.name = name;
        source.backup = m_files.filePath(name);
        source.database = m_files.filePath(name + QStringLiteral(".db"));
        TestSupport::writeFile(source.database, "db");
        return source;
    }

    QTemporaryDir m_files;
    ScopedDefaults m_defaults;
};

} // namespace

TEST_F(BackupsTest, SavesWithoutTheComputersOwnSourceInOrder)
{
    const Source a = backupAt(QStringLiteral("a"));
    const Source b = backupAt(QStringLiteral("b"));
    Backups::save({ a, Source::mac(), b });

    const std::optional<QByteArray> stored = m_defaults.defaults().data(key);
    ASSERT_TRUE(stored);
    const QJsonArray array = QJsonDocument::fromJson(*stored).array();
    ASSERT_EQ(array.size(), 2);
    EXPECT_EQ(array.at(0).toObject().value("id"), "a");
    EXPECT_EQ(array.at(1).toObject().value("id"), "b");
    EXPECT_EQ(Backups::saved(), (QList<Source> { a, b }));
}

TEST_F(BackupsTest, SavedLeavesOutSourcesWhoseFileIsGone)
{
    const Source kept = backupAt(QStringLiteral("kept"));
    Source gone = backupAt(QStringLiteral("gone"));
    gone.database = m_files.filePath(QStringLiteral("missing.db"));
    // A chat file is judged by its log alone, even when its database exists.
    Source chat = backupAt(QStringLiteral("chat"));
    chat.log = m_files.filePath(QStringLiteral("missing-chat.txt"));
    Source folder = backupAt(QStringLiteral("folder"));
    folder.log = m_files.path();

    Backups::save({ kept, gone, chat, folder });
    EXPECT_EQ(Backups::saved(), (QList<Source> { kept, folder }));
}

TEST_F(BackupsTest, UnreadableSavedListsReadAsEmpty)
{
    EXPECT_EQ(Backups::saved(), QList<Source>());
    for (const QByteArray &bytes : { QByteArray("not json"), QByteArray("{}"),
             QByteArray(R"([{"id": "x", "name": "x", "encrypted": false}])"),
             QByteArray(R"([{"id": "x", "name": "x", "database": "/"}])") }) {
        m_defaults.defaults().setData(key, bytes);
        EXPECT_EQ(Backups::saved(), QList<Source>()) << bytes.constData();
    }
    // A string under the key is not the saved list.
    m_defaults.defaults().setString(key, QStringLiteral("[]"));
    EXPECT_EQ(Backups::saved(), QList<Source>());
}

TEST_F(BackupsTest, OneBadSourceDiscardsTheWholeList)
{
    QJsonArray array { backupAt(QStringLiteral("good")).toJson(), QJsonObject { { "id", "bad" } } };
    m_defaults.defaults().setData(key, QJsonDocument(array).toJson());
    EXPECT_EQ(Backups::saved(), QList<Source>());
}

// What killed apps left under "Backups/" goes at the next start: messages
// unlocked for a source that was never saved, and the copies an unlock was
// making; a saved source keeps its cache, and an unlock under way in
// another window keeps its folder.
TEST_F(BackupsTest, TheSweepRemovesTheCachesNoSavedSourceNames)
{
    const QString backups = Helpers::support() + QStringLiteral("/Backups/");
    const auto cache = [&](const QString &id) {
        QDir().mkpath(backups + id + QStringLiteral("/.unlocking-AbC123"));
        TestSupport::writeFile(backups + id + QStringLiteral("/sms.db"), "messages");
        TestSupport::writeFile(backups + id + QStringLiteral("/.unlocking-AbC123/sms.db"), "messages");
        return backups + id;
    };
    const QString saved = cache(QStringLiteral("saved"));
    Source gone = backupAt(QStringLiteral("gone"));
    gone.database = m_files.filePath(QStringLiteral("missing.db"));
    Backups::save({ backupAt(QStringLiteral("saved")), gone });
    const QString savedButGone = cache(QStringLiteral("gone"));
    const QString nobodys = cache(QStringLiteral("nobodys"));
    const QString unlocking = cache(QStringLiteral("unlocking"));
    const FolderLock otherWindow = FolderLock::claim(unlocking);
    // Saved by another window after this one read the list.
    const QString savedSince = cache(QStringLiteral("since"));
    Defaults other(m_defaults.fileName());
    other.setData(key,
        QJsonDocument(QJsonArray { backupAt(QStringLiteral("saved")).toJson(), gone.toJson(),
                          backupAt(QStringLiteral("since")).toJson() })
            .toJson());

    Backups::sweep();
    EXPECT_FALSE(QFile::exists(nobodys));
    for (const QString &kept : { saved, savedButGone, savedSince }) {
        EXPECT_TRUE(QFile::exists(kept + QStringLiteral("/sms.db"))) << kept.toStdString();
        EXPECT_FALSE(QFile::exists(kept + QStringLiteral("/.unlocking-AbC123"))) << kept.toStdString();
    }
    EXPECT_TRUE(QFile::exists(unlocking + QStringLiteral("/.unlocking-AbC123/sms.db")));
}

// A chat copied in by an add that a killed app never finished stayed for
// good, named by no source. A saved chat keeps its copy, and a chat
// another window is adding keeps its folder.
TEST_F(BackupsTest, TheSweepRemovesTheChatFilesNoSavedSourceNames)
{
    const QString files = Helpers::support() + QStringLiteral("/Files/");
    const auto copy = [&](const QString &id) {
        QDir().mkpath(files + id);
        TestSupport::writeFile(files + id + QStringLiteral("/_chat.txt"), "[05/03/2024, 21:14:09] Sam: hi");
        return files + id;
    };
    Source chat;
    chat.id = QStringLiteral("file-0000aaaa");
    chat.name = QStringLiteral("Sam");
    chat.log = copy(chat.id) + QStringLiteral("/_chat.txt");
    // A backup of the same id names its cache, not a chat's copy.
    Source backup = backupAt(QStringLiteral("file-0000bbbb"));
    Backups::save({ chat, backup });
    const QString backupsId = copy(backup.id);
    const QString nobodys = copy(QStringLiteral("file-0000cccc"));
    const QString adding = copy(QStringLiteral("file-0000dddd"));
    const FolderLock otherWindow = FolderLock::claim(adding);

    Backups::sweep();
    EXPECT_TRUE(QFile::exists(*chat.log));
    EXPECT_TRUE(QFile::exists(adding + QStringLiteral("/_chat.txt")));
    EXPECT_FALSE(QFile::exists(nobodys));
    EXPECT_FALSE(QFile::exists(backupsId));
}

// Each window read the defaults once and wrote all of them back on every
// change: a backup another window saved meanwhile was named nowhere once
// this one stored a consent, and the next start swept its messages.
TEST_F(BackupsTest, ABackupAnotherWindowSavedKeepsItsCacheThroughThisOnesChangesAndTheNextStart)
{
    const QString cache = Helpers::support() + QStringLiteral("/Backups/00008030-00AABBCCDDEEFF00");
    QDir().mkpath(cache);
    TestSupport::writeFile(cache + QStringLiteral("/sms.db"), "messages");
    // This window has read the defaults before the other saves its backup.
    EXPECT_FALSE(Consent::mayRead(QStringLiteral("+15550100")));
    ASSERT_TRUE(OtherProcess::run(
        QStringLiteral("BackupsInAnotherProcess.SavesABackup"), m_defaults.fileName(), cache + "/sms.db"));
    Consent::record(QStringLiteral("+15550100"));

    Backups::sweep();
    EXPECT_TRUE(QFile::exists(cache + QStringLiteral("/sms.db")));
    ASSERT_EQ(Backups::saved().size(), 1);
    EXPECT_EQ(Backups::saved().first().database, cache + QStringLiteral("/sms.db"));
    EXPECT_TRUE(Consent::mayRead(QStringLiteral("+15550100")));
}

// The other window's part: it saves the backup whose database it is told.
TEST(BackupsInAnotherProcess, SavesABackup)
{
    if (OtherProcess::defaults().isEmpty())
        GTEST_SKIP() << "runs only in a process the test above starts";
    Defaults::standard().setFileName(OtherProcess::defaults());
    Source source;
    source.id = QStringLiteral("00008030-00AABBCCDDEEFF00");
    source.name = QStringLiteral("Kim's iPhone");
    source.backup = QStringLiteral("/backups/00008030-00AABBCCDDEEFF00");
    source.database = OtherProcess::argument();
    ASSERT_TRUE(Backups::save({ source }));
}
