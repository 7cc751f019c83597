// The one place that starts child processes: each run in a working folder
// of its own, the tool ended with the app however the app ends, and what a
// killed run left behind swept at the next start.
#include "helpers.h"
#include "source.h"
#include "workingfolder.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <csignal>
#include <qcorosignal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace Helpers {

namespace {

// The children of the thread's runs, each listed for as long as its run
// lasts. A QProcess is only ever touched from its own thread.
QSet<QProcess *> &runningChildren()
{
    thread_local QSet<QProcess *> children;
    return children;
}

class ListedChild
{
public:
    explicit ListedChild(QProcess *process)
        : m_process(process)
    {
        runningChildren().insert(process);
    }
    ~ListedChild() { runningChildren().remove(m_process); }
    ListedChild(const ListedChild &) = delete;
    ListedChild &operator=(const ListedChild &) = delete;

private:
    QProcess *m_process;
};

void createEmpty(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw LaunchError(QStringLiteral("Couldn't create %1: %2.").arg(path, file.errorString()));
}

// Runs in the child between fork and exec. The child asks the kernel to
// kill it when the app ends, however the app ends: a tool left running
// would go on unlocking a backup nobody will keep, or writing into folders
// nobody removes. Should the app have ended before the child asked, it
// ends at once. The kernel watches the thread that started the child,
// which waits on it for as long as it runs.
std::function<void()> endingWithTheApp()
{
    return [app = ::getpid()] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != app)
            ::_exit(127);
    };
}

// Throws the failure of a run that ended with a non-zero status.
void checkStatus(const QString &tool, int status, const QString &err)
{
    if (status == 0)
        return;
    QFile errFile(err);
    QString message;
    if (errFile.open(QIODevice::ReadOnly))
        message = QString::fromUtf8(errFile.readAll()).trimmed();
    throw Failure(QFileInfo(tool).fileName(), status, message);
}

QByteArray readOutput(const QString &tool, const QString &out)
{
    QFile outFile(out);
    if (!outFile.open(QIODevice::ReadOnly))
        throw LaunchError(QStringLiteral("Couldn't read what %1 printed: %2.")
                              .arg(QFileInfo(tool).fileName(), outFile.errorString()));
    return outFile.readAll();
}

} // namespace

QCoro::Task<QByteArray> run(
    QString tool, QStringList arguments, std::optional<QString> stdinText, Output output)
{
    const WorkingFolder folder;
    const QString out = folder.file(QStringLiteral("out"));
    const QString err = folder.file(QStringLiteral("err"));
    if (output == Output::File)
        createEmpty(out);
    createEmpty(err);

    QProcess process;
    const ListedChild listed(&process);
    process.setProgram(tool);
    process.setArguments(arguments);
    if (output == Output::File)
        process.setStandardOutputFile(out);
    process.setStandardErrorFile(err);
    process.setChildProcessModifier(endingWithTheApp());
    // Told here, the message tool starts once.
    if (tool == core())
        process.setProcessEnvironment(coreEnvironment());
    // Without text for it, the child reads the null device, so a tool that
    // reads its standard input ends instead of waiting forever.
    if (!stdinText)
        process.setStandardInputFile(QProcess::nullDevice());

    // Start-up failures arrive from the event loop, not from start().
    process.start();
    while (process.state() == QProcess::Starting)
        co_await qCoro(&process, &QProcess::stateChanged);
    if (process.error() == QProcess::FailedToStart) {
        throw LaunchError(
            QStringLiteral("Couldn't start %1: %2.").arg(QFileInfo(tool).fileName(), process.errorString()));
    }

    if (stdinText && process.state() == QProcess::Running) {
        // A child that has already gone away makes this write fail; its exit
        // status then decides the outcome.
        process.write((*stdinText + QLatin1Char('\n')).toUtf8());
        process.closeWriteChannel();
    }

    while (process.state() != QProcess::NotRunning)
        co_await qCoro(&process, &QProcess::stateChanged);

    // A child killed by a signal fails with the signal as its status.
    int status = process.exitCode();
    if (process.exitStatus() == QProcess::CrashExit && status == 0)
        status = -1;
    checkStatus(tool, status, err);
    co_return output == Output::Pipe ? process.readAllStandardOutput() : readOutput(tool, out);
}

void stopRuns()
{
    for (QProcess *process : std::as_const(runningChildren()))
        process->kill();
}

bool hasRuns()
{
    return !runningChildren().isEmpty();
}

QCoro::Task<QByteArray> core(QStringList arguments, Source source, std::optional<QString> stdinText)
{
    QStringList all;
    if (source.log)
        all << QStringLiteral("--log") << *source.log;
    else
        all << QStringLiteral("--db") << source.database;
    all += arguments;
    co_return co_await run(core(), all, stdinText);
}

} // namespace Helpers
