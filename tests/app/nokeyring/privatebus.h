#pragma once

// Keyrings in every kind of trouble, each on a D-Bus session of its own that
// a test starts and ends, and what storing a key in a process of its own
// (the keyring probe) says on one.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

struct Stored
{
    // "stored", or the sentence the user would read.
    QString said;
    // What the probe wrote to the log.
    QString logged;
};

// What storing a key in a process of its own says, with the environment
// changed as given (an empty value unsets the variable).
inline Stored storing(const QHash<QString, QString> &changes)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.value().isEmpty())
            environment.remove(it.key());
        else
            environment.insert(it.key(), it.value());
    }
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(QUORVEL_KEYRING_PROBE), QStringList());
    probe.waitForFinished(60000);
    return { QString::fromUtf8(probe.readAllStandardOutput()).trimmed(),
        QString::fromUtf8(probe.readAllStandardError()) };
}

// A session bus that starts only the services a test gives it, with a
// GNOME keyring on it when asked, on a home of its own.
class PrivateBus
{
public:
    // A service the bus starts on demand, by the command that starts it.
    void addService(const QString &name, const QString &command)
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("services")));
        QFile file(m_dir.filePath(QStringLiteral("services/") + name + QStringLiteral(".service")));
        if (file.open(QIODevice::WriteOnly))
            file.write(("[D-BUS Service]\nName=" + name + "\nExec=" + command + "\n").toUtf8());
    }

    // Whether the bus runs; its address is address() from then on.
    bool start()
    {
        QFile config(m_dir.filePath(QStringLiteral("session.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        config.write(
            QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <servicedir>%1/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                .arg(m_dir.path())
                .toUtf8());
        config.close();
        QDir().mkpath(m_dir.filePath(QStringLiteral("services")));
        m_bus.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1") });
        if (!m_bus.waitForStarted(10000) || !m_bus.waitForReadyRead(10000))
            return false;
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
        return !m_address.isEmpty();
    }

    // The keyring the GNOME keyring takes for its default, which need not
    // be there: before startKeyring().
    void setDefaultCollection(const QString &name)
    {
        const QString keyrings = m_dir.filePath(QStringLiteral("home/.local/share/keyrings"));
        QDir().mkpath(keyrings);
        QFile file(keyrings + QStringLiteral("/default"));
        if (file.open(QIODevice::WriteOnly))
            file.write(name.toUtf8());
    }

    // A GNOME keyring on the bus, on a home of its own; with a password
    // it makes and unlocks the login keyring, without one it has none.
    // Whether it became the Secret Service.
    bool startKeyring(const QByteArray &password = {})
    {
        const QString home = m_dir.filePath(QStringLiteral("home"));
        QDir().mkpath(home + QStringLiteral("/runtime"));
        QFile::setPermissions(home + QStringLiteral("/runtime"),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        environment.remove(QStringLiteral("DISPLAY"));
        m_keyring.setProcessEnvironment(environment);
        QStringList arguments { QStringLiteral("--foreground"), QStringLiteral("--components=secrets") };
        arguments << (password.isEmpty() ? QStringLiteral("--start") : QStringLiteral("--unlock"));
        m_keyring.start(QStringLiteral("gnome-keyring-daemon"), arguments);
        if (!m_keyring.waitForStarted(10000))
            return false;
        if (!password.isEmpty()) {
            m_keyring.write(password + '\n');
            m_keyring.closeWriteChannel();
        }
        const QDBusConnection bus = connection();
        return QTest::qWaitFor(
            [&] { return bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")); },
            10000);
    }

    // Locks the keyring's login collection, as a screen locker does.
    bool lockLogin()
    {
        QDBusMessage lock = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.secrets"),
            QStringLiteral("/org/freedesktop/secrets"), QStringLiteral("org.freedesktop.Secret.Service"),
            QStringLiteral("Lock"));
        lock << QVariant::fromValue(QList<QDBusObjectPath> {
            QDBusObjectPath(QStringLiteral("/org/freedesktop/secrets/collection/login")) });
        return connection().call(lock).type() == QDBusMessage::ReplyMessage;
    }

    QString address() const { return m_address; }

    ~PrivateBus()
    {
        for (QProcess *process : { &m_keyring, &m_bus }) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(10000);
            }
        }
        QDBusConnection::disconnectFromBus(m_dir.path());
    }

private:
    QDBusConnection connection() const { return QDBusConnection::connectToBus(m_address, m_dir.path()); }

    QTemporaryDir m_dir;
    QProcess m_bus;
    QProcess m_keyring;
    QString m_address;
};
