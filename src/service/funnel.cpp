#include "funnel.h"

#include "http.h"
#include "pricing.h"
#include "wirejson.h"

#include <QCoreApplication>

namespace Funnel {

namespace {

QCoro::Task<void> post(Http::Request request)
{
    try {
        co_await Http::send(std::move(request));
    } catch (const std::exception &) {
        // An event that cannot be sent is lost; nobody waits for it.
    }
}

} // namespace

QString wireName(Step step)
{
    switch (step) {
    case Step::WrappedOpened:
        return QStringLiteral("wrapped_opened");
    case Step::CardExported:
        return QStringLiteral("card_exported");
    case Step::VideoExported:
        return QStringLiteral("video_exported");
    }
    return {};
}

void count(Step step)
{
    Http::Request request;
    request.method = Http::Method::Post;
    request.url = Pricing::address("api/events");
    request.headers = { { "content-type", "application/json" } };
    request.body = WireJson::object({ { QStringLiteral("step"), WireJson::string(wireName(step)) } });
    // The request runs on the application's thread, whose event loop outlives
    // any screen; the task is not awaited, so it finishes on its own.
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return;
    QMetaObject::invokeMethod(
        application, [request] { post(request); }, Qt::QueuedConnection);
}

} // namespace Funnel
