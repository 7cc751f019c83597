#include "model/backups.h"
#include "scopeddefaults.h"
#include "testsupport.h"

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
