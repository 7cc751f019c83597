// Adding an encrypted backup on a desktop whose keyring isn't running: run
// through tests/support/without-keyring.sh, on a private D-Bus session on
// which nothing answers for the Secret Service. The key of such a backup
// can't be kept, so it must not be added: it could never be opened again.
#include "app/backupsheet.h"
#include "fixtures.h"
#include "model/backups.h"
#include "model/helpers.h"
#include "model/keychain.h"
#include "privatebus.h"
#include "shelltest.h"

#include <QDirIterator>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

using namespace Shell;

namespace {

const QString noKeyring = QStringLiteral(
    "Quorvel keeps a backup's key in your desktop's keyring, and no keyring is running. Start "
    "GNOME Keyring or KWallet, then unlock the backup again.");

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

    // Whatever unlocking left where the app keeps unlocked backups.
    static QStringList unlockedLeft()
    {
        QStringList left;
        QDirIterator it(Helpers::support() + QStringLiteral("/Backups"),
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            left.append(it.next());
        return left;
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

TEST_F(NoKeyringTest, AnEncryptedBackupStopsWithOneSentenceBeforeTheToolStartsAndAddsNoSource)
{
    const std::unique_ptr<Library> lib = library();
    QWidget window;
    auto *sheet = new BackupSheet(lib.get(), &window);
    sheet->present();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->hasLooked(); }));
    sheet->lookAt(encryptedBackup());
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->chosen().has_value(); }));
    // A wrong password, which the tool would refuse: the keyring is asked
    // first, and without one the tool never starts.
    QTest::keyClicks(sheet->passwordField(), "wrong horse");
    sheet->primaryButton()->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->isWorking(); }, 60000));

    EXPECT_EQ(sheet->error(), noKeyring);
    EXPECT_TRUE(TestSupport::findText(sheet, noKeyring));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(lib->added().isEmpty());
    // The messages the tool unlocked went with the key nobody kept.
    EXPECT_EQ(unlockedLeft(), QStringList());
    sheet->reject();
}

// The backup named for development is unlocked on the same road, and leaves
// nothing behind either.
TEST_F(NoKeyringTest, NothingUnlockedStaysWhenTheKeyCantBeKept)
{
    const BackupInfo info = TestSupport::await(Backups::info(encryptedBackup()));
    EXPECT_EQ(TestSupport::failureOf(Backups::unlock(info, QStringLiteral("right horse"))), noKeyring);
    EXPECT_EQ(unlockedLeft(), QStringList());

    Library::Environment environment;
    environment.backup = info.path;
    environment.backupPassword = QStringLiteral("right horse");
    Library lib(environment);
    TestSupport::await(lib.load());
    EXPECT_TRUE(lib.added().isEmpty());
    EXPECT_EQ(unlockedLeft(), QStringList());
}

// However the keyring is out of reach, the user reads the same sentence, and
// never what the bus library says of the address it was given.
TEST(NoKeyringBus, EveryKeyringOutOfReachSaysTheSameSentence)
{
    QTemporaryDir runtime;
    const QList<QHash<QString, QString>> buses {
        // A bus without a Secret Service: this one.
        {},
        // No session bus at all, nor one where the desktop puts it.
        { { "DBUS_SESSION_BUS_ADDRESS", "" }, { "DISPLAY", "" }, { "XDG_RUNTIME_DIR", runtime.path() } },
        { { "DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent" } },
        { { "DBUS_SESSION_BUS_ADDRESS", "nonsense:where=nowhere" } },
        { { "DBUS_SESSION_BUS_ADDRESS", "tcp:host=127.0.0.1,port=9" } },
    };
    for (const QHash<QString, QString> &bus : buses)
        EXPECT_EQ(storing(bus).said, noKeyring)
            << bus.value("DBUS_SESSION_BUS_ADDRESS", "this bus").toStdString();
}
