#include "defaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonValue>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString dataKey = QStringLiteral("data");

QString standardFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Quorvel/defaults.json");
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
    m_values.reset();
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
    change(key, QJsonValue(value));
}

std::optional<QByteArray> Defaults::data(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    const QJsonValue value = values().value(key);
    if (!value.isObject())
        return std::nullopt;
    const QJsonValue encoded = value.toObject().value(dataKey);
    if (!encoded.isString())
        return std::nullopt;
    const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
        encoded.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return *decoded;
}

bool Defaults::setData(const QString &key, const QByteArray &value)
{
    QMutexLocker lock(&m_mutex);
    return change(key, QJsonObject { { dataKey, QString::fromLatin1(value.toBase64()) } });
}

void Defaults::remove(const QString &key)
{
    QMutexLocker lock(&m_mutex);
    if (values().contains(key))
        change(key, std::nullopt);
}

const QJsonObject &Defaults::values() const
{
    if (m_values)
        return *m_values;
    m_values.emplace();
    QFile file(m_fileName);
    if (!file.exists())
        return *m_values;
    if (!file.open(QIODevice::ReadOnly)) {
        m_damaged = true;
        return *m_values;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty())
        return *m_values;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        m_damaged = true;
        return *m_values;
    }
    *m_values = document.object();
    return *m_values;
}

bool Defaults::change(const QString &key, const std::optional<QJsonValue> &value)
{
    values();
    if (value)
        m_values->insert(key, *value);
    else
        m_values->remove(key);
    return write();
}

bool Defaults::write()
{
    if (m_damaged && QFile::exists(m_fileName)) {
        const QString aside = m_fileName + QStringLiteral(".corrupt");
        QFile::remove(aside);
        if (!QFile::rename(m_fileName, aside))
            return false;
    }
    m_damaged = false;
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(*m_values).toJson(QJsonDocument::Indented));
    // A failed write leaves the old file in place; the change lives on in
    // memory for this run.
    return file.commit();
}
