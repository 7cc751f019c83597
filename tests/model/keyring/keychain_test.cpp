#include "model/keychain.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using TestSupport::await;

TEST(KeychainTest, TheServiceIsTheBundleIdentifierWithBackup)
{
    EXPECT_EQ(Keychain::service(), "app.quorvel.Quorvel.backup");
    EXPECT_EQ(Keychain::query("00008030-AB").service, "app.quorvel.Quorvel.backup");
    EXPECT_EQ(Keychain::query("00008030-AB").account, "00008030-AB");
}

TEST(KeychainTest, StoresReplacesAndForgetsOneValuePerAccount)
{
    const QString account = QStringLiteral("keychain-test-a");
    EXPECT_EQ(await(Keychain::get(account)), std::nullopt);

    await(Keychain::set(QStringLiteral("first key"), account));
    await(Keychain::set(QStringLiteral("second ключ"), account));
    await(Keychain::set(QStringLiteral("other"), QStringLiteral("keychain-test-b")));
    EXPECT_EQ(await(Keychain::get(account)), QStringLiteral("second ключ"));

    await(Keychain::remove(account));
    EXPECT_EQ(await(Keychain::get(account)), std::nullopt);
    EXPECT_EQ(await(Keychain::get(QStringLiteral("keychain-test-b"))), QStringLiteral("other"));
    // Removing what is not there is fine.
    await(Keychain::remove(account));
}
