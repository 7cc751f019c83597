#include "desktop.h"

#include "style.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <qcorosignal.h>

namespace {

Desktop *replacement = nullptr;

// A panel that can also take the folder it is showing: Qt's own file dialog
// picks either files or folders, but a chat export can be either.
class FileOrFolderDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (chosen.size() == 1 && QFileInfo(chosen.first()).isDir()
            && QFileInfo(chosen.first()) != QFileInfo(directory().absolutePath())) {
            // A folder picked in the list is taken as it is, not entered.
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

// Qt's panel has one place for a line of its own, the label before the
// folder menu, which never wraps: a long message there makes the panel as
// wide as the message, wider than a screen. The message goes above the
// panel's rows instead, wrapped to the panel's width.
void putMessageAbove(QFileDialog *dialog, const QString &message)
{
    auto *grid = qobject_cast<QGridLayout *>(dialog->layout());
    auto *line = Style::label(message, Style::Text::Body, Style::Tone::Secondary);
    line->setObjectName(QStringLiteral("panelMessage"));
    if (!grid) {
        dialog->layout()->addWidget(line);
        return;
    }
    struct Placed
    {
        QLayoutItem *item;
        int row, column, rows, columns;
    };
    QList<Placed> placed;
    while (grid->count() > 0) {
        Placed one {};
        grid->getItemPosition(0, &one.row, &one.column, &one.rows, &one.columns);
        one.item = grid->takeAt(0);
        placed.append(one);
    }
    const int columns = std::max(1, grid->columnCount());
    grid->addWidget(line, 0, 0, 1, columns);
    for (const Placed &one : std::as_const(placed))
        grid->addItem(one.item, one.row + 1, one.column, one.rows, one.columns);
}

QStringList desktopEntryFolders()
{
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    const QString dataDirs
        = qEnvironmentVariable("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString &dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString folder = dir + QStringLiteral("/applications");
        if (!folders.contains(folder))
            folders.append(folder);
    }
    return folders;
}

// The desktop ids a key of a group lists in a desktop file-style list
// ("mimeapps.list", "mimeinfo.cache"), in order.
QStringList listedEntries(const QString &file, const QString &group, const QString &key)
{
    QFile list(file);
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QString current;
    while (!list.atEnd()) {
        const QString line = QString::fromUtf8(list.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (current != group || equals < 0 || line.left(equals).trimmed() != key)
            continue;
        return line.mid(equals + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    return {};
}

// Where the user's and the system's choices of applications are kept, the
// user's first.
QStringList mimeAppsLists()
{
    QStringList lists;
    lists << QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + QStringLiteral("/mimeapps.list");
    const QString configDirs = qEnvironmentVariable("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    for (const QString &dir : configDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        lists << dir + QStringLiteral("/mimeapps.list");
    for (const QString &folder : desktopEntryFolders())
        lists << folder + QStringLiteral("/mimeapps.list");
    return lists;
}

// An opener that is still running after this long waits for the browser it
// started (xdg-open does so where no desktop environment takes over), which
// it would not have started if it couldn't open the page.
constexpr std::chrono::seconds openerPatience(5);

// Runs an opener and says whether it opened what it was given: its exit
// status, or that it is still busy with it once the patience runs out.
QCoro::Task<bool> opened(QString program, QStringList arguments)
{
    auto *opener = new QProcess;
    opener->setProgram(program);
    opener->setArguments(arguments);
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    opener->start();
    const QDeadlineTimer deadline(openerPatience);
    while (opener->state() != QProcess::NotRunning && !deadline.hasExpired()) {
        co_await qCoro(opener, &QProcess::stateChanged,
            std::chrono::milliseconds(std::max<qint64>(1, deadline.remainingTime())));
    }
    if (opener->state() != QProcess::NotRunning) {
        QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
        co_return true;
    }
    const bool done = opener->error() != QProcess::FailedToStart
        && opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    opener->deleteLater();
    co_return done;
}

} // namespace

Desktop::~Desktop() = default;

Desktop &Desktop::instance()
{
    static Desktop real;
    return replacement ? *replacement : real;
}

void Desktop::setInstance(Desktop *desktop)
{
    replacement = desktop;
}

QCoro::Task<bool> Desktop::openUrl(QUrl url)
{
    if (!url.isValid() || url.scheme().isEmpty())
        co_return false;
    // xdg-open answers with its exit status where QDesktopServices would
    // report any page as opened once the opener had started.
    co_return co_await opened(QStringLiteral("xdg-open"),
        { url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded) });
}

QString Desktop::application(const QString &id)
{
    for (const QString &folder : desktopEntryFolders()) {
        const QString entry = folder + QLatin1Char('/') + id + QStringLiteral(".desktop");
        if (QFileInfo(entry).isFile())
            return entry;
    }
    return {};
}

QString Desktop::applicationFor(const QString &mimeType)
{
    const auto firstInstalled = [this](const QStringList &ids) -> QString {
        for (QString id : ids) {
            id = id.trimmed();
            if (id.endsWith(QLatin1String(".desktop")))
                id.chop(8);
            if (const QString entry = application(id); !entry.isEmpty())
                return entry;
        }
        return {};
    };
    const QStringList lists = mimeAppsLists();
    for (const QString &group :
        { QStringLiteral("Default Applications"), QStringLiteral("Added Associations") }) {
        for (const QString &list : lists) {
            if (const QString entry = firstInstalled(listedEntries(list, group, mimeType)); !entry.isEmpty())
                return entry;
        }
    }
    for (const QString &folder : desktopEntryFolders()) {
        const QStringList ids = listedEntries(
            folder + QStringLiteral("/mimeinfo.cache"), QStringLiteral("MIME Cache"), mimeType);
        if (const QString entry = firstInstalled(ids); !entry.isEmpty())
            return entry;
    }
    return {};
}

QCoro::Task<bool> Desktop::openWith(QString application, QString file)
{
    // gio knows the field codes of the entry's Exec line.
    co_return co_await opened(QStringLiteral("gio"), { QStringLiteral("launch"), application, file });
}

QCoro::Task<bool> Desktop::reveal(QStringList files)
{
    if (files.isEmpty())
        co_return false;
    QStringList uris;
    for (const QString &file : files)
        uris.append(QStringLiteral("'%1'").arg(
            QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded)));
    // The file manager's D-Bus interface selects the files; without one on
    // the session bus the folder opens instead.
    if (co_await opened(QStringLiteral("gdbus"),
            { QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("--object-path"),
                QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("--method"),
                QStringLiteral("org.freedesktop.FileManager1.ShowItems"),
                QLatin1Char('[') + uris.join(QLatin1Char(',')) + QLatin1Char(']'), QString() }))
        co_return true;
    co_return co_await openUrl(QUrl::fromLocalFile(QFileInfo(files.first()).absolutePath()));
}

void Desktop::copyText(const QString &text)
{
    QApplication::clipboard()->setText(text);
}

void Desktop::copyFiles(const QStringList &files)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    QStringList paths;
    for (const QString &file : files) {
        urls.append(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
        paths.append(QFileInfo(file).absoluteFilePath());
    }
    data->setUrls(urls);
    data->setText(paths.join(QLatin1Char('\n')));
    // File managers of the GNOME family paste what this names.
    QByteArray gnome = "copy";
    for (const QUrl &url : urls)
        gnome += '\n' + url.toEncoded();
    data->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
    QApplication::clipboard()->setMimeData(data);
}

QCoro::Task<bool> Desktop::share(QStringList files)
{
    copyFiles(files);
    co_return co_await reveal(files);
}

QString Desktop::documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QCoro::Task<QStringList> Desktop::choose(QWidget *parent, Panel panel)
{
    const QString directory = panel.directory.isEmpty() ? documentsFolder() : panel.directory;
    QPointer<QFileDialog> dialog = panel.mode == Panel::Mode::OpenFileOrFolder
        ? new FileOrFolderDialog(parent, panel.title, directory)
        : new QFileDialog(parent, panel.title, directory);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setWindowModality(Qt::WindowModal);
    // Qt's own panel: the portal's can't take a file or a folder in one go.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    switch (panel.mode) {
    case Panel::Mode::OpenFiles:
        dialog->setFileMode(QFileDialog::ExistingFiles);
        break;
    case Panel::Mode::OpenFileOrFolder:
        dialog->setFileMode(QFileDialog::ExistingFile);
        break;
    case Panel::Mode::OpenFolder:
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        break;
    case Panel::Mode::Save:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        if (!panel.suggestedName.isEmpty())
            dialog->selectFile(panel.suggestedName);
        if (!panel.defaultSuffix.isEmpty())
            dialog->setDefaultSuffix(panel.defaultSuffix);
        break;
    }
    if (!panel.nameFilters.isEmpty())
        dialog->setNameFilters(panel.nameFilters);
    if (!panel.prompt.isEmpty())
        dialog->setLabelText(QFileDialog::Accept, panel.prompt);
    if (!panel.message.isEmpty())
        putMessageAbove(dialog, panel.message);
    // Qt's own size lists too few files, in columns too narrow to read.
    dialog->resize(dialog->sizeHint().expandedTo(QSize(760, 480)));
    dialog->open();
    const int result = co_await qCoro(dialog.data(), &QDialog::finished);
    if (!dialog)
        co_return QStringList {};
    const QStringList chosen = result == QDialog::Accepted ? dialog->selectedFiles() : QStringList {};
    dialog->deleteLater();
    co_return chosen;
}
