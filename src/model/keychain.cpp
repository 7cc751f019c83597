#include "keychain.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
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

// The names on the session bus now; none when it doesn't answer.
QCoro::Task<QStringList> runningNames(QDBusConnection bus)
{
    const QDBusMessage question = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("ListNames"));
    const QDBusMessage answer = co_await bus.asyncCall(question);
    const QVariant names = answer.arguments().value(0);
    co_return answer.type() == QDBusMessage::ReplyMessage ? names.toStringList() : QStringList();
}

// What the bus says of the keyring after it didn't keep a key: each
// answer has its own sentence, saying what to do. The keyring's own words
// (a bus address it can't use, an object path) mean nothing to the user.
enum class Trouble { NotRunning, NoDefault, Locked, Other };

QString sentence(Trouble trouble)
{
    switch (trouble) {
    case Trouble::NotRunning:
        return QStringLiteral(
            "Quorvel keeps a backup's key in your desktop's keyring, and no keyring is running. "
            "Start GNOME Keyring or KWallet, then unlock the backup again.");
    case Trouble::NoDefault:
        return QStringLiteral(
            "Quorvel keeps a backup's key in your desktop's keyring, and it has no default "
            "keyring to keep it in. Make one in Passwords and Keys or KWallet, then unlock the "
            "backup again.");
    case Trouble::Locked:
        return QStringLiteral(
            "Quorvel keeps a backup's key in your desktop's keyring, and it stayed locked. "
            "Unlock the backup again, and unlock the keyring when it asks for its password.");
    case Trouble::Other:
        break;
    }
    return QStringLiteral(
        "Quorvel keeps a backup's key in your desktop's keyring, and the keyring refused it. "
        "Start GNOME Keyring or KWallet, unlock it, and unlock the backup again.");
}

const QString secrets = QStringLiteral("org.freedesktop.secrets");

// A property of an object of the Secret Service; nothing when it can't be read.
QCoro::Task<std::optional<QVariant>> secretProperty(
    QDBusConnection bus, QString path, QString interface, QString name)
{
    QDBusMessage question = QDBusMessage::createMethodCall(
        secrets, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    question << interface << name;
    const QDBusMessage answer = co_await bus.asyncCall(question);
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty())
        co_return std::nullopt;
    co_return answer.arguments().constFirst().value<QDBusVariant>().variant();
}

// Where the Secret Service keeps what isn't said otherwise: the collection
// its "default" alias names, and whether that one is locked.
QCoro::Task<Trouble> defaultCollectionTrouble(QDBusConnection bus)
{
    QDBusMessage question
        = QDBusMessage::createMethodCall(secrets, QStringLiteral("/org/freedesktop/secrets"),
            QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("ReadAlias"));
    question << QStringLiteral("default");
    const QDBusMessage answer = co_await bus.asyncCall(question);
    const QString collection = answer.arguments().value(0).value<QDBusObjectPath>().path();
    if (answer.type() != QDBusMessage::ReplyMessage || collection.isEmpty() || collection == u"/")
        co_return Trouble::NoDefault;
    // An alias may name a collection that is gone.
    const std::optional<QVariant> locked = co_await secretProperty(
        bus, collection, QStringLiteral("org.freedesktop.Secret.Collection"), QStringLiteral("Locked"));
    if (!locked)
        co_return Trouble::NoDefault;
    co_return locked->toBool() ? Trouble::Locked : Trouble::Other;
}

// Why a key wasn't kept, as far as the bus tells: nothing on it keeps
// secrets (no bus, no Secret Service, one that failed to start), the
// Secret Service has no default collection or it stayed locked (the user
// cancelled its prompt), or something else.
QCoro::Task<Trouble> trouble(QKeychain::Error error)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (error == QKeychain::NoBackendAvailable || !bus.isConnected())
        co_return Trouble::NotRunning;
    const QStringList running = co_await runningNames(bus);
    if (running.contains(secrets))
        co_return co_await defaultCollectionTrouble(bus);
    for (const char *wallet : { "org.kde.kwalletd5", "org.kde.kwalletd6" }) {
        if (running.contains(QLatin1String(wallet)))
            co_return Trouble::Other;
    }
    // Not running once asked for: none can be started, or it failed to.
    co_return Trouble::NotRunning;
}

// The account the check stores its probe under; no backup's device
// identifier looks like it.
const QString checkAccount = QStringLiteral("keyring check");

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
    qWarning("Quorvel: the keyring didn't keep a key: %s", qUtf8Printable(said));
    throw Failure(sentence(co_await trouble(error)));
}

QCoro::Task<void> check()
{
    co_await set(QStringLiteral("check"), checkAccount);
    co_await remove(checkAccount);
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
