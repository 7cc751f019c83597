#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>
#include <utility>

// A document that does not have the shape its reader requires. One error
// for every strict reader, so callers catch a single type. what() names
// where the fault is ("design.cover: ...") and what it is.
class JsonError : public std::runtime_error
{
public:
    explicit JsonError(const QString &problem, const QString &path = {});

    // Where in the document, as "design.cover" or "messages[3].at"; empty
    // for the document itself.
    QString path() const { return m_path; }
    QString problem() const { return m_problem; }
    QString description() const { return QString::fromUtf8(what()); }

    // The same error seen from the enclosing value: segment is a key
    // ("design") or an index ("[3]").
    JsonError inside(const QString &segment) const;

private:
    QString m_problem;
    QString m_path;
};

// Strict reading: a required key must be present, not null and of its type;
// an optional key may be absent or null (both read as nullopt) but must be
// of its type otherwise. Integers must be integral numbers in range.
namespace Json {

QJsonObject parseObject(const QByteArray &bytes);
QJsonArray parseArray(const QByteArray &bytes);

// Single values, such as array elements.
QString toString(const QJsonValue &value);
int toInt(const QJsonValue &value);
qint64 toInt64(const QJsonValue &value);
// Any number, integral ones included.
double toDouble(const QJsonValue &value);
bool toBool(const QJsonValue &value);
QJsonObject toObject(const QJsonValue &value);
QJsonArray toArray(const QJsonValue &value);
QStringList toStringList(const QJsonValue &value);

QString requiredString(const QJsonObject &object, QAnyStringView key);
std::optional<QString> optionalString(const QJsonObject &object, QAnyStringView key);
int requiredInt(const QJsonObject &object, QAnyStringView key);
std::optional<int> optionalInt(const QJsonObject &object, QAnyStringView key);
double requiredDouble(const QJsonObject &object, QAnyStringView key);
bool requiredBool(const QJsonObject &object, QAnyStringView key);
std::optional<bool> optionalBool(const QJsonObject &object, QAnyStringView key);
QJsonObject requiredObject(const QJsonObject &object, QAnyStringView key);
std::optional<QJsonObject> optionalObject(const QJsonObject &object, QAnyStringView key);
QJsonArray requiredArray(const QJsonObject &object, QAnyStringView key);
std::optional<QJsonArray> optionalArray(const QJsonObject &object, QAnyStringView key);
QStringList requiredStringList(const QJsonObject &object, QAnyStringView key);
std::optional<QStringList> optionalStringList(const QJsonObject &object, QAnyStringView key);

// Runs read(), reporting a JsonError as lying under segment.
template<typename Read> auto within(QAnyStringView segment, Read &&read) -> decltype(read())
{
    try {
        return read();
    } catch (const JsonError &error) {
        throw error.inside(segment.toString());
    }
}

// Reads every element with read(QJsonValue); an error names the index.
template<typename Read>
auto mapArray(const QJsonArray &array, Read &&read) -> QList<decltype(read(QJsonValue()))>
{
    QList<decltype(read(QJsonValue()))> result;
    result.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        // The segment is only worded for an error: books have many messages.
        try {
            result.append(read(array.at(i)));
        } catch (const JsonError &error) {
            throw error.inside(QStringLiteral("[%1]").arg(i));
        }
    }
    return result;
}

// Reads a required object-valued key with read(QJsonObject).
template<typename Read> auto requiredRecord(const QJsonObject &object, QAnyStringView key, Read &&read)
{
    const QJsonObject value = requiredObject(object, key);
    return within(key, [&] { return read(value); });
}

// Reads an optional object-valued key with read(QJsonObject).
template<typename Read>
auto optionalRecord(const QJsonObject &object, QAnyStringView key, Read &&read)
    -> std::optional<decltype(read(QJsonObject()))>
{
    const std::optional<QJsonObject> value = optionalObject(object, key);
    if (!value)
        return std::nullopt;
    return within(key, [&] { return read(*value); });
}

// Reads a required array of objects, each with read(QJsonObject).
template<typename Read> auto requiredRecords(const QJsonObject &object, QAnyStringView key, Read &&read)
{
    const QJsonArray array = requiredArray(object, key);
    return within(
        key, [&] { return mapArray(array, [&](const QJsonValue &v) { return read(toObject(v)); }); });
}

template<typename Read>
auto optionalRecords(const QJsonObject &object, QAnyStringView key, Read &&read)
    -> std::optional<QList<decltype(read(QJsonObject()))>>
{
    const std::optional<QJsonArray> array = optionalArray(object, key);
    if (!array)
        return std::nullopt;
    return within(
        key, [&] { return mapArray(*array, [&](const QJsonValue &v) { return read(toObject(v)); }); });
}

// Writing: an absent optional leaves its key out, never null.
void insertOptional(QJsonObject &object, const QString &key, const std::optional<QString> &value);
void insertOptional(QJsonObject &object, const QString &key, const std::optional<bool> &value);
void insertOptional(QJsonObject &object, const QString &key, const std::optional<QStringList> &value);

template<typename Record> QJsonArray arrayOf(const QList<Record> &records)
{
    QJsonArray array;
    for (const Record &record : records)
        array.append(record.toJson());
    return array;
}

} // namespace Json
