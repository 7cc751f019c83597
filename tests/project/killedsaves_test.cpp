// Saves that survive a kill: a child process writes book.json, the
// defaults file or the typesetting cache over and over and is killed with
// SIGKILL at a random moment, many times. Afterwards each file holds what
// the last finished save wrote or what the save under way was writing:
// never a torn file, never a lost one.
#include "model/defaults.h"
#include "project/typesetcache.h"
#include "projecttest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <csignal>
#include <unistd.h>

namespace {

// The child is this test binary again, told by these what to write where.
constexpr const char *KindVariable = "QUORVEL_KILLED_WRITER";
constexpr const char *FolderVariable = "QUORVEL_KILLED_WRITER_FOLDER";
constexpr const char *RunVariable = "QUORVEL_KILLED_WRITER_RUN";

constexpr int Runs = 60;
constexpr int CacheKeys = 4;

// The child writes for at most this long, should its parent be gone.
constexpr qint64 ChildLifetimeMs = 30000;

// Told after save N is complete, straight to the pipe.
void report(int save)
{
    const QByteArray line = "saved " + QByteArray::number(save) + '\n';
    if (::write(STDOUT_FILENO, line.constData(), size_t(line.size())) != line.size())
        std::abort();
}

QString bookWord(int run, int save)
{
    return QStringLiteral("r%1w%2").arg(run).arg(save);
}

// Big enough that a kill lands inside a write now and then.
QString defaultsValue(int run, int save)
{
    return QStringLiteral("%1:%2:").arg(run).arg(save) + QString(100000, QLatin1Char('x'));
}

QString cacheKey(int index)
{
    return QStringLiteral("%1").arg(index, 32, 10, QLatin1Char('0'));
}

// A key's PDF and layout are the same at every store, as a key's content
// is in use.
QByteArray cachePdf(int index)
{
    return blankPdf(40 * (index + 1));
}

Layout cacheLayout(int index)
{
    Layout layout;
    layout.days.insert(QStringLiteral("2024-03-0%1").arg(index + 1), { index + 1, index });
    layout.pageCount = 40 * (index + 1);
    layout.chapterPages = { 1, index + 2 };
    return layout;
}

BookFile bigBook()
{
    QStringList texts;
    for (int i = 0; i < 2000; ++i)
        texts.append(QStringLiteral("message %1 with a few more words to it").arg(i));
    return bookOf(texts);
}

QString bookPath(const QString &books)
{
    return books + QLatin1Char('/') + Project::folderName(QStringLiteral("k")) + QStringLiteral("/book.json");
}

void writeBooks(const QString &books, int run, const QElapsedTimer &alive)
{
    ManualClock clock; // no typesetting starts
    Project::setBooksFolder(books);
    std::unique_ptr<Project> project
        = TestSupport::await(Project::open(conversationWithKey(QStringLiteral("k")), QStringLiteral("Sam")));
    for (int save = 1; alive.elapsed() < ChildLifetimeMs; ++save) {
        project->addWord(bookWord(run, save));
        ASSERT_FALSE(project->error()) << qPrintable(*project->error());
        report(save);
    }
}

void writeDefaults(const QString &folder, int run, const QElapsedTimer &alive)
{
    Defaults defaults(folder + QStringLiteral("/defaults.json"));
    for (int save = 1; alive.elapsed() < ChildLifetimeMs; ++save) {
        defaults.setString(QStringLiteral("value"), defaultsValue(run, save));
        report(save);
    }
}

void writeCache(const QString &folder, const QElapsedTimer &alive)
{
    ManualClock clock;
    for (int save = 1; alive.elapsed() < ChildLifetimeMs; ++save) {
        const int index = save % CacheKeys;
        const QString pdf = folder + QStringLiteral("/book-%1.pdf").arg(save);
        TestSupport::writeFile(pdf, cachePdf(index));
        ASSERT_TRUE(TypesetCache::store(cacheKey(index), pdf, cacheLayout(index), folder));
        report(save);
    }
}

// Starts a writer, lets it finish its first save, kills it a random while
// later and returns the number of the last save it finished.
int killWriter(const char *kind, const QString &folder, int run)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(KindVariable), QString::fromLatin1(kind));
    environment.insert(QString::fromLatin1(FolderVariable), folder);
    environment.insert(QString::fromLatin1(RunVariable), QString::number(run));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(
        QCoreApplication::applicationFilePath(), { QStringLiteral("--gtest_filter=KilledSaves.Writer") });
    QByteArray out;
    const auto lastSave = [&] {
        out += child.readAllStandardOutput();
        int last = 0;
        for (const QByteArray &line : out.split('\n')) {
            if (line.startsWith("saved "))
                last = line.mid(6).toInt();
        }
        return last;
    };
    while (lastSave() < 1 && child.state() != QProcess::NotRunning)
        child.waitForReadyRead(100);
    EXPECT_EQ(child.state(), QProcess::Running) << "the writer ended by itself: " << out.toStdString();
    QThread::usleep(QRandomGenerator::global()->bounded(20000));
    ::kill(pid_t(child.processId()), SIGKILL);
    child.waitForFinished();
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    return lastSave();
}

class KilledSaves : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
};

} // namespace

// The child's side; it writes only when one of the tests below starts it.
TEST_F(KilledSaves, Writer)
{
    const QByteArray kind = qgetenv(KindVariable);
    if (kind.isEmpty())
        GTEST_SKIP() << "writes only in the child of the tests below";
    const QString folder = qEnvironmentVariable(FolderVariable);
    const int run = qEnvironmentVariableIntValue(RunVariable);
    QElapsedTimer alive;
    alive.start();
    if (kind == "book")
        writeBooks(folder, run, alive);
    else if (kind == "defaults")
        writeDefaults(folder, run, alive);
    else if (kind == "cache")
        writeCache(folder, alive);
}

TEST_F(KilledSaves, TheBookIsThePreviousOrTheNewSave)
{
    const QString books = m_dir.path();
    const QString path = bookPath(books);
    QDir().mkpath(QFileInfo(path).absolutePath());
    for (int run = 1; run <= Runs; ++run) {
        TestSupport::writeFile(path, bigBook().toJsonBytes());
        const int last = killWriter("book", books, run);
        ASSERT_TRUE(QFileInfo::exists(path)) << "run " << run;
        const BookFile book = BookFile::fromJson(TestSupport::readFile(path));
        const QString word = book.edits.words.value_or(QStringList()).value(last - 1);
        EXPECT_EQ(word, bookWord(run, last)) << "run " << run;
        const qsizetype words = book.edits.words.value_or(QStringList()).size();
        EXPECT_TRUE(words == last || words == last + 1)
            << "run " << run << ": " << words << " after " << last;
        EXPECT_EQ(book.messages.size(), 2000);
    }
}

TEST_F(KilledSaves, TheDefaultsAreThePreviousOrTheNewSave)
{
    const QString path = m_dir.filePath(QStringLiteral("defaults.json"));
    for (int run = 1; run <= Runs; ++run) {
        const int last = killWriter("defaults", m_dir.path(), run);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(TestSupport::readFile(path), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError)
            << "run " << run << ": " << qPrintable(error.errorString());
        const QString value = document.object().value(QStringLiteral("value")).toString();
        EXPECT_TRUE(value == defaultsValue(run, last) || value == defaultsValue(run, last + 1))
            << "run " << run << " after save " << last << ": " << qPrintable(value.left(20));
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".corrupt")));
    }
}

TEST_F(KilledSaves, CachedTypesettingsAreNeverLostOrTorn)
{
    const QString folder = m_dir.path();
    QSet<int> stored;
    ManualClock clock;
    for (int run = 1; run <= Runs; ++run) {
        const int last = killWriter("cache", folder, run);
        for (int save = 1; save <= last && stored.size() < CacheKeys; ++save)
            stored.insert(save % CacheKeys);
        for (int index = 0; index < CacheKeys; ++index) {
            const std::optional<TypesetCache::Entry> entry = TypesetCache::load(cacheKey(index), folder);
            if (!entry) {
                EXPECT_FALSE(stored.contains(index)) << "run " << run << ": key " << index << " was lost";
                continue;
            }
            EXPECT_EQ(TestSupport::readFile(entry->pdf), cachePdf(index))
                << "run " << run << ", key " << index;
            EXPECT_EQ(TypesetCache::toStored(entry->layout), TypesetCache::toStored(cacheLayout(index)))
                << "run " << run << ", key " << index;
        }
    }
}
