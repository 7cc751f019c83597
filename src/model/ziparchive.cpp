#include "ziparchive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sys/stat.h>
#include <zip.h>

namespace ZipArchive {

namespace {

using Kind = Error::Kind;

struct ArchiveCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct EntryCloser
{
    void operator()(zip_file_t *entry) const { zip_fclose(entry); }
};

bool isSafeName(const QString &name)
{
    if (name.startsWith(u'/') || name.startsWith(u'\\'))
        return false;
    // Backslashes count as separators too: archives made on Windows use them.
    for (const QStringView part : QStringView(name).split(u'/')) {
        for (const QStringView piece : part.split(u'\\')) {
            if (piece == u"..")
                return false;
        }
    }
    return true;
}

bool isLink(zip_t *archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

QString entryName(zip_t *archive, zip_uint64_t index)
{
    const char *name = zip_get_name(archive, index, ZIP_FL_ENC_GUESS);
    if (!name)
        throw Error(Kind::Damaged, QStringLiteral("The zip archive is damaged."));
    return QString::fromUtf8(name);
}

// What libzip says of an archive cut short in its download or copy, or
// spoilt in it; a zip archive the system can't read otherwise (a file
// that won't open, a password) is told in libzip's words.
Kind kindOf(int code)
{
    switch (code) {
    case ZIP_ER_NOZIP:
    case ZIP_ER_INCONS:
    case ZIP_ER_CRC:
    case ZIP_ER_ZLIB:
    case ZIP_ER_EOF:
    case ZIP_ER_COMPRESSED_DATA:
        return Kind::Damaged;
    default:
        return Kind::Unreadable;
    }
}

} // namespace

Error::Error(Kind kind, const QString &sentence)
    : std::runtime_error(sentence.toStdString())
    , m_kind(kind)
{ }

void extract(const QString &path, const QString &folder, qint64 limit)
{
    int code = 0;
    std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        throw Error(kindOf(code), QStringLiteral("The zip archive can't be opened: %1.").arg(reason));
    }

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = entryName(archive.get(), zip_uint64_t(i));
        if (!isSafeName(name) || isLink(archive.get(), zip_uint64_t(i)))
            throw Error(
                Kind::Unsafe, QStringLiteral("The zip archive holds a link or a path outside itself."));
    }

    const QDir root(folder);
    qint64 written = 0;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = entryName(archive.get(), zip_uint64_t(i));
        const QString target = QDir::cleanPath(root.filePath(name));
        if (name.endsWith(u'/')) {
            if (!QDir().mkpath(target))
                throw Error(Kind::Unwritable, QStringLiteral("The folder %1 can't be made.").arg(target));
            continue;
        }
        if (!QDir().mkpath(QFileInfo(target).path()))
            throw Error(Kind::Unwritable, QStringLiteral("The folder for %1 can't be made.").arg(target));
        std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(archive.get(), zip_uint64_t(i), 0));
        if (!entry)
            throw Error(kindOf(zip_error_code_zip(zip_get_error(archive.get()))),
                QStringLiteral("The zip archive's %1 can't be read: %2.")
                    .arg(name, QString::fromUtf8(zip_strerror(archive.get()))));
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw Error(
                Kind::Unwritable, QStringLiteral("%1 can't be written: %2.").arg(target, out.errorString()));
        for (;;) {
            const zip_int64_t read = zip_fread(entry.get(), buffer.data(), zip_uint64_t(buffer.size()));
            if (read < 0)
                throw Error(kindOf(zip_error_code_zip(zip_file_get_error(entry.get()))),
                    QStringLiteral("The zip archive's %1 can't be read: %2.")
                        .arg(name, QString::fromUtf8(zip_file_strerror(entry.get()))));
            if (read == 0)
                break;
            // Counted as it comes out: the sizes an archive declares may lie.
            written += read;
            if (written > limit)
                throw Error(Kind::TooLarge,
                    QStringLiteral("The zip archive unpacks to more than %1 bytes.").arg(limit));
            if (out.write(buffer.constData(), read) != read)
                throw Error(Kind::Unwritable,
                    QStringLiteral("%1 can't be written: %2.").arg(target, out.errorString()));
        }
        if (!out.flush())
            throw Error(
                Kind::Unwritable, QStringLiteral("%1 can't be written: %2.").arg(target, out.errorString()));
        // The day a file was last written dates logs that write days
        // without their year; unpacked, it is the archive's.
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) == 0 && (stat.valid & ZIP_STAT_MTIME))
            out.setFileTime(QDateTime::fromSecsSinceEpoch(stat.mtime), QFileDevice::FileModificationTime);
    }
}

} // namespace ZipArchive
