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

} // namespace

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
    co_await finish(job);
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
