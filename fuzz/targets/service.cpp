// The stand-in's answers to the app's requests: routes, JSON bodies, forms
// and uploads. An input is a request as it arrives, "METHOD target", header
// lines "Name: value", an empty line and the body. Each request meets a
// fresh service, its records in memory, and a fresh data folder, so that a
// finding replays on its own.
#include "service.h"

#include "fuzzing.h"
#include "multipart.h"

#include <QDir>

namespace {

std::optional<httplib::Request> requestOf(const QByteArray &bytes)
{
    const qsizetype headEnd = bytes.indexOf("\n\n");
    if (headEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = bytes.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().split(' ');
    // httplib itself refuses longer request lines.
    if (requestLine.size() != 2 || requestLine[1].size() > CPPHTTPLIB_REQUEST_URI_MAX_LENGTH)
        return std::nullopt;
    httplib::Request request;
    request.method = requestLine[0].toStdString();
    request.target = requestLine[1].toStdString();
    const size_t query = request.target.find('?');
    request.path = httplib::detail::decode_url(request.target.substr(0, query), false);
    if (query != std::string::npos)
        httplib::detail::parse_query_text(request.target.substr(query + 1), request.params);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0)
            return std::nullopt;
        request.headers.emplace(
            lines[i].left(colon).trimmed().toStdString(), lines[i].mid(colon + 1).trimmed().toStdString());
    }
    request.body = bytes.mid(headEnd + 2).toStdString();
    return request;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<httplib::Request> request = requestOf(Fuzzing::input(data, size));
    if (!request)
        return 0;
    // As the server does before routing.
    Multipart::hideType(*request);
    Service::Settings settings;
    settings.dataFolder = Fuzzing::scratch() + QStringLiteral("/service");
    settings.records = Service::Settings::Records::InMemory;
    settings.paintSize = QSize(24, 32);
    QDir(settings.dataFolder).removeRecursively();
    Service service(settings);
    httplib::Response response;
    service.route(*request, response);
    return 0;
}
