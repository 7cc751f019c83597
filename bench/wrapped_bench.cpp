// The Wrapped: brimlow-core computing it for a book of 200,000 messages,
// the book on standard input as the app hands it over.
#include "generatedbook.h"
#include "timedrun.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int messageCount = 200'000;
constexpr double toolBudgetSeconds = 1.0;
constexpr double toolMemoryBudgetMb = 300;

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

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--write-book")
        return writeBook(QFile::decodeName(argv[2])) ? 0 : 1;
    return toolBench(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toLocal8Bit()) ? 0 : 1;
}
