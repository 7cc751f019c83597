// The one place that starts child processes: each run in a working folder
// of its own, the tool ended with the app however the app ends, and what a
// killed run left behind swept at the next start.
#include "folderlock.h"
#include "helpers.h"
#include "source.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QUuid>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <qcorosignal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
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

// "quorvel-" and a UUID: the sweep tells the app's own working folders
// from anyone else's by it.
const QString folderPrefix = QStringLiteral("quorvel-");

bool isWorkingFolderName(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^quorvel-[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    return pattern.match(name).hasMatch();
}

// A run's working folder, claimed while the run lasts and removed whatever
// way it ends.
class WorkingFolder
{
public:
    WorkingFolder();
    ~WorkingFolder() { m_claim.removeFolder(); }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    QString file(const QString &name) const { return m_claim.folder() + QLatin1Char('/') + name; }

private:
    FolderLock m_claim;
};

WorkingFolder::WorkingFolder()
{
    const QString base = QDir::tempPath();
    QDir().mkpath(base);
    // A sweep beside may take a new folder for a leftover in the moment
    // before it is claimed, and remove it: then another name.
    int error = 0;
    for (int attempt = 0; attempt < 3 && !m_claim.isHeld(); ++attempt) {
        const QString path
            = base + QLatin1Char('/') + folderPrefix + QUuid::createUuid().toString(QUuid::WithoutBraces);
        // Only we may read what a tool writes there: message text passes through.
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0) {
            error = errno;
            break;
        }
        m_claim = FolderLock::claim(path);
        error = errno;
        if (!m_claim.isHeld())
            QDir(path).removeRecursively();
    }
    if (!m_claim.isHeld()) {
        throw LaunchError(QStringLiteral("Couldn't create a working folder in %1: %2.")
                              .arg(base, QString::fromLocal8Bit(std::strerror(error))));
    }
}

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

void sweepWorkingFolders()
{
    // Names first: a temporary folder may hold thousands of entries, and
    // this runs while the app starts.
    QDirIterator entries(QDir::tempPath(), { folderPrefix + QLatin1Char('*') },
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        const QString path = entries.next();
        if (!isWorkingFolderName(entries.fileName()))
            continue;
        // Only a folder of this user's, never a link to one.
        const QFileInfo entry(path);
        if (entry.isSymLink() || !entry.isDir() || entry.ownerId() != ::getuid())
            continue;
        FolderLock::claim(path).removeFolder();
    }
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
