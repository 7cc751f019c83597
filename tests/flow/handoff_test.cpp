// Handing a conversation to the website: the real tool exports it, the
// stand-in's inbox receives the chat log, the browser is asked to open it.
#include "flow/handoffslot.h"
#include "flow/handoffview.h"
#include "flowtest.h"
#include "model/helpers.h"
#include "ui/unopenedpage.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace TestSupport;

namespace {

class HandoffSlotTest : public FlowTest
{
protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        qputenv("QUORVEL_HANDOFF_ORIGIN", service.origin().toUtf8());
        const QString chat = m_files.filePath(QStringLiteral("_chat.txt"));
        writeFile(chat,
            "[05/03/2024, 21:14:09] Sam: see you soon\n"
            "[05/03/2024, 21:15:00] Alex: on my way\n"
            "[06/03/2024, 08:00:00] Alex: morning\n");
        Source source;
        source.id = QStringLiteral("file-abcd1234");
        source.name = QStringLiteral("Sam & Alex");
        source.log = chat;
        const QList<Conversation> listed
            = Conversation::listFromJson(await(Helpers::core({ QStringLiteral("chats") }, source)));
        ASSERT_EQ(listed.size(), 1);
        conversation = listed.first();
        conversation.source = source;
    }
    void TearDown() override
    {
        qunsetenv("QUORVEL_HANDOFF_ORIGIN");
        desktop().reset();
    }

    static Handoff::Names same()
    {
        return [](const QString &name) { return name; };
    }

    Conversation conversation;
    QTemporaryDir m_files;
};

} // namespace

// The site is named as the hand-off reaches it: the origin in use, with its
// port when it names one.
TEST(HandoffText, StepsReadAsTheUserSeesThem)
{
    using Step = Handoff::Step;
    qputenv("QUORVEL_HANDOFF_ORIGIN", "https://books.example.org/");
    EXPECT_EQ(HandoffSlot::stepText(Step::reading(), 12345), "Reading 12,345 messages");
    EXPECT_EQ(HandoffSlot::stepText(Step::sending(0.426), 1), "Sending, 42%");
    EXPECT_EQ(HandoffSlot::stepText(Step::sending(0.999), 1), "Sending, 99%");
    EXPECT_EQ(HandoffSlot::stepText(Step::sending(1.0), 1), "Sending to books.example.org");
    EXPECT_EQ(HandoffSlot::stepText(Step::sending(0), 1), "Sending to books.example.org");
    EXPECT_EQ(HandoffSlot::stepText(Step::opening(), 1), "Opening books.example.org");
    qputenv("QUORVEL_HANDOFF_ORIGIN", "http://127.0.0.1:8123");
    EXPECT_EQ(HandoffSlot::host(), "127.0.0.1:8123");
    qunsetenv("QUORVEL_HANDOFF_ORIGIN");

    EXPECT_EQ(HandoffSlot::failureText(Helpers::Failure(QStringLiteral("brimlow-core"), 1,
                  QStringLiteral("reading\nError: That chat is empty.\n\n"))),
        "Error: That chat is empty.");
    EXPECT_EQ(HandoffSlot::failureText(
                  Handoff::Problem(QStringLiteral("This conversation has no messages to send."))),
        "This conversation has no messages to send.");
}

TEST_F(HandoffSlotTest, TheChatLogArrivesInTheInboxAndTheBrowserOpensThere)
{
    HandoffSlot slot;
    HandoffView view(&slot);
    view.show();
    QStringList shown;
    QObject::connect(&slot, &HandoffSlot::changed, [&] { shown.append(slot.state()->text); });
    slot.start(conversation, QStringLiteral("Sam"), same());
    EXPECT_TRUE(slot.shows(conversation.id()));
    EXPECT_TRUE(slot.state()->busy);
    EXPECT_FALSE(findText(&view, QStringLiteral("Back")));
    ASSERT_TRUE(waitUntil([&] { return !slot.state()->busy; }));
    EXPECT_EQ(slot.state()->text, "It's open in your browser. Carry on there.");
    EXPECT_EQ(shown.first(), "Reading 3 messages");
    EXPECT_TRUE(shown.contains(QStringLiteral("Opening 127.0.0.1:%1").arg(service.port())));

    const QList<QJsonObject> uploads = service.requests(QStringLiteral("/api/inbox/[^/]+/file$"));
    ASSERT_EQ(uploads.size(), 1);
    const QString log = QString::fromUtf8(StandIn::body(uploads.first()));
    EXPECT_TRUE(log.contains(QStringLiteral("Sam: see you soon"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Alex: morning"))) << log.toStdString();
    const QList<QStringList> opened = desktop().of(QStringLiteral("openUrl"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.first().first().startsWith(service.origin() + QStringLiteral("/make/#inbox=")));

    QTest::mouseClick(qobject_cast<QPushButton *>(findText(&view, QStringLiteral("Back"))), Qt::LeftButton);
    EXPECT_FALSE(slot.state());
}

// Without a browser the conversation is on the site all the same: the
// make page's address is how the user gets there.
TEST_F(HandoffSlotTest, APageTheBrowserDidntOpenIsOfferedWithItsAddress)
{
    desktop().opens = false;
    HandoffSlot slot;
    HandoffView view(&slot);
    view.resize(700, 400);
    view.show();
    slot.start(conversation, QStringLiteral("Sam"), same());
    ASSERT_TRUE(waitUntil([&] { return !slot.state()->busy; }));
    const QString unopened = QStringLiteral(
        "The website didn't open in your browser. Open this address in a browser to carry on there.");
    EXPECT_EQ(slot.state()->text, unopened);
    EXPECT_TRUE(findText(&view, unopened));
    EXPECT_FALSE(findText(&view, QStringLiteral("It's open in your browser. Carry on there.")));
    const QString page = desktop().of(QStringLiteral("openUrl")).first().first();
    EXPECT_TRUE(page.startsWith(service.origin() + QStringLiteral("/make/#inbox=")));
    EXPECT_EQ(slot.state()->unopened.toString(), page);
    auto *offered = view.findChild<UnopenedPage *>();
    ASSERT_TRUE(offered && offered->isVisible());
    EXPECT_EQ(offered->findChild<QLineEdit *>()->text(), page);
    EXPECT_TRUE(findText(&view, QStringLiteral("Back")));

    QTest::mouseClick(
        qobject_cast<QPushButton *>(findText(&view, QStringLiteral("Copy Link"))), Qt::LeftButton);
    EXPECT_EQ(desktop().of(QStringLiteral("copyText")), QList<QStringList>({ { page } }));
    // Asked again once there is a browser: as if it had opened at once.
    desktop().opens = true;
    QTest::mouseClick(
        qobject_cast<QPushButton *>(findText(&view, QStringLiteral("Try Again"))), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return slot.state()->unopened.isEmpty(); }));
    EXPECT_EQ(slot.state()->text, "It's open in your browser. Carry on there.");
    EXPECT_EQ(desktop().of(QStringLiteral("openUrl")), QList<QStringList>({ { page }, { page } }));
    EXPECT_FALSE(offered->isVisible());
}

TEST_F(HandoffSlotTest, AFailureEndsWithItsLineAndAWayBack)
{
    conversation.source.log = m_files.filePath(QStringLiteral("gone.txt"));
    HandoffSlot slot;
    HandoffView view(&slot);
    slot.start(conversation, QStringLiteral("Sam"), same());
    ASSERT_TRUE(waitUntil([&] { return !slot.state()->busy; }));
    EXPECT_FALSE(slot.state()->text.isEmpty());
    EXPECT_NE(slot.state()->text, "It's open in your browser. Carry on there.");
    EXPECT_TRUE(findText(&view, QStringLiteral("Back")));
    EXPECT_TRUE(desktop().of(QStringLiteral("openUrl")).isEmpty());
    EXPECT_TRUE(service.requests(QStringLiteral("/api/inbox")).isEmpty());
}

// Leaving for another conversation doesn't stop the hand-off: the slot
// still tells its end when the user comes back.
TEST_F(HandoffSlotTest, TheSlotKeepsItsConversationAcrossOtherScreens)
{
    HandoffSlot slot;
    {
        HandoffView view(&slot);
        slot.start(conversation, QStringLiteral("Sam"), same());
    }
    EXPECT_FALSE(slot.shows(QStringLiteral("someone-else")));
    ASSERT_TRUE(waitUntil([&] { return !slot.state()->busy; }));
    HandoffView again(&slot);
    EXPECT_TRUE(findText(&again, QStringLiteral("It's open in your browser. Carry on there.")));
}
