#include "service/funnel.h"
#include "standin.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

class FunnelTest : public StandInTest
{
protected:
    // Lets the detached sends run; bounded, since a lost event is lost.
    QList<QJsonObject> eventsReceived(int expected)
    {
        QList<QJsonObject> events;
        for (int i = 0; i < 200 && events.size() < expected; ++i) {
            TestSupport::await(QCoro::sleepFor(std::chrono::milliseconds(20)));
            events = service.requests(QStringLiteral("/api/events$"));
        }
        return events;
    }
};

} // namespace

TEST_F(FunnelTest, EachStepIsPostedOnItsOwnWithoutWaiting)
{
    Funnel::count(Funnel::Step::WrappedOpened);
    Funnel::count(Funnel::Step::CardExported);
    Funnel::count(Funnel::Step::VideoExported);
    const QList<QJsonObject> events = eventsReceived(3);
    ASSERT_EQ(events.size(), 3);
    QStringList bodies;
    for (const QJsonObject &event : events) {
        EXPECT_EQ(StandIn::header(event, QStringLiteral("content-type")), QStringLiteral("application/json"));
        bodies.append(QString::fromUtf8(StandIn::body(event)));
    }
    bodies.sort();
    EXPECT_EQ(bodies,
        (QStringList { QStringLiteral(R"({"step":"card_exported"})"),
            QStringLiteral(R"({"step":"video_exported"})"),
            QStringLiteral(R"({"step":"wrapped_opened"})") }));
}

TEST_F(FunnelTest, AServiceThatIsDownChangesNothing)
{
    service.drop(QStringLiteral("/api/events$"));
    Funnel::count(Funnel::Step::WrappedOpened);
    EXPECT_FALSE(eventsReceived(1).isEmpty());
}
