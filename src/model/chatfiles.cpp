#include "chatfiles.h"

#include "folderlock.h"
#include "helpers.h"
#include "ziparchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutex>
#include <QSaveFile>
#include <QUuid>
#include <QtConcurrent>
#include <filesystem>
#include <optional>
#include <qcorofuture.h>
#include <vector>

namespace ChatFiles {

namespace {

Helpers::Failure failure(const QString &sentence)
{
    return Helpers::Failure(Helpers::appName(), 0, sentence);
}

Helpers::Failure noChat()
{
    return failure(QStringLiteral(
        "There's no chat in that. Choose the file or folder the app exported (or its .zip): a .txt, .json, "
        ".html, .csv, .xml, .mbox or .eml file, or a WhatsApp database."));
}

// What counts as a chat inside a folder. "crypt14" and "crypt15" stores
// can be chosen on their own but do not count here.
bool isChatExtension(const QString &suffix)
{
    static const QStringList extensions { QStringLiteral("txt"), QStringLiteral("json"),
        QStringLiteral("xml"), QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("csv"),
        QStringLiteral("md"), QStringLiteral("log"), QStringLiteral("weechatlog"), QStringLiteral("mbox"),
        QStringLiteral("eml"), QStringLiteral("db"), QStringLiteral("sqlite") };
    return extensions.contains(suffix.toLower());
}

QString newId()
{
    return QStringLiteral("file-") + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8).toLower();
}

std::filesystem::path pathOf(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// The folders this process made, claimed until it ends: another window's
// sweep leaves them alone whether or not their source is saved yet (a
// pasted chat is read once before it becomes one). Once the process has
// ended, the next start's sweep removes those no saved source names.
void claimForThisRun(FolderLock claim)
{
    static QMutex mutex;
    static std::vector<FolderLock> claims;
    const QMutexLocker lock(&mutex);
    claims.push_back(std::move(claim));
}

// A new folder "Files/file-xxxxxxxx", named by its source's id. What the
// file system says when it can't be made is passed on as it said it
// (std::filesystem::filesystem_error).
QString makeFolder()
{
    const QString files = Helpers::support() + QStringLiteral("/Files");
    std::filesystem::create_directories(pathOf(files));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString folder = files + QLatin1Char('/') + newId();
        if (!std::filesystem::create_directory(pathOf(folder)))
            continue;
        // A sweep in another window may take it for a leftover in the
        // moment before the claim, and remove it: then another name.
        FolderLock claim = FolderLock::claim(folder);
        if (claim.isHeld()) {
            claimForThisRun(std::move(claim));
            return folder;
        }
    }
    throw failure(QStringLiteral("Quorvel couldn't make a folder of its own for the chat in %1.").arg(files));
}

// Archives we won't unpack say why, not that they hold no chat.
Helpers::Failure refusal(const ZipArchive::Error &error, qint64 limit)
{
    if (error.kind() == ZipArchive::Error::Kind::TooLarge)
        return failure(
            QStringLiteral("That zip archive is too large to unpack: it holds more than %1.")
                .arg(QLocale::c().formattedDataSize(limit, 0, QLocale::DataSizeTraditionalFormat)));
    // Most often a download or a copy that stopped short: "Not a zip
    // archive" would send the user looking for another file.
    if (error.kind() == ZipArchive::Error::Kind::Damaged)
        return failure(QStringLiteral("That zip archive is incomplete or damaged, so it wasn't unpacked. "
                                      "Export the chat again and add the new file."));
    return failure(QStringLiteral("That zip archive holds a link, or a file that would land outside the "
                                  "folder it's unpacked into, so it wasn't unpacked."));
}

// A folder holds a chat when some entry below it has a chat extension
// and is neither hidden nor part of the resource forks macOS zips add.
std::optional<QString> find(const QString &location)
{
    if (!QFileInfo(location).isDir())
        return location;
    QDirIterator it(location, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (isChatExtension(entry.suffix()) && !entry.fileName().startsWith(u'.')
            && !entry.filePath().contains(u"/__MACOSX/"))
            return location;
    }
    return std::nullopt;
}

// Errors of the file system are passed on as it gave them.
void copyItem(const QString &from, const QString &to)
{
    const QFileInfo info(from);
    if (!info.isDir()) {
        std::filesystem::copy_file(pathOf(from), pathOf(to));
        // Logs that write days without their year end on the day the file
        // was last written: the copy keeps that day, as the chosen file has it.
        std::error_code unknown;
        const auto written = std::filesystem::last_write_time(pathOf(from), unknown);
        if (!unknown)
            std::filesystem::last_write_time(pathOf(to), written, unknown);
        return;
    }
    std::filesystem::create_directories(pathOf(to));
    const QFileInfoList entries
        = QDir(from).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        // A linked folder may lead anywhere, even back into itself.
        if (entry.isSymLink() && entry.isDir())
            continue;
        copyItem(entry.filePath(), to + QLatin1Char('/') + entry.fileName());
    }
}

// Copies or unpacks chosen into folder; returns what the tool should read.
QString copyIn(const QString &chosen, const QString &folder, qint64 unpackLimit)
{
    const QFileInfo info(chosen);
    if (info.suffix().toLower() == u"zip") {
        try {
            ZipArchive::extract(chosen, folder, unpackLimit);
        } catch (const ZipArchive::Error &error) {
            if (error.kind() != ZipArchive::Error::Kind::Unreadable
                && error.kind() != ZipArchive::Error::Kind::Unwritable)
                throw refusal(error, unpackLimit);
            throw; // unreadable or unwritable: the unpacker's own words
        }
        return folder;
    }
    const QString copy = folder + QLatin1Char('/') + info.fileName();
    copyItem(chosen, copy);
    // A WhatsApp message store needs the contact names beside it.
    const QString names = info.path() + QStringLiteral("/wa.db");
    if (info.fileName().toLower().startsWith(u"msgstore") && QFileInfo(names).isFile())
        QFile::copy(names, folder + QStringLiteral("/wa.db"));
    return copy;
}

struct Outcome
{
    QString location;
    std::exception_ptr failure;
};

Outcome addIn(const QString &chosen, const QString &folder, qint64 unpackLimit)
{
    try {
        const std::optional<QString> location = find(copyIn(chosen, folder, unpackLimit));
        if (!location)
            throw noChat();
        return { *location, nullptr };
    } catch (const std::exception &) {
        QDir(folder).removeRecursively();
        return { QString(), std::current_exception() };
    }
}

} // namespace

QStringList panelTypes()
{
    return { QStringLiteral("*.txt"), QStringLiteral("*.json"), QStringLiteral("*.xml"),
        QStringLiteral("*.html"), QStringLiteral("*.htm"), QStringLiteral("*.csv"), QStringLiteral("*.zip"),
        QStringLiteral("*.eml"), QStringLiteral("*.db"), QStringLiteral("*.mbox"), QStringLiteral("*.sqlite"),
        QStringLiteral("*.log"), QStringLiteral("*.md"), QStringLiteral("*.weechatlog"),
        QStringLiteral("*.crypt14"), QStringLiteral("*.crypt15") };
}

QString nameFor(const QString &chosen)
{
    QString name = QFileInfo(QDir::cleanPath(chosen)).fileName();
    // A leading dot starts a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return name.replace(u'_', u' ');
}

QCoro::Task<Source> add(QString chosen, qint64 unpackLimit)
{
    chosen = QDir::cleanPath(chosen);
    const QString folder = makeFolder();
    // A large export takes a while to copy or unpack: not on the main thread.
    const Outcome outcome = co_await QtConcurrent::run(addIn, chosen, folder, unpackLimit);
    if (outcome.failure)
        std::rethrow_exception(outcome.failure);

    Source source;
    source.id = QFileInfo(folder).fileName();
    source.name = nameFor(chosen);
    source.log = outcome.location;
    co_return source;
}

Source paste(const QString &text, const QString &name)
{
    const QString folder = makeFolder();
    const QString path = folder + QStringLiteral("/pasted.txt");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw failure(QStringLiteral("The chat can't be saved at %1: %2.").arg(path, file.errorString()));
    Source source;
    source.id = QFileInfo(folder).fileName();
    source.name = name;
    source.log = path;
    return source;
}

} // namespace ChatFiles
