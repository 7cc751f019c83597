#include "model/defaults.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DefaultsTest : public ::testing::Test
{
protected:
    QString fileName() const { return m_dir.filePath(QStringLiteral("config/Quorvel/defaults.json")); }
    QJsonObject onDisk() const { return QJsonDocument::fromJson(TestSupport::readFile(fileName())).object(); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(DefaultsTest, StandardStoreLivesInTheConfigFolder)
{
    EXPECT_EQ(
        Defaults::standard().fileName(), QDir::homePath() + QStringLiteral("/.config/Quorvel/defaults.json"));
}

TEST_F(DefaultsTest, ValuesPersistWithKeysVerbatim)
{
    {
        Defaults defaults(fileName());
        defaults.setString(QStringLiteral("consent:ABC:+1 555/0100"), QStringLiteral("2024-03-05"));
        defaults.setData(QStringLiteral("backups"), QByteArray("[\0]", 3));
    }
    EXPECT_EQ(onDisk().value("consent:ABC:+1 555/0100"), "2024-03-05");

    const Defaults again(fileName());
    EXPECT_EQ(again.string(QStringLiteral("consent:ABC:+1 555/0100")), "2024-03-05");
    EXPECT_EQ(again.data(QStringLiteral("backups")), QByteArray("[\0]", 3));
}

TEST_F(DefaultsTest, StringsAndDataAreToldApart)
{
    Defaults defaults(fileName());
    defaults.setString(QStringLiteral("text"), QStringLiteral("aGk="));
    defaults.setData(QStringLiteral("bytes"), "hi");
    EXPECT_EQ(defaults.data(QStringLiteral("text")), std::nullopt);
    EXPECT_EQ(defaults.string(QStringLiteral("bytes")), std::nullopt);
}

TEST_F(DefaultsTest, ValuesOfAnotherKindCountAsAbsent)
{
    QDir().mkpath(QFileInfo(fileName()).absolutePath());
    TestSupport::writeFile(fileName(), R"({"n": 3, "o": {"data": 5}, "b": {"data": "!!not base64"}})");
    const Defaults defaults(fileName());
    EXPECT_EQ(defaults.string(QStringLiteral("n")), std::nullopt);
    EXPECT_EQ(defaults.data(QStringLiteral("o")), std::nullopt);
    EXPECT_EQ(defaults.data(QStringLiteral("b")), std::nullopt);
    EXPECT_EQ(defaults.string(QStringLiteral("missing")), std::nullopt);
}

TEST_F(DefaultsTest, RemoveForgetsTheKeyOnDisk)
{
    Defaults defaults(fileName());
    defaults.setString(QStringLiteral("a"), QStringLiteral("1"));
    defaults.setString(QStringLiteral("b"), QStringLiteral("2"));
    defaults.remove(QStringLiteral("a"));
    EXPECT_EQ(defaults.string(QStringLiteral("a")), std::nullopt);
    EXPECT_EQ(onDisk().keys(), QStringList { "b" });
}

TEST_F(DefaultsTest, ACorruptFileReadsEmptyAndIsKeptAsideBeforeTheNextWrite)
{
    QDir().mkpath(QFileInfo(fileName()).absolutePath());
    for (const QByteArray &corrupt : { QByteArray("{\"consent:a\": \"2024"), QByteArray("[1, 2]") }) {
        TestSupport::writeFile(fileName(), corrupt);
        Defaults defaults(fileName());
        EXPECT_EQ(defaults.string(QStringLiteral("consent:a")), std::nullopt);
        // Reading alone leaves the file as it is.
        EXPECT_EQ(TestSupport::readFile(fileName()), corrupt);

        defaults.setString(QStringLiteral("install"), QStringLiteral("id"));
        EXPECT_EQ(TestSupport::readFile(fileName() + ".corrupt"), corrupt);
        EXPECT_EQ(onDisk(), (QJsonObject { { "install", "id" } }));
    }
}

// Whoever keeps something only the defaults name must know when they
// weren't written.
TEST_F(DefaultsTest, SettingDataSaysWhetherItReachedTheFile)
{
    Defaults defaults(fileName());
    EXPECT_TRUE(defaults.setData(QStringLiteral("backups"), "[]"));

    // A file stands where the folder would be made.
    TestSupport::writeFile(m_dir.filePath("blocked"), "");
    Defaults blocked(m_dir.filePath("blocked/defaults.json"));
    EXPECT_FALSE(blocked.setData(QStringLiteral("backups"), "[1]"));
    // The change lives on for this run.
    EXPECT_EQ(blocked.data(QStringLiteral("backups")), "[1]");
}
