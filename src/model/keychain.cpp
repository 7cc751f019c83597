#include "keychain.h"

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

// Whether a job failed because nothing answers for the Secret Service on
// the session bus (or there is no session bus): QtKeychain reports that as
// a missing back end, or passes on D-Bus's own error.
bool noKeyring(const QKeychain::Job &job)
{
    if (job.error() == QKeychain::NoBackendAvailable)
        return true;
    const QString said = job.errorString();
    return said.contains(QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown"))
        || said.contains(QLatin1String("org.freedesktop.secrets")) || said.contains(QLatin1String("D-Bus"))
        || said.contains(QLatin1String("DBus"));
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
    const bool missing = error != QKeychain::NoError && noKeyring(*job);
    const QString said = job->errorString();
    job->deleteLater();
    if (error == QKeychain::NoError)
        co_return;
    if (missing) {
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
