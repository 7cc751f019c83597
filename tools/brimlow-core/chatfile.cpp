#include "chatfile.h"

#include "failure.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace Brimlow::ChatFile {

namespace {

// More than any real export; keeps a stray disk image out of memory.
constexpr qint64 MaxFileSize = qint64(1) << 30;

bool isWithin(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

const QHash<QString, QByteArray> *memory = nullptr;

// The file in memory at path, when files are held there.
const QByteArray *inMemory(const QString &path)
{
    const auto found = memory->constFind(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    return found == memory->constEnd() ? nullptr : &found.value();
}

} // namespace

void setInMemory(const QHash<QString, QByteArray> *files)
{
    memory = files;
}

QByteArray head(const QString &path, qsizetype size)
{
    if (memory) {
        const QByteArray *file = inMemory(path);
        if (!file)
            throw Failure(unreadable(path));
        return file->left(size);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(unreadable(path));
    return file.read(size);
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    if (memory) {
        const QString top = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
        for (auto it = memory->constBegin(); it != memory->constEnd(); ++it) {
            if (it.key() != top && isWithin(it.key(), top))
                files.append(it.key());
        }
    } else {
        QDirIterator it(
            folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (!QFileInfo(file).isSymLink())
                files.append(file);
        }
    }
    files.sort();
    return files;
}

QByteArray bytes(const QString &path)
{
    if (memory) {
        const QByteArray *file = inMemory(path);
        if (!file)
            throw Failure(unreadable(path));
        return *file;
    }
    QFile file(path);
    if (file.size() > MaxFileSize)
        throw Failure(QStringLiteral("The chat file %1 is too big to read.").arg(QFileInfo(path).fileName()));
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(unreadable(path));
    return file.readAll();
}

QString decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(
            bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString fromWindows1252(QByteArrayView bytes)
{
    // 0x80 to 0x9F; the five the code page leaves out stay as Latin-1 has them.
    static constexpr char16_t high[32] = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C,
        0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const uchar c = uchar(byte);
        *out++ = QChar(c >= 0x80 && c < 0xA0 ? high[c - 0x80] : char16_t(c));
    }
    return text;
}

char firstChar(const QByteArray &bytes)
{
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < bytes.size()
        && (bytes.at(at) == ' ' || bytes.at(at) == '\n' || bytes.at(at) == '\r' || bytes.at(at) == '\t'))
        ++at;
    return at < bytes.size() ? bytes.at(at) : '\0';
}

QString inside(const QString &root, const QString &folder, const QString &relative)
{
    QString name = relative.trimmed();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty() || name.contains(QChar(0)) || QDir::isAbsolutePath(name)
        || name.startsWith(QLatin1Char('~')) || name.contains(QLatin1String("://")))
        return {};
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.contains(QLatin1String("..")))
        return {};
    const QFileInfo info(QDir(folder).filePath(name));
    if (memory) {
        // Nothing in memory is a link.
        const QString path = QDir::cleanPath(info.absoluteFilePath());
        return memory->contains(path) && isWithin(path, QDir::cleanPath(QFileInfo(root).absoluteFilePath()))
            ? path
            : QString();
    }
    if (!info.isFile())
        return {};
    // Links may point anywhere; only what really lies under the root counts.
    const QString real = info.canonicalFilePath();
    const QString top = QFileInfo(root).canonicalFilePath();
    if (real.isEmpty() || top.isEmpty() || !isWithin(real, top))
        return {};
    return info.absoluteFilePath();
}

QString insideAbove(const QString &root, const QString &folder, const QString &relative)
{
    const QString top = QFileInfo(root).absoluteFilePath();
    QDir dir(folder);
    for (int level = 0; level < 12; ++level) {
        const QString found = inside(root, dir.absolutePath(), relative);
        if (!found.isEmpty())
            return found;
        if (!isWithin(dir.absolutePath(), top) || dir.absolutePath() == top || !dir.cdUp())
            break;
    }
    return {};
}

QString unreadable(const QString &path)
{
    return QStringLiteral("The chat file %1 can't be read.").arg(QFileInfo(path).fileName());
}

QString damaged(const QString &path)
{
    return QStringLiteral("The chat file %1 is damaged and can't be read.").arg(QFileInfo(path).fileName());
}

} // namespace Brimlow::ChatFile
