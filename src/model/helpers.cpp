#include "helpers.h"

#include "json.h"
#include "layout.h"
#include "source.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QUuid>
#include <cerrno>
#include <cstring>
#include <qcorosignal.h>
#include <sys/stat.h>

namespace Helpers {

Failure::Failure(QString tool, int status, QString message)
    : std::runtime_error(
        QStringLiteral("%1 failed (%2): %3").arg(tool).arg(status).arg(message).toStdString())
    , m_tool(std::move(tool))
    , m_status(status)
    , m_message(std::move(message))
{ }

QString Failure::description() const
{
    return QString::fromUtf8(what());
}

LaunchError::LaunchError(const QString &sentence)
    : std::runtime_error(sentence.toStdString())
{ }

namespace {

QString &packageRootOverride()
{
    static QString root;
    return root;
}

QString &emojiFontOverride()
{
    static QString path;
    return path;
}

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

// Removes a run's working folder whatever way the run ends.
class WorkingFolder
{
public:
    explicit WorkingFolder(QString path)
        : m_path(std::move(path))
    { }
    ~WorkingFolder() { QDir(m_path).removeRecursively(); }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    QString file(const QString &name) const { return m_path + QLatin1Char('/') + name; }

private:
    QString m_path;
};

QString makeWorkingFolder()
{
    const QString base = QDir::tempPath();
    QDir().mkpath(base);
    const QString path = base + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces);
    // Only we may read what a tool writes there: message text passes through.
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0)
        throw LaunchError(QStringLiteral("Couldn't create a working folder in %1: %2.")
                              .arg(base, QString::fromLocal8Bit(std::strerror(errno))));
    return path;
}

void createEmpty(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw LaunchError(QStringLiteral("Couldn't create %1: %2.").arg(path, file.errorString()));
}

} // namespace

void setPackageRoot(const QString &root)
{
    packageRootOverride() = root;
}

QString packageRoot()
{
    static const QString root = [] {
        if (!packageRootOverride().isEmpty())
            return QDir::cleanPath(packageRootOverride());
        return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    }();
    return root;
}

QString core()
{
    static const QString path = packageRoot() + QStringLiteral("/libexec/quorvel/brimlow-core");
    return path;
}

QString typst()
{
    static const QString path = packageRoot() + QStringLiteral("/libexec/quorvel/typst");
    return path;
}

QString resources()
{
    static const QString path = packageRoot() + QStringLiteral("/share/quorvel");
    return path;
}

QString fonts()
{
    static const QString path = resources() + QStringLiteral("/fonts");
    return path;
}

QString appName()
{
    static const QString name = [] {
        const QString compiled = QStringLiteral(QUORVEL_APP_NAME);
        return compiled.isEmpty() ? QStringLiteral("Quorvel") : compiled;
    }();
    return name;
}

QString support()
{
    static const QString path = [] {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        if (data.isEmpty() || !QDir::isAbsolutePath(data))
            data = QDir::homePath() + QStringLiteral("/.local/share");
        return data + QLatin1Char('/') + appName();
    }();
    return path;
}

QString databaseFor(const QProcessEnvironment &environment)
{
    if (environment.contains(QStringLiteral("QUORVEL_DB")))
        return environment.value(QStringLiteral("QUORVEL_DB"));
    const QString home = environment.value(QStringLiteral("HOME"), QDir::homePath());
    return home + QStringLiteral("/Library/Messages/chat.db");
}

QStringList demoBooksFor(const QProcessEnvironment &environment)
{
    return environment.value(QStringLiteral("QUORVEL_DEMO")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QString database()
{
    static const QString path = databaseFor(QProcessEnvironment::systemEnvironment());
    return path;
}

QStringList demoBooks()
{
    static const QStringList books = demoBooksFor(QProcessEnvironment::systemEnvironment());
    return books;
}

void setEmojiFontPath(const QString &path)
{
    emojiFontOverride() = path;
}

std::optional<QString> prepareEmojiFolder(const QString &font, const QString &supportFolder)
{
    if (!QFileInfo(font).isFile())
        return std::nullopt;
    const QString dir = supportFolder + QStringLiteral("/SystemFonts");
    QDir().mkpath(dir);
    const QString link = dir + QLatin1Char('/') + QFileInfo(font).fileName();
    // An existing link is left as it is, wherever it points.
    if (QFileInfo(link).symLinkTarget().isEmpty() && !QFileInfo(link).isSymLink())
        QFile::link(font, link);
    return dir;
}

std::optional<QString> appleEmoji()
{
    static const std::optional<QString> folder = prepareEmojiFolder(emojiFontOverride().isEmpty()
            ? QStringLiteral("/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf")
            : emojiFontOverride(),
        support());
    return folder;
}

QString templateFile(const QString &style)
{
    return resources() + QStringLiteral("/templates/") + style + QStringLiteral("/book.typ");
}

std::optional<DemoTitle> DemoTitle::fromJson(const QByteArray &bytes)
{
    try {
        const QJsonObject root = Json::parseObject(bytes);
        DemoTitle title;
        for (const QJsonValue &value : Json::requiredArray(root, u"people")) {
            const QJsonObject person = Json::toObject(value);
            title.people.append({ Json::requiredString(person, u"name"), Json::requiredBool(person, u"me") });
        }
        return title;
    } catch (const JsonError &) {
        return std::nullopt;
    }
}

QProcessEnvironment coreEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("GLIBC_TUNABLES")))
        environment.insert(QStringLiteral("GLIBC_TUNABLES"), QStringLiteral("glibc.malloc.hugetlb=1"));
    return environment;
}

namespace {

// What a run that ended with this status leaves: its output, or the
// failure it throws.
QByteArray outcome(const QString &tool, int status, const QString &out, const QString &err)
{
    if (status != 0) {
        QFile errFile(err);
        QString message;
        if (errFile.open(QIODevice::ReadOnly))
            message = QString::fromUtf8(errFile.readAll()).trimmed();
        throw Failure(QFileInfo(tool).fileName(), status, message);
    }
    QFile outFile(out);
    if (!outFile.open(QIODevice::ReadOnly))
        throw LaunchError(QStringLiteral("Couldn't read what %1 printed: %2.")
                              .arg(QFileInfo(tool).fileName(), outFile.errorString()));
    return outFile.readAll();
}

} // namespace

QCoro::Task<QByteArray> run(QString tool, QStringList arguments, std::optional<QString> stdinText)
{
    const WorkingFolder folder(makeWorkingFolder());
    const QString out = folder.file(QStringLiteral("out"));
    const QString err = folder.file(QStringLiteral("err"));
    createEmpty(out);
    createEmpty(err);

    QProcess process;
    const ListedChild listed(&process);
    process.setProgram(tool);
    process.setArguments(arguments);
    process.setStandardOutputFile(out);
    process.setStandardErrorFile(err);
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
    co_return outcome(tool, status, out, err);
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
