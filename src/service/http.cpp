#include "http.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <memory>
#include <qcorosignal.h>

namespace Http {

namespace {

struct DeleteLater
{
    void operator()(QObject *object) const { object->deleteLater(); }
};

// Qt reports HTTP error statuses as reply errors too; only network and proxy
// errors mean that the answer itself was lost or cut short.
bool isTransportFailure(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

} // namespace

QByteArray Reply::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

TransportError::TransportError(QNetworkReply::NetworkError code, const QString &message)
    : std::runtime_error(message.toStdString())
    , m_code(code)
{ }

namespace {

// The calling thread's session, if it has one yet.
QPointer<QNetworkAccessManager> &threadSession()
{
    thread_local QPointer<QNetworkAccessManager> manager;
    return manager;
}

void endMainSession()
{
    delete threadSession().data();
}

QList<QNetworkReply *> runningReplies()
{
    if (!threadSession())
        return {};
    QList<QNetworkReply *> replies = threadSession()->findChildren<QNetworkReply *>();
    replies.removeIf([](QNetworkReply *reply) { return !reply->isRunning(); });
    return replies;
}

} // namespace

QNetworkAccessManager *session()
{
    QPointer<QNetworkAccessManager> &manager = threadSession();
    if (!manager) {
        manager = new QNetworkAccessManager;
        QThread *thread = QThread::currentThread();
        if (QCoreApplication::instance() && thread == QCoreApplication::instance()->thread()) {
            manager->setParent(QCoreApplication::instance());
            // Ended while the application object still stands: as one of
            // its children it would go only after the object had stopped
            // being the application, and its network thread, winding down,
            // would hand its last events to an application no longer there.
            qAddPostRoutine(endMainSession);
        } else
            QObject::connect(thread, &QThread::finished, manager, &QObject::deleteLater);
    }
    return manager;
}

void abortRequests()
{
    // Aborting one finishes it at once, and whoever awaited it may send
    // another or let others go: each is aborted only while it still exists.
    QList<QPointer<QNetworkReply>> replies;
    for (QNetworkReply *reply : runningReplies())
        replies.append(reply);
    for (const QPointer<QNetworkReply> &reply : std::as_const(replies)) {
        if (reply)
            reply->abort();
    }
}

bool hasRequests()
{
    // A reply lasts until the send() that made it has taken in its end.
    return threadSession() && !threadSession()->findChildren<QNetworkReply *>().isEmpty();
}

QCoro::Task<Reply> send(Request request)
{
    QNetworkRequest outgoing(request.url);
    outgoing.setTransferTimeout(int(request.timeout.count()));
    for (const auto &[name, value] : request.headers)
        outgoing.setRawHeader(name, value);

    QNetworkAccessManager *manager = session();
    QNetworkReply *sent = nullptr;
    if (!request.bodyFile.isEmpty()) {
        auto file = std::make_unique<QFile>(request.bodyFile);
        if (!file->open(QIODevice::ReadOnly))
            throw TransportError(QNetworkReply::ContentNotFoundError, file->errorString());
        sent = request.method == Method::Post ? manager->post(outgoing, file.get())
                                              : manager->put(outgoing, file.get());
        file.release()->setParent(sent);
    } else if (request.method == Method::Get) {
        sent = manager->get(outgoing);
    } else if (request.method == Method::Post) {
        sent = manager->post(outgoing, request.body);
    } else {
        sent = manager->put(outgoing, request.body);
    }
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(sent);
    // Awaited through its signal, which resumes this once: a reply aborted
    // while its failure was already on its way announces its end twice, and
    // QCoro's own awaiter of replies would resume this a second time.
    if (!reply->isFinished())
        co_await qCoro(reply.get(), &QNetworkReply::finished);

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || isTransportFailure(reply->error()))
        throw TransportError(reply->error(), reply->errorString());
    Reply result;
    result.status = status.toInt();
    result.body = reply->readAll();
    for (const auto &[name, value] : reply->rawHeaderPairs())
        result.headers.append({ name, value });
    co_return result;
}

std::optional<QJsonObject> stringObject(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
    }
    return object;
}

bool isSecure(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    if (scheme != QLatin1String("http"))
        return false;
    const QString host = url.host();
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
        || QHostAddress(host).isLoopback();
}

} // namespace Http
