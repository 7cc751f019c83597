#include "chatfiles.h"

#include "helpers.h"
#include "ziparchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUuid>
#include <QtConcurrent>
#include <optional>
#include <qcorofuture.h>

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

// The id's folder, made.
QString makeFolder(const QString &id)
{
    const QString folder = Helpers::support() + QStringLiteral("/Files/") + id;
    if (!QDir().mkpath(folder))
        throw failure(QStringLiteral("The folder %1 can't be made.").arg(folder));
    return folder;
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

void copyItem(const QString &from, const QString &to)
{
    const QFileInfo info(from);
    if (!info.isDir()) {
        QFile file(from);
        if (!file.copy(to))
            throw failure(QStringLiteral("%1 can't be copied: %2.").arg(from, file.errorString()));
        return;
    }
    if (!QDir().mkpath(to))
        throw failure(QStringLiteral("The folder %1 can't be made.").arg(to));
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
QString copyIn(const QString &chosen, const QString &folder)
{
    const QFileInfo info(chosen);
    if (info.suffix().toLower() == u"zip") {
        try {
            ZipArchive::extract(chosen, folder);
        } catch (const ZipArchive::Error &error) {
            if (error.kind() == ZipArchive::Error::Kind::Unsafe
                || error.kind() == ZipArchive::Error::Kind::TooLarge)
                throw noChat();
            throw failure(QString::fromUtf8(error.what()));
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
    std::optional<Helpers::Failure> failure;
};

Outcome addIn(const QString &chosen, const QString &folder)
{
    try {
        const std::optional<QString> location = find(copyIn(chosen, folder));
        if (!location)
            throw noChat();
        return { *location, std::nullopt };
    } catch (const Helpers::Failure &error) {
        QDir(folder).removeRecursively();
        return { QString(), error };
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

QCoro::Task<Source> add(QString chosen)
{
    chosen = QDir::cleanPath(chosen);
    const QString id = newId();
    const QString folder = makeFolder(id);
    // A large export takes a while to copy or unpack: not on the main thread.
    const Outcome outcome = co_await QtConcurrent::run(addIn, chosen, folder);
    if (outcome.failure)
        throw *outcome.failure;

    Source source;
    source.id = id;
    source.name = nameFor(chosen);
    source.log = outcome.location;
    co_return source;
}

Source paste(const QString &text, const QString &name)
{
    const QString id = newId();
    const QString path = makeFolder(id) + QStringLiteral("/pasted.txt");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw failure(QStringLiteral("The chat can't be saved at %1: %2.").arg(path, file.errorString()));
    Source source;
    source.id = id;
    source.name = name;
    source.log = path;
    return source;
}

} // namespace ChatFiles
