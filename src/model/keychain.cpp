#include "keychain.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <qcorodbuspendingcall.h>
#include <qcorosignal.h>
#include <qt6keychain/keychain.h>

namespace Keychain {

namespace {

// Starts a job and waits for it; the job deletes itself afterwards.
QCoro::Task<void> finish(QKeychain::Job *job)
{
    // Never a plain-text file instead of the keyring.
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    job->start();
    co_await qCoro(job, &QKeychain::Job::finished);
}

// The names the session bus has now (method "ListNames") or starts on
// demand ("ListActivatableNames"); none when it doesn't answer.
QCoro::Task<QStringList> busNames(QDBusConnection bus, QString method)
{
    const QDBusMessage question = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), method);
    const QDBusMessage answer = co_await bus.asyncCall(question);
    const QVariant names = answer.arguments().value(0);
    co_return answer.type() == QDBusMessage::ReplyMessage ? names.toStringList() : QStringList();
}

// Whether anything could keep a secret for us: a session bus this process
// reaches, with a Secret Service (or the KDE wallet, which QtKeychain also
// speaks to) running on it or started on demand. Asked once storing has
// failed, to tell a missing keyring from one that said no: what the bus
// library says of an address it can't use (no bus, a socket that isn't
// there, a transport it doesn't know) means nothing to the user.
QCoro::Task<bool> keyringReachable()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        co_return false;
    const QStringList names = co_await busNames(bus, QStringLiteral("ListNames"))
        + co_await busNames(bus, QStringLiteral("ListActivatableNames"));
    for (const char *keeper : { "org.freedesktop.secrets", "org.kde.kwalletd5", "org.kde.kwalletd6" }) {
        if (names.contains(QLatin1String(keeper)))
            co_return true;
    }
    co_return false;
}

} // namespace

Failure::Failure(const QString &message)
    : std::runtime_error(message.toStdString())
{ }

QString service()
{
    static const QString name = [] {
        QString bundle = QStringLiteral(QUORVEL_BUNDLE_ID);
        if (bundle.isEmpty())
            bundle = QStringLiteral("app.quorvel.Quorvel");
        return bundle + QStringLiteral(".backup");
    }();
    return name;
}

Query query(const QString &account)
{
    return { service(), account };
}

QCoro::Task<void> set(QString value, QString account)
{
    const Query selected = query(account);
    co_await remove(account);
    auto *job = new QKeychain::WritePasswordJob(selected.service);
    job->setKey(selected.account);
    job->setTextData(value);
    // Kept until its answer is read.
    job->setInsecureFallback(false);
    job->setAutoDelete(false);
    job->start();
    co_await qCoro(job, &QKeychain::Job::finished);
    const QKeychain::Error error = job->error();
    const QString said = job->errorString();
    job->deleteLater();
    if (error == QKeychain::NoError)
        co_return;
    if (error == QKeychain::NoBackendAvailable || !co_await keyringReachable()) {
        throw Failure(QStringLiteral(
            "An encrypted backup needs your desktop's keyring to keep its key, and no keyring is running."));
    }
    throw Failure(QStringLiteral("Your desktop's keyring didn't keep the backup's key (%1).").arg(said));
}

QCoro::Task<std::optional<QString>> get(QString account)
{
    const Query selected = query(account);
    auto *job = new QKeychain::ReadPasswordJob(selected.service);
    job->setKey(selected.account);
    // Kept until its answer is read.
    job->setInsecureFallback(false);
    job->setAutoDelete(false);
    job->start();
    co_await qCoro(job, &QKeychain::Job::finished);
    std::optional<QString> value;
    if (job->error() == QKeychain::NoError)
        value = job->textData();
    job->deleteLater();
    co_return value;
}

QCoro::Task<void> remove(QString account)
{
    const Query selected = query(account);
    auto *job = new QKeychain::DeletePasswordJob(selected.service);
    job->setKey(selected.account);
    co_await finish(job);
}

} // namespace Keychain
