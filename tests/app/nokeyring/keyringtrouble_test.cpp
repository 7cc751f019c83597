// A keyring that can't keep a backup's key, in every way it can fail, each
// on a D-Bus session of its own: the user reads a sentence that says what
// to do, never what the bus said, which goes to the log.
#include "privatebus.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

const QString notRunning = QStringLiteral(
    "Quorvel keeps a backup's key in your desktop's keyring, and no keyring is running. Start "
    "GNOME Keyring or KWallet, then unlock the backup again.");
const QString noDefault = QStringLiteral(
    "Quorvel keeps a backup's key in your desktop's keyring, and it has no default keyring to "
    "keep it in. Make one in Passwords and Keys or KWallet, then unlock the backup again.");
const QString locked = QStringLiteral(
    "Quorvel keeps a backup's key in your desktop's keyring, and it stayed locked. Unlock the "
    "backup again, and unlock the keyring when it asks for its password.");

Stored storingOn(const PrivateBus &bus)
{
    return storing({ { QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address() } });
}

} // namespace

TEST(KeyringTrouble, AKeyringThatFailsToStartSaysNoneIsRunning)
{
    PrivateBus bus;
    bus.addService(QStringLiteral("org.freedesktop.secrets"), QStringLiteral("/bin/false"));
    ASSERT_TRUE(bus.start());
    const Stored stored = storingOn(bus);
    EXPECT_EQ(stored.said, notRunning);
    // The bus's own words are for the log.
    EXPECT_TRUE(stored.logged.contains(QStringLiteral("org.freedesktop.secrets")))
        << stored.logged.toStdString();
}

// A keyring with no collection to keep keys in asks the user to make one;
// nobody can answer here, as when the user cancels that prompt.
TEST(KeyringTrouble, AKeyringWithoutADefaultCollectionSaysToMakeOne)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.start());
    ASSERT_TRUE(bus.startKeyring());
    EXPECT_EQ(storingOn(bus).said, noDefault);
}

// Its default names the login keyring, which is gone: what the bus says of
// it ("Object does not exist at path ...") was once the user's sentence.
TEST(KeyringTrouble, AKeyringWhoseLoginCollectionIsGoneSaysToMakeOne)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.start());
    bus.setDefaultCollection(QStringLiteral("login"));
    ASSERT_TRUE(bus.startKeyring());
    const Stored stored = storingOn(bus);
    EXPECT_EQ(stored.said, noDefault);
    EXPECT_TRUE(stored.logged.contains(QStringLiteral("collection/login"))) << stored.logged.toStdString();
}

// A locked keyring asks for its password; nobody answers here, as when the
// user cancels the prompt, and it stays locked.
TEST(KeyringTrouble, ALockedKeyringThatStaysLockedSaysToUnlockIt)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.start());
    ASSERT_TRUE(bus.startKeyring("the keyring's password"));
    EXPECT_EQ(storingOn(bus).said, QStringLiteral("stored"));
    ASSERT_TRUE(bus.lockLogin());
    EXPECT_EQ(storingOn(bus).said, locked);
}
