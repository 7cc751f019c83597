#include "quitsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = { -1, -1 };
std::atomic<int> last { 0 };

void caught(int signal)
{
    const int saved = errno;
    last = signal;
    const char byte = char(signal);
    // A full pipe already says that a signal came.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

void QuitSignals::catchSignals()
{
    if (pipeEnds[0] >= 0)
        return;
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = caught;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(signal, &action, nullptr);
}

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
    catchSignals();
    if (pipeEnds[0] < 0)
        return;
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::arrived);
}

int QuitSignals::received()
{
    return last;
}

void QuitSignals::arrived()
{
    char bytes[16];
    while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) { }
    QCoreApplication::quit();
}
