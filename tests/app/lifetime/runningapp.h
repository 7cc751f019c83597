#pragma once

// The app as a program, as the desktop starts it: on a home of its own,
// with a temporary folder of its own, so that a test can end it with a
// signal at any moment and look at what it left.
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <optional>
#include <sys/types.h>

class RunningApp
{
public:
    RunningApp()
    {
        for (const char *folder : { "home/.local/share", "home/.config", "home/.cache", "runtime", "tmp" })
            QDir().mkpath(m_root.filePath(QString::fromLatin1(folder)));
        QFile::setPermissions(m_root.filePath(QStringLiteral("runtime")),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_environment = QProcessEnvironment::systemEnvironment();
        for (const QString &name : m_environment.keys()) {
            if (name.startsWith(QLatin1String("QUORVEL_")))
                m_environment.remove(name);
        }
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_environment.insert(QStringLiteral("HOME"), home());
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home() + QStringLiteral("/.local/share"));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
        m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), home() + QStringLiteral("/.cache"));
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.filePath(QStringLiteral("runtime")));
        m_environment.insert(QStringLiteral("TMPDIR"), temp());
    }
    ~RunningApp()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    RunningApp(const RunningApp &) = delete;
    RunningApp &operator=(const RunningApp &) = delete;

    QString home() const { return m_root.filePath(QStringLiteral("home")); }
    QString temp() const { return m_root.filePath(QStringLiteral("tmp")); }
    // An empty value takes the variable away.
    void set(const QString &name, const QString &value)
    {
        if (value.isEmpty())
            m_environment.remove(name);
        else
            m_environment.insert(name, value);
    }

    void start(const QString &program = TestSupport::stage() + QStringLiteral("/bin/quorvel"))
    {
        m_process.setProcessEnvironment(m_environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, QStringList());
        m_process.waitForStarted(10000);
    }
    pid_t pid() const { return pid_t(m_process.processId()); }
    void signal(int number) const { ::kill(pid(), number); }

    // Whether the app ended within the time; after a signal it may end
    // either way, by itself or by the signal.
    bool waitForEnd(int timeoutMs = 30000) { return m_process.waitForFinished(timeoutMs); }

    // The first process under the app's that runs program, within the time.
    std::optional<pid_t> waitForChild(const QString &program, int timeoutMs = 30000) const
    {
        std::optional<pid_t> found;
        QTest::qWaitFor(
            [&] {
                found = descendant(pid(), program);
                return found.has_value() || m_process.state() == QProcess::NotRunning;
            },
            timeoutMs);
        return found;
    }

    // Whether a process has ended (a zombie nobody reaped yet has).
    static bool hasEnded(pid_t pid)
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray line = stat.readAll();
        return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
    }

    // Every file under folder, as paths relative to it.
    static QStringList filesUnder(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(QDir(folder).relativeFilePath(it.next()));
        files.sort();
        return files;
    }

    // What is left in the app's temporary folder, folders and files.
    QStringList leftInTemp() const
    {
        QStringList left;
        QDirIterator it(temp(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
            QDirIterator::Subdirectories);
        while (it.hasNext())
            left.append(QDir(temp()).relativeFilePath(it.next()));
        return left;
    }

private:
    static QString nameOf(pid_t pid)
    {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        return comm.open(QIODevice::ReadOnly) ? QString::fromUtf8(comm.readAll()).trimmed() : QString();
    }

    static QList<pid_t> children(pid_t pid)
    {
        QList<pid_t> found;
        const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
        for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile list(tasks + QLatin1Char('/') + task + QStringLiteral("/children"));
            if (!list.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &child : list.readAll().split(' ')) {
                if (!child.trimmed().isEmpty())
                    found.append(pid_t(child.trimmed().toInt()));
            }
        }
        return found;
    }

    static std::optional<pid_t> descendant(pid_t pid, const QString &program)
    {
        for (const pid_t child : children(pid)) {
            if (nameOf(child) == program.left(15) && !hasEnded(child))
                return child;
            if (const std::optional<pid_t> below = descendant(child, program))
                return below;
        }
        return std::nullopt;
    }

    QTemporaryDir m_root;
    QProcessEnvironment m_environment;
    QProcess m_process;
};
