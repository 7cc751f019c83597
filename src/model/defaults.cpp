#include "defaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString dataKey = QStringLiteral("data");

QString standardFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Quorvel/defaults.json");
}

// The lock every window takes while it reads the file to change it and
// writes it back. The kernel lets it go however its process ends. Where no
// lock can be had, the change goes ahead without one: the write then fails
// by itself when the folder can't be written.
class FileLock
{
public:
    explicit FileLock(const QString &path)
        : m_descriptor(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (m_descriptor < 0)
            return;
        while (::flock(m_descriptor, LOCK_EX) != 0 && errno == EINTR) { }
    }
    ~FileLock()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

private:
    int m_descriptor;
};

std::optional<QJsonValue> valueIn(const QJsonObject &object, const QString &key)
{
    const auto found = object.constFind(key);
    return found == object.constEnd() ? std::nullopt : std::optional(*found);
}

void put(QJsonObject &object, const QString &key, const std::optional<QJsonValue> &value)
{
    if (value)
        object.insert(key, *value);
    else
        object.remove(key);
}

std::optional<QByteArray> decoded(const std::optional<QJsonValue> &value)
{
    if (!value || !value->isObject())
        return std::nullopt;
    const QJsonValue encoded = value->toObject().value(dataKey);
    if (!encoded.isString())
        return std::nullopt;
    const QByteArray::FromBase64Result bytes = QByteArray::fromBase64Encoding(
        encoded.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!bytes)
        return std::nullopt;
    return *bytes;
}

// The object a file holds; an empty file holds an empty one, and nothing
// when the file can't be read or holds anything else.
std::optional<QJsonObject> objectIn(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty())
        return QJsonObject();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QJsonValue encoded(const QByteArray &bytes)
{
    return QJsonObject { { dataKey, QString::fromLatin1(bytes.toBase64()) } };
}

} // namespace

Defaults::Defaults(const QString &fileName)
    : m_fileName(fileName)
{ }

Defaults &Defaults::standard()
{
    static Defaults defaults(standardFileName());
    return defaults;
}

QString Defaults::fileName() const
{
    QMutexLocker lock(&m_mutex);
    return m_fileName;
}

void Defaults::setFileName(const QString &fileName)
{
    QMutexLocker lock(&m_mutex);
    m_fileName = fileName;
    m_file.reset();
    m_unwritten.clear();
    m_damaged = false;
}

std::optional<QString> Defaults::string(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    const QJsonValue value = values().value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

void Defaults::setString(const QString &key, const QString &value)
{
    QMutexLocker lock(&m_mutex);
    change(key, [&](const std::optional<QJsonValue> &) { return QJsonValue(value); });
}

QString Defaults::stringOr(const QString &key, const QString &value)
{
    QMutexLocker lock(&m_mutex);
    if (const QJsonValue stored = values().value(key); stored.isString())
        return stored.toString();
    change(key, [&](const std::optional<QJsonValue> &stored) {
        return stored && stored->isString() ? *stored : QJsonValue(value);
    });
    return m_values.value(key).toString();
}

std::optional<QByteArray> Defaults::data(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return decoded(valueIn(values(), key));
}

bool Defaults::setData(const QString &key, const QByteArray &value)
{
    QMutexLocker lock(&m_mutex);
    return change(key, [&](const std::optional<QJsonValue> &) { return encoded(value); });
}

bool Defaults::changeData(const QString &key, const DataChange &dataChange)
{
    QMutexLocker lock(&m_mutex);
    return change(key, [&](const std::optional<QJsonValue> &stored) -> std::optional<QJsonValue> {
        const std::optional<QByteArray> made = dataChange(decoded(stored));
        return made ? std::optional(encoded(*made)) : std::nullopt;
    });
}

void Defaults::remove(const QString &key)
{
    QMutexLocker lock(&m_mutex);
    change(key, [](const std::optional<QJsonValue> &) { return std::nullopt; });
}

const QJsonObject &Defaults::values() const
{
    // Another window's change puts a new file in place; only then is it
    // read again.
    if (!m_file || versionOf(m_fileName) != m_version)
        readFile();
    return m_values;
}

Defaults::Version Defaults::versionOf(const QString &fileName)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0)
        return {};
    return { true, info.st_dev, info.st_ino, info.st_size,
        qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec };
}

void Defaults::readFile() const
{
    m_version = versionOf(m_fileName);
    m_file = QJsonObject();
    m_damaged = false;
    if (QFile::exists(m_fileName)) {
        if (const std::optional<QJsonObject> object = objectIn(m_fileName))
            m_file = *object;
        else
            m_damaged = true;
    }
    mergeUnwritten();
}

void Defaults::mergeUnwritten() const
{
    m_values = *m_file;
    for (auto it = m_unwritten.cbegin(); it != m_unwritten.cend(); ++it)
        put(m_values, it.key(), it.value());
}

bool Defaults::change(const QString &key, const Change &edit)
{
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    const FileLock lock(m_fileName + QStringLiteral(".lock"));
    // What the file holds now, whatever another window wrote since.
    readFile();
    const std::optional<QJsonValue> stored = valueIn(*m_file, key);
    const std::optional<QJsonValue> wanted = edit(stored);
    bool written = wanted == stored;
    if (!written) {
        QJsonObject changed = *m_file;
        put(changed, key, wanted);
        written = write(changed);
        if (written) {
            m_file = changed;
            m_version = versionOf(m_fileName);
        }
    }
    if (written)
        m_unwritten.remove(key);
    else
        m_unwritten.insert(key, wanted);
    mergeUnwritten();
    return written;
}

bool Defaults::write(const QJsonObject &values)
{
    if (m_damaged && QFile::exists(m_fileName)) {
        const QString aside = m_fileName + QStringLiteral(".corrupt");
        QFile::remove(aside);
        if (!QFile::rename(m_fileName, aside))
            return false;
    }
    m_damaged = false;
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(values).toJson(QJsonDocument::Indented));
    // A failed write leaves the old file in place; the change lives on in
    // memory for this run.
    return file.commit();
}
