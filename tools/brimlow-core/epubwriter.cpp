#include "epubwriter.h"

#include "failure.h"

#include <QFile>
#include <zip.h>

namespace Brimlow {

namespace {

Failure unwritable(const QString &path, const QString &reason)
{
    return Failure(QStringLiteral("The ebook can't be written at %1: %2.").arg(path, reason));
}

} // namespace

EpubWriter::EpubWriter(QString path)
    : m_path(std::move(path))
    , m_partial(m_path + QStringLiteral(".part"))
{
    int error = 0;
    m_zip = zip_open(QFile::encodeName(m_partial).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!m_zip) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, error);
        const QString text = QString::fromLocal8Bit(zip_error_strerror(&reason));
        zip_error_fini(&reason);
        throw unwritable(m_path, text);
    }
    addEntry(QStringLiteral("mimetype"), "application/epub+zip", Compression::Stored);
}

EpubWriter::~EpubWriter()
{
    if (m_zip) {
        zip_discard(m_zip);
        QFile::remove(m_partial);
    }
}

void EpubWriter::add(const QString &name, const QByteArray &bytes)
{
    // A picture is compressed already: deflating a cover of megabytes
    // again takes time and saves nothing.
    const bool picture = name.endsWith(QLatin1String(".png")) || name.endsWith(QLatin1String(".jpg"))
        || name.endsWith(QLatin1String(".jpeg"));
    addEntry(name, bytes, picture ? Compression::Stored : Compression::Deflated);
}

void EpubWriter::addEntry(const QString &name, const QByteArray &bytes, Compression compression)
{
    // libzip reads the data only when the archive is closed; the copy lives
    // until then in a buffer it frees itself.
    void *data = std::malloc(size_t(std::max<qsizetype>(bytes.size(), 1)));
    std::memcpy(data, bytes.constData(), size_t(bytes.size()));
    zip_source_t *source = zip_source_buffer(m_zip, data, zip_uint64_t(bytes.size()), 1);
    if (!source) {
        std::free(data);
        throw unwritable(m_path, QString::fromLocal8Bit(zip_strerror(m_zip)));
    }
    const zip_int64_t index = zip_file_add(m_zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        throw unwritable(m_path, QString::fromLocal8Bit(zip_strerror(m_zip)));
    }
    const zip_int32_t method = compression == Compression::Stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    if (zip_set_file_compression(m_zip, zip_uint64_t(index), method, 0) != 0)
        throw unwritable(m_path, QString::fromLocal8Bit(zip_strerror(m_zip)));
}

void EpubWriter::finish()
{
    if (zip_close(m_zip) != 0) {
        const QString reason = QString::fromLocal8Bit(zip_strerror(m_zip));
        throw unwritable(m_path, reason);
    }
    m_zip = nullptr;
    QFile::remove(m_path);
    if (!QFile::rename(m_partial, m_path)) {
        QFile::remove(m_partial);
        throw unwritable(m_path, QStringLiteral("the finished file can't be put in its place"));
    }
}

} // namespace Brimlow
