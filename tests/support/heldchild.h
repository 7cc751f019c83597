#pragma once

// Holds a helper the code under test started, so that a test or a picture
// can see the screen while the helper still runs: the child processes of
// this process that run program are stopped (SIGSTOP) until the hold ends.
// The event loop must not have run since the child was started if the
// child could have ended by itself meanwhile. While no such child is there
// yet, the event loop runs: a child started after an awaited step (an
// unlock asks the keyring first) appears only then, and is held at once.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <chrono>
#include <csignal>
#include <sys/types.h>
#include <thread>
#include <unistd.h>

// The processes a process started, as /proc lists them under its threads.
inline QList<pid_t> childrenOf(pid_t pid)
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

// The name a process goes by (its program's, cut to 15 characters).
inline QString processName(pid_t pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) ? QString::fromUtf8(comm.readAll()).trimmed() : QString();
}

class HeldChild
{
public:
    // Waits up to timeoutMs for such a child to have started the program
    // (a child still on its way there carries this process's name).
    explicit HeldChild(const QString &program, int timeoutMs = 10000)
    {
        QElapsedTimer waited;
        waited.start();
        while (m_held.isEmpty() && waited.elapsed() < timeoutMs) {
            for (const pid_t child : childrenOf(::getpid())) {
                if (processName(child) == program.left(15) && ::kill(child, SIGSTOP) == 0)
                    m_held.append(child);
            }
            if (m_held.isEmpty()) {
                QCoreApplication::processEvents();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }
    HeldChild(const HeldChild &) = delete;
    HeldChild &operator=(const HeldChild &) = delete;
    ~HeldChild() { release(); }

    bool isHolding() const { return !m_held.isEmpty(); }

    void release()
    {
        for (const pid_t child : std::as_const(m_held))
            ::kill(child, SIGCONT);
        m_held.clear();
    }

private:
    QList<pid_t> m_held;
};
