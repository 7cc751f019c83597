#pragma once

#include <QObject>
#include <QString>
#include <qcorotask.h>

class Library;
class MainWindow;
class Updater;

// The application: for the whole life of the process it owns the one
// message library, the updater and the one window. Made once the
// QApplication exists; main() only calls run().
class App : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        // The updater's signing key; the build's own unless a test gives one.
        QString updateKey;

        static Options build();
    };

    explicit App(const Options &options = Options::build(), QObject *parent = nullptr);
    ~App() override;

    Library *library() const { return m_library; }
    Updater *updater() const { return m_updater; }
    MainWindow *window() const { return m_window; }
    // Whether the library's first load has ended.
    bool isLoaded() const { return m_loaded; }

    // Runs the event loop until the app quits (Quit, or SIGTERM, SIGINT or
    // SIGHUP once run() catches them), then winds up: tool runs and
    // requests still under way are ended, and the loop goes on until what
    // awaits them has run to its end. Returns the status the loop ended with.
    int exec();

    // Whether this process can open a window: a platform that needs a
    // display (X11, Wayland, or none named) needs DISPLAY or WAYLAND_DISPLAY.
    static bool hasDisplay();
    // The whole process: the quitting signals caught, the display check,
    // the application, the window, the event loop. Returns the exit status.
    static int run(int argc, char **argv);

signals:
    void loaded();

private:
    // Reads what the sources hold, then prepares what a book needs.
    QCoro::Task<void> loadLibrary();

    Library *m_library;
    Updater *m_updater;
    MainWindow *m_window;
    bool m_loaded = false;
};
