// Placing an order for the sample's book, as the order sheet does it,
// against the stand-in service: print files, the order made, the covers set
// to the printer's spine, the uploads and the submit, with the time of each
// step the sheet shows and of each typst run under it. The book is typeset
// first and not timed: the order button waits for that too.
#include "benchbook.h"
#include "flow/ordermodel.h"
#include "model/helpers.h"
#include "project/project.h"
#include "ui/desktop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Where the payment page would open: nowhere, it is only noted.
class QuietDesktop : public Desktop
{
public:
    QCoro::Task<bool> openUrl(QUrl url) override
    {
        opened = url;
        co_return true;
    }
    QUrl opened;
};

QString stageText(const OrderModel::Stage &stage)
{
    switch (stage.kind) {
    case OrderModel::Stage::Kind::Preparing:
        return QStringLiteral("Making the print files (book %1 of %2)").arg(stage.step).arg(stage.of);
    case OrderModel::Stage::Kind::Uploading:
        return QStringLiteral("Sending them (%1 of %2)").arg(stage.step).arg(stage.of);
    case OrderModel::Stage::Kind::Handing:
        return QStringLiteral("Opening the payment page");
    case OrderModel::Stage::Kind::Done:
        return stage.message;
    case OrderModel::Stage::Kind::Ready:
        return QStringLiteral("Ready");
    }
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Helpers::setPackageRoot(QStringLiteral(QUORVEL_BENCH_STAGE));
    QuietDesktop desktop;
    Desktop::setInstance(&desktop);

    QTemporaryDir dir;
    // The order's install identifier goes to a settings file of the bench's own.
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    QProcess service;
    if (!Bench::startPricing(service, dir, "order_bench"))
        return 1;
    const std::optional<Pricing> pricing = QCoro::waitFor(Pricing::load());

    const Conversation conversation = Bench::messagesConversation(QStringLiteral("sample"));
    if (!Bench::placeBook(dir.filePath(QStringLiteral("books")), conversation, Bench::sampleBook()))
        return 1;
    std::shared_ptr<Project> project = QCoro::waitFor(Project::open(conversation, QStringLiteral("Maya")));
    Bench::waitUntil(
        [&] { return (!project->pdf().isEmpty() && !project->isTypesetting()) || project->error(); });
    if (project->error()) {
        std::fprintf(stderr, "order_bench: %s\n", qPrintable(*project->error()));
        return 1;
    }
    std::printf("sample book: %d messages, %d pages\n", int(project->book().messages.size()),
        project->layout().pageCount);

    QElapsedTimer clock;
    project->setPrintRunner([&clock](QStringList arguments) -> QCoro::Task<void> {
        const double start = clock.nsecsElapsed() / 1e6;
        co_await Helpers::run(Helpers::typst(), arguments);
        const bool respine = arguments.join(QLatin1Char(' ')).contains(QLatin1String("spine="));
        std::printf("  %7.0f ms   typst %s%s: %.0f ms\n", clock.nsecsElapsed() / 1e6,
            qPrintable(QFileInfo(arguments.last()).fileName()), respine ? " (printer's spine)" : "",
            clock.nsecsElapsed() / 1e6 - start);
    });

    std::shared_ptr<OrderModel> order = OrderModel::make(project, pricing);
    order->setMode(QStringLiteral("stripe"));
    order->setEmail(QStringLiteral("sam@example.com"));
    OrderModel::Stage shown = order->stage();
    QObject::connect(order.get(), &OrderModel::changed, [&] {
        if (order->stage() == shown)
            return;
        shown = order->stage();
        std::printf("  %7.0f ms   %s\n", clock.nsecsElapsed() / 1e6, qPrintable(stageText(shown)));
    });
    clock.start();
    order->go();
    Bench::waitUntil([&] { return !order->isPlacing(); });
    const double total = clock.nsecsElapsed() / 1e6;
    service.terminate();
    service.waitForFinished(5000);

    if (order->error()) {
        std::fprintf(stderr, "order_bench: %s\n", qPrintable(*order->error()));
        return 1;
    }
    std::printf("order placed in %.2f s (budget 10 s); payment page %s\n", total / 1000,
        qPrintable(desktop.opened.toString()));
    return total < 10000 ? 0 : 1;
}
