#include "model/defaults.h"
#include "otherprocess.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

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

// Each window read the file once and wrote all of it back on every change:
// the second window's change erased what the first had written since.
TEST_F(DefaultsTest, TwoWindowsKeepEachOthersKeys)
{
    Defaults first(fileName());
    Defaults second(fileName());
    first.setString(QStringLiteral("consent:a"), QStringLiteral("2024-03-05"));
    EXPECT_EQ(second.string(QStringLiteral("consent:a")), "2024-03-05");
    first.setString(QStringLiteral("me:a"), QStringLiteral("Sam"));
    second.setData(QStringLiteral("backups"), "[]");
    EXPECT_EQ(onDisk().keys(), (QStringList { "backups", "consent:a", "me:a" }));
    // Each reads what the other wrote.
    EXPECT_EQ(first.data(QStringLiteral("backups")), "[]");
    EXPECT_EQ(second.string(QStringLiteral("me:a")), "Sam");

    second.remove(QStringLiteral("consent:a"));
    first.setString(QStringLiteral("install"), QStringLiteral("id"));
    EXPECT_EQ(onDisk().keys(), (QStringList { "backups", "install", "me:a" }));
    EXPECT_EQ(first.string(QStringLiteral("consent:a")), std::nullopt);
}

TEST_F(DefaultsTest, TheFirstWindowToMakeAValueGivesItToTheOthers)
{
    Defaults first(fileName());
    Defaults second(fileName());
    EXPECT_EQ(second.string(QStringLiteral("install")), std::nullopt);
    EXPECT_EQ(first.stringOr(QStringLiteral("install"), QStringLiteral("A")), "A");
    EXPECT_EQ(second.stringOr(QStringLiteral("install"), QStringLiteral("B")), "A");
    // A value of another kind is no string: it is replaced.
    first.setData(QStringLiteral("n"), "bytes");
    EXPECT_EQ(second.stringOr(QStringLiteral("n"), QStringLiteral("C")), "C");
}

// Processes that change the file at the same moment, each its own keys and
// all of them one list: every key and every entry of the list is there at
// the end, as the last change of each wrote it.
TEST_F(DefaultsTest, ProcessesChangingTheFileAtOnceLoseNothing)
{
    constexpr int Processes = 4;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < Processes; ++i)
        writers.push_back(
            OtherProcess::start(QStringLiteral("DefaultsInAnotherProcess.WritesItsKeysAndAddsToTheList"),
                fileName(), QString::number(i)));
    for (const std::unique_ptr<QProcess> &writer : writers)
        ASSERT_TRUE(OtherProcess::finished(*writer));

    const QJsonObject stored = onDisk();
    QStringList listed;
    for (const QJsonValue &entry :
        QJsonDocument::fromJson(*Defaults(fileName()).data(QStringLiteral("list"))).array())
        listed.append(entry.toString());
    listed.sort();
    QStringList expected;
    for (int i = 0; i < Processes; ++i) {
        for (int n = 0; n < 25; ++n) {
            EXPECT_EQ(stored.value(QStringLiteral("p%1-%2").arg(i).arg(n)), QStringLiteral("value %1").arg(n))
                << "process " << i << ", key " << n;
            expected.append(QStringLiteral("p%1-%2").arg(i).arg(n));
        }
    }
    expected.sort();
    EXPECT_EQ(listed, expected);
}

// The part of one of the processes above.
TEST(DefaultsInAnotherProcess, WritesItsKeysAndAddsToTheList)
{
    if (OtherProcess::defaults().isEmpty())
        GTEST_SKIP() << "runs only in a process the tests above start";
    Defaults defaults(OtherProcess::defaults());
    const QString process = OtherProcess::argument();
    for (int n = 0; n < 25; ++n) {
        const QString key = QStringLiteral("p%1-%2").arg(process).arg(n);
        defaults.setString(key, QStringLiteral("value %1").arg(n));
        ASSERT_TRUE(defaults.changeData(QStringLiteral("list"), [&](const std::optional<QByteArray> &stored) {
            QJsonArray list = QJsonDocument::fromJson(stored.value_or("[]")).array();
            list.append(key);
            return std::optional(QJsonDocument(list).toJson(QJsonDocument::Compact));
        }));
    }
}
