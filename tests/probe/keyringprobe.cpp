// Keeps one key in the desktop's keyring as adding an encrypted backup
// does, and prints what came of it: "stored", or the sentence the user
// would read. A process of its own, so that a test can start it on any
// session bus, or none, as the app could find itself.
#include "model/keychain.h"

#include <QCoreApplication>
#include <cstdio>
#include <qcorotask.h>

namespace {

QCoro::Task<QString> store()
{
    // A failure must end the task: waitFor would wait for ever on one it
    // threw out of.
    try {
        co_await Keychain::set(QStringLiteral("probe key"), QStringLiteral("quorvel-keyring-probe"));
        co_await Keychain::remove(QStringLiteral("quorvel-keyring-probe"));
    } catch (const std::exception &failure) {
        co_return QString::fromUtf8(failure.what());
    }
    co_return QStringLiteral("stored");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("%s\n", qUtf8Printable(QCoro::waitFor(store())));
    return 0;
}
