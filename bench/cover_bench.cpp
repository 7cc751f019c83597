// The cover step on a book of about 300 pages, with real typst: a key typed
// in the title to the new front on screen (the pause the step waits for
// typing to stop included), and the ten designs' thumbnails for a new title
// until they are on screen; and the longest the window's thread went
// without turning while all of it ran. Five title changes; the median and
// the worst are reported.
#include "benchbook.h"
#include "generatedbook.h"
#include "model/helpers.h"
#include "paintwatch.h"
#include "project/project.h"
#include "ui/style.h"
#include "wizard/bookfonts.h"
#include "wizard/coverdesigns.h"
#include "wizard/coverpreview.h"
#include "wizard/coverstep.h"
#include "wizard/covertitlefields.h"
#include "wizard/wizardview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int messageCount = 6500;
const int runs = qEnvironmentVariableIntValue("COVER_BENCH_RUNS") > 0
    ? qEnvironmentVariableIntValue("COVER_BENCH_RUNS")
    : 5;
constexpr double previewBudgetMs = 1000;
constexpr double galleryBudgetMs = 3000;

// The longest the event loop went without running a 5 ms timer.
class Stall : public QObject
{
public:
    Stall()
    {
        m_timer.setInterval(5);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            longest = std::max(longest, m_since.nsecsElapsed() / 1e6);
            m_since.restart();
        });
        m_since.start();
        m_timer.start();
    }
    double longest = 0;

private:
    QTimer m_timer;
    QElapsedTimer m_since;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

void type(QLineEdit *field, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(field, &press);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
    QApplication app(argc, argv);
    Helpers::setPackageRoot(QStringLiteral(QUORVEL_BENCH_STAGE));
    BookFonts::registerFonts();
    Style::apply();

    QProcess service;
    const Bench::ServiceStop stop { service };
    if (!Bench::startPricing(service, dir, "cover_bench"))
        return 1;

    const Conversation conversation = Bench::messagesConversation(QStringLiteral("cover"));
    if (!Bench::placeBook(dir.filePath(QStringLiteral("books")), conversation,
            Bench::generatedBook(messageCount).toJsonBytes()))
        return 1;
    std::shared_ptr<Project> project = QCoro::waitFor(Project::open(conversation, QStringLiteral("Sam")));
    // The book's own typesetting is not the cover's; it would only compete
    // for the processor.
    project->setTypesetter({ [](QString, QString, QString) -> QCoro::Task<void> { co_return; },
        [](QString, QString) -> QCoro::Task<Layout> { co_return Layout(); } });

    WizardModel model(project, WizardModel::Resuming::No);
    model.setStep(WizardModel::Step::Cover);
    WizardView view(&model, WizardView::CanCancel::No);
    view.resize(980, 780);
    view.show();
    Bench::waitUntil([&] {
        return model.insights() && model.coverFront() && model.gallery().size() == 10
            && !model.isRenderingCover() && !model.isRenderingGallery();
    });
    std::printf("book: %d messages, about %d pages\n", messageCount, model.pages());

    auto *step = qobject_cast<CoverStep *>(view.stepView());
    QLineEdit *title = step->findChild<CoverTitleFields *>()->titleField();
    QWidget *frame = step->findChild<QWidget *>(QStringLiteral("coverFrame"));
    QWidget *designs = step->findChild<CoverDesigns *>();

    QList<double> previews;
    QList<double> galleries;
    QList<double> galleryRenders;
    double worstStall = 0;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        const std::optional<QString> front = model.coverFront();
        const QString key = model.galleryKey();
        Bench::PaintWatch previewPaint;
        Bench::PaintWatch galleryPaint;
        bool frontIn = false;
        bool galleryIn = false;
        double previewMs = -1;
        double galleryMs = -1;
        QElapsedTimer galleryStart;
        QElapsedTimer clock;
        auto frontChanged = QObject::connect(&model, &WizardModel::coverFrontChanged, [&] {
            frontIn = true;
            previewPaint.watch(frame);
        });
        auto renderingGallery = QObject::connect(&model, &WizardModel::renderingGalleryChanged, [&] {
            if (model.isRenderingGallery())
                galleryStart.start();
        });
        auto galleryChanged = QObject::connect(&model, &WizardModel::galleryChanged, [&] {
            galleryIn = true;
            galleryRenders.append(galleryStart.nsecsElapsed() / 1e6);
            galleryPaint.watch(designs);
        });
        Stall stall;
        clock.start();
        type(title, QString(QChar(u'a' + run)));
        if (qEnvironmentVariableIsSet("COVER_BENCH_DEBUG"))
            std::printf("typed: %s\n", qPrintable(model.title()));
        Bench::waitUntil([&] {
            if (frontIn && previewPaint.painted && previewMs < 0)
                previewMs = clock.nsecsElapsed() / 1e6;
            if (galleryIn && galleryPaint.painted && galleryMs < 0)
                galleryMs = clock.nsecsElapsed() / 1e6;
            return (previewMs >= 0 && galleryMs >= 0) || model.coverFailure() || clock.elapsed() > 60000;
        });
        QObject::disconnect(frontChanged);
        QObject::disconnect(renderingGallery);
        QObject::disconnect(galleryChanged);
        if (qEnvironmentVariableIsSet("COVER_BENCH_DEBUG"))
            std::printf("front in %d painted %d, gallery in %d painted %d, failure %s\n", frontIn,
                previewPaint.painted, galleryIn, galleryPaint.painted,
                qPrintable(model.coverFailure().value_or("")));
        if (previewMs < 0 || galleryMs < 0 || model.coverFront() == front || model.galleryKey() == key) {
            ++failures;
            continue;
        }
        previews.append(previewMs);
        galleries.append(galleryMs);
        worstStall = std::max(worstStall, stall.longest);
    }
    if (failures > 0) {
        std::printf("cover_bench: %d of %d title changes brought no new pictures\n", failures, runs);
        return 1;
    }

    const double previewMedian = median(previews);
    const double previewWorst = *std::max_element(previews.begin(), previews.end());
    const double galleryMedian = median(galleries);
    const double galleryWorst = *std::max_element(galleries.begin(), galleries.end());
    std::printf("a key in the title to the new front on screen (0.4 s pause included): median %.0f ms, "
                "worst %.0f ms (budget %.0f ms)\n",
        previewMedian, previewWorst, previewBudgetMs);
    std::printf("the ten designs for a new title on screen: median %.0f ms, worst %.0f ms (budget %.0f ms); "
                "their render alone: median %.0f ms\n",
        galleryMedian, galleryWorst, galleryBudgetMs, median(galleryRenders));
    std::printf("the window's thread never stood still longer than %.0f ms meanwhile\n", worstStall);
    return previewMedian <= previewBudgetMs && galleryMedian <= galleryBudgetMs ? 0 : 1;
}
