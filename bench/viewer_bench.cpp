// The book viewer on long books, in a window on the offscreen platform:
// how soon a new PDF's first page is painted, paging, scrolling a spread,
// the page cache at every zoom (on a typeset book of about 1,500 pages),
// and search over 200,000 messages.
#include "generatedbook.h"
#include "model/helpers.h"
#include "project/clock.h"
#include "project/project.h"
#include "ui/style.h"
#include "ui/windowtoolbar.h"
#include "viewer/bookpreview.h"
#include "viewer/bookview.h"
#include "viewer/searchresults.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QListView>
#include <QMainWindow>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <qcorotask.h>

namespace {

// About 1,500 pages.
constexpr int bookMessages = 19000;
constexpr int searchMessages = 200000;

// Alarms on the system clock, except typesetting requests that the bench
// asks for itself; the 200,000-message book never typesets.
class QuietClock : public Clock
{
public:
    QDateTime now() const override { return Clock::system().now(); }
    std::unique_ptr<Alarm> after(std::chrono::milliseconds delay, std::function<void()> fire) override
    {
        if (quiet)
            return std::make_unique<Alarm>();
        return Clock::system().after(delay, std::move(fire));
    }
    bool quiet = false;
};

void spin(const std::function<bool()> &done, int timeoutMs = 120000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void idle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

double ms(const QElapsedTimer &clock)
{
    return clock.nsecsElapsed() / 1e6;
}

// Time this thread spent running: on a machine busy with other work, wall
// time also counts the turns other processes had.
double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Figures
{
    QList<double> values;
    void add(double value) { values.append(value); }
    double max() const { return values.isEmpty() ? 0 : *std::max_element(values.cbegin(), values.cend()); }
    double median() const
    {
        QList<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted.isEmpty() ? 0 : sorted[sorted.size() / 2];
    }
};

QCoro::Task<void> copyPdf(QString from, QString to)
{
    QFile::remove(to);
    QFile::copy(from, to);
    co_return;
}

QCoro::Task<Layout> noLayout()
{
    co_return Layout {};
}

std::shared_ptr<Project> openBook(const BookFile &book, const QString &books, const QString &key)
{
    Project::setBooksFolder(books);
    const QString folder = books + QLatin1Char('/') + Project::folderName(key);
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/book.json"));
    file.open(QIODevice::WriteOnly);
    file.write(book.toJsonBytes());
    file.close();
    Conversation conversation;
    conversation.key = key;
    conversation.source = Source::mac();
    return QCoro::waitFor(Project::open(conversation, QStringLiteral("Sam")));
}

void pagesBench(const QString &books)
{
    QTemporaryDir dir;
    const QString typeset = dir.filePath(QStringLiteral("book.json"));
    const QString pdf = dir.filePath(QStringLiteral("book.pdf"));
    {
        QFile file(typeset);
        file.open(QIODevice::WriteOnly);
        file.write(Bench::generatedBook(bookMessages).toJsonBytes());
    }
    QElapsedTimer clock;
    clock.start();
    QCoro::waitFor(Helpers::typeset(typeset, QStringLiteral("novel"), pdf));
    std::printf("typeset %d messages once: %.1f s\n", bookMessages, clock.elapsed() / 1000.0);

    // Opening asks for typesetting at once: not with typst on this book.
    QuietClock quiet;
    quiet.quiet = true;
    Clock::setCurrent(&quiet);
    std::shared_ptr<Project> project
        = openBook(Bench::generatedBook(bookMessages), books, QStringLiteral("long"));
    // Each run publishes the book typst made above, as a new file.
    project->setTypesetter({ [pdf](QString, QString, QString to) { return copyPdf(pdf, to); },
        [](QString, QString) { return noLayout(); } });
    quiet.quiet = false;

    QMainWindow window;
    auto *toolbar = new WindowToolbar(&window);
    window.addToolBar(toolbar);
    auto *view = new BookView(project);
    window.setCentralWidget(view);
    window.resize(1440, 900);
    window.show();
    BookPreview *preview = view->preview();

    // First page: from the new PDF's publishing to its pages painted sharp.
    Figures first;
    QElapsedTimer published;
    QObject::connect(project.get(), &Project::pdfChanged, [&] { published.start(); });
    for (int run = 0; run < 6; ++run) {
        project->addWord(QStringLiteral("word%1").arg(run));
        spin([&] { return published.isValid() && !preview->isLoading() && preview->isComplete(); });
        if (run > 0) // the first run also starts the renderer thread
            first.add(ms(published));
        published.invalidate();
    }
    std::printf("pages: %d\n", preview->pageCount());
    std::printf("first page painted after the PDF is published: median %.1f ms, worst %.1f ms (aim: 150)\n",
        first.median(), first.max());

    // Paging, once the pages ahead had their moment.
    Figures next;
    Figures previous;
    preview->setFocus();
    for (int step = 0; step < 40; ++step) {
        idle(250);
        const bool back = step % 4 == 3;
        QKeyEvent key(QEvent::KeyPress, back ? Qt::Key_PageUp : Qt::Key_PageDown, Qt::NoModifier);
        QElapsedTimer timer;
        timer.start();
        QCoreApplication::sendEvent(preview, &key);
        spin([&] { return preview->isComplete(); }, 5000);
        (back ? previous : next).add(ms(timer));
    }
    std::printf("next spread painted: median %.1f ms, worst %.1f ms; previous: median %.1f ms, worst %.1f ms "
                "(aim: 30)\n",
        next.median(), next.max(), previous.median(), previous.max());

    // Scrolling through spreads as a wheel would, without waiting for pages.
    Figures blocked;
    Figures working;
    QScrollBar *bar = preview->verticalScrollBar();
    for (int step = 0; step < 600; ++step) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = cpuMs();
        bar->setValue(bar->value() + 40);
        preview->viewport()->repaint();
        QCoreApplication::processEvents();
        blocked.add(ms(timer));
        working.add(cpuMs() - cpu);
    }
    std::printf("scrolling a spread: longest turn of the event loop %.1f ms (median %.1f ms); "
                "of it running %.1f ms at most (aim: under 30)\n",
        blocked.max(), blocked.median(), working.max());

    // The cache at every zoom, paging through a stretch of the book.
    qint64 most = 0;
    for (const qreal zoom : { 0.5, 1.0, 1.5, 2.0, 3.0, 4.0 }) {
        preview->setZoom(zoom);
        for (int step = 0; step < 25; ++step) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
            QCoreApplication::sendEvent(preview, &key);
            spin([&] { return preview->isComplete(); }, 5000);
            idle(30);
            most = std::max(most, preview->cacheBytes());
        }
        std::printf("zoom %.1f: cache %.0f MB\n", zoom, preview->cacheBytes() / 1048576.0);
    }
    std::printf("page cache at most %.0f MB at any zoom (aim: under 300)\n", most / 1048576.0);
    Clock::setCurrent(nullptr);
}

void searchBench(const QString &books)
{
    QuietClock quiet;
    quiet.quiet = true;
    Clock::setCurrent(&quiet);
    QElapsedTimer clock;
    clock.start();
    std::shared_ptr<Project> project
        = openBook(Bench::generatedBook(searchMessages), books, QStringLiteral("search"));
    std::printf("opened a book of %lld messages in %.1f s\n", qint64(project->book().messages.size()),
        clock.elapsed() / 1000.0);

    SearchResults results(project.get());
    results.resize(BookView::resultsWidth, 860);
    results.show();
    // The debounce has passed: from the search to its rows on screen.
    for (const char *query : { "love", "remember weekend", "garden coffee train", "zebra", "the" }) {
        Figures shown;
        for (int round = 0; round < 5; ++round) {
            results.setQuery(QString(), SearchResults::When::Immediately);
            QCoreApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            results.setQuery(QString::fromLatin1(query), SearchResults::When::Immediately);
            results.list()->viewport()->repaint();
            shown.add(ms(timer));
        }
        Figures found;
        for (int round = 0; round < 5; ++round) {
            QElapsedTimer timer;
            timer.start();
            project->search(QString::fromLatin1(query), SearchResults::limit);
            found.add(ms(timer));
        }
        std::printf(
            "search \"%s\": %d rows shown in median %.1f ms, worst %.1f ms, of it finding them %.1f ms "
            "(aim: 100)\n",
            query, results.count(), shown.median(), shown.max(), found.median());
    }
    Clock::setCurrent(nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    double load[1] = { 0 };
    getloadavg(load, 1);
    std::printf("load average at start: %.1f on %d cores\n", load[0], QThread::idealThreadCount());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Helpers::setPackageRoot(QStringLiteral(QUORVEL_BENCH_STAGE));
    Style::apply();
    QTemporaryDir books;
    pagesBench(books.path());
    searchBench(books.path());
    return 0;
}
