#pragma once

// The app as a program, as the desktop starts it: on a home of its own,
// with a temporary folder of its own, so that a test can end it with a
// signal at any moment and look at what it left.
#include "heldchild.h"
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
#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>

// A list of paths as a test's failure prints it.
inline std::string listed(const QStringList &paths)
{
    return paths.join(QStringLiteral(", ")).toStdString();
}

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

    void start(const QString &program = TestSupport::stage() + QStringLiteral("/bin/quorvel"),
        const QStringList &arguments = {})
    {
        m_process.setProcessEnvironment(m_environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, arguments);
        m_process.waitForStarted(10000);
    }
    // The app's standard output so far.
    QByteArray output() { return m_output += m_process.readAllStandardOutput(); }
    pid_t pid() const { return pid_t(m_process.processId()); }
    void signal(int number) const { ::kill(pid(), number); }

    // Whether the app ended within the time; after a signal it may end
    // either way, by itself or by the signal.
    bool waitForEnd(int timeoutMs = 30000) { return m_process.waitForFinished(timeoutMs); }

    // The first process under the app's that runs program, with argument
    // among its arguments when one is given, within the time. Looked for
    // often: a tool on a small store is done in a few milliseconds.
    std::optional<pid_t> waitForChild(const QString &program, const QString &argument = {}) const
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000 && !hasEnded(pid())) {
            if (const std::optional<pid_t> found = descendant(pid(), program, argument))
                return found;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        return std::nullopt;
    }

    // The app started again on the same folders, as the window probe starts
    // it, until its window shows (or the probe's arguments say what it
    // waits for); whether it did.
    bool startAgain(const QStringList &arguments = {})
    {
        QProcess again;
        again.setProcessEnvironment(m_environment);
        again.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        again.start(QStringLiteral(QUORVEL_WINDOW_PROBE), arguments);
        return again.waitForFinished(60000) && again.exitStatus() == QProcess::NormalExit
            && again.exitCode() == 0;
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
    static bool hasArgument(pid_t pid, const QString &argument)
    {
        QFile line(QStringLiteral("/proc/%1/cmdline").arg(pid));
        return argument.isEmpty()
            || (line.open(QIODevice::ReadOnly) && line.readAll().split('\0').contains(argument.toUtf8()));
    }

    static std::optional<pid_t> descendant(pid_t pid, const QString &program, const QString &argument)
    {
        for (const pid_t child : childrenOf(pid)) {
            if (processName(child) == program.left(15) && hasArgument(child, argument) && !hasEnded(child))
                return child;
            if (const std::optional<pid_t> below = descendant(child, program, argument))
                return below;
        }
        return std::nullopt;
    }

    QTemporaryDir m_root;
    QProcessEnvironment m_environment;
    QProcess m_process;
    QByteArray m_output;
};
