#include "model/backupinfo.h"
#include "model/helpers.h"
#include "model/json.h"
#include "model/source.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

Source backup(bool encrypted)
{
    Source source;
    source.id = QStringLiteral("00008030-001A");
    source.name = QStringLiteral("Sam's iPhone");
    source.date = QStringLiteral("2024-03-05T10:00:00Z");
    source.backup = QStringLiteral("/backups/00008030-001A");
    source.database = QStringLiteral("/support/Backups/00008030-001A/sms.db");
    source.encrypted = encrypted;
    return source;
}

Source chatFile()
{
    Source source;
    source.id = QStringLiteral("file-3f2a9c1d");
    source.name = QStringLiteral("Family chat");
    source.log = QStringLiteral("/support/Files/file-3f2a9c1d/chat.txt");
    return source;
}

BackupInfo infoDated(const std::optional<QString> &date)
{
    BackupInfo info;
    info.date = date;
    return info;
}

} // namespace

TEST(Source, MacIsTheComputersOwnDatabase)
{
    const Source &mac = Source::mac();
    EXPECT_EQ(mac.id, "mac");
    EXPECT_EQ(mac.name, "This Computer");
    EXPECT_EQ(mac.database, Helpers::database());
    EXPECT_FALSE(mac.encrypted);
    EXPECT_FALSE(mac.date || mac.backup || mac.log);
}

TEST(Source, ExportArgumentsNameTheBackupAndItsKey)
{
    EXPECT_EQ(Source::mac().exportArguments(), QStringList());
    EXPECT_EQ(chatFile().exportArguments(), QStringList());
    EXPECT_EQ(backup(false).exportArguments(), (QStringList { "--backup", "/backups/00008030-001A" }));
    EXPECT_EQ(backup(true).exportArguments(),
        (QStringList { "--backup", "/backups/00008030-001A", "--key-stdin" }));
}

TEST(Source, AbsentOptionalsAreLeftOutAndReadBackEqual)
{
    const Source source = Source::mac();
    const QJsonObject json = source.toJson();
    EXPECT_EQ(json.keys(), (QStringList { "database", "encrypted", "id", "name" }));
    EXPECT_EQ(Source::fromJson(json), source);
    EXPECT_EQ(Source::fromJson(backup(true).toJson()), backup(true));
    EXPECT_EQ(Source::fromJson(chatFile().toJson()), chatFile());
}

TEST(BackupInfo, ReadsTheToolsDescription)
{
    const BackupInfo info = BackupInfo::fromJson(QJsonDocument::fromJson(R"({"path": "/b", "udid": "U",
        "device": "Sam's iPhone", "ios": "17.4", "encrypted": true, "messages": true, "size": 3})")
                                                     .object());
    EXPECT_EQ(info.device, "Sam's iPhone");
    EXPECT_EQ(info.ios, "17.4");
    EXPECT_FALSE(info.model || info.date || info.whatsapp);
    EXPECT_TRUE(info.encrypted && info.messages);
    EXPECT_THROW(BackupInfo::fromJson(QJsonObject { { "path", "/b" }, { "udid", "U" }, { "device", "D" } }),
        JsonError);
}

TEST(BackupInfo, WhenIsDateUnknownWithoutAnInternetDateTime)
{
    for (const std::optional<QString> &date :
        { std::optional<QString>(), std::optional<QString>("2024-03-05"), std::optional<QString>("yesterday"),
            std::optional<QString>("2024-03-05T10:00:00"), std::optional<QString>("2024-03-05T10:00:00.5Z"),
            std::optional<QString>("2024-02-30T10:00:00Z") })
        EXPECT_EQ(infoDated(date).when(), "Date unknown") << qPrintable(date.value_or("(none)"));
}

TEST(BackupInfo, WhenShowsTheDateAndTimeOfAValidDate)
{
    const QString when = infoDated(QStringLiteral("2024-03-05T12:30:00+01:00")).when();
    EXPECT_NE(when, "Date unknown");
    EXPECT_TRUE(when.contains("2024")) << qPrintable(when);
    EXPECT_EQ(infoDated(QStringLiteral("2024-03-05T11:30:00Z")).when(), when);
}
