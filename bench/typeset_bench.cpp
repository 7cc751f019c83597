// Typesetting the sample book as the app does after an edit: compile and
// layout side by side. Prints the wall time and the share of each typst
// run spent outside the engine's own work (Node start, engine load, fonts).
#include "model/helpers.h"
#include "model/layout.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdio>
#include <qcorotask.h>

namespace {

QCoro::Task<int> typesetBoth(QString book, QString pdf)
{
    auto compile = Helpers::typeset(book, QStringLiteral("novel"), pdf);
    auto layout = Helpers::layout(book, QStringLiteral("novel"));
    co_await compile;
    const Layout result = co_await layout;
    co_return static_cast<int>(result.days.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Helpers::setPackageRoot(QStringLiteral(QUORVEL_BENCH_STAGE));
    const QString book = QStringLiteral(QUORVEL_SOURCE_DIR "/samples/sample-book.json");
    QTemporaryDir dir;
    const QString timings = dir.filePath(QStringLiteral("timings.jsonl"));
    qputenv("QUORVEL_TYPST_TIMINGS", timings.toUtf8());

    const int rounds = 5;
    qint64 best = -1;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        const int days = QCoro::waitFor(typesetBoth(book, dir.filePath(QStringLiteral("book.pdf"))));
        const qint64 wall = clock.elapsed();
        best = best < 0 ? wall : std::min(best, wall);
        std::printf("round %d: %lld ms wall for compile + layout side by side (%d days)\n", round + 1,
            static_cast<long long>(wall), days);
    }

    // Share outside the engine over every run of every round.
    double outside = 0, total = 0;
    QFile file(timings);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QJsonObject run = QJsonDocument::fromJson(file.readLine()).object();
            outside += run.value(QStringLiteral("nodeStartMs")).toDouble()
                + run.value(QStringLiteral("engineLoadMs")).toDouble()
                + run.value(QStringLiteral("fontsMs")).toDouble();
            total += run.value(QStringLiteral("totalMs")).toDouble();
        }
    }
    std::printf(
        "typeset sample: best wall %lld ms; outside the engine %.0f%% of typst's time (aim: under 25%%)\n",
        static_cast<long long>(best), total > 0 ? 100.0 * outside / total : 0.0);
    return 0;
}
