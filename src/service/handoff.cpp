// The inbox half of Handoff: the website's one-time inbox and the browser.
#include "handoff.h"

#include "http.h"
#include "model/json.h"
#include "wirejson.h"

#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QRegularExpression>
#include <qcorotimer.h>

namespace Handoff {

namespace {

// The sibling site's own host; a hand-off there from elsewhere names it.
const char *const siblingHost = "sendalume.com";
const char *const unusable = "The site sent an answer Quorvel can't use. Try again in a minute.";

struct Seams
{
    QMutex mutex;
    std::function<QCoro::Task<bool>(QUrl)> browser;
    std::function<QCoro::Task<void>(std::chrono::milliseconds)> pause;
};

Seams &seams()
{
    static Seams instance;
    return instance;
}

QCoro::Task<bool> openBrowser(QUrl url)
{
    std::function<QCoro::Task<bool>(QUrl)> open;
    {
        QMutexLocker lock(&seams().mutex);
        open = seams().browser;
    }
    if (open)
        co_return co_await open(url);
    co_return QDesktopServices::openUrl(url);
}

QCoro::Task<void> pauseFor(std::chrono::milliseconds duration)
{
    std::function<QCoro::Task<void>(std::chrono::milliseconds)> pause;
    {
        QMutexLocker lock(&seams().mutex);
        pause = seams().pause;
    }
    if (pause)
        co_await pause(duration);
    else
        co_await QCoro::sleepFor(duration);
}

// The inbox code goes into request paths and the token into a header, so
// both must be plain: anything else could point a request elsewhere.
void requirePlain(const Inbox &inbox)
{
    static const QRegularExpression code(QStringLiteral("\\A[A-Za-z0-9_-]{1,128}\\z"));
    static const QRegularExpression token(QStringLiteral("\\A[\\x21-\\x7e]{1,512}\\z"));
    if (!code.match(inbox.code).hasMatch() || !token.match(inbox.token).hasMatch())
        throw Problem(QString::fromUtf8(unusable));
}

QByteArray unreservedEncoded(const QString &text)
{
    return text.toUtf8().toPercentEncoding("-._~");
}

void checkReply(const Http::Reply &reply)
{
    if (reply.isSuccess())
        return;
    const QJsonDocument document = QJsonDocument::fromJson(reply.body);
    const QJsonValue error = document.object().value(QStringLiteral("error"));
    if (document.isObject() && error.isString())
        throw Problem(error.toString());
    throw Problem(
        QStringLiteral("The site isn't answering properly right now (error %1). Try again in a minute.")
            .arg(reply.status));
}

// One request to the site's "/api/" path; the conversation and the inbox
// token leave only over https or to this computer.
QCoro::Task<Http::Reply> request(QUrl origin, QByteArray path, Http::Method method,
    QList<std::pair<QByteArray, QByteArray>> headers, QByteArray body)
{
    QByteArray base = origin.toEncoded();
    if (base.endsWith('/'))
        base.chop(1);
    const QUrl url = QUrl::fromEncoded(base + "/api/" + path, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        throw Problem(QString::fromUtf8(unusable));
    if (!Http::isSecure(url))
        throw Problem(QStringLiteral("The site's address isn't secure, so the conversation wasn't sent."));
    headers.append(std::pair<QByteArray, QByteArray>("x-via", "mac-app"));
    Http::Request outgoing;
    outgoing.method = method;
    outgoing.url = url;
    outgoing.headers = headers;
    outgoing.body = body;
    outgoing.timeout = std::chrono::seconds(120);
    const Http::Reply reply = co_await Http::send(std::move(outgoing));
    checkReply(reply);
    co_return reply;
}

QByteArray inboxPath(const Inbox &inbox, const QByteArray &rest)
{
    requirePlain(inbox);
    return "inbox/" + inbox.code.toUtf8() + rest;
}

} // namespace

Problem::Problem(const QString &message)
    : std::runtime_error(message.toStdString())
{ }

void setBrowser(std::function<QCoro::Task<bool>(QUrl)> open)
{
    QMutexLocker lock(&seams().mutex);
    seams().browser = std::move(open);
}

void setPause(std::function<QCoro::Task<void>(std::chrono::milliseconds)> pause)
{
    QMutexLocker lock(&seams().mutex);
    seams().pause = std::move(pause);
}

QByteArray nameHeader(const QString &fileName)
{
    // Lone surrogates cannot be written as UTF-8.
    return fileName.isValidUtf16() ? unreservedEncoded(fileName) : QByteArrayLiteral("chat.txt");
}

QUrl origin(Site site)
{
    if (qEnvironmentVariableIsSet("QUORVEL_HANDOFF_ORIGIN")) {
        const QUrl given(qEnvironmentVariable("QUORVEL_HANDOFF_ORIGIN"), QUrl::StrictMode);
        if (given.isValid() && !given.scheme().isEmpty())
            return given;
    }
    if (site == Site::Product)
        return QUrl(QStringLiteral(QUORVEL_HANDOFF_ORIGIN));
    return QUrl(QStringLiteral("https://") + QLatin1String(siblingHost));
}

QCoro::Task<Landing> send(Conversation conversation, QString them, Names names, Site site, StepFunction step)
{
    step(Step::reading());
    const QString log = co_await chatLog(conversation, them, names);
    co_return co_await deliver(log, fileName(conversation, them), site, step);
}

QCoro::Task<Landing> deliver(QString log, QString fileName, Site site, StepFunction step)
{
    if (log.isEmpty())
        throw Problem(QStringLiteral("This conversation has no messages to send."));
    const QUrl from = origin(site);
    const Inbox inbox = co_await openInbox(from);
    const QByteArray data = log.toUtf8();
    if (data.size() > singleRequestLimit) {
        co_await sendInParts(
            data, fileName, inbox, from, [step](double fraction) { step(Step::sending(fraction)); });
    } else {
        step(Step::sending(0));
        co_await request(from, inboxPath(inbox, "/file"), Http::Method::Put,
            { { "x-inbox-token", inbox.token.toUtf8() }, { "x-name", nameHeader(fileName) },
                { "content-type", "text/plain; charset=utf-8" } },
            data);
        step(Step::sending(1.0));
    }
    step(Step::opening());
    Landing landing { browserAddress(from, site, inbox), false };
    landing.opened = co_await openBrowser(landing.page);
    co_return landing;
}

QCoro::Task<Inbox> openInbox(QUrl origin)
{
    const Http::Reply reply = co_await request(
        origin, "inbox", Http::Method::Post, { { "content-type", "text/plain; charset=utf-8" } }, {});
    const QJsonObject object = Json::parseObject(reply.body);
    const Inbox inbox { Json::requiredString(object, "code"), Json::requiredString(object, "token") };
    requirePlain(inbox);
    co_return inbox;
}

QCoro::Task<void> sendInParts(
    QByteArray data, QString name, Inbox inbox, QUrl origin, std::function<void(double)> progress)
{
    const QByteArray token = inbox.token.toUtf8();
    const Http::Reply begun = co_await request(origin, inboxPath(inbox, "/parts"), Http::Method::Post,
        { { "x-inbox-token", token }, { "x-name", nameHeader(name) },
            { "content-type", "text/plain; charset=utf-8" } },
        {});
    const QJsonObject begin = Json::parseObject(begun.body);
    const QString uploadId = Json::requiredString(begin, "upload");
    const QJsonValue partValue = begin.value(QStringLiteral("part"));
    if (partValue.isUndefined() || partValue.isNull())
        throw JsonError(QStringLiteral("missing required key"), QStringLiteral("part"));
    const qint64 partSize = Json::within("part", [&] { return Json::toInt64(partValue); });
    // A part size below one byte would never get through the data.
    if (partSize < 1)
        throw Problem(QString::fromUtf8(unusable));
    const QByteArray upload = unreservedEncoded(uploadId);

    QList<QByteArray> parts;
    qsizetype offset = 0;
    while (offset < data.size()) {
        const QByteArray chunk
            = data.mid(offset, qsizetype(std::min<qint64>(partSize, data.size() - offset)));
        const QByteArray path
            = inboxPath(inbox, "/parts/" + QByteArray::number(parts.size() + 1) + "?upload=" + upload);
        Http::Reply reply;
        for (int attempt = 0;; ++attempt) {
            try {
                reply = co_await request(origin, path, Http::Method::Put,
                    { { "x-inbox-token", token }, { "content-type", "text/plain; charset=utf-8" } }, chunk);
                break;
            } catch (const Http::TransportError &) {
                // A dropped connection is worth two more tries; a refusal is not.
                if (attempt >= 2)
                    throw;
            }
            co_await pauseFor(std::chrono::milliseconds(1500 * (attempt + 1)));
        }
        const QJsonObject part = Json::parseObject(reply.body);
        parts.append(WireJson::object(
            { { QStringLiteral("partNumber"), QByteArray::number(Json::requiredInt(part, "partNumber")) },
                { QStringLiteral("etag"), WireJson::string(Json::requiredString(part, "etag")) } }));
        offset += chunk.size();
        progress(double(offset) / double(data.size()));
    }
    co_await request(origin, inboxPath(inbox, "/parts/done?upload=" + upload), Http::Method::Post,
        { { "x-inbox-token", token }, { "content-type", "application/json" } },
        WireJson::object({ { QStringLiteral("parts"), WireJson::array(parts) } }));
}

QUrl browserAddress(const QUrl &origin, Site site, const Inbox &inbox)
{
    QUrl address = origin;
    QString path = origin.path();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    address.setPath(path + QStringLiteral("make/"));
    if (site == Site::Sibling && origin.host(QUrl::FullyEncoded) != QLatin1String(siblingHost))
        address.setQuery(QStringLiteral("site=Sendalume"));
    address.setFragment(QStringLiteral("inbox=") + inbox.code + QLatin1Char('.') + inbox.token);
    return address;
}

} // namespace Handoff
