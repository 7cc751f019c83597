#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a session logging out, a terminal closing,
// Ctrl+C, `kill`) end the app as "Quit Quorvel" does, so that it winds
// down the same way: the tools it runs are ended, their working folders
// and any unfinished unlock removed. Left to their default, the signals
// end the process where it stands and leave all of that behind.
//
// A signal handler may do next to nothing: it writes the signal to a pipe,
// and the event loop reads it and quits.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    // Catches the signals from here on, before the application exists: one
    // that arrives before the event loop runs waits in the pipe.
    static void catchSignals();

    // Quits the application when a caught signal arrives, once its event
    // loop runs.
    explicit QuitSignals(QObject *parent = nullptr);

    // The last signal that arrived; 0 when none did.
    static int received();

private:
    void arrived();

    QSocketNotifier *m_notifier = nullptr;
};
