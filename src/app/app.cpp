#include "app.h"

#include "contentview.h"
#include "mainwindow.h"
#include "model/backups.h"
#include "model/heicimage.h"
#include "model/helpers.h"
#include "model/library.h"
#include "model/phonenumbers.h"
#include "model/workingfolder.h"
#include "project/typesetcache.h"
#include "project/unfinishedbooks.h"
#include "quitsignals.h"
#include "service/http.h"
#include "siteexportwatch.h"
#include "ui/accessibility.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "updater.h"
#include "wizard/bookfonts.h"
#include "wrapped/wrappedsiteexport.h"
#include "wrapped/wrappedsiterun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcessEnvironment>
#include <QThreadPool>
#include <QTimer>
#include <cstdio>
#include <optional>

App::Options App::Options::build()
{
    return { Updater::buildKey() };
}

App::App(const Options &options, QObject *parent)
    : QObject(parent)
{
    QApplication::setApplicationName(Helpers::appName());
    // The name of the desktop entry that is installed, whatever identifier
    // the build gives the keyring: docks and task bars find the icon by it.
    QApplication::setDesktopFileName(QStringLiteral("app.quorvel.Quorvel"));
    // What killed runs left goes before anything is listed or run: their
    // working folders, the messages unlocks and chat files left that no
    // source names, and first exports that never became a book.
    WorkingFolder::sweep();
    Backups::sweep();
    UnfinishedBooks::sweep();
    // The numbering plans take a while to load: loaded beside the list,
    // they are in before the list shows its first number.
    QThreadPool::globalInstance()->start([] { PhoneNumbers::prepare(); });
    // What can be read is the first thing the window shows: the message
    // tool starts on it before anything else, and runs while the rest of
    // the app and the window are built. The tool reads on every core, so
    // whatever can wait for its list does.
    m_library = new Library(this);
    loadLibrary();
    HeicImage::registerFormat();
    Style::apply();
    Accessibility::install();
    QApplication::setWindowIcon(Icons::appIcon());

    m_updater = new Updater(options.updateKey, this);
    m_window = new MainWindow(m_library, m_updater);
    m_window->content()->loadStarted();
}

App::~App()
{
    delete m_window;
}

QCoro::Task<void> App::loadLibrary()
{
    QPointer<App> self(this);
    co_await m_library->load();
    if (self) {
        m_loaded = true;
        emit loaded();
    }
    // The first typesetting needs a digest of every template and font the
    // app ships; made once the list is in, off the window's thread, it is
    // ready by the time a book opens instead of holding the window up then.
    // A book opened sooner makes it itself.
    QThreadPool::globalInstance()->start([] { TypesetCache::toolkit(); });
}

int App::exec()
{
    // A signal that came before the loop ran asked for a quit that the
    // loop would never have seen.
    const int status = QuitSignals::received() != 0 ? 0 : QApplication::exec();
    // A typesetting or a request still going when the window closed would
    // otherwise leave its coroutines suspended for good, holding what they
    // hold, and a typst child running on after the app. Ended now, they
    // resume with a failure that nobody shows any more; the loop runs again
    // only until they are done, and not for long whatever happens.
    // Requests get a moment to end by themselves first: one aborted while
    // its failure is already on its way makes Qt complain on stderr.
    constexpr qint64 RequestsGrace = 500;
    constexpr qint64 Longest = 10000;
    QElapsedTimer waited;
    waited.start();
    // Something to wake the loop should a child's end never be noticed.
    QTimer tick;
    tick.start(20);
    while ((Helpers::hasRuns() || Http::hasRequests()) && waited.elapsed() < Longest) {
        Helpers::stopRuns();
        if (waited.elapsed() >= RequestsGrace)
            Http::abortRequests();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // Outside the loop proper, what was let go is deleted only on demand.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // An unlock that got this far without its tool (it waits on the keyring)
    // never finishes now: what it wrote goes, as its failure would take it.
    Backups::discardUnfinishedUnlocks();
    return status;
}

bool App::hasDisplay()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool needsDisplay = platform.isEmpty() || platform.startsWith(QLatin1String("xcb"))
        || platform.startsWith(QLatin1String("wayland"));
    return !needsDisplay || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int App::run(int argc, char **argv)
{
    // First of all: the tools and working folders of a start ended by a
    // signal are wound up as Quit winds them up.
    QuitSignals::catchSignals();
    const bool siteExport = WrappedSiteExport::folder(QProcessEnvironment::systemEnvironment()).has_value();
    // With a window, the site's export runs on the Wrapped screen of the
    // conversation opened there; where none can show, it runs without one,
    // on a demo book.
    const bool unattended = siteExport && !hasDisplay();
    if (unattended)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!hasDisplay()) {
        std::fprintf(stderr,
            "Quorvel needs a display to open its window: start it from a desktop session, or under "
            "xvfb-run.\n");
        return 1;
    }
    QApplication application(argc, argv);
    const QuitSignals quitSignals;
    App app;
    if (unattended) {
        // No book's flow shows the cards here: their faces are made known
        // first.
        BookFonts::registerFonts();
        WrappedSiteRun exporting(app.library());
        exporting.start();
        return app.exec();
    }
    app.window()->show();
    // Nobody watches the site's export: where the Wrapped it runs on can't
    // show, the app ends and says why rather than wait for ever.
    std::optional<SiteExportWatch> watch;
    if (siteExport)
        watch.emplace(&app);
    return app.exec();
}
