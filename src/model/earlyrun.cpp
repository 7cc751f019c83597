#include "earlyrun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <csignal>
#include <qcorosignal.h>
#include <qcorotimer.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace EarlyRun {

namespace {

constexpr const char *Variable = "QUORVEL_EARLY_RUN";

struct State
{
    bool adopted = false;
    std::optional<Run> offered;
    qint64 taken = -1;
};

State &state()
{
    static State current;
    return current;
}

void end(const Run &run)
{
    ::kill(pid_t(run.pid), SIGKILL);
    ::waitpid(pid_t(run.pid), nullptr, 0);
    removeFolder(run);
}

// Whether pid is a child of this process: the launcher's run is, since the
// launcher became this process.
bool isChild(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // The parent is the second field after the command's closing ")".
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 && fields[1].toLongLong() == qint64(::getpid());
}

} // namespace

std::optional<Run> parse(const QByteArray &said)
{
    const QStringList lines = QString::fromLocal8Bit(said).split(QLatin1Char('\n'));
    if (lines.size() < 3)
        return std::nullopt;
    bool number = false;
    Run run;
    run.pid = lines[0].toLongLong(&number);
    if (!number || run.pid <= 0 || lines[1].isEmpty() || lines[2].isEmpty())
        return std::nullopt;
    run.folder = lines[1];
    run.tool = lines[2];
    run.arguments = lines.mid(3);
    return run;
}

void adopt()
{
    State &now = state();
    if (now.adopted)
        return;
    now.adopted = true;
    if (!qEnvironmentVariableIsSet(Variable))
        return;
    offer(parse(qgetenv(Variable)));
    qunsetenv(Variable);
}

void offer(std::optional<Run> run)
{
    if (run && (!isChild(run->pid) || !QFileInfo(run->folder).fileName().startsWith(QLatin1String("quorvel-"))))
        run.reset();
    state().offered = std::move(run);
}

void removeFolder(const Run &run)
{
    QDir folder(run.folder);
    folder.remove(QStringLiteral("out"));
    folder.remove(QStringLiteral("err"));
    QDir().rmdir(run.folder);
}

std::optional<Run> take(const QString &tool, const QStringList &arguments)
{
    State &now = state();
    if (!now.offered || now.offered->tool != tool || now.offered->arguments != arguments)
        return std::nullopt;
    const Run run = *now.offered;
    now.offered.reset();
    now.taken = run.pid;
    return run;
}

QCoro::Task<std::optional<int>> ended(Run run)
{
    // The kernel says when the process ends on a descriptor of its own;
    // where it can't, the run is looked at every few milliseconds.
    const int descriptor = int(::syscall(SYS_pidfd_open, pid_t(run.pid), 0));
    if (descriptor >= 0) {
        QSocketNotifier notifier(descriptor, QSocketNotifier::Read);
        co_await qCoro(&notifier, &QSocketNotifier::activated);
        ::close(descriptor);
    }
    std::optional<int> status;
    for (;;) {
        int wait = 0;
        const pid_t reaped = ::waitpid(pid_t(run.pid), &wait, WNOHANG);
        if (reaped == pid_t(run.pid)) {
            status = wait;
            break;
        }
        if (reaped < 0)
            break;
        co_await QCoro::sleepFor(std::chrono::milliseconds(5));
    }
    if (state().taken == run.pid)
        state().taken = -1;
    co_return status;
}

void stop()
{
    State &now = state();
    if (now.offered) {
        end(*now.offered);
        now.offered.reset();
    }
    if (now.taken > 0)
        ::kill(pid_t(now.taken), SIGKILL);
}

bool running()
{
    return state().taken > 0;
}

} // namespace EarlyRun
