#include "model/bookfile.h"
#include "model/defaults.h"
#include "model/helpers.h"
#include "service/handoff.h"
#include "standin.h"

#include <QCryptographicHash>
#include <QDir>
#include <gtest/gtest.h>

namespace {

BookFile::Message message(const QString &at, const QString &from, std::optional<QString> text,
    std::optional<QStringList> media = std::nullopt, std::optional<QString> who = std::nullopt)
{
    BookFile::Message m;
    m.at = at;
    m.from = from;
    m.text = std::move(text);
    m.media = std::move(media);
    m.who = std::move(who);
    return m;
}

BookFile bookWith(QList<BookFile::Message> messages)
{
    BookFile book;
    book.people = { { QStringLiteral("me"), QStringLiteral("Sam"), true },
        { QStringLiteral("p1"), QStringLiteral("Alex"), false },
        { QStringLiteral("p2"), QStringLiteral("Me"), false } };
    book.messages = std::move(messages);
    return book;
}

QString same(const QString &name)
{
    return name;
}

QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

class HandoffTest : public ::testing::Test
{
protected:
    explicit HandoffTest(StandIn::Options options = {})
        : service(options)
    { }

    void SetUp() override
    {
        setOrigin(service.origin());
        Handoff::setBrowser([this](QUrl url) -> QCoro::Task<bool> {
            opened.append(url);
            co_return browserOpens;
        });
        Handoff::setPause([this](std::chrono::milliseconds wait) -> QCoro::Task<void> {
            pauses.append(wait);
            if (pauses.size() == healAfterPauses)
                service.reset();
            co_return;
        });
    }

    void TearDown() override
    {
        qunsetenv("QUORVEL_HANDOFF_ORIGIN");
        Handoff::setBrowser({});
        Handoff::setPause({});
    }

    static void setOrigin(const QString &origin) { qputenv("QUORVEL_HANDOFF_ORIGIN", origin.toUtf8()); }

    void deliver(const QString &log, Handoff::Site site = Handoff::Site::Product)
    {
        TestSupport::await(Handoff::deliver(log, QStringLiteral("iMessage - Zoë & Co.txt"), site,
            [this](Handoff::Step step) { steps.append(step); }));
    }

    std::optional<QString> failureOfDeliver(const QString &log = QStringLiteral("hello\n"))
    {
        return TestSupport::failureOf(
            Handoff::deliver(log, QStringLiteral("chat.txt"), Handoff::Site::Product, [](Handoff::Step) {}));
    }

    // The inbox the site made for the last hand-off.
    QString inboxCode() const
    {
        return opened.last().fragment().section(QLatin1Char('='), 1).section(QLatin1Char('.'), 0, 0);
    }

    StandIn service;
    QList<QUrl> opened;
    // What the browser answers.
    bool browserOpens = true;
    QList<Handoff::Step> steps;
    QList<std::chrono::milliseconds> pauses;
    // The dropped connections end once this many pauses were taken.
    int healAfterPauses = 0;
};

// A site whose parts are 10 bytes, so a short log goes in several parts.
class HandoffPartsTest : public HandoffTest
{
protected:
    HandoffPartsTest()
        : HandoffTest(StandIn::Options { QStringLiteral("stripe"), 10 })
    { }

    QCoro::Task<void> sendParts(const QByteArray &data)
    {
        const Handoff::Inbox inbox = co_await Handoff::openInbox(Handoff::origin(Handoff::Site::Product));
        m_inbox = inbox;
        co_await Handoff::sendInParts(data, QStringLiteral("chat.txt"), inbox,
            Handoff::origin(Handoff::Site::Product), [this](double fraction) { fractions.append(fraction); });
    }

    Handoff::Inbox m_inbox;
    QList<double> fractions;
};

const QString partPath = QStringLiteral("/api/inbox/[^/]+/parts/[0-9]+$");

// A WhatsApp export read by the real message tool, with the temporary
// folder pointed at a folder of the test's own.
class HandoffChatLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", m_temp.path().toUtf8());
        const QString chat = m_files.filePath(QStringLiteral("_chat.txt"));
        TestSupport::writeFile(chat,
            "[05/03/2024, 21:14:09] Sam: see you soon\n"
            "[05/03/2024, 21:15:00] Alex: <attached: 00000001-PHOTO-2024-03-05.jpg>\n"
            "[06/03/2024, 08:00:00] Alex: morning\n[not a message]\n");
        Source source;
        source.id = QStringLiteral("file-abcd1234");
        source.name = QStringLiteral("Sam & Alex");
        source.log = chat;
        try {
            const QList<Conversation> listed = Conversation::listFromJson(
                TestSupport::await(Helpers::core({ QStringLiteral("chats") }, source)));
            ASSERT_EQ(listed.size(), 1);
            conversation = listed.first();
            conversation.source = source;
        } catch (const Helpers::Failure &failure) {
            FAIL() << "the message tool didn't read the chat export: " << failure.what();
        }
    }

    void TearDown() override { qputenv("TMPDIR", m_oldTemp); }

    // Whatever the hand-off left in the temporary folder.
    QStringList workingFolders() const
    {
        return QDir(m_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    Conversation conversation;

private:
    QTemporaryDir m_temp;
    QTemporaryDir m_files;
    QByteArray m_oldTemp;
};

} // namespace

TEST(HandoffWrite, WritesOneLinePerTextAndPerAttachment)
{
    const BookFile book = bookWith({
        message(QStringLiteral("2024-03-05T21:14:09"), QStringLiteral("me"), QStringLiteral("see you soon"),
            QStringList { QStringLiteral("photo") }),
        message(QStringLiteral("2024-03-06T08:00:00"), QStringLiteral("p1"), QString(),
            QStringList { QStringLiteral("voice memo"), QStringLiteral("sticker"), QStringLiteral("Photo") },
            QStringLiteral("p1")),
        message(QStringLiteral("2024-03-07T09:00:00"), QStringLiteral("p1"), std::nullopt),
        message(QStringLiteral("2024-03"), QStringLiteral("p1"), QStringLiteral("short"), std::nullopt,
            QStringLiteral("p1")),
    });
    EXPECT_EQ(Handoff::write(book, same),
        QStringLiteral("[2024-03-05, 21:14:09] Me: see you soon\n"
                       "[2024-03-05, 21:14:09] Me: image omitted\n"
                       "[2024-03-06, 08:00:00] Alex: audio omitted\n"
                       "[2024-03-06, 08:00:00] Alex: sticker omitted\n"
                       "[2024-03-06, 08:00:00] Alex: document omitted\n"
                       "[2024-03, ] Alex: short\n"));
    EXPECT_EQ(Handoff::write(bookWith({}), same), QString());
}

TEST(HandoffWrite, NobodyElseCanAppearAsTheUser)
{
    const BookFile book = bookWith({
        message(QStringLiteral("2024-03-05T10:00:00"), QStringLiteral("p2"), QStringLiteral("a"),
            std::nullopt, QStringLiteral("p2")),
        message(QStringLiteral("2024-03-05T10:00:01"), QStringLiteral("x"), QStringLiteral("b"), std::nullopt,
            QStringLiteral("me")),
        message(QStringLiteral("2024-03-05T10:00:02"), QStringLiteral("x"), QStringLiteral("c"), std::nullopt,
            QStringLiteral("nobody")),
    });
    EXPECT_EQ(Handoff::write(book, same),
        QStringLiteral("[2024-03-05, 10:00:00] Them: a\n"
                       "[2024-03-05, 10:00:01] Alex: b\n"
                       "[2024-03-05, 10:00:02] Alex: c\n"));
    EXPECT_EQ(Handoff::cleanName(QStringLiteral("Me")), QStringLiteral("Them"));
    EXPECT_EQ(Handoff::cleanName(QStringLiteral("")), QStringLiteral("Them"));
    EXPECT_EQ(Handoff::cleanName(QStringLiteral(":: \t\x01\r\n")), QStringLiteral("Them"));
    EXPECT_EQ(Handoff::cleanName(QStringLiteral("Ann: Lee")), QStringLiteral("Ann  Lee"));
    EXPECT_EQ(Handoff::cleanName(QStringLiteral("A\u2028B\x7f")), QStringLiteral("A B\x7f"));
}

TEST(HandoffWrite, ContinuationLinesNeverLookLikeMessages)
{
    EXPECT_EQ(Handoff::cleanText(QStringLiteral("one\r\n[two]\r\nthree\r[four")),
        QStringLiteral("one\n [two]\nthree\r[four"));
    EXPECT_EQ(Handoff::cleanText(QStringLiteral("[first\n\n[")), QStringLiteral("[first\n\n ["));
}

TEST(HandoffFileName, NamesTheAppAndDropsCharactersFilesCannotHold)
{
    Conversation whatsapp;
    whatsapp.key = QStringLiteral("wa:123");
    EXPECT_EQ(
        Handoff::fileName(whatsapp, QStringLiteral(" A/B: \"C\"? ")), QStringLiteral("WhatsApp - AB C.txt"));
    Conversation messages;
    messages.key = QStringLiteral("chat42");
    messages.services = { QStringLiteral("iMessage"), QStringLiteral("SMS") };
    EXPECT_EQ(Handoff::fileName(messages, QStringLiteral("Alex")), QStringLiteral("iMessage - Alex.txt"));
}

// The tool's keys never begin with "wa:": a WhatsApp chat is one whose
// services say so.
TEST(HandoffFileName, AWhatsAppChatIsNamedForWhatsApp)
{
    Conversation chat;
    chat.key = QStringLiteral("Robin Roe");
    chat.services = { QStringLiteral("WhatsApp") };
    EXPECT_EQ(
        Handoff::fileName(chat, QStringLiteral("Robin Roe")), QStringLiteral("WhatsApp - Robin Roe.txt"));
}

TEST_F(HandoffTest, ASmallLogGoesInOneUploadAndOpensTheMakePage)
{
    deliver(QStringLiteral("hello\n"));
    const QJsonArray sent = service.requests();
    ASSERT_EQ(sent.size(), 2);
    const QJsonObject open = sent.at(0).toObject();
    EXPECT_EQ(open.value(QStringLiteral("method")).toString(), QStringLiteral("POST"));
    EXPECT_EQ(open.value(QStringLiteral("target")).toString(), QStringLiteral("/api/inbox"));
    EXPECT_EQ(
        StandIn::header(open, QStringLiteral("content-type")), QStringLiteral("text/plain; charset=utf-8"));
    EXPECT_EQ(StandIn::header(open, QStringLiteral("x-via")), QStringLiteral("mac-app"));

    const QString code = inboxCode();
    const QJsonObject upload = sent.at(1).toObject();
    EXPECT_EQ(
        upload.value(QStringLiteral("target")).toString(), QStringLiteral("/api/inbox/%1/file").arg(code));
    EXPECT_EQ(StandIn::header(upload, QStringLiteral("x-via")), QStringLiteral("mac-app"));
    EXPECT_FALSE(StandIn::header(upload, QStringLiteral("x-inbox-token")).isEmpty());
    EXPECT_EQ(StandIn::body(upload), QByteArray("hello\n"));
    EXPECT_EQ(service.inbox(code).value(QStringLiteral("name")).toString(),
        QStringLiteral("iMessage - Zoë & Co.txt"));

    EXPECT_EQ(steps,
        (QList<Handoff::Step> {
            Handoff::Step::sending(0), Handoff::Step::sending(1.0), Handoff::Step::opening() }));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toString(QUrl::RemoveFragment), service.origin() + QStringLiteral("/make/"));
    EXPECT_EQ(opened.first().fragment(),
        QStringLiteral("inbox=") + code + QLatin1Char('.')
            + StandIn::header(upload, QStringLiteral("x-inbox-token")));
}

// The conversation is on the site whether or not a browser opened it: the
// caller learns which, and the page to offer when none did.
TEST_F(HandoffTest, TheCallerLearnsWhetherTheBrowserOpenedTheMakePage)
{
    const Handoff::Landing opens = TestSupport::await(Handoff::deliver(
        QStringLiteral("hello\n"), QStringLiteral("chat.txt"), Handoff::Site::Product, [](Handoff::Step) {}));
    EXPECT_TRUE(opens.opened);
    EXPECT_EQ(opens.page, opened.last());

    browserOpens = false;
    const Handoff::Landing stays = TestSupport::await(Handoff::deliver(
        QStringLiteral("hello\n"), QStringLiteral("chat.txt"), Handoff::Site::Product, [](Handoff::Step) {}));
    EXPECT_FALSE(stays.opened);
    EXPECT_EQ(stays.page, opened.last());
    EXPECT_EQ(stays.page.path(), QStringLiteral("/make/"));
    EXPECT_EQ(
        service.inbox(inboxCode()).value(QStringLiteral("name")).toString(), QStringLiteral("chat.txt"));
}

TEST_F(HandoffTest, AnOriginWithATrailingSlashAddressesTheSame)
{
    setOrigin(service.origin() + QLatin1Char('/'));
    deliver(QStringLiteral("hello\n"));
    EXPECT_EQ(service.requests().at(0).toObject().value(QStringLiteral("target")).toString(),
        QStringLiteral("/api/inbox"));
    EXPECT_EQ(opened.first().path(), QStringLiteral("/make/"));
}

TEST_F(HandoffTest, OnlyTheSiblingSiteFromElsewhereNamesItself)
{
    deliver(QStringLiteral("hi\n"), Handoff::Site::Sibling);
    deliver(QStringLiteral("hi\n"), Handoff::Site::Product);
    EXPECT_EQ(opened.at(0).query(), QStringLiteral("site=Sendalume"));
    EXPECT_FALSE(opened.at(1).hasQuery());
}

TEST_F(HandoffTest, AtTheLimitOneUploadOneByteMoreInParts)
{
    const QString atLimit(Handoff::singleRequestLimit, QLatin1Char('a'));
    deliver(atLimit);
    EXPECT_EQ(service.requests(QStringLiteral("/file$")).size(), 1);
    EXPECT_TRUE(service.requests(QStringLiteral("/parts")).isEmpty());

    service.reset();
    const QString overLimit = atLimit + QLatin1Char('b');
    deliver(overLimit);
    EXPECT_TRUE(service.requests(QStringLiteral("/file$")).isEmpty());
    const QList<QJsonObject> parts = service.requests(partPath);
    ASSERT_EQ(parts.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(parts.at(i)
                        .value(QStringLiteral("path"))
                        .toString()
                        .endsWith(QStringLiteral("/parts/%1").arg(i + 1)));
    EXPECT_EQ(service.inbox(inboxCode()).value(QStringLiteral("sha256")).toString().toLatin1(),
        sha256(overLimit.toUtf8()));
}

TEST_F(HandoffPartsTest, PartsGoInOrderAndTheSitesEtagsCloseTheUpload)
{
    const QByteArray data = "0123456789abcdefghijKLMNO";
    TestSupport::await(sendParts(data));
    EXPECT_EQ(fractions, (QList<double> { 0.4, 0.8, 1.0 }));
    const QList<QJsonObject> parts = service.requests(partPath);
    ASSERT_EQ(parts.size(), 3);
    EXPECT_TRUE(StandIn::header(parts.first(), QStringLiteral("x-name")).isNull());
    const QJsonObject done = service.requests(QStringLiteral("/parts/done$")).first();
    EXPECT_EQ(StandIn::header(done, QStringLiteral("content-type")), QStringLiteral("application/json"));
    const QByteArray body = StandIn::body(done);
    EXPECT_TRUE(body.startsWith(R"({"parts":[{"partNumber":1,"etag":"\")")) << body.constData();
    EXPECT_EQ(
        service.inbox(m_inbox.code).value(QStringLiteral("sha256")).toString().toLatin1(), sha256(data));
}

TEST_F(HandoffPartsTest, ADroppedPartIsSentAgainAfterOneAndAHalfThenThreeSeconds)
{
    healAfterPauses = 2;
    service.drop(partPath);
    const QByteArray data = "0123456789abcdefghijKLMNO";
    TestSupport::await(sendParts(data));
    EXPECT_EQ(pauses,
        (QList<std::chrono::milliseconds> {
            std::chrono::milliseconds(1500), std::chrono::milliseconds(3000) }));
    EXPECT_EQ(
        service.inbox(m_inbox.code).value(QStringLiteral("sha256")).toString().toLatin1(), sha256(data));
}

TEST_F(HandoffPartsTest, TheThirdDroppedAttemptIsTheFailure)
{
    service.drop(partPath);
    EXPECT_THROW(TestSupport::await(sendParts("0123456789abc")), Http::TransportError);
    EXPECT_EQ(pauses.size(), 2);
}

TEST_F(HandoffPartsTest, ARefusedPartIsNotRetried)
{
    service.answer(partPath, 500, "");
    EXPECT_EQ(TestSupport::failureOf(sendParts("0123456789abc")),
        QStringLiteral("The site isn't answering properly right now (error 500). Try again in a minute."));
    EXPECT_TRUE(pauses.isEmpty());
    EXPECT_EQ(service.requests(partPath).size(), 1);
}

// A part size of 0 never moved the offset: the upload looped for ever.
TEST_F(HandoffPartsTest, APartSizeBelowOneIsRefused)
{
    for (const char *size : { "0", "-5" }) {
        service.reset();
        service.answer(QStringLiteral("/parts$"), 200, QByteArray(R"({"upload":"u1","part":)") + size + "}");
        EXPECT_EQ(TestSupport::failureOf(sendParts("0123456789abc")),
            QStringLiteral("The site sent an answer Quorvel can't use. Try again in a minute."));
        EXPECT_TRUE(service.requests(partPath).isEmpty());
    }
}

// The code goes into request paths: "../" in it would send the chat to
// another address of the site.
TEST_F(HandoffTest, AnInboxCodeThatIsNotAPlainTokenIsRefused)
{
    service.answer(QStringLiteral("/api/inbox$"), 200, R"({"code":"../../orders","token":"t"})");
    EXPECT_EQ(failureOfDeliver(),
        QStringLiteral("The site sent an answer Quorvel can't use. Try again in a minute."));
    EXPECT_EQ(service.requests().size(), 1);
    EXPECT_TRUE(opened.isEmpty());
}

// The conversation must not cross the network in the clear.
TEST_F(HandoffTest, TheConversationGoesOnlyToSecureOrLocalSites)
{
    setOrigin(QStringLiteral("http://chat.example.com"));
    EXPECT_EQ(failureOfDeliver(),
        QStringLiteral("The site's address isn't secure, so the conversation wasn't sent."));
    EXPECT_TRUE(service.requests().isEmpty());
}

TEST_F(HandoffTest, SiteErrorsAndEmptyLogsReadAsSentences)
{
    EXPECT_EQ(failureOfDeliver(QString()), QStringLiteral("This conversation has no messages to send."));
    EXPECT_TRUE(service.requests().isEmpty());
    service.answer(QStringLiteral("/api/inbox$"), 503, R"({"error":"Down for maintenance.","retry":30})");
    EXPECT_EQ(failureOfDeliver(), QStringLiteral("Down for maintenance."));
    service.reset();
    service.answer(QStringLiteral("/api/inbox$"), 502, "<html>", QStringLiteral("text/html"));
    EXPECT_EQ(failureOfDeliver(),
        QStringLiteral("The site isn't answering properly right now (error 502). Try again in a minute."));
}

TEST(HandoffNameHeader, EncodesAllButUnreservedCharacters)
{
    EXPECT_EQ(Handoff::nameHeader(QStringLiteral("iMessage - Zoë & Co_1~.txt")),
        QByteArray("iMessage%20-%20Zo%C3%AB%20%26%20Co_1~.txt"));
    EXPECT_EQ(Handoff::nameHeader(QStringLiteral("bad ") + QChar(0xD800)), QByteArray("chat.txt"));
}

// The stand-in sees header values decoded once, so a name that holds "%41"
// arrives intact only when the app encoded it.
TEST_F(HandoffTest, TheNameArrivesEncodedOnce)
{
    TestSupport::await(Handoff::deliver(QStringLiteral("hi\n"), QStringLiteral("100%41 Zoë.txt"),
        Handoff::Site::Product, [](Handoff::Step) {}));
    EXPECT_EQ(StandIn::header(service.requests(QStringLiteral("/file$")).first(), QStringLiteral("x-name")),
        QStringLiteral("100%41 Zoë.txt"));
}

TEST_F(HandoffChatLogTest, ARealExportBecomesTheChatLog)
{
    Defaults::standard().setString(QStringLiteral("me:") + conversation.id(), QStringLiteral("Sam"));
    const QString log = TestSupport::await(Handoff::chatLog(conversation, QStringLiteral("Alex"), same));
    EXPECT_EQ(log,
        QStringLiteral("[2024-03-05, 21:14:09] Me: see you soon\n"
                       "[2024-03-05, 21:15:00] Alex: image omitted\n"
                       "[2024-03-06, 08:00:00] Alex: morning\n [not a message]\n"));
    EXPECT_TRUE(workingFolders().isEmpty());
}

TEST_F(HandoffChatLogTest, TheWorkingFolderGoesAlsoWhenTheExportFails)
{
    conversation.key = QStringLiteral("no such conversation");
    EXPECT_THROW(
        TestSupport::await(Handoff::chatLog(conversation, QStringLiteral("Alex"), same)), Helpers::Failure);
    EXPECT_TRUE(workingFolders().isEmpty());
}

TEST_F(HandoffChatLogTest, ASavedNameCountsOnlyForAConversationWithPeople)
{
    Defaults::standard().setString(QStringLiteral("me:") + conversation.id(), QStringLiteral("Sam"));
    conversation.people.reset();
    const QString log = TestSupport::await(Handoff::chatLog(conversation, QStringLiteral("Alex"), same));
    EXPECT_TRUE(log.startsWith(QStringLiteral("[2024-03-05, 21:14:09] Sam: see you soon\n")))
        << log.toStdString();
}

TEST_F(HandoffChatLogTest, TheWholeHandOffLandsInTheSitesInbox)
{
    StandIn site;
    qputenv("QUORVEL_HANDOFF_ORIGIN", site.origin().toUtf8());
    QList<QUrl> opened;
    Handoff::setBrowser([&opened](QUrl url) -> QCoro::Task<bool> {
        opened.append(url);
        co_return true;
    });
    QList<Handoff::Step> steps;
    TestSupport::await(Handoff::send(conversation, QStringLiteral("Alex"), same, Handoff::Site::Product,
        [&steps](Handoff::Step step) { steps.append(step); }));
    Handoff::setBrowser({});
    qunsetenv("QUORVEL_HANDOFF_ORIGIN");

    EXPECT_EQ(steps.first(), Handoff::Step::reading());
    EXPECT_EQ(steps.last(), Handoff::Step::opening());
    ASSERT_EQ(opened.size(), 1);
    const QJsonObject upload = site.requests(QStringLiteral("/file$")).first();
    EXPECT_TRUE(StandIn::body(upload).startsWith("[2024-03-05, 21:14:09] "));
    // A WhatsApp chat, as the tool lists its services.
    EXPECT_EQ(StandIn::header(upload, QStringLiteral("x-name")), QStringLiteral("WhatsApp - Alex.txt"));
}
