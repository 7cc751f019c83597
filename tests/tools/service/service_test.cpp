// The stand-in as a process: many clients at once, and restarts.
#include "service.h"
#include "standin.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <httplib.h>
#include <latch>
#include <thread>

namespace {

struct Placed
{
    QString id;
    QString token;
    QString uploadPath;
};

Placed place(httplib::Client &client, int pages, const QString &more = {})
{
    const std::string order
        = QStringLiteral(R"({"title":"Book %1","binding":"paperback","shipping":"economy",)"
                         R"("addons":[],"volumePages":[%1],"install":"I-%1"%2})")
              .arg(pages)
              .arg(more)
              .toStdString();
    const httplib::Result created = client.Post("/api/orders", order, "application/json");
    if (!created || created->status != 200)
        return {};
    const QJsonObject reply = QJsonDocument::fromJson(QByteArray::fromStdString(created->body)).object();
    const QUrl url(reply.value(QStringLiteral("files"))
                       .toArray()
                       .first()
                       .toObject()
                       .value(QStringLiteral("url"))
                       .toString());
    return { reply.value(QStringLiteral("id")).toString(), reply.value(QStringLiteral("token")).toString(),
        url.path() };
}

// Each client's PDF differs in its page count and in a comment of its own.
QByteArray printFile(int pages)
{
    return pdfOfPages(pages) + "% client " + QByteArray::number(pages) + '\n' + QByteArray(pages * 997, 'x')
        + '\n';
}

httplib::Headers bearer(const QString &token)
{
    return { { "authorization", "Bearer " + token.toStdString() } };
}

} // namespace

TEST(StandInService, FiftyClientsUploadingAtOnceLoseAndMixNothing)
{
    StandIn service;
    constexpr int clients = 50;
    std::latch start(clients);
    std::vector<Placed> placed(clients);
    std::vector<int> statuses(clients, 0);
    std::vector<std::string> errors(clients);
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back([&, i] {
            httplib::Client client("127.0.0.1", service.port());
            client.set_read_timeout(60);
            client.set_write_timeout(60);
            placed[i] = place(client, i + 1);
            start.arrive_and_wait();
            const std::string body = printFile(i + 1).toStdString();
            const httplib::Result put = client.Put(
                placed[i].uploadPath.toStdString(), bearer(placed[i].token), body, "application/pdf");
            statuses[i] = put ? put->status : -1;
            if (!put)
                errors[i] = httplib::to_string(put.error());
        });
    }
    for (std::thread &thread : threads)
        thread.join();

    for (int i = 0; i < clients; ++i) {
        ASSERT_EQ(statuses[i], 200) << "client " << i << ": " << errors[i];
        const QJsonArray files = service.order(placed[i].id).value(QStringLiteral("files")).toArray();
        ASSERT_EQ(files.size(), 1) << "client " << i;
        const QJsonObject file = files.first().toObject();
        EXPECT_EQ(file.value(QStringLiteral("pages")).toInt(), i + 1);
        EXPECT_EQ(file.value(QStringLiteral("sha256")).toString().toLatin1(),
            QCryptographicHash::hash(printFile(i + 1), QCryptographicHash::Sha256).toHex());
    }
}

TEST(StandInService, ARestartKeepsOrdersInboxesAndGiftBalances)
{
    StandIn service;
    httplib::Client client("127.0.0.1", service.port());
    Placed order = place(client, 2, QStringLiteral(R"(,"giftCode":"GIFT-FULL-2024")"));
    ASSERT_FALSE(order.id.isEmpty());
    ASSERT_EQ(client
                  .Put(order.uploadPath.toStdString(), bearer(order.token), pdfOfPages(2).toStdString(),
                      "application/pdf")
                  ->status,
        200);
    const httplib::Result inbox = client.Post("/api/inbox", "", "text/plain");
    const QJsonObject opened = QJsonDocument::fromJson(QByteArray::fromStdString(inbox->body)).object();
    const std::string code = opened.value(QStringLiteral("code")).toString().toStdString();
    const httplib::Headers token { { "x-inbox-token",
                                       opened.value(QStringLiteral("token")).toString().toStdString() },
        { "x-name", "chat.txt" } };
    ASSERT_EQ(
        client.Put("/api/inbox/" + code + "/file", token, "[2024-03-05, 10:00:00] Me: hi\n", "text/plain")
            ->status,
        200);

    service.restart();
    httplib::Client again("127.0.0.1", service.port());
    const QJsonObject kept = service.order(order.id);
    EXPECT_EQ(kept.value(QStringLiteral("files")).toArray().size(), 1);
    EXPECT_EQ(
        service.inbox(QString::fromStdString(code)).value(QStringLiteral("sha256")).toString().toLatin1(),
        QCryptographicHash::hash("[2024-03-05, 10:00:00] Me: hi\n", QCryptographicHash::Sha256).toHex());
    // The token still opens the order: the cover arrives after the restart.
    const std::string cover
        = order.uploadPath.replace(QLatin1String("interior-1"), QLatin1String("cover-1")).toStdString();
    EXPECT_EQ(
        again.Put(cover, bearer(order.token), pdfOfPages(1).toStdString(), "application/pdf")->status, 200);
    const httplib::Result submitted = again.Post(
        "/api/orders/" + order.id.toStdString() + "/submit", bearer(order.token), "{}", "application/json");
    ASSERT_EQ(submitted->status, 200);
    EXPECT_EQ(service.order(order.id).value(QStringLiteral("state")).toString(), QStringLiteral("paid"));

    service.restart();
    httplib::Client third("127.0.0.1", service.port());
    const QJsonObject gift
        = QJsonDocument::fromJson(QByteArray::fromStdString(third.Get("/api/gifts/GIFT-FULL-2024")->body))
              .object();
    // The order's total is whole dollars; the card's balance is cents.
    EXPECT_EQ(gift.value(QStringLiteral("balanceCents")).toInteger(),
        1000000 - 100 * service.order(order.id).value(QStringLiteral("total")).toInteger());
}

// Prices are whole dollars and gift balances cents: a $25 card must not pay
// for a $45 book (it would if the two were compared unconverted).
TEST(StandInService, AGiftPaysOnlyWhenItsCentsReachTheDollarTotal)
{
    StandIn service;
    httplib::Client client("127.0.0.1", service.port());
    const QJsonObject prices
        = QJsonDocument::fromJson(QByteArray::fromStdString(client.Get("/api/pricing")->body)).object();
    EXPECT_EQ(
        prices.value(QStringLiteral("bindings")).toArray().first().toObject().value(QStringLiteral("price")),
        39);

    Placed order = place(client, 2, QStringLiteral(R"(,"giftCode":"GIFT-2500")"));
    ASSERT_FALSE(order.id.isEmpty());
    for (const QString &name : { QStringLiteral("interior-1"), QStringLiteral("cover-1") }) {
        const std::string path
            = QString(order.uploadPath).replace(QLatin1String("interior-1"), name).toStdString();
        ASSERT_EQ(
            client.Put(path, bearer(order.token), pdfOfPages(2).toStdString(), "application/pdf")->status,
            200);
    }
    const httplib::Result submitted = client.Post(
        "/api/orders/" + order.id.toStdString() + "/submit", bearer(order.token), "{}", "application/json");
    ASSERT_EQ(submitted->status, 200);
    EXPECT_EQ(service.order(order.id).value(QStringLiteral("total")).toInteger(), 39 + 6);
    EXPECT_EQ(service.order(order.id).value(QStringLiteral("state")).toString(),
        QStringLiteral("awaiting payment"));
    // The card pays its part; the rest is left to pay.
    EXPECT_EQ(service.order(order.id).value(QStringLiteral("dueCents")).toInteger(), 4500 - 2500);
    const QJsonObject gift
        = QJsonDocument::fromJson(QByteArray::fromStdString(client.Get("/api/gifts/GIFT-2500")->body))
              .object();
    EXPECT_EQ(gift.value(QStringLiteral("balanceCents")).toInteger(), 0);
}

TEST(StandInService, AScriptAnswersItsCountThenTheRouteAnswersAgain)
{
    StandIn service;
    service.script({ { QStringLiteral("method"), QStringLiteral("GET") },
        { QStringLiteral("path"), QStringLiteral("/api/ordering$") }, { QStringLiteral("status"), 503 },
        { QStringLiteral("body"), QStringLiteral(R"({"error":"busy"})") }, { QStringLiteral("times"), 2 } });
    httplib::Client client("127.0.0.1", service.port());
    EXPECT_EQ(client.Get("/prefix/api/ordering")->status, 503);
    EXPECT_EQ(client.Get("/api/ordering")->body, R"({"error":"busy"})");
    EXPECT_EQ(client.Get("/api/ordering")->body, R"({"mode":"stripe"})");
    EXPECT_EQ(client.Get("/api/nowhere")->status, 404);
    // The paths the app calls and no others: a doubled prefix finds nothing.
    EXPECT_EQ(client.Get("/api/api/pricing")->status, 404);
    EXPECT_EQ(client.Delete("/api/ordering")->status, 405);
    EXPECT_EQ(service.requests().size(), 6);
}

// A service for one request keeps its records in memory: it answers as the
// one on disk does and leaves no store behind in its data folder.
TEST(StandInService, RecordsKeptInMemoryAnswerAndLeaveNoStore)
{
    QTemporaryDir dir;
    Service::Settings settings;
    settings.dataFolder = dir.filePath(QStringLiteral("data"));
    settings.records = Service::Settings::Records::InMemory;
    Service service(settings);
    httplib::Request order;
    order.method = "POST";
    order.path = order.target = "/api/orders";
    order.body = R"({"title":"Book","binding":"paperback","shipping":"economy","addons":[],)"
                 R"("volumePages":[120],"install":"I-1"})";
    order.headers.emplace("Content-Type", "application/json");
    httplib::Response placed;
    service.route(order, placed);
    EXPECT_EQ(placed.status, 200) << placed.body;
    EXPECT_FALSE(QJsonDocument::fromJson(QByteArray::fromStdString(placed.body))
                     .object()
                     .value(QStringLiteral("id"))
                     .toString()
                     .isEmpty());
    EXPECT_FALSE(QFileInfo::exists(settings.dataFolder + QStringLiteral("/service.sqlite")));
}
