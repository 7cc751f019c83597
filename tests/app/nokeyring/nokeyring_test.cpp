// Adding an encrypted backup on a desktop whose keyring isn't running: run
// through tests/support/without-keyring.sh, on a private D-Bus session on
// which nothing answers for the Secret Service. The key of such a backup
// can't be kept, so it must not be added: it could never be opened again.
#include "app/backupsheet.h"
#include "fixtures.h"
#include "model/backups.h"
#include "model/keychain.h"
#include "shelltest.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

using namespace Shell;

namespace {

const QString noKeyring = QStringLiteral(
    "An encrypted backup needs your desktop's keyring to keep its key, and no keyring is running.");

class BareBus : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (!TestSupport::onBareBus()) {
            std::fprintf(stderr,
                "These tests need a session bus without a keyring: run them through "
                "tests/support/without-keyring.sh.\n");
            std::exit(2);
        }
    }
};

[[maybe_unused]] ::testing::Environment *const bareBus = ::testing::AddGlobalTestEnvironment(new BareBus);

class NoKeyringTest : public ShellTest
{
protected:
    // An encrypted backup of Kim's iPhone, whose password is "right horse".
    QString encryptedBackup()
    {
        const QString folder = m_dir.filePath(QStringLiteral("00008030-00AABBCCDDEEFF00"));
        Fixtures::writeBackup(folder, { "00008030-00AABBCCDDEEFF00", "Kim's iPhone" },
            { QStringLiteral("kim@example.com") }, QByteArray("right horse"));
        return folder;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(NoKeyringTest, StoringAKeySaysTheKeyringIsNeededAndIsntRunning)
{
    EXPECT_EQ(
        TestSupport::failureOf(Keychain::set(QStringLiteral("key"), QStringLiteral("account"))), noKeyring);
    // Reading finds nothing, as ever without a keyring.
    EXPECT_EQ(TestSupport::await(Keychain::get(QStringLiteral("account"))), std::nullopt);

    // A plain backup has no key to keep and is read as ever.
    QTemporaryDir plain;
    const QString folder = plain.filePath(QStringLiteral("00008030-001A2B3C4D5E6F70"));
    Fixtures::writeBackup(folder, {}, { QStringLiteral("+15555550123") });
    const BackupInfo info = TestSupport::await(Backups::info(folder));
    EXPECT_EQ(TestSupport::await(Backups::unlock(info, std::nullopt)).id, info.udid);
}

TEST_F(NoKeyringTest, AnEncryptedBackupStopsWithOneSentenceAndAddsNoSource)
{
    const std::unique_ptr<Library> lib = library();
    QWidget window;
    auto *sheet = new BackupSheet(lib.get(), &window);
    sheet->present();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->hasLooked(); }));
    sheet->lookAt(encryptedBackup());
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->chosen().has_value(); }));
    QTest::keyClicks(sheet->passwordField(), "right horse");
    sheet->primaryButton()->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->isWorking(); }, 60000));

    EXPECT_EQ(sheet->error(), noKeyring);
    EXPECT_TRUE(TestSupport::findText(sheet, noKeyring));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(lib->added().isEmpty());
    sheet->reject();
}
