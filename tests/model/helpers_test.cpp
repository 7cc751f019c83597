#include "model/folderlock.h"
#include "model/helpers.h"
#include "model/layout.h"
#include "model/workingfolder.h"
#include "testsupport.h"
#include "timedrun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using TestSupport::await;

namespace {

// A small executable script in a temporary folder, named as asked.
QString script(const QTemporaryDir &dir, const QString &name, const QByteArray &body)
{
    const QString path = dir.filePath(name);
    TestSupport::writeFile(path, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QByteArray runSh(const QByteArray &body, std::optional<QString> input = std::nullopt)
{
    return await(
        Helpers::run(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QString::fromUtf8(body) }, input));
}

// Points the temporary folder at a fresh directory for one test.
class PrivateTemp
{
public:
    PrivateTemp()
        : m_old(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", m_dir.path().toUtf8());
    }
    ~PrivateTemp() { qputenv("TMPDIR", m_old); }
    QStringList leftovers() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

} // namespace

TEST(HelpersRun, ReturnsExactlyWhatTheChildPrinted)
{
    EXPECT_EQ(runSh("printf 'a\\nb\\0c'"), QByteArray("a\nb\0c", 5));
    EXPECT_EQ(runSh("true"), QByteArray());
}

TEST(HelpersRun, LargeOutputDoesNotBlockTheChild)
{
    const QByteArray out = runSh("head -c 3000000 /dev/zero");
    EXPECT_EQ(out.size(), 3000000);
}

TEST(HelpersRun, FailureNamesToolStatusAndTrimmedErrorOutput)
{
    QTemporaryDir dir;
    const QString typst
        = script(dir, QStringLiteral("typst"), "printf '  bad input\\n' >&2; echo ignored; exit 2");
    try {
        await(Helpers::run(typst, {}));
        FAIL() << "expected a failure";
    } catch (const Helpers::Failure &failure) {
        EXPECT_EQ(failure.description(), QStringLiteral("typst failed (2): bad input"));
        EXPECT_EQ(failure.tool(), QStringLiteral("typst"));
        EXPECT_EQ(failure.status(), 2);
    }
}

TEST(HelpersRun, FailureWithoutErrorOutputEndsInColonAndSpace)
{
    QTemporaryDir dir;
    const QString tool = script(dir, QStringLiteral("brimlow-core"), "exit 1");
    const auto failure = TestSupport::failureOf(Helpers::run(tool, {}));
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, QStringLiteral("brimlow-core failed (1): "));
}

TEST(HelpersRun, ErrorOutputOfASuccessfulRunIsDiscarded)
{
    EXPECT_EQ(runSh("echo warning >&2; printf ok"), QByteArray("ok"));
}

TEST(HelpersRun, StandardInputArrivesWithOneLineFeed)
{
    EXPECT_EQ(runSh("cat", QStringLiteral("secret")), QByteArray("secret\n"));
    EXPECT_EQ(runSh("cat", QString()), QByteArray("\n"));
    EXPECT_EQ(runSh("cat", QStringLiteral("é")), QStringLiteral("é\n").toUtf8());
}

TEST(HelpersRun, WithoutStandardInputAReadingChildEndsAtOnce)
{
    // The null device, not an inherited terminal or an open pipe.
    EXPECT_EQ(runSh("cat; printf done"), QByteArray("done"));
}

TEST(HelpersRun, ChildThatIgnoresItsInputStillSucceeds)
{
    const QString big(1 << 20, QLatin1Char('x'));
    EXPECT_EQ(runSh("exec 0<&-; printf ok", big), QByteArray("ok"));
}

TEST(HelpersRun, ChildKilledBySignalFailsWithTheSignal)
{
    QTemporaryDir dir;
    const QString tool = script(dir, QStringLiteral("crasher"), "echo dying >&2; kill -SEGV $$");
    try {
        await(Helpers::run(tool, {}));
        FAIL() << "a crash must not count as success";
    } catch (const Helpers::Failure &failure) {
        EXPECT_EQ(failure.status(), 11);
        EXPECT_EQ(failure.message(), QStringLiteral("dying"));
    }
}

TEST(HelpersRun, MissingExecutableIsALaunchErrorAndLeavesNothing)
{
    PrivateTemp temp;
    EXPECT_THROW(await(Helpers::run(QStringLiteral("/nonexistent/typst"), {})), Helpers::LaunchError);
    EXPECT_TRUE(temp.leftovers().isEmpty()) << temp.leftovers().join(u',').toStdString();
}

TEST(HelpersRun, NoWorkingFolderRemainsAfterSuccessOrFailure)
{
    PrivateTemp temp;
    runSh("printf x > /dev/null");
    EXPECT_THROW(runSh("exit 3"), Helpers::Failure);
    EXPECT_TRUE(temp.leftovers().isEmpty());
}

TEST(HelpersRun, WorkingFolderIsPrivateToTheUser)
{
    PrivateTemp temp;
    const QByteArray mode = runSh("stat -c %a \"$(dirname \"$(readlink /proc/$$/fd/1)\")\"");
    EXPECT_EQ(mode.trimmed(), QByteArray("700"));
}

TEST(HelpersRun, ConcurrentRunsDoNotShareFolders)
{
    auto a = Helpers::run(
        QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QStringLiteral("sleep 0.2; printf a") });
    auto b = Helpers::run(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QStringLiteral("printf b") });
    EXPECT_EQ(await(std::move(b)), QByteArray("b"));
    EXPECT_EQ(await(std::move(a)), QByteArray("a"));
}

TEST(HelpersRun, StoppedRunsFailAndLeaveNoChildBehind)
{
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    QCoro::Task<QByteArray> running = Helpers::run(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"), QStringLiteral("echo $$ > '%1'; exec sleep 60").arg(pidFile) });
    QCoro::Task<QByteArray> other
        = Helpers::run(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QStringLiteral("exec sleep 60") });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !TestSupport::readFile(pidFile).isEmpty(); }, 60000));
    EXPECT_TRUE(Helpers::hasRuns());

    Helpers::stopRuns();
    for (QCoro::Task<QByteArray> *task : { &running, &other }) {
        try {
            await(std::move(*task));
            FAIL() << "a stopped run must not count as success";
        } catch (const Helpers::Failure &failure) {
            EXPECT_EQ(failure.status(), SIGKILL);
        }
    }
    EXPECT_FALSE(Helpers::hasRuns());
    const QByteArray pid = TestSupport::readFile(pidFile).trimmed();
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid)));
    // Runs started afterwards go on as before.
    EXPECT_EQ(runSh("printf again"), QByteArray("again"));
}

// A killed app left its working folders behind; the next start can tell
// them from a running app's, claimed, and from anyone else's.
TEST(HelpersRun, WorkingFoldersAreNamedAsTheAppsOwnAndClaimedWhileTheRunLasts)
{
    PrivateTemp temp;
    const QList<QByteArray> said
        = runSh("folder=$(dirname \"$(readlink /proc/$$/fd/2)\"); basename \"$folder\"; "
                "flock --nonblock \"$folder/.lock\" true && echo free || echo claimed")
              .split('\n');
    ASSERT_GE(said.size(), 2);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^quorvel-[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}$"))
                    .match(QString::fromLatin1(said[0]))
                    .hasMatch())
        << said[0].constData();
    EXPECT_EQ(said[1], "claimed");
}

TEST(HelpersRun, AnAnswerThroughAPipeNeverRestsInTheWorkingFolder)
{
    PrivateTemp temp;
    const QByteArray said = await(Helpers::run(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"),
            QStringLiteral(
                "readlink /proc/$$/fd/1 | cut -c1-5; ls -A \"$(dirname \"$(readlink /proc/$$/fd/2)\")\"") },
        std::nullopt, Helpers::Output::Pipe));
    EXPECT_EQ(said, "pipe:\n.lock\nerr\n");
}

TEST(HelpersRun, TheSweepRemovesOnlyWhatKilledRunsLeft)
{
    PrivateTemp temp;
    const QDir dir(QDir::tempPath());
    const auto named = [&](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    // What killed runs left: unclaimed, whatever they hold.
    const QString left = named("quorvel-0a1b2c3d-0000-4000-8000-00000000000a");
    QDir().mkpath(left);
    TestSupport::writeFile(left + QStringLiteral("/out"), "the list of chats");
    const QString lockless = named("quorvel-0a1b2c3d-0000-4000-8000-00000000000b");
    QDir().mkpath(lockless);
    // Another app's run, claimed; and this process's own, under way.
    const QString claimed = named("quorvel-0a1b2c3d-0000-4000-8000-00000000000c");
    QDir().mkpath(claimed);
    const FolderLock other = FolderLock::claim(claimed);
    const QString go = dir.filePath(QStringLiteral("go"));
    QCoro::Task<QByteArray> running = Helpers::run(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"),
            QStringLiteral("while [ ! -e '%1' ]; do sleep 0.01; done; printf done").arg(go) });
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return dir.entryList({ "quorvel-*" }, QDir::Dirs).size() == 4; }, 10000));
    // Anyone else's: other names, a file, a link to a folder.
    const QStringList others { named("quorvel-keyring-Ab12Cd"),
        named("quorvel-0A1B2C3D-0000-4000-8000-00000000000D"),
        named("quorvel-0a1b2c3d-0000-4000-8000-00000000000e"),
        named("quorvel-0a1b2c3d-0000-4000-8000-00000000000f") };
    QDir().mkpath(others[0]);
    QDir().mkpath(others[1]);
    TestSupport::writeFile(others[2], "a file");
    QFile::link(others[0], others[3]);

    WorkingFolder::sweep();
    EXPECT_FALSE(QFile::exists(left));
    EXPECT_FALSE(QFile::exists(lockless));
    EXPECT_TRUE(QFile::exists(claimed));
    for (const QString &path : others)
        EXPECT_TRUE(QFileInfo::exists(path) || QFileInfo(path).isSymLink()) << path.toStdString();
    TestSupport::writeFile(go, "");
    EXPECT_EQ(await(std::move(running)), "done");
}

// Hand-offs once exported into "handoff-" folders that no sweep knew: one
// a killed app left held the whole conversation after the next start.
TEST(HelpersRun, TheSweepRemovesTheExportsEarlierHandOffsLeft)
{
    PrivateTemp temp;
    const QDir dir(QDir::tempPath());
    const auto named = [&](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    const QString exported = named("handoff-0a1b2c3d-0000-4000-8000-00000000000a");
    QDir().mkpath(exported);
    TestSupport::writeFile(exported + QStringLiteral("/book.json"), "{\"messages\": []}");
    TestSupport::writeFile(exported + QStringLiteral("/book.json.Xy12Ab"), "{\"mess");
    const QString empty = named("handoff-0a1b2c3d-0000-4000-8000-00000000000b");
    QDir().mkpath(empty);
    // Anyone else's: what a hand-off never holds, other names, a link.
    const QString notes = named("handoff-0a1b2c3d-0000-4000-8000-00000000000c");
    QDir().mkpath(notes);
    TestSupport::writeFile(notes + QStringLiteral("/notes.txt"), "mine");
    const QStringList others { notes, named("handoff-notes"),
        named("handoff-0a1b2c3d-0000-4000-8000-00000000000d") };
    QDir().mkpath(others[1]);
    QFile::link(empty + QStringLiteral("-kept"), others[2]);
    QDir().mkpath(empty + QStringLiteral("-kept"));

    WorkingFolder::sweep();
    EXPECT_FALSE(QFile::exists(exported));
    EXPECT_FALSE(QFile::exists(empty));
    for (const QString &path : others)
        EXPECT_TRUE(QFileInfo::exists(path) || QFileInfo(path).isSymLink()) << path.toStdString();
    EXPECT_TRUE(QFile::exists(notes + QStringLiteral("/notes.txt")));
}

// The tool that isn't told of huge pages starts itself again to ask: the
// bench's baseline did, while the app tells it, and the app's start looked
// the quicker for it.
TEST(HelpersRun, TheToolIsToldOfHugePagesInTheAppAndInTheBench)
{
    const QByteArray own = qgetenv("GLIBC_TUNABLES");
    const bool had = qEnvironmentVariableIsSet("GLIBC_TUNABLES");
    qunsetenv("GLIBC_TUNABLES");
    EXPECT_EQ(Helpers::coreEnvironment().value("GLIBC_TUNABLES"), "glibc.malloc.hugetlb=1");

    // A stand-in of that name ends well only when told.
    QTemporaryDir dir;
    const QString tool = dir.filePath("brimlow-core");
    TestSupport::writeFile(tool, "#!/bin/sh\n[ \"$GLIBC_TUNABLES\" = glibc.malloc.hugetlb=1 ]\n");
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(Bench::timed({ QFile::encodeName(tool) }).status, 0);
    const QString other = dir.filePath("typst");
    QFile::copy(tool, other);
    EXPECT_EQ(Bench::timed({ QFile::encodeName(other) }).status, 1);

    // What the user's environment says already stands.
    qputenv("GLIBC_TUNABLES", "glibc.malloc.check=0");
    EXPECT_EQ(Helpers::coreEnvironment().value("GLIBC_TUNABLES"), "glibc.malloc.check=0");
    if (had)
        qputenv("GLIBC_TUNABLES", own);
    else
        qunsetenv("GLIBC_TUNABLES");
}

TEST(HelpersLocations, DemoBooksSplitAtColonsDroppingEmptyPieces)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("QUORVEL_DEMO"), QStringLiteral("/a/one.json::/b/two.json:"));
    EXPECT_EQ(Helpers::demoBooksFor(env),
        (QStringList { QStringLiteral("/a/one.json"), QStringLiteral("/b/two.json") }));
    env.insert(QStringLiteral("QUORVEL_DEMO"), QString());
    EXPECT_TRUE(Helpers::demoBooksFor(env).isEmpty());
    EXPECT_TRUE(Helpers::demoBooksFor(QProcessEnvironment()).isEmpty());
}

TEST(HelpersLocations, DatabaseFollowsTheEnvironmentOrTheHomeFolder)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), QStringLiteral("/home/ann"));
    EXPECT_EQ(Helpers::databaseFor(env), QStringLiteral("/home/ann/Library/Messages/chat.db"));
    env.insert(QStringLiteral("QUORVEL_DB"), QStringLiteral("/tmp/x y/chat.db"));
    EXPECT_EQ(Helpers::databaseFor(env), QStringLiteral("/tmp/x y/chat.db"));
}

TEST(HelpersLocations, PackagePathsComeFromTheInstalledTree)
{
    EXPECT_TRUE(QFileInfo(Helpers::core()).isExecutable());
    EXPECT_TRUE(QFileInfo(Helpers::typst()).isExecutable());
    EXPECT_TRUE(QFileInfo(Helpers::templateFile(QStringLiteral("novel"))).isFile());
    EXPECT_TRUE(QFileInfo(Helpers::fonts()).isDir());
    EXPECT_EQ(Helpers::appName(), QStringLiteral("Quorvel"));
}

TEST(HelpersLocations, DemoTitleNeedsBothPersonKeys)
{
    const auto title
        = Helpers::DemoTitle::fromJson(R"({"people":[{"name":"Ann","me":true,"id":"me"}],"x":1})");
    ASSERT_TRUE(title);
    ASSERT_EQ(title->people.size(), 1);
    EXPECT_TRUE(title->people[0].me);
    EXPECT_FALSE(Helpers::DemoTitle::fromJson(R"({"people":[{"name":"Ann"}]})"));
    EXPECT_FALSE(Helpers::DemoTitle::fromJson("not json"));
}

TEST(TypstArguments, SharedArgumentsKeepABookPathWithSpacesWhole)
{
    const QStringList args
        = Helpers::typstArguments(QStringLiteral("/tmp/my book/book.json"), QStringLiteral("novel"));
    ASSERT_GE(args.size(), 7);
    EXPECT_EQ(args.mid(0, 6),
        (QStringList { QStringLiteral("--root"), QStringLiteral("/"), QStringLiteral("--font-path"),
            Helpers::fonts(), QStringLiteral("--ignore-system-fonts"), QStringLiteral("--input") }));
    EXPECT_EQ(args[6], QStringLiteral("book=/tmp/my book/book.json"));
    if (const auto emoji = Helpers::appleEmoji()) {
        ASSERT_EQ(args.size(), 9);
        EXPECT_EQ(args[7], QStringLiteral("--font-path"));
        EXPECT_EQ(args[8], *emoji);
        EXPECT_TRUE(QFileInfo(*emoji).isDir());
        EXPECT_TRUE(QFileInfo(*emoji).fileName() == QStringLiteral("SystemFonts"));
    } else {
        EXPECT_EQ(args.size(), 7);
    }
}

TEST(LayoutAnswer, FirstRowOfADayWinsAndBadRowsAreSkipped)
{
    const Layout layout = Helpers::layoutFromAnswer(R"({
        "days": [["2024-03-05", 1, 3], ["2024-03-05", 2, 4], ["2024-03-06", "x", 5],
                 ["2024-03-07", 3], [7, 3, 5], ["2024-03-08", 9, 11]],
        "pins": [], "chapters": []})");
    ASSERT_EQ(layout.days.size(), 2);
    EXPECT_EQ(layout.days.value(QStringLiteral("2024-03-05")).printed, 1);
    EXPECT_EQ(layout.days.value(QStringLiteral("2024-03-05")).index, 2);
    EXPECT_EQ(layout.days.value(QStringLiteral("2024-03-08")).index, 10);
    EXPECT_TRUE(layout.pins.isEmpty());
    EXPECT_TRUE(layout.chapterPages.isEmpty());
    EXPECT_EQ(layout.pageCount, 0);
}

TEST(LayoutAnswer, PinsAndChaptersAreKeptInOrder)
{
    const Layout layout = Helpers::layoutFromAnswer(R"({"days": [],
        "pins": [{"id":"m2","page":9,"natural":7,"ok":true},{"id":"m1","page":3,"natural":5,"ok":false}],
        "chapters": [1, 14, 30]})");
    ASSERT_EQ(layout.pins.size(), 2);
    EXPECT_EQ(layout.pins[0].id, QStringLiteral("m2"));
    EXPECT_FALSE(layout.pins[1].ok);
    EXPECT_EQ(layout.pins[1].natural, 5);
    EXPECT_EQ(layout.chapterPages, (QList<int> { 1, 14, 30 }));
}

TEST(LayoutAnswer, MalformedAnswersFailWhole)
{
    for (const char *answer : { R"({"days": [["2024-03-05", null, 1]], "pins": [], "chapters": []})",
             R"({"days": [["2024-03-05", true, 1]], "pins": [], "chapters": []})",
             R"({"days": [["2024-03-05", 1.5, 1]], "pins": [], "chapters": []})",
             R"({"days": [], "pins": [{"id":"m1","page":3}], "chapters": []})", R"({"days": [], "pins": []})",
             R"([1,2])", "", "not json" }) {
        EXPECT_THROW(Helpers::layoutFromAnswer(answer), std::exception) << answer;
    }
}

TEST(HelpersEmoji, WithoutTheFontThereIsNoFolder)
{
    QTemporaryDir support;
    EXPECT_FALSE(
        Helpers::prepareEmojiFolder(support.filePath(QStringLiteral("missing.ttf")), support.path()));
    EXPECT_FALSE(QFileInfo::exists(support.filePath(QStringLiteral("SystemFonts"))));
}

TEST(HelpersEmoji, FolderLinksTheFontAndKeepsAnExistingLink)
{
    QTemporaryDir dir;
    const QString font = dir.filePath(QStringLiteral("Emoji.ttf"));
    TestSupport::writeFile(font, "font");
    const auto folder = Helpers::prepareEmojiFolder(font, dir.filePath(QStringLiteral("support")));
    ASSERT_TRUE(folder);
    EXPECT_EQ(QFileInfo(*folder + QStringLiteral("/Emoji.ttf")).symLinkTarget(), font);

    // A link pointing elsewhere, even at nothing, is the user's business.
    QFile::remove(*folder + QStringLiteral("/Emoji.ttf"));
    QFile::link(QStringLiteral("/nowhere.ttf"), *folder + QStringLiteral("/Emoji.ttf"));
    Helpers::prepareEmojiFolder(font, dir.filePath(QStringLiteral("support")));
    EXPECT_EQ(
        QFileInfo(*folder + QStringLiteral("/Emoji.ttf")).symLinkTarget(), QStringLiteral("/nowhere.ttf"));
}
