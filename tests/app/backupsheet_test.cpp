// The backup sheet's states: which backups have something to read, what
// each asks for, and how it looks.
#include "accessibletree.h"
#include "app/backupsheet.h"
#include "shelltest.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Shell;

namespace {

BackupInfo backup(bool encrypted, bool messages, std::optional<bool> whatsapp)
{
    BackupInfo info;
    info.path = QStringLiteral("/nowhere/00008030-001A2B3C4D5E6F70");
    info.udid = QStringLiteral("00008030-001A2B3C4D5E6F70");
    info.device = QStringLiteral("Robin's iPhone");
    info.ios = QStringLiteral("17.4.1");
    info.date = QStringLiteral("2024-05-31T10:20:30Z");
    info.encrypted = encrypted;
    info.messages = messages;
    info.whatsapp = whatsapp;
    return info;
}

class BackupSheetTest : public ShellTest
{
protected:
    BackupSheet *present()
    {
        auto *sheet = new BackupSheet(lib.get(), &window);
        sheet->present();
        TestSupport::waitUntil([&] { return sheet->hasLooked(); });
        return sheet;
    }

    std::unique_ptr<Library> lib = library();
    QWidget window;
};

} // namespace

TEST_F(BackupSheetTest, WhatABackupHoldsDecidesWhatItAsksFor)
{
    EXPECT_TRUE(BackupSheet::hasContent(backup(false, true, std::nullopt)));
    EXPECT_TRUE(BackupSheet::hasContent(backup(false, false, true)));
    // An encrypted backup can't tell about WhatsApp until it is unlocked.
    EXPECT_TRUE(BackupSheet::hasContent(backup(true, false, std::nullopt)));
    EXPECT_FALSE(BackupSheet::hasContent(backup(false, false, std::nullopt)));
    EXPECT_FALSE(BackupSheet::hasContent(backup(true, false, false)));

    BackupSheet *sheet = present();
    // None found where the phone's backups are kept: the steps a Linux user
    // takes, then the zone.
    EXPECT_FALSE(sheet->chosen());
    EXPECT_TRUE(TestSupport::findText(sheet, "To make one"));
    const QString steps = TestSupport::visibleTexts(sheet).join(QLatin1Char('\n'));
    EXPECT_TRUE(steps.contains("idevicebackup2 backup --full ~/MobileSync/Backup")) << steps.toStdString();
    EXPECT_TRUE(steps.contains("Finder or the Apple Devices app on another computer"));
    EXPECT_FALSE(steps.contains("file manager"));
    EXPECT_FALSE(steps.contains("Manage Backups"));
    EXPECT_FALSE(sheet->primaryButton()->isVisible());
    EXPECT_FALSE(sheet->backButton()->isVisible());

    sheet->choose(backup(true, false, std::nullopt));
    ASSERT_NE(sheet->passwordField(), nullptr);
    EXPECT_EQ(sheet->primaryButton()->text(), "Unlock");
    EXPECT_FALSE(sheet->primaryButton()->isEnabled());
    sheet->passwordField()->setText(QStringLiteral(" "));
    EXPECT_TRUE(sheet->primaryButton()->isEnabled());
    EXPECT_FALSE(sheet->isWorking());

    sheet->back();
    sheet->choose(backup(false, false, std::nullopt));
    EXPECT_EQ(sheet->passwordField(), nullptr);
    EXPECT_EQ(sheet->primaryButton()->text(), "Read This Backup");
    EXPECT_FALSE(sheet->primaryButton()->isEnabled());
    EXPECT_FALSE(sheet->isWorking());
    EXPECT_TRUE(TestSupport::findText(sheet,
        "This backup has no messages or WhatsApp chats in it. Back up again with all of the data: "
        "idevicebackup2 backup --full, or “all of the data on your iPhone” in Finder or the Apple Devices "
        "app."));
}

TEST_F(BackupSheetTest, AnEncryptedBackupsPasswordIsExplainedTheLinuxWay)
{
    BackupSheet *sheet = present();
    sheet->choose(backup(true, false, std::nullopt));
    EXPECT_TRUE(TestSupport::findText(sheet,
        "It's the password you chose when you turned on encrypted backups (with idevicebackup2, in "
        "Finder or in the Apple Devices app), not your iPhone's passcode. It stays on this computer."));
    sheet->reject();
}

TEST_F(BackupSheetTest, AScreenReaderHearsTheSheetsTitleAndThePasswordFieldByName)
{
    BackupSheet *sheet = present();
    sheet->choose(backup(true, false, std::nullopt));
    EXPECT_TRUE(TestSupport::everyElementNamed(sheet));
    EXPECT_TRUE(TestSupport::spokenControls(sheet).contains(QStringLiteral("EditableText: Backup password")));
    sheet->reject();
}
