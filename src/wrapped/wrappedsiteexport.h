#pragma once

#include "model/wrapped.h"
#include "wrappedsettings.h"

#include <QProcessEnvironment>
#include <QString>
#include <functional>
#include <optional>
#include <qcorotask.h>

// The unattended export of one conversation's Wrapped for the web site,
// asked for by QUORVEL_WRAPPED_EXPORT: every card in both shapes with full
// names, and the video, into one folder. The Wrapped screen of whichever
// conversation is open runs it when it shows and ends the app after it.
namespace WrappedSiteExport {

// The folder the environment asks for; nothing when it asks for none.
std::optional<QString> folder(const QProcessEnvironment &environment);

// The files' prefix: the conversation key without "demo:", spaces as "-",
// made a name the file system takes: "/" as "-", and a key too long for
// the cards' names cut and hashed as book folders' are.
QString prefix(const QString &conversationKey);

// The code printed while the rewards status is unknown.
QString demoCode();

// The settings of the export: every card in card order, full names, the
// rest as the user left it.
WrappedSettings settings(const Wrapped &wrapped, WrappedSettings settings);

// Writes the cards (story, then post) and "<prefix>.mp4" into folder.
// statusCode gives the rewards code when the status is known, and is asked
// again before the video, since the status may arrive meanwhile. The
// export does what it can and never throws: a failure of the cards leaves
// the video to be tried all the same. Returns the sentence of the first
// failure, or nothing when every file was written.
QCoro::Task<std::optional<QString>> run(Wrapped wrapped, WrappedSettings settings, QString conversationKey,
    QString folder, std::function<std::optional<QString>()> statusCode);

// Ends the app once its event loop runs: with status 0, or 1 after the
// sentence of failure on standard error, for the script that started it.
void end(const std::optional<QString> &failure);

} // namespace WrappedSiteExport
