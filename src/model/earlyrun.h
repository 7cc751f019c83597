#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <qcorotask.h>

// The message tool's run that `quorvel` started before this program and its
// libraries were loaded (see src/launcher), taken over by the first tool run
// that asks for exactly the same: the tool is then not started twice.
namespace EarlyRun {

struct Run
{
    qint64 pid = -1;
    // Holds the run's "out" and "err".
    QString folder;
    QString tool;
    QStringList arguments;
};

// What the launcher's variable says; nothing when it doesn't say a run.
std::optional<Run> parse(const QByteArray &said);

// Reads the launcher's variable once and removes it, so that no child
// inherits it. Before anything runs a tool.
void adopt();

// Offers run to the next tool run that asks for the same, as adopt() does
// with the launcher's: only a child of this process, whose folder is a
// working folder's.
void offer(std::optional<Run> run);

// Removes what the run wrote, and its folder once empty; nothing else
// there, whoever named the folder.
void removeFolder(const Run &run);

// The adopted run, when it is tool with exactly these arguments and nobody
// took it yet; it is offered once.
std::optional<Run> take(const QString &tool, const QStringList &arguments);

// The taken run's wait status once it has ended; nullopt when it can't be
// waited for.
QCoro::Task<std::optional<int>> ended(Run run);

// Ends the run: one nobody took is killed, waited for and its folder
// removed; one taken is killed, and its taker sees it fail.
void stop();

// Whether a taken run is still under way.
bool running();

} // namespace EarlyRun
