// Print files of a generated 20,000-message book, cold: the time of each
// volume and the share of it spent in typst, then the covers set again
// with printer widths, which must not typeset any interior again.
#include "generatedbook.h"
#include "model/helpers.h"
#include "project/bookhome.h"
#include "project/clock.h"
#include "project/project.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <qcorotask.h>

namespace {

constexpr int messageCount = 20000;
// Pages per volume: small enough that the book needs several.
constexpr int limit = 300;

BookFile generatedBook()
{
    return Bench::generatedBook(messageCount);
}

struct Tally
{
    QElapsedTimer volumeClock;
    QList<double> volumeMs;
    QList<double> typstMs;
    int interiorRuns = 0;
    int coverRuns = 0;
};

QCoro::Task<void> timedRun(QStringList arguments, Tally *tally)
{
    QElapsedTimer clock;
    clock.start();
    if (arguments.last().contains(QLatin1String("/interior-")))
        ++tally->interiorRuns;
    else
        ++tally->coverRuns;
    co_await Helpers::run(Helpers::typst(), arguments);
    if (!tally->typstMs.isEmpty())
        tally->typstMs.last() += clock.nsecsElapsed() / 1e6;
}

void waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Helpers::setPackageRoot(QStringLiteral(QUORVEL_BENCH_STAGE));
    QTemporaryDir dir;
    Project::setBooksFolder(dir.path());

    Conversation conversation;
    conversation.key = QStringLiteral("bench");
    conversation.source = Source::mac();
    const QString folder = dir.filePath(Project::folderName(conversation.id()));
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/book.json"));
    file.open(QIODevice::WriteOnly);
    file.write(generatedBook().toJsonBytes());
    file.close();

    std::unique_ptr<Project> project = QCoro::waitFor(Project::open(conversation, QStringLiteral("Sam")));
    waitUntil([&] { return !project->pdf().isEmpty() || project->error(); });
    if (project->error()) {
        std::printf("typesetting failed: %s\n", qPrintable(*project->error()));
        return 1;
    }

    Tally tally;
    project->setPrintRunner([&tally](QStringList arguments) { return timedRun(arguments, &tally); });
    auto progress = [&tally](int, int) {
        if (!tally.volumeMs.isEmpty())
            tally.volumeMs.last() = tally.volumeClock.nsecsElapsed() / 1e6;
        tally.volumeMs.append(0);
        tally.typstMs.append(0);
        tally.volumeClock.start();
    };
    QElapsedTimer whole;
    whole.start();
    QList<Project::PrintFile> files;
    try {
        files = QCoro::waitFor(project->preparePrintFiles(limit, progress));
    } catch (const std::exception &e) {
        std::printf("print files failed: %s\n", e.what());
        return 1;
    }
    if (!tally.volumeMs.isEmpty())
        tally.volumeMs.last() = tally.volumeClock.nsecsElapsed() / 1e6;
    std::printf("book: %d messages, %d pages; limit %d pages: %lld volumes in %.0f ms\n", messageCount,
        project->layout().pageCount, limit, static_cast<long long>(files.size()), whole.nsecsElapsed() / 1e6);
    for (qsizetype i = 0; i < files.size(); ++i)
        std::printf("  volume %lld: %d pages, %.0f ms, typst %.1f%% of it\n", static_cast<long long>(i + 1),
            files[i].pages, tally.volumeMs[i], 100.0 * tally.typstMs[i] / tally.volumeMs[i]);

    // The printer's spines: each a little wider than ours, with a wrap.
    QList<double> spines;
    QList<std::optional<double>> wraps;
    for (const Project::PrintFile &printFile : files) {
        spines.append(BookHome::spineWidth(printFile.pages) + 0.02);
        wraps.append(0.75);
    }
    tally.interiorRuns = 0;
    tally.coverRuns = 0;
    tally.typstMs = { 0 };
    QElapsedTimer respine;
    respine.start();
    QCoro::waitFor(project->respineCovers(files, spines, wraps, limit));
    std::printf("covers set again: %d covers in %.0f ms (typst %.0f ms); interiors set again: %d (aim: 0)\n",
        tally.coverRuns, respine.nsecsElapsed() / 1e6, tally.typstMs[0], tally.interiorRuns);
    return 0;
}
