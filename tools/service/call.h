#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <functional>
#include <httplib.h>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

// A route refuses a request: answered as {"error": message} with status.
class Refusal : public std::runtime_error
{
public:
    Refusal(int status, const QString &message);
    int status() const { return m_status; }

private:
    int m_status;
};

// One request as a route sees it. Routes match the whole raw path (before
// percent-decoding), so that an encoded "/" inside a code stays inside its
// segment.
class Call
{
public:
    Call(const httplib::Request &request, httplib::Response &response, std::vector<std::string> captures);

    const httplib::Request &request() const { return m_request; }
    // The percent-decoded capture, from 1.
    QString capture(int index) const;
    // "http://" + the Host the client used, to build addresses that reach
    // this service the way the client reached it.
    QString base() const;
    QByteArray body() const;
    QString header(const char *name) const;
    QString query(const char *name) const;
    // The body as a JSON object; refuses anything else with 400.
    QJsonObject json() const;

    void reply(int status, const QJsonObject &object);
    void reply(int status, const QByteArray &bytes, const char *contentType);

private:
    const httplib::Request &m_request;
    httplib::Response &m_response;
    std::vector<std::string> m_captures;
};

struct Route
{
    std::string method;
    std::regex pattern;
    std::function<void(Call &)> handler;
};

using Routes = std::vector<Route>;

// A route's pattern, compiled once a run: the same few patterns serve
// every service made, and compiling them took longer than most requests.
std::regex routePattern(const char *pattern);

// Strict readers of request fields, refusing with 400 and a sentence.
namespace Field {
QString text(const QJsonObject &object, const QString &key);
std::optional<QString> optionalText(const QJsonObject &object, const QString &key);
} // namespace Field

// Random identifiers for orders, tokens and codes.
QString randomText(int length, const char *alphabet = "abcdefghijklmnopqrstuvwxyz0123456789");
