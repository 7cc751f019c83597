#include "service/http.h"
#include "standin.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class HttpAbort : public StandInTest
{
};

} // namespace

TEST_F(HttpAbort, AbortedRequestsEndAsCancelledTransportFailures)
{
    service.script(
        { { QStringLiteral("path"), QStringLiteral("/api/pricing$") }, { QStringLiteral("delay"), 30000 } });
    Http::Request request;
    request.url = QUrl(service.origin() + QStringLiteral("/api/pricing"));
    QCoro::Task<Http::Reply> sent = Http::send(request);
    EXPECT_TRUE(Http::hasRequests());

    Http::abortRequests();
    try {
        TestSupport::await(std::move(sent));
        FAIL() << "an aborted request must not answer";
    } catch (const Http::TransportError &error) {
        EXPECT_EQ(error.code(), QNetworkReply::OperationCanceledError);
    }
    EXPECT_TRUE(QTest::qWaitFor([] { return !Http::hasRequests(); }));
    // The session still sends.
    request.url = QUrl(service.origin() + QStringLiteral("/api/ordering"));
    EXPECT_EQ(TestSupport::await(Http::send(request)).status, 200);
}
