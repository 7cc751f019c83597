// Typeset pages against the wizard's estimate: books of every common shape,
// each in the three faces, typeset by the real typst with the app's own
// arguments, and the page count set beside Insights' estimate. The wizard
// prices and plans volumes on the estimate, so a shape off by more than 10%,
// or all of them by more than 5% on average, fails the bench.
#include "bookshapes.h"
#include "model/helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPdfDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <qcorotask.h>
#include <vector>

namespace {

const QStringList faces { QStringLiteral("pagella"), QStringLiteral("garamond"),
    QStringLiteral("libertinus") };
// typst runs at once: the machine is shared.
constexpr int parallelRuns = 4;
constexpr double shapeTolerance = 0.10;
constexpr double meanTolerance = 0.05;

struct Row
{
    QString shape;
    QString face;
    int messages = 0;
    int estimate = 0;
    QString book;
    QString pdf;
    int pages = 0;
    QString error;
};

QCoro::Task<void> typesetRow(Row *row)
{
    try {
        co_await Helpers::typeset(row->book, QStringLiteral("novel"), row->pdf);
        QPdfDocument document;
        if (document.load(row->pdf) == QPdfDocument::Error::None)
            row->pages = document.pageCount();
    } catch (const std::exception &e) {
        row->error = QString::fromUtf8(e.what());
    }
}

QCoro::Task<void> typesetAll(QList<Row> *rows)
{
    for (qsizetype start = 0; start < rows->size(); start += parallelRuns) {
        std::vector<QCoro::Task<void>> running;
        for (qsizetype i = start; i < std::min(rows->size(), start + parallelRuns); ++i)
            running.push_back(typesetRow(&(*rows)[i]));
        for (QCoro::Task<void> &run : running)
            co_await run;
    }
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // The emoji font's link goes into a support folder of the bench's own.
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
    Helpers::setPackageRoot(QStringLiteral(QUORVEL_BENCH_STAGE));
    // QUORVEL_PAGES_KEEP=folder keeps the books and PDFs there, to look at.
    const QString keep = qEnvironmentVariable("QUORVEL_PAGES_KEEP");
    const QString out = keep.isEmpty() ? dir.path() : keep;
    QDir().mkpath(out);

    // The shipped sample too, in the look a new book starts with.
    QList<Bench::BookShape> shapes = Bench::bookShapes(Bench::ShapeSize::Full);
    QFile sample(QStringLiteral(QUORVEL_SOURCE_DIR "/samples/sample-book.json"));
    if (sample.open(QIODevice::ReadOnly)) {
        BookFile book = BookFile::fromJson(sample.readAll());
        book.design = Design();
        book.design->receiptLines = Insights::read(book).receiptLines;
        shapes.append({ QStringLiteral("the shipped sample"), book });
    }
    // And one with a message pinned 30 pages after where it falls: the
    // blank pages before it are printed and paid for too.
    shapes.append(Bench::pinnedLater(shapes.first(), 30));
    // And the sample in two chapters of the user's own.
    if (sample.isOpen())
        shapes.append(Bench::ownChapters(shapes.at(shapes.size() - 2)));

    QList<Row> rows;
    for (const Bench::BookShape &shape : shapes) {
        for (const QString &face : faces) {
            BookFile book = shape.book;
            book.design->font = face;
            const QString stem
                = QString(shape.name)
                      .replace(QRegularExpression(QStringLiteral("[^a-z]+")), QStringLiteral("-"))
                + QLatin1Char('-') + face;
            Row row { shape.name, face, int(book.messages.size()), Bench::estimatedPages(book),
                out + QLatin1Char('/') + stem + QStringLiteral(".json"),
                out + QLatin1Char('/') + stem + QStringLiteral(".pdf"), 0, {} };
            if (!write(row.book, book.toJsonBytes())) {
                std::fprintf(stderr, "pages_bench: could not write %s\n", qPrintable(row.book));
                return 1;
            }
            rows.append(row);
        }
    }

    QElapsedTimer clock;
    clock.start();
    QCoro::waitFor(typesetAll(&rows));

    std::printf("%-40s %-11s %8s %9s %6s %7s\n", "shape", "face", "messages", "estimate", "pages", "ratio");
    double deviations = 0;
    double worst = 0;
    bool failed = false;
    for (const Row &row : rows) {
        if (!row.error.isEmpty() || row.pages < 1 || row.estimate < 1) {
            std::printf("%-40s %-11s typesetting failed: %s\n", qPrintable(row.shape), qPrintable(row.face),
                qPrintable(row.error.isEmpty() ? QStringLiteral("no pages") : row.error));
            failed = true;
            continue;
        }
        const double ratio = double(row.pages) / row.estimate;
        const double off = std::abs(ratio - 1);
        deviations += off;
        worst = std::max(worst, off);
        std::printf("%-40s %-11s %8d %9d %6d %7.3f%s\n", qPrintable(row.shape), qPrintable(row.face),
            row.messages, row.estimate, row.pages, ratio,
            off > shapeTolerance ? "  << off by more than 10%" : "");
    }
    const double mean = rows.isEmpty() ? 0 : deviations / rows.size();
    std::printf(
        "%lld books typeset in %.1f s; mean deviation %.1f%% (aim: at most %.0f%%), worst %.1f%% (aim: at "
        "most %.0f%%)\n",
        static_cast<long long>(rows.size()), clock.elapsed() / 1000.0, 100 * mean, 100 * meanTolerance,
        100 * worst, 100 * shapeTolerance);
    failed = failed || worst > shapeTolerance || mean > meanTolerance;
    return failed ? 1 : 0;
}
