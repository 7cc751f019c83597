#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <sys/stat.h>
#include <zip.h>

// Writes zip archives for tests, also with what an archive from elsewhere
// may hold: links, absolute names and ".." components.
struct ZipEntry
{
    enum class Kind { File, Folder, Link };

    QString name;
    QByteArray contents; // for a link, its target
    Kind kind = Kind::File;
    qint64 modified = 0; // seconds since 1970; 0 for the time of writing
};

inline bool writeZip(const QString &path, const QList<ZipEntry> &entries)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const ZipEntry &entry : entries) {
        const QByteArray name = entry.name.toUtf8();
        if (entry.kind == ZipEntry::Kind::Folder) {
            zip_dir_add(archive, name.constData(), ZIP_FL_ENC_UTF_8);
            continue;
        }
        // libzip frees the copy once the archive is written.
        void *data = ::malloc(size_t(std::max<qsizetype>(entry.contents.size(), 1)));
        ::memcpy(data, entry.contents.constData(), size_t(entry.contents.size()));
        zip_source_t *source = zip_source_buffer(archive, data, zip_uint64_t(entry.contents.size()), 1);
        const zip_int64_t index = zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        if (entry.modified != 0)
            zip_file_set_mtime(archive, zip_uint64_t(index), time_t(entry.modified), 0);
        if (entry.kind == ZipEntry::Kind::Link)
            zip_file_set_external_attributes(
                archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, zip_uint32_t(S_IFLNK | 0777) << 16);
    }
    return zip_close(archive) == 0;
}
