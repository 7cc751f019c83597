#include "json.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

namespace {

QString joined(const QString &segment, const QString &path)
{
    if (path.isEmpty())
        return segment;
    if (path.startsWith(QLatin1Char('[')))
        return segment + path;
    return segment + QLatin1Char('.') + path;
}

QString whatOf(const QString &problem, const QString &path)
{
    return path.isEmpty() ? problem : path + QStringLiteral(": ") + problem;
}

QString kindOf(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

[[noreturn]] void wrongKind(const QString &expected, const QJsonValue &value)
{
    throw JsonError(QStringLiteral("expected %1, found %2").arg(expected, kindOf(value)));
}

QJsonDocument parse(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw JsonError(
            QStringLiteral("not valid JSON (%1 at offset %2)").arg(error.errorString()).arg(error.offset));
    return document;
}

// The value under a key, looked up without making a QString of the key:
// readers name their keys in ASCII literals, and a long book asks millions
// of times.
QJsonValue valueOf(const QJsonObject &object, QAnyStringView key)
{
    return key.visit([&](auto view) {
        if constexpr (std::is_same_v<decltype(view), QUtf8StringView>) {
            const bool ascii = std::all_of(view.begin(), view.end(), [](char c) { return uchar(c) < 0x80; });
            if (ascii)
                return object.value(QLatin1StringView(view.data(), view.size()));
            return object.value(view.toString());
        } else {
            return object.value(view);
        }
    });
}

// The value under a required key; absence and null are both refused.
QJsonValue required(const QJsonObject &object, QAnyStringView key)
{
    const QJsonValue value = valueOf(object, key);
    if (value.isUndefined())
        throw JsonError(QStringLiteral("missing required key"), key.toString());
    if (value.isNull())
        throw JsonError(QStringLiteral("required key is null"), key.toString());
    return value;
}

// The value under an optional key, or nullopt for absent and null.
std::optional<QJsonValue> optional(const QJsonObject &object, QAnyStringView key)
{
    const QJsonValue value = valueOf(object, key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    return value;
}

template<typename Convert> auto readKey(QAnyStringView key, const QJsonValue &value, Convert convert)
{
    return Json::within(key, [&] { return convert(value); });
}

template<typename Convert> auto readRequired(const QJsonObject &object, QAnyStringView key, Convert convert)
{
    return readKey(key, required(object, key), convert);
}

template<typename Convert>
auto readOptional(const QJsonObject &object, QAnyStringView key, Convert convert)
    -> std::optional<decltype(convert(QJsonValue()))>
{
    const std::optional<QJsonValue> value = optional(object, key);
    if (!value)
        return std::nullopt;
    return readKey(key, *value, convert);
}

} // namespace

JsonError::JsonError(const QString &problem, const QString &path)
    : std::runtime_error(whatOf(problem, path).toStdString())
    , m_problem(problem)
    , m_path(path)
{ }

JsonError JsonError::inside(const QString &segment) const
{
    return JsonError(m_problem, joined(segment, m_path));
}

namespace Json {

QJsonObject parseObject(const QByteArray &bytes)
{
    const QJsonDocument document = parse(bytes);
    if (!document.isObject())
        throw JsonError(
            QStringLiteral("expected an object, found %1")
                .arg(document.isArray() ? QStringLiteral("an array") : QStringLiteral("a single value")));
    return document.object();
}

QJsonArray parseArray(const QByteArray &bytes)
{
    const QJsonDocument document = parse(bytes);
    if (!document.isArray())
        throw JsonError(
            QStringLiteral("expected an array, found %1")
                .arg(document.isObject() ? QStringLiteral("an object") : QStringLiteral("a single value")));
    return document.array();
}

QString toString(const QJsonValue &value)
{
    if (!value.isString())
        wrongKind(QStringLiteral("a string"), value);
    return value.toString();
}

qint64 toInt64(const QJsonValue &value)
{
    if (!value.isDouble())
        wrongKind(QStringLiteral("an integer"), value);
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number)
        throw JsonError(QStringLiteral("expected an integer, found %1").arg(number));
    // 2^63 itself is the first double past the range.
    if (number < -9223372036854775808.0 || number >= 9223372036854775808.0)
        throw JsonError(QStringLiteral("integer %1 is out of range").arg(number));
    return value.toInteger();
}

int toInt(const QJsonValue &value)
{
    const qint64 number = toInt64(value);
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        throw JsonError(QStringLiteral("integer %1 is out of range").arg(number));
    return int(number);
}

double toDouble(const QJsonValue &value)
{
    if (!value.isDouble())
        wrongKind(QStringLiteral("a number"), value);
    return value.toDouble();
}

bool toBool(const QJsonValue &value)
{
    if (!value.isBool())
        wrongKind(QStringLiteral("a boolean"), value);
    return value.toBool();
}

QJsonObject toObject(const QJsonValue &value)
{
    if (!value.isObject())
        wrongKind(QStringLiteral("an object"), value);
    return value.toObject();
}

QJsonArray toArray(const QJsonValue &value)
{
    if (!value.isArray())
        wrongKind(QStringLiteral("an array"), value);
    return value.toArray();
}

QStringList toStringList(const QJsonValue &value)
{
    return mapArray(toArray(value), toString);
}

QString requiredString(const QJsonObject &object, QAnyStringView key)
{
    return readRequired(object, key, toString);
}

std::optional<QString> optionalString(const QJsonObject &object, QAnyStringView key)
{
    return readOptional(object, key, toString);
}

int requiredInt(const QJsonObject &object, QAnyStringView key)
{
    return readRequired(object, key, toInt);
}

std::optional<int> optionalInt(const QJsonObject &object, QAnyStringView key)
{
    return readOptional(object, key, toInt);
}

double requiredDouble(const QJsonObject &object, QAnyStringView key)
{
    return readRequired(object, key, toDouble);
}

bool requiredBool(const QJsonObject &object, QAnyStringView key)
{
    return readRequired(object, key, toBool);
}

std::optional<bool> optionalBool(const QJsonObject &object, QAnyStringView key)
{
    return readOptional(object, key, toBool);
}

QJsonObject requiredObject(const QJsonObject &object, QAnyStringView key)
{
    return readRequired(object, key, toObject);
}

std::optional<QJsonObject> optionalObject(const QJsonObject &object, QAnyStringView key)
{
    return readOptional(object, key, toObject);
}

QJsonArray requiredArray(const QJsonObject &object, QAnyStringView key)
{
    return readRequired(object, key, toArray);
}

std::optional<QJsonArray> optionalArray(const QJsonObject &object, QAnyStringView key)
{
    return readOptional(object, key, toArray);
}

QStringList requiredStringList(const QJsonObject &object, QAnyStringView key)
{
    return readRequired(object, key, toStringList);
}

std::optional<QStringList> optionalStringList(const QJsonObject &object, QAnyStringView key)
{
    return readOptional(object, key, toStringList);
}

void insertOptional(QJsonObject &object, const QString &key, const std::optional<QString> &value)
{
    if (value)
        object.insert(key, *value);
}

void insertOptional(QJsonObject &object, const QString &key, const std::optional<bool> &value)
{
    if (value)
        object.insert(key, *value);
}

void insertOptional(QJsonObject &object, const QString &key, const std::optional<QStringList> &value)
{
    if (value)
        object.insert(key, QJsonArray::fromStringList(*value));
}

} // namespace Json
