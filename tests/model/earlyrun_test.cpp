// The message tool's run that `quorvel` starts before the window's program
// is loaded: how it is started, said and taken over.
#include "earlystart.h"
#include "model/earlyrun.h"
#include "model/helpers.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace TestSupport;

namespace {

// A run started as the launcher starts one, offered as `tool arguments`
// whatever it really runs.
EarlyRun::Run startEarly(const std::string &script, const QStringList &arguments)
{
    const std::vector<std::string> real { "-c", script };
    const EarlyStart::Started started = EarlyStart::start("/bin/sh", real);
    std::vector<std::string> claimed;
    for (const QString &argument : arguments)
        claimed.push_back(argument.toStdString());
    const std::optional<EarlyRun::Run> run
        = EarlyRun::parse(QByteArray::fromStdString(EarlyStart::describe(started, "/bin/sh", claimed)));
    EXPECT_TRUE(run.has_value());
    EarlyRun::offer(run);
    return run.value_or(EarlyRun::Run());
}

bool reaped(qint64 pid)
{
    return ::waitpid(pid_t(pid), nullptr, WNOHANG) < 0 && errno == ECHILD;
}

// What the launcher sets for the window's program, as the window sees it.
struct Launched
{
    int status = -1;
    QString variable;
    QString errors;
};

Launched launch(const QString &window, const QHash<QString, QString> &variables, const QString &tmp)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QUORVEL_DB"));
    environment.remove(QStringLiteral("QUORVEL_DEMO"));
    environment.insert(QStringLiteral("TMPDIR"), tmp);
    for (auto it = variables.begin(); it != variables.end(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUORVEL_EARLY_START_PROBE),
        { window, QStringLiteral("/bin/true"), QStringLiteral("-c"), QStringLiteral("printf %s \"$QUORVEL_EARLY_RUN\"") });
    process.waitForFinished(30000);
    return { process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
        QString::fromLocal8Bit(process.readAllStandardError()) };
}

} // namespace

TEST(EarlyRun, ReadsWhatTheLauncherSaysAndNothingElse)
{
    const std::optional<EarlyRun::Run> run = EarlyRun::parse("4242\n/tmp/quorvel-abc\n/x/brimlow-core\n--db\n/d b\nchats");
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->pid, 4242);
    EXPECT_EQ(run->folder, "/tmp/quorvel-abc");
    EXPECT_EQ(run->tool, "/x/brimlow-core");
    EXPECT_EQ(run->arguments, (QStringList { "--db", "/d b", "chats" }));
    for (const QByteArray &said : { QByteArray(), QByteArray("4242"), QByteArray("4242\n/tmp/f"),
             QByteArray("x\n/tmp/f\ntool"), QByteArray("-3\n/tmp/f\ntool"), QByteArray("12\n\ntool") })
        EXPECT_FALSE(EarlyRun::parse(said).has_value()) << said.toStdString();
}

TEST(EarlyRun, TheFirstRunAskingTheSameTakesItOverAndTheToolStartsOnlyForTheNext)
{
    const QStringList arguments { QStringLiteral("-c"), QStringLiteral("echo late") };
    const EarlyRun::Run early = startEarly("echo early", arguments);
    EXPECT_EQ(await(Helpers::run(QStringLiteral("/bin/sh"), arguments)), "early\n");
    EXPECT_FALSE(QDir(early.folder).exists());
    EXPECT_TRUE(reaped(early.pid));
    // Offered once: the next run is the tool's own.
    EXPECT_EQ(await(Helpers::run(QStringLiteral("/bin/sh"), arguments)), "late\n");
}

TEST(EarlyRun, ATakenRunThatFailsFailsAsTheToolDoes)
{
    const QStringList arguments { QStringLiteral("-c"), QStringLiteral("exit 0") };
    const EarlyRun::Run early = startEarly("echo 'the store is locked' >&2; exit 3", arguments);
    try {
        await(Helpers::run(QStringLiteral("/bin/sh"), arguments));
        ADD_FAILURE() << "the failed run was taken for a success";
    } catch (const Helpers::Failure &failure) {
        EXPECT_EQ(failure.status(), 3);
        EXPECT_EQ(failure.message(), "the store is locked");
    }
    EXPECT_FALSE(QDir(early.folder).exists());
}

TEST(EarlyRun, ARunNobodyAsksForIsEndedWithItsFolder)
{
    const EarlyRun::Run early = startEarly("sleep 30", { QStringLiteral("chats") });
    // Other arguments don't take it.
    EXPECT_EQ(await(Helpers::run(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QStringLiteral("echo own") })),
        "own\n");
    EXPECT_TRUE(QDir(early.folder).exists());
    EarlyRun::stop();
    EXPECT_TRUE(reaped(early.pid));
    EXPECT_FALSE(QDir(early.folder).exists());
    EXPECT_FALSE(EarlyRun::take(QStringLiteral("/bin/sh"), { QStringLiteral("chats") }).has_value());
}

TEST(EarlyRun, StoppingTheRunsEndsATakenOneAsACrash)
{
    const QStringList arguments { QStringLiteral("-c"), QStringLiteral("sleep 30") };
    const EarlyRun::Run early = startEarly("sleep 30", arguments);
    QCoro::Task<QByteArray> run = Helpers::run(QStringLiteral("/bin/sh"), arguments);
    EXPECT_TRUE(Helpers::hasRuns());
    Helpers::stopRuns();
    try {
        await(std::move(run));
        ADD_FAILURE() << "a killed run was taken for a success";
    } catch (const Helpers::Failure &failure) {
        EXPECT_EQ(failure.status(), SIGKILL);
    }
    EXPECT_FALSE(Helpers::hasRuns());
    EXPECT_TRUE(reaped(early.pid));
    EXPECT_FALSE(QDir(early.folder).exists());
}

// The variable is the environment's, which anyone can set: a run that is
// not this process's child, or a folder not a working folder, is never
// taken, and taking one removes only what the run wrote.
TEST(EarlyRun, OnlyItsOwnChildIsTakenAndOnlyWhatTheRunWroteIsRemoved)
{
    QTemporaryDir elsewhere;
    writeFile(elsewhere.filePath(QStringLiteral("keep")), "mine");
    const QStringList arguments { QStringLiteral("chats") };
    EarlyRun::offer(EarlyRun::Run { 1, elsewhere.path(), QStringLiteral("/bin/sh"), arguments });
    EXPECT_FALSE(EarlyRun::take(QStringLiteral("/bin/sh"), arguments).has_value());

    const EarlyRun::Run early = startEarly("echo early", arguments);
    EarlyRun::offer(EarlyRun::Run { early.pid, elsewhere.path(), early.tool, arguments });
    EXPECT_FALSE(EarlyRun::take(QStringLiteral("/bin/sh"), arguments).has_value());

    EarlyRun::offer(early);
    writeFile(early.folder + QStringLiteral("/someone's"), "kept");
    EXPECT_EQ(await(Helpers::run(QStringLiteral("/bin/sh"), arguments)), "early\n");
    EXPECT_FALSE(QFile::exists(early.folder + QStringLiteral("/out")));
    EXPECT_TRUE(QFile::exists(early.folder + QStringLiteral("/someone's")));
    EXPECT_TRUE(QFile::exists(elsewhere.filePath(QStringLiteral("keep"))));
    QDir(early.folder).removeRecursively();
}

// The launcher names the tool by the very path the window's program asks
// for, or the run would never be taken.
TEST(EarlyStart, NamesTheToolAsTheWindowsProgramDoes)
{
    for (const QString &bin : { QStringLiteral("/usr/bin"), QStringLiteral("/opt/quorvel/bin"),
             QStringLiteral("/home/sam/.local/bin") }) {
        const QString window = QString::fromStdString(EarlyStart::windowBeside(bin.toStdString()));
        const QString root = Helpers::packageRootFor(QFileInfo(window).path());
        EXPECT_EQ(QString::fromStdString(EarlyStart::toolBeside(bin.toStdString())),
            root + QStringLiteral("/libexec/quorvel/brimlow-core"));
        EXPECT_EQ(root, Helpers::packageRootFor(bin));
    }
}

// The launcher starts the list only where the messages can be read, and
// never for the demo; a window it can't start leaves nothing behind.
TEST(EarlyStart, StartsTheListWhereTheMessagesCanBeReadAndLeavesNothingWhenTheWindowFails)
{
    QTemporaryDir tmp;
    const QString store = tmp.filePath(QStringLiteral("chat.db"));
    writeFile(store, "messages");
    const QString sh = QStringLiteral("/bin/sh");

    const Launched started = launch(sh, { { QStringLiteral("QUORVEL_DB"), store } }, tmp.path());
    EXPECT_EQ(started.status, 0) << started.errors.toStdString();
    const QStringList said = started.variable.split(QLatin1Char('\n'));
    ASSERT_EQ(said.size(), 8) << started.variable.toStdString();
    EXPECT_GT(said[0].toInt(), 0);
    EXPECT_TRUE(said[1].startsWith(tmp.path() + QStringLiteral("/quorvel-")));
    EXPECT_TRUE(QFile::exists(said[1] + QStringLiteral("/out")));
    EXPECT_EQ(said.mid(2), (QStringList { "/bin/true", "--db", store, "chats", "--limit", "300" }));
    QDir(said[1]).removeRecursively();

    EXPECT_EQ(launch(sh, { { QStringLiteral("QUORVEL_DB"), tmp.filePath(QStringLiteral("none.db")) } }, tmp.path())
                  .variable,
        QString());
    EXPECT_EQ(launch(sh, { { QStringLiteral("QUORVEL_DB"), store }, { QStringLiteral("QUORVEL_DEMO"), store } },
                  tmp.path())
                  .variable,
        QString());

    const Launched failed
        = launch(tmp.filePath(QStringLiteral("no-window")), { { QStringLiteral("QUORVEL_DB"), store } }, tmp.path());
    EXPECT_EQ(failed.status, 127);
    EXPECT_TRUE(failed.errors.startsWith(QStringLiteral("Quorvel couldn't start its window"))) << failed.errors.toStdString();
    EXPECT_EQ(QDir(tmp.path()).entryList({ QStringLiteral("quorvel-*") }, QDir::Dirs), QStringList());
}
