#include "workingfolder.h"

#include "helpers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "quorvel-" and a UUID: the sweep tells the app's own working folders
// from anyone else's by it.
const QString folderPrefix = QStringLiteral("quorvel-");
// Where hand-offs exported before they were made in working folders.
const QString handoffPrefix = QStringLiteral("handoff-");

bool isNamed(const QString &prefix, const QString &name)
{
    static const QRegularExpression uuid(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    return name.startsWith(prefix) && uuid.match(QStringView(name).mid(prefix.size())).hasMatch();
}

// Only a folder of this user's, never a link to one.
bool isOwnFolder(const QString &path)
{
    const QFileInfo entry(path);
    return !entry.isSymLink() && entry.isDir() && entry.ownerId() == ::getuid();
}

// A hand-off of an earlier version left nothing in its folder but the
// conversation the message tool exported, whole or on its way.
bool holdsOnlyAnExport(const QString &path)
{
    const QStringList names = QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    return std::all_of(names.cbegin(), names.cend(), [](const QString &name) {
        return name == u"book.json" || name.startsWith(QLatin1String("book.json."));
    });
}

} // namespace

WorkingFolder::WorkingFolder()
{
    const QString base = QDir::tempPath();
    QDir().mkpath(base);
    // A sweep beside may take a new folder for a leftover in the moment
    // before it is claimed, and remove it: then another name.
    int error = 0;
    for (int attempt = 0; attempt < 3 && !m_claim.isHeld(); ++attempt) {
        const QString path
            = base + QLatin1Char('/') + folderPrefix + QUuid::createUuid().toString(QUuid::WithoutBraces);
        // Only we may read what is written there: message text passes through.
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0) {
            error = errno;
            break;
        }
        m_claim = FolderLock::claim(path);
        error = errno;
        if (!m_claim.isHeld())
            QDir(path).removeRecursively();
    }
    if (!m_claim.isHeld()) {
        throw Helpers::LaunchError(QStringLiteral("Couldn't create a working folder in %1: %2.")
                                       .arg(base, QString::fromLocal8Bit(std::strerror(error))));
    }
}

void WorkingFolder::sweep()
{
    // Names first: a temporary folder may hold thousands of entries, and
    // this runs while the app starts.
    QDirIterator entries(QDir::tempPath(),
        { folderPrefix + QLatin1Char('*'), handoffPrefix + QLatin1Char('*') },
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QString name = entries.fileName();
        if (isNamed(folderPrefix, name) && isOwnFolder(path))
            FolderLock::claim(path).removeFolder();
        else if (isNamed(handoffPrefix, name) && isOwnFolder(path) && holdsOnlyAnExport(path))
            QDir(path).removeRecursively();
    }
}
