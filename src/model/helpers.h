#pragma once

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>
#include <qcorotask.h>
#include <stdexcept>

struct Layout;
struct Source;

// Paths of the two executables we ship and of the package's resources, and
// the one place that starts child processes.
namespace Helpers {

// A child process that ended badly, or a refusal of our own (tool = the
// app's name, status 0). what() is the sentence shown to the user.
class Failure : public std::runtime_error
{
public:
    Failure(QString tool, int status, QString message);

    QString tool() const { return m_tool; }
    int status() const { return m_status; }
    QString message() const { return m_message; }
    QString description() const;

private:
    QString m_tool;
    int m_status;
    QString m_message;
};

// The platform could not set up or start the child (missing executable,
// unwritable temporary folder, unreadable output).
class LaunchError : public std::runtime_error
{
public:
    explicit LaunchError(const QString &sentence);
    QString description() const { return QString::fromUtf8(what()); }
};

// The people of a demo book, as opening a demo conversation reads them.
struct DemoTitle
{
    struct Person
    {
        QString name;
        bool me = false;
    };
    QList<Person> people;

    // Strict: both person keys are required; other keys are ignored.
    static std::optional<DemoTitle> fromJson(const QByteArray &bytes);
};

// The installed tree the app runs from: bin/, libexec/quorvel/, share/quorvel/.
// Defaults to the folder above the executable's; tests point it at the
// staged tree before first use.
void setPackageRoot(const QString &root);
QString packageRoot();

// The environment-dependent locations, from a given environment; the
// functions below read the process environment once, on first use.
QString databaseFor(const QProcessEnvironment &environment);
QStringList demoBooksFor(const QProcessEnvironment &environment);

QString core();
QString typst();
QString resources();
QString fonts();
QString appName();
QString support();
QString database();
QStringList demoBooks();
std::optional<QString> appleEmoji();
// Makes supportFolder/SystemFonts hold a link to font, the only font folder
// typst gets besides ours; nothing when the font is missing.
std::optional<QString> prepareEmojiFolder(const QString &font, const QString &supportFolder);
QString templateFile(const QString &style);
// Where the colour emoji font is looked for, before first use.
void setEmojiFontPath(const QString &path);

// The environment the message tool runs in: this process's, with glibc's
// huge pages asked for (GLIBC_TUNABLES) unless it already says otherwise.
// The tool wants them for its many small allocations and, not told, starts
// itself again to ask.
QProcessEnvironment coreEnvironment();

// Where a run's standard output waits until the run has ended: a file in
// its working folder, so that a tool printing a great deal never waits on
// the app; or a pipe the app reads as it comes, for an answer that must
// never rest on disk (an encrypted backup's key).
enum class Output { File, Pipe };

// Runs tool with arguments, writing stdin (plus one line feed) to it when
// given, and returns its standard output once it has ended. Throws Failure
// on a non-zero status or a crash, LaunchError when it cannot start. The
// run's working folder in the temporary folder is named "quorvel-" and a
// UUID; the tool is killed when the app ends, however it ends.
QCoro::Task<QByteArray> run(QString tool, QStringList arguments,
    std::optional<QString> stdinText = std::nullopt, Output output = Output::File);

// Ends every tool run of the calling thread still under way, as a crash of
// the tool would: once the event loop sees each child gone, its run throws
// Failure to whoever awaits it. The app does this as it quits, so that no
// child outlives it and nothing stays suspended on one.
void stopRuns();
// Whether a tool run of the calling thread is under way.
bool hasRuns();

// The message tool for one source: "--log" or "--db" first, then arguments.
QCoro::Task<QByteArray> core(
    QStringList arguments, Source source, std::optional<QString> stdinText = std::nullopt);

// Arguments common to every typst run for the book document at book.
QStringList typstArguments(const QString &book, const QString &style);
QCoro::Task<void> typeset(QString book, QString style, QString to);
QCoro::Task<Layout> layout(QString book, QString style);
// Decodes the layout query's answer; throws std::runtime_error when it is
// not of the expected shape.
Layout layoutFromAnswer(const QByteArray &json);

extern const char *const layoutExpression;

} // namespace Helpers
