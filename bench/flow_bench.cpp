// Finishing the wizard to the book's own page, for the sample's book over
// the default range of a freshly opened book (its last three months): the
// choices written, the book typeset with them, its cover drawn on the making
// screen, the pause, and the book's page on screen. The book was typeset
// once before, as it is while the wizard shows.
#include "benchbook.h"
#include "flow/bookflow.h"
#include "flow/bookhomeview.h"
#include "flow/makingview.h"
#include "model/consent.h"
#include "model/day.h"
#include "model/helpers.h"
#include "project/project.h"
#include "ui/desktop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Helpers::setPackageRoot(QStringLiteral(QUORVEL_BENCH_STAGE));
    Desktop quiet;
    Desktop::setInstance(&quiet);

    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    QProcess service;
    if (!Bench::startPricing(service, dir, "flow_bench"))
        return 1;

    const Conversation conversation = Bench::messagesConversation(QStringLiteral("sample"));
    Consent::record(conversation.id());
    if (!Bench::placeBook(dir.filePath(QStringLiteral("books")), conversation, Bench::sampleBook()))
        return 1;
    std::shared_ptr<Project> project = QCoro::waitFor(Project::open(conversation, QStringLiteral("Maya")));
    Bench::waitUntil(
        [&] { return (!project->pdf().isEmpty() && !project->isTypesetting()) || project->error(); });

    // Only the wizard's model matters here; its screen is not measured.
    std::function<void()> finished;
    BookFlow::Screens screens = BookFlow::Screens::standard();
    screens.wizard = [&finished](WizardModel *, BookFlow::Screens::Cancel, std::function<void()> done,
                         std::function<void()>) {
        finished = std::move(done);
        return new QWidget;
    };
    BookFlow flow(project, screens);
    flow.resize(1280, 820);
    flow.show();
    WizardModel *wizard = flow.wizard();
    QCoro::waitFor(wizard->load());
    const QString last = project->lastDay();
    wizard->setFrom(Day::iso(Day::date(last)->addMonths(-3)));

    QElapsedTimer clock;
    clock.start();
    wizard->finish();
    finished();
    Bench::waitUntil([&] { return project->isTypesetting() || flow.mode() != BookFlow::Mode::Making; });
    Bench::waitUntil([&] { return !project->isTypesetting() || flow.mode() != BookFlow::Mode::Making; });
    const double typeset = clock.nsecsElapsed() / 1e6;
    auto *making = qobject_cast<MakingView *>(flow.screen());
    Bench::waitUntil(
        [&] { return !making || making->isFinished() || flow.mode() != BookFlow::Mode::Making; });
    const double drawn = clock.nsecsElapsed() / 1e6;
    Bench::waitUntil([&] { return flow.mode() == BookFlow::Mode::Home || project->error(); });
    const double shown = clock.nsecsElapsed() / 1e6;
    auto *home = qobject_cast<BookHomeView *>(flow.screen());
    Bench::waitUntil([&] { return !home || home->hasCover(); });
    const double cover = clock.nsecsElapsed() / 1e6;
    service.terminate();
    service.waitForFinished(5000);

    if (project->error()) {
        std::fprintf(stderr, "flow_bench: %s\n", qPrintable(*project->error()));
        return 1;
    }
    std::printf("book of %s to %s: %d messages, %d pages\n", qPrintable(project->from()),
        qPrintable(project->to()), project->messagesInRange(), project->layout().pageCount);
    std::printf("  %7.0f ms   typeset with the choices\n", typeset);
    std::printf("  %7.0f ms   the cover drawn on the making screen\n", drawn);
    std::printf("  %7.0f ms   the book's page on screen (budget 2000 ms)\n", shown);
    std::printf("  %7.0f ms   its cover drawn\n", cover);
    return shown < 2000 ? 0 : 1;
}
