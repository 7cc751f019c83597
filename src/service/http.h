#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkReply>
#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>
#include <qcorotask.h>
#include <stdexcept>
#include <utility>

class QNetworkAccessManager;

// The one way the client talks HTTP: a request goes out through the
// thread's shared session and comes back as a status and bytes; no answer
// at all is a TransportError.
namespace Http {

enum class Method { Get, Post, Put };

struct Request
{
    Method method = Method::Get;
    QUrl url;
    // Sent as given (names in lower case), in this order.
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // When set, the body is streamed from this file instead.
    QString bodyFile;
    // Time the request may stay idle; every service call has one.
    std::chrono::milliseconds timeout { 60000 };
};

struct Reply
{
    int status = 0;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;

    bool isSuccess() const { return status >= 200 && status <= 299; }
    // The first header of that name, compared without case; empty if none.
    QByteArray header(const QByteArray &name) const;
};

// The request got no HTTP answer: no connection, a dropped connection, a
// time-out, or a local file that could not be read. what() is the
// platform's own sentence.
class TransportError : public std::runtime_error
{
public:
    TransportError(QNetworkReply::NetworkError code, const QString &message);
    QNetworkReply::NetworkError code() const { return m_code; }

private:
    QNetworkReply::NetworkError m_code;
};

QCoro::Task<Reply> send(Request request);

// The session of the calling thread, made on first use.
QNetworkAccessManager *session();

// Ends every request of the calling thread's session still under way: each
// send() throws TransportError (OperationCanceledError) to whoever awaits
// it. The app does this as it quits, so that nothing stays suspended on a
// request.
void abortRequests();
// Whether a request of the calling thread's session is under way, or has
// ended without its sender having taken in the end yet.
bool hasRequests();

// body as a JSON object whose values are all strings, the shape of the
// service's error replies; nullopt for anything else.
std::optional<QJsonObject> stringObject(const QByteArray &body);

// Whether secrets (a bearer token, a conversation) may travel to url: only
// over https, or to this computer's own loopback addresses as the stand-in
// service uses in development and tests.
bool isSecure(const QUrl &url);

} // namespace Http
