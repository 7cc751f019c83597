// The Wrapped: brimlow-core computing it for a book of 200,000 messages,
// the book on standard input as the app hands it over; then the default
// selection's video, with the longest time the window waits between two
// turns of its event loop, and every card as PNG.
#include "generatedbook.h"
#include "model/helpers.h"
#include "timedrun.h"
#include "wizard/bookfonts.h"
#include "wrapped/wrappedexport.h"
#include "wrapped/wrappedvideo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <qcorotask.h>

namespace {

constexpr int messageCount = 200'000;
constexpr double toolBudgetSeconds = 1.0;
constexpr double toolMemoryBudgetMb = 300;
constexpr double videoBudgetSeconds = 6.0;
constexpr double blockBudgetMs = 50;
constexpr double cardsBudgetSeconds = 1.0;

bool writeBook(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly)
        && file.write(Bench::generatedBook(messageCount).toJsonBytes() + '\n') > 0;
}

// A child writes the book, so that this process never holds it: a spawned
// tool's peak memory counts the memory of the process that spawned it.
bool toolBench(const QByteArray &self)
{
    QTemporaryDir dir;
    const QByteArray input = QFile::encodeName(dir.filePath(QStringLiteral("book.json")));
    if (Bench::timed({ self, "--write-book", input }).status != 0)
        return false;
    const QByteArray tool = QByteArrayLiteral(QUORVEL_BENCH_STAGE "/libexec/quorvel/brimlow-core");
    const Bench::Run run = Bench::bestOf(3, { tool, "wrapped" }, input);
    std::printf(
        "wrapped of %d messages (%.0f MB book): %.3f s (budget %.1f s), peak %.0f MB (budget %.0f MB)\n",
        messageCount, QFileInfo(QFile::decodeName(input)).size() / 1048576.0, run.seconds, toolBudgetSeconds,
        run.peakMb, toolMemoryBudgetMb);
    return run.status == 0 && run.seconds <= toolBudgetSeconds && run.peakMb <= toolMemoryBudgetMb;
}

// The Wrapped of a year of a couple's messages, made by the tool.
std::optional<Wrapped> wrappedOf(const QString &folder)
{
    const QString path = folder + QStringLiteral("/year.json");
    QFile book(path);
    if (!book.open(QIODevice::WriteOnly) || book.write(Bench::generatedBook(20'000).toJsonBytes() + '\n') < 0)
        return std::nullopt;
    book.close();
    QProcess tool;
    tool.setStandardInputFile(path);
    tool.start(
        QStringLiteral(QUORVEL_BENCH_STAGE "/libexec/quorvel/brimlow-core"), { QStringLiteral("wrapped") });
    tool.waitForFinished(-1);
    return Wrapped::fromJson(tool.readAllStandardOutput());
}

bool exportBench()
{
    QTemporaryDir dir;
    const std::optional<Wrapped> wrapped = wrappedOf(dir.path());
    if (!wrapped)
        return false;
    WrappedSettings settings;
    settings.selection = wrapped->defaultSelection;

    // A timer that should fire every millisecond: the gaps between its
    // shots are the times the window could not answer.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer beat;
    beat.setInterval(1);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    const QString film = dir.filePath(QStringLiteral("film.mp4"));
    int frames = 0;
    bool done = false;
    bool failed = false;
    QEventLoop loop;
    clock.start();
    beat.start();
    auto task = [&]() -> QCoro::Task<void> {
        try {
            co_await WrappedVideo::exportVideo(
                *wrapped, settings, QStringLiteral("FRIEND-7Q2K"), film, [&](double) { ++frames; });
        } catch (const std::exception &error) {
            std::printf("video failed: %s\n", error.what());
            failed = true;
        }
        done = true;
        loop.quit();
    }();
    if (!done)
        loop.exec();
    const double seconds = clock.elapsed() / 1000.0;
    beat.stop();
    std::printf("video of the default selection (%d frames, 1080 x 1920): %.2f s (budget %.1f s), "
                "longest wait of the window %lld ms (budget %.0f ms)\n",
        frames, seconds, videoBudgetSeconds, qlonglong(longest), blockBudgetMs);

    WrappedSettings all;
    for (const Wrapped::Card &card : wrapped->cards)
        all.selection.append(card.id);
    QElapsedTimer cards;
    cards.start();
    QStringList files;
    bool written = false;
    auto cardTask = [&]() -> QCoro::Task<void> {
        files = co_await WrappedExport::cards(*wrapped, all, QStringLiteral("FRIEND-7Q2K"),
            { WrappedSettings::Format::Story }, dir.filePath(QStringLiteral("cards")),
            QStringLiteral("bench"));
        written = true;
        loop.quit();
    }();
    if (!written)
        loop.exec();
    const double cardSeconds = cards.elapsed() / 1000.0;
    std::printf("all %lld cards as PNG: %.2f s (budget %.1f s)\n", qlonglong(files.size()), cardSeconds,
        cardsBudgetSeconds);
    return !failed && seconds <= videoBudgetSeconds && longest <= blockBudgetMs
        && cardSeconds <= cardsBudgetSeconds;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--write-book")
        return writeBook(QFile::decodeName(argv[2])) ? 0 : 1;
    const bool tool
        = toolBench(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toLocal8Bit());

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    Helpers::setPackageRoot(QStringLiteral(QUORVEL_BENCH_STAGE));
    BookFonts::registerFonts();
    const bool exports = exportBench();
    return tool && exports ? 0 : 1;
}
