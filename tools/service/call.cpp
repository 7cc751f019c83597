#include "call.h"

#include <QJsonDocument>
#include <QRandomGenerator>
#include <cstring>
#include <map>
#include <mutex>

Refusal::Refusal(int status, const QString &message)
    : std::runtime_error(message.toStdString())
    , m_status(status)
{ }

Call::Call(const httplib::Request &request, httplib::Response &response, std::vector<std::string> captures)
    : m_request(request)
    , m_response(response)
    , m_captures(std::move(captures))
{ }

QString Call::capture(int index) const
{
    if (index < 0 || size_t(index) >= m_captures.size())
        return {};
    return QString::fromUtf8(
        QByteArray::fromPercentEncoding(QByteArray::fromStdString(m_captures[size_t(index)])));
}

QString Call::base() const
{
    return QStringLiteral("http://") + header("Host");
}

QByteArray Call::body() const
{
    return QByteArray::fromStdString(m_request.body);
}

QString Call::header(const char *name) const
{
    return QString::fromStdString(m_request.get_header_value(name));
}

QString Call::query(const char *name) const
{
    return QString::fromStdString(m_request.get_param_value(name));
}

QJsonObject Call::json() const
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw Refusal(400, QStringLiteral("The request body must be a JSON object."));
    return document.object();
}

void Call::reply(int status, const QJsonObject &object)
{
    reply(status, QJsonDocument(object).toJson(QJsonDocument::Compact), "application/json");
}

void Call::reply(int status, const QByteArray &bytes, const char *contentType)
{
    m_response.status = status;
    m_response.set_content(bytes.toStdString(), contentType);
}

namespace Field {

QString text(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        throw Refusal(400, QStringLiteral("\"%1\" must be a string.").arg(key));
    return value.toString();
}

std::optional<QString> optionalText(const QJsonObject &object, const QString &key)
{
    if (!object.contains(key))
        return std::nullopt;
    return text(object, key);
}

} // namespace Field

QString randomText(int length, const char *alphabet)
{
    const int size = int(std::strlen(alphabet));
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QLatin1Char(alphabet[QRandomGenerator::system()->bounded(size)]));
    return text;
}

std::regex routePattern(const char *pattern)
{
    static std::mutex guard;
    static std::map<std::string, std::regex> compiled;
    const std::lock_guard lock(guard);
    const auto found = compiled.find(pattern);
    if (found != compiled.end())
        return found->second;
    return compiled.emplace(pattern, std::regex(pattern)).first->second;
}
