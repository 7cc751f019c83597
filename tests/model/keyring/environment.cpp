// Before any test of this binary: make sure the keyring is the private one
// that with-keyring.sh started, and name a Messages store in QUORVEL_DB
// before anything reads it.
#include "fixtures.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class KeyringEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        if (bus.isEmpty() || qgetenv("QUORVEL_PRIVATE_KEYRING") != bus) {
            std::fprintf(stderr,
                "These tests use a keyring: run them through tests/support/with-keyring.sh, "
                "which gives them a private one.\n");
            std::exit(2);
        }
        const QString database = QDir::homePath() + QStringLiteral("/Messages/chat.db");
        QDir().mkpath(QDir::homePath() + QStringLiteral("/Messages"));
        Fixtures::writeMessagesStore(
            database, { QStringLiteral("+15551234567"), QStringLiteral("sam@example.com") });
        qputenv("QUORVEL_DB", QFile::encodeName(database));
    }
};

[[maybe_unused]] ::testing::Environment *const environment
    = ::testing::AddGlobalTestEnvironment(new KeyringEnvironment);

} // namespace
