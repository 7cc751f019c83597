#include "service.h"

#include "connection.h"
#include "multipart.h"
#include "painter.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <chrono>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>

namespace {

QString storeFile(const Service::Settings &settings)
{
    if (!QDir().mkpath(settings.dataFolder))
        throw std::runtime_error(
            QStringLiteral("cannot make the data folder %1").arg(settings.dataFolder).toStdString());
    if (settings.records == Service::Settings::Records::InMemory)
        return Store::inMemory();
    return settings.dataFolder + QStringLiteral("/service.sqlite");
}

void answer(httplib::Response &response, int status, const QJsonObject &object)
{
    response.status = status;
    response.set_content(
        QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString(), "application/json");
}

void refuse(httplib::Response &response, int status, const QString &message)
{
    answer(response, status, QJsonObject { { QStringLiteral("error"), message } });
}

} // namespace

Service::Service(const Settings &settings)
    : m_settings(settings)
    , m_store(storeFile(settings))
    , m_orders(m_store, settings.dataFolder, settings.mode)
    , m_referrals(m_store, settings.dataFolder)
    , m_inbox(m_store, settings.dataFolder, settings.partSize)
{
    m_orders.addRoutes(m_routes);
    m_referrals.addRoutes(m_routes);
    m_inbox.addRoutes(m_routes);
    m_routes.push_back({ "POST", routePattern("/api/covers/generate"), [this](Call &call) { paint(call); } });
}

void Service::setUpServer()
{
    // Many uploads at once each hold a worker while their body arrives.
    m_server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    m_server.set_tcp_nodelay(true);
    m_server.set_keep_alive_timeout(10);
    m_server.set_keep_alive_max_count(1000);
    m_server.set_read_timeout(30);
    m_server.set_write_timeout(30);
    m_server.set_pre_routing_handler([](const httplib::Request &request, httplib::Response &) {
        Multipart::hideType(request);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    const auto handler
        = [this](const httplib::Request &request, httplib::Response &response) { handle(request, response); };
    // One entry for every method: the stand-in routes by itself on the raw path.
    const std::string everything = "[\\s\\S]*";
    m_server.Get(everything, handler);
    m_server.Post(everything, handler);
    m_server.Put(everything, handler);
    m_server.Patch(everything, handler);
    m_server.Delete(everything, handler);
    m_server.Options(everything, handler);
}

int Service::bind(const QString &host, int port)
{
    setUpServer();
    const std::string address = host.toStdString();
    const int bound
        = port == 0 ? m_server.bind_to_any_port(address) : (m_server.bind_to_port(address, port) ? port : -1);
    // httplib listens with a backlog of 5, so a burst of clients would find
    // their connections refused or reset; listening again raises it.
    if (bound > 0)
        ::listen(m_server.listeningSocket(), SOMAXCONN);
    return bound;
}

bool Service::run()
{
    return m_server.listen_after_bind();
}

void Service::stop()
{
    m_server.stop();
}

void Service::handle(const httplib::Request &request, httplib::Response &response)
{
    if (request.path.rfind(adminPrefix, 0) == 0) {
        admin(request, response);
        return;
    }
    m_journal.record(request);
    if (const std::optional<Scripts::Script> script = m_scripts.take(request.method, request.path)) {
        if (script->delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(script->delayMs));
        if (script->drop) {
            Connection::drop(request);
            response.status = 500;
            return;
        }
        if (script->status != 0) {
            response.status = script->status;
            response.set_content(script->body.toStdString(), script->contentType.toStdString());
            return;
        }
    }
    route(request, response);
}

void Service::route(const httplib::Request &request, httplib::Response &response)
{
    const std::string raw = request.target.substr(0, request.target.find('?'));
    bool pathKnown = false;
    for (const Route &candidate : m_routes) {
        std::smatch match;
        if (!std::regex_match(raw, match, candidate.pattern))
            continue;
        pathKnown = true;
        if (candidate.method != request.method)
            continue;
        std::vector<std::string> captures(match.begin(), match.end());
        Call call(request, response, captures);
        try {
            candidate.handler(call);
        } catch (const Refusal &refusal) {
            refuse(response, refusal.status(), QString::fromUtf8(refusal.what()));
        } catch (const std::exception &error) {
            refuse(response, 500,
                QStringLiteral("The stand-in failed: %1").arg(QString::fromUtf8(error.what())));
        }
        return;
    }
    if (pathKnown)
        refuse(response, 405, QStringLiteral("That method isn't allowed here."));
    else
        refuse(response, 404, QStringLiteral("Not found."));
}

void Service::admin(const httplib::Request &request, httplib::Response &response)
{
    const std::string what = request.path.substr(std::string(adminPrefix).size());
    const auto body
        = [&] { return QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object(); };
    try {
        if (request.method == "GET" && what == "requests") {
            answer(response, 200, QJsonObject { { QStringLiteral("requests"), m_journal.toJson() } });
        } else if (request.method == "POST" && what == "reset") {
            m_journal.clear();
            m_scripts.clear();
            answer(response, 200, {});
        } else if (request.method == "POST" && what == "scripts") {
            m_scripts.add(Scripts::Script::fromJson(body()));
            answer(response, 200, {});
        } else if (request.method == "POST" && what == "mode") {
            m_orders.setMode(body().value(QStringLiteral("mode")).toString());
            answer(response, 200, {});
        } else if (request.method == "GET" && what.rfind("orders/", 0) == 0) {
            const QJsonObject order = m_orders.describe(QString::fromStdString(what.substr(7)));
            order.isEmpty() ? refuse(response, 404, QStringLiteral("No such order."))
                            : answer(response, 200, order);
        } else if (request.method == "GET" && what.rfind("inbox/", 0) == 0) {
            const QJsonObject inbox = m_inbox.describe(QString::fromStdString(what.substr(6)));
            inbox.isEmpty() ? refuse(response, 404, QStringLiteral("No such inbox."))
                            : answer(response, 200, inbox);
        } else {
            refuse(response, 404, QStringLiteral("Unknown admin route."));
        }
    } catch (const std::exception &error) {
        refuse(response, 400, QString::fromUtf8(error.what()));
    }
}

void Service::paint(Call &call)
{
    const QJsonObject body = call.json();
    const QString prompt = Field::text(body, QStringLiteral("prompt"));
    const QString style = Field::text(body, QStringLiteral("style"));
    const QString install = Field::text(body, QStringLiteral("install"));
    const QJsonValue images = body.value(QStringLiteral("images"));
    if (prompt.trimmed().size() < 3)
        throw Refusal(400, QStringLiteral("Describe the picture in a few more words."));
    if (!Painter::looks().contains(style))
        throw Refusal(400, QStringLiteral("That look isn't one we paint."));
    if (install.isEmpty())
        throw Refusal(400, QStringLiteral("\"install\" must not be empty."));
    if (!images.isArray())
        throw Refusal(400, QStringLiteral("\"images\" must be a list."));
    for (const QJsonValue &image : images.toArray()) {
        const auto decoded = QByteArray::fromBase64Encoding(
            image.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!image.isString() || !decoded || decoded.decoded.isEmpty())
            throw Refusal(400, QStringLiteral("Each photo must be sent as Base64."));
    }
    call.reply(200, Painter::paint(prompt, style, m_settings.paintSize), "image/png");
}
