// What each export format has of its own, beyond the chat every sample
// shares (see chatexports_test.cpp).
#include "chatexports.h"
#include "chatlog.h"
#include "failure.h"
#include "fixtures.h"
#include "googlechatreader.h"
#include "ircreader.h"
#include "kakaotalkreader.h"
#include "linereader.h"
#include "mailmessage.h"
#include "messengerreader.h"
#include "printers.h"
#include "slackreader.h"
#include "textlines.h"
#include "whatsappdbreader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Brimlow;
using ChatExports::writeFile;

namespace {

std::optional<Conversation> find(ChatLog &log, const QString &key)
{
    for (const Conversation &conversation : log.conversations()) {
        if (conversation.key == key)
            return conversation;
    }
    return std::nullopt;
}

QStringList texts(const Transcript &transcript)
{
    QStringList list;
    for (const Transcript::Message &message : transcript.messages)
        list.append(message.text);
    return list;
}

} // namespace

TEST(ChatFormats, TelegramAccountListsEveryChatWithItsOwner)
{
    UtcZone zone;
    QTemporaryDir dir;
    ChatLog log(ChatExports::telegramAccount(dir.path()));
    const auto saved = find(log, QStringLiteral("Saved Messages"));
    ASSERT_TRUE(saved.has_value());
    ASSERT_EQ(saved->people->size(), 1);
    EXPECT_EQ(saved->people->first().name, "Robin");
    EXPECT_EQ(log.transcript(QStringLiteral("Saved Messages"), std::nullopt).messages.first().sender,
        Transcript::Me);
}

TEST(ChatFormats, TelegramHtmlTakesTheSenderOfJoinedMessagesFromTheMessageBefore)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("messages.html")),
        "<div class=\"page_header\"><div class=\"content\"><div class=\"text bold\">Crew</div></div></div>"
        "<div class=\"history\">"
        "<div class=\"message default clearfix\" id=\"message1\"><div class=\"body\">"
        "<div class=\"pull_right date details\" title=\"05.03.2024 21:14:00\">21:14</div>"
        "<div class=\"from_name\">Robin</div><div class=\"text\">first<br>second line</div></div></div>"
        "<div class=\"message default clearfix joined\" id=\"message2\"><div class=\"body\">"
        "<div class=\"pull_right date details\" title=\"05.03.2024 21:15:00\">21:15</div>"
        "<div class=\"forwarded body\"><div class=\"from_name\">Alex <span "
        "class=\"details\">01.03.2024</span>"
        "</div><div class=\"text\">forwarded &amp; kept</div></div></div></div>"
        "</div>");
    ChatLog log(dir.filePath(QStringLiteral("messages.html")));
    const Transcript chat = log.transcript(QStringLiteral("Crew"), std::nullopt);
    EXPECT_EQ(chat.participants, QStringList { "Robin" });
    EXPECT_EQ(texts(chat), (QStringList { "first\nsecond line", "forwarded & kept" }));
}

TEST(ChatFormats, AttachmentsNeverLeadOutOfTheExport)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("secret.jpg")), "not part of the export");
    const QString root = dir.filePath(QStringLiteral("export"));
    writeFile(root + QStringLiteral("/photos/inside.jpg"), ChatExports::photoBytes());
    QFile::link(dir.filePath(QStringLiteral("secret.jpg")), root + QStringLiteral("/photos/link.jpg"));
    QByteArray messages;
    int id = 0;
    for (const char *photo : { "photos/inside.jpg", "../secret.jpg", "photos/../../secret.jpg",
             "photos/link.jpg", "/etc/hosts", "~/secret.jpg" }) {
        messages += QByteArray(id > 0 ? "," : "");
        ++id;
        messages += "{\"id\": " + QByteArray::number(id)
            + ", \"type\": \"message\", \"date_unixtime\": \"1709673240\", \"from\": \"Sam\", \"from_id\": "
              "\"user4242\", \"photo\": \""
            + photo + "\", \"text\": \"\"}";
    }
    writeFile(root + QStringLiteral("/result.json"),
        "{\"name\": \"Sam\", \"type\": \"personal_chat\", \"id\": 4242, \"messages\": [" + messages + "]}");
    ChatLog log(root);
    const Transcript chat = log.transcript(QStringLiteral("Sam"), std::nullopt);
    ASSERT_EQ(chat.messages.size(), 6);
    EXPECT_EQ(chat.messages.at(0).attachments.first().path, root + QStringLiteral("/photos/inside.jpg"));
    for (int i = 1; i < 6; ++i)
        EXPECT_TRUE(chat.messages.at(i).attachments.first().path.isEmpty()) << i;
}

TEST(ChatFormats, SmsGroupMessagesNameTheirSender)
{
    UtcZone zone;
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("sms.xml")),
        "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n<smses count=\"2\">\n"
        "<mms date=\"1709673240000\" msg_box=\"1\" address=\"+15550100~+15550102\" contact_name=\"Sam, Jo\">"
        "<parts><part seq=\"0\" ct=\"text/plain\" text=\"who's in?\" /></parts>"
        "<addrs><addr address=\"+15550102\" type=\"137\" /><addr address=\"+15550100\" type=\"151\" "
        "/></addrs></mms>\n"
        "<mms date=\"1709673300000\" msg_box=\"2\" address=\"+15550102~+15550100\" contact_name=\"Jo, Sam\">"
        "<parts><part seq=\"0\" ct=\"text/plain\" text=\"me\" /></parts></mms>\n</smses>\n");
    ChatLog log(dir.filePath(QStringLiteral("sms.xml")));
    const auto group = find(log, QStringLiteral("Jo & Sam"));
    ASSERT_TRUE(group.has_value());
    EXPECT_EQ(group->messages, 2);
    const Transcript chat = log.transcript(QStringLiteral("Jo & Sam"), std::nullopt);
    EXPECT_TRUE(chat.group);
    EXPECT_EQ(chat.participants.at(chat.messages.at(0).sender), "Jo");
    EXPECT_EQ(chat.messages.at(1).sender, Transcript::Me);
}

TEST(ChatFormats, MetaTextsAreRepairedOnlyWhenMisencoded)
{
    EXPECT_EQ(MessengerReader::repaired(QString::fromLatin1(QStringLiteral("café 👋").toUtf8())), "café 👋");
    EXPECT_EQ(MessengerReader::repaired(QStringLiteral("café")), "café"); // é alone is no UTF-8
    EXPECT_EQ(MessengerReader::repaired(QStringLiteral("日本")), "日本");
    EXPECT_EQ(MessengerReader::repaired(QStringLiteral("plain")), "plain");
}

TEST(ChatFormats, InstagramOwnerIsUnknownWithOneThreadAlone)
{
    QTemporaryDir dir;
    const QString root = ChatExports::instagram(dir.path());
    QDir(root + QStringLiteral("/your_instagram_activity/messages/inbox/alex_5678")).removeRecursively();
    ChatLog log(root);
    const auto chat = find(log, QStringLiteral("Sam & Robin"));
    ASSERT_TRUE(chat.has_value());
    EXPECT_EQ(chat->people->first().name, "Sam");
}

TEST(ChatFormats, AChatWithADamagedPageIsLeftOutNotListedIncomplete)
{
    QTemporaryDir dir;
    const QString root = ChatExports::instagram(dir.path());
    const QString page
        = root + QStringLiteral("/your_instagram_activity/messages/inbox/sam_1234/message_2.json");
    QFile file(page);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    file.close();
    writeFile(page, bytes.left(bytes.size() / 2));
    ChatLog log(root);
    QStringList keys;
    for (const Conversation &conversation : log.conversations())
        keys.append(conversation.key);
    EXPECT_EQ(keys, QStringList { "Alex" });
}

TEST(ChatFormats, AFolderWhoseOnlyChatIsDamagedSaysSo)
{
    QTemporaryDir dir;
    const QString file = ChatExports::telegramChat(dir.filePath(QStringLiteral("export")));
    QFile input(file);
    input.open(QIODevice::ReadOnly);
    const QByteArray bytes = input.readAll();
    input.close();
    writeFile(file, bytes.left(bytes.size() / 2));
    writeFile(dir.filePath(QStringLiteral("export/notes.txt")), "Shopping list\n");
    EXPECT_EQ(Fixtures::failureOf([&] { ChatLog log(dir.filePath(QStringLiteral("export"))); }),
        "The chat file result.json is damaged and can't be read.");
}

TEST(ChatFormats, SlackMarkupReadsAsPlainText)
{
    const QHash<QString, QString> users = { { QStringLiteral("U01SAM"), QStringLiteral("Sam") } };
    EXPECT_EQ(
        SlackReader::plainText(
            QStringLiteral("<@U01SAM> see <https://maps.example/x|the map> in <#C01|general> &amp; <!here> "
                           "<https://example.com> &lt;3"),
            users),
        "@Sam see the map in #general & @here https://example.com <3");
}

TEST(ChatFormats, GoogleChatDatesInTheirSpellings)
{
    UtcZone zone;
    EXPECT_EQ(GoogleChatReader::timeOf(QStringLiteral("Tuesday, March 5, 2024 at 9:14:00 PM UTC")),
        "2024-03-05T21:14:00");
    EXPECT_EQ(GoogleChatReader::timeOf(QStringLiteral("Tuesday, March 5, 2024 at 9:14:00\u202FPM UTC")),
        "2024-03-05T21:14:00");
    EXPECT_EQ(GoogleChatReader::timeOf(QStringLiteral("Tuesday, 5 March 2024 at 21:14:00 UTC")),
        "2024-03-05T21:14:00");
    EXPECT_EQ(GoogleChatReader::timeOf(QStringLiteral("Tuesday, March 5, 2024 at 9:14:00 PM UTC+2")),
        "2024-03-05T19:14:00");
    EXPECT_TRUE(
        GoogleChatReader::timeOf(QStringLiteral("Tuesday, Smarch 5, 2024 at 9:14:00 PM UTC")).isEmpty());
}

TEST(ChatFormats, LineJoinsQuotedLinesAndReadsTwelveHourTimes)
{
    TextLines lines(QStringLiteral("Tue, 03/05/2024\n9:14 PM\tSam\t\"two\nlines\"\n"
                                   "9:15 PM\tRobin\tok\n午前0:05\tSam\tlate\n"));
    const auto chats = LineReader::parse(lines);
    ASSERT_EQ(chats.size(), 1);
    const Transcript &chat = chats.first().transcript;
    EXPECT_EQ(texts(chat), (QStringList { "two\nlines", "ok", "late" }));
    EXPECT_EQ(chat.messages.at(0).at, "2024-03-05T21:14:00");
    EXPECT_EQ(chat.messages.at(2).at, "2024-03-05T00:05:00");
}

TEST(ChatFormats, LineReadsMidnightsHourWrittenTwentyFourOnTheDayItFalls)
{
    const auto atsIn = [](const QString &text) {
        TextLines lines(text);
        const auto chats = LineReader::parse(lines);
        QStringList list;
        for (const Transcript::Message &message : chats.first().transcript.messages)
            list.append(message.at);
        return list;
    };
    // Below the new day's line, as Android writes it; after the evening
    // before, the night after it.
    EXPECT_EQ(
        atsIn(QStringLiteral("2019/12/25(Wed)\n24:53\tSam\tup?\n24:55\tRobin\tyes\n09:00\tSam\tmorning\n")),
        (QStringList { "2019-12-25T00:53:00", "2019-12-25T00:55:00", "2019-12-25T09:00:00" }));
    EXPECT_EQ(atsIn(QStringLiteral("2019/12/24(Tue)\n23:58\tSam\tlate\n24:53\tRobin\tlater\n")),
        (QStringList { "2019-12-24T23:58:00", "2019-12-25T00:53:00" }));
}

// A message that only begins with a quotation mark took every line up to
// the next message for its own, the next day's line too, and the messages
// below fell on the day before. A day's line right below a message, with
// no blank line between, is a day's line too.
TEST(ChatFormats, LineLeavesEachDaysLineItsOwn)
{
    for (const QString &first : { QStringLiteral("\"Ha\" she said\n"), QStringLiteral("see you\n") }) {
        SCOPED_TRACE(first.toStdString());
        TextLines lines(QStringLiteral("2024/03/05(Tue)\n21:14\tSam\t") + first
            + QStringLiteral("2024/03/06(Wed)\n08:00\tRobin\tmorning\n"));
        const Transcript chat = LineReader::parse(lines).first().transcript;
        EXPECT_EQ(texts(chat), (QStringList { first.trimmed(), "morning" }));
        EXPECT_EQ(chat.messages.at(1).at, "2024-03-06T08:00:00");
    }
}

// A day's line is a date with its weekday, in whatever language; a date
// with more words after a blank line goes on with the message above.
TEST(ChatFormats, LineStartsADayAtADateAndItsWeekdayOnly)
{
    TextLines lines(QStringLiteral("2019.12.24 mardi\n21:05\tKenji\tPlans:\n\n2019/12/31 party at Kenji's\n\n"
                                   "2019.12.25 mercredi\n09:00\tHaruka\tok\n"));
    const Transcript chat = LineReader::parse(lines).first().transcript;
    EXPECT_EQ(texts(chat), (QStringList { "Plans:\n\n2019/12/31 party at Kenji's", "ok" }));
    EXPECT_EQ(chat.messages.at(1).at, "2019-12-25T09:00:00");
}

TEST(ChatFormats, KakaoTalkInEnglishWithLinesThatContinueAMessage)
{
    TextLines lines(QStringLiteral("Sam, KakaoTalk Chats with Sam\n"
                                   "--------------- Tuesday, March 5, 2024 ---------------\n"
                                   "[Sam] [9:14 PM] hey\n[Robin] [9:15 PM] hi\nsecond line\n"
                                   "[Sam] [9:16 PM] Photo\n"));
    const auto chats = KakaoTalkReader::parse(lines);
    ASSERT_EQ(chats.size(), 1);
    const Transcript &chat = chats.first().transcript;
    EXPECT_EQ(texts(chat), (QStringList { "hey", "hi\nsecond line", "" }));
    EXPECT_EQ(chat.messages.at(1).at, "2024-03-05T21:15:00");
    EXPECT_EQ(chat.messages.at(2).attachments.first().kind, "photo");
}

TEST(ChatFormats, LineAndKakaoTalkNameAOneToOneChatAfterThePersonOnly)
{
    const QString line = QStringLiteral("2024/03/05(Tue)\n21:14\tSam Rivera\they\n21:15\tRobin\thi\n");
    const QString kakao = QStringLiteral("\n--------------- 2024년 3월 5일 화요일 ---------------\n"
                                         "[Sam Rivera] [오후 9:14] hey\n[Robin] [오후 9:15] hi\n");
    const QList<std::pair<QString, QList<ChatLogReader::Chat> (*)(TextLines &, ChatLogReader::Detail)>> read
        = { { "[LINE] Chat history with Sam\n" + line, &LineReader::parse },
              { "[LINE] Samとのトーク履歴\n" + line, &LineReader::parse },
              { "Sam 님과 카카오톡 대화" + kakao, &KakaoTalkReader::parse },
              { "Sam, KakaoTalk Chats with Sam" + kakao, &KakaoTalkReader::parse } };
    // Keyed as before the name was read: by the people, or as the group a
    // Japanese header was taken for.
    const QStringList keyNames = { QString(), QStringLiteral("Samと"), QString(), QString() };
    for (qsizetype i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(read[i].first.toStdString());
        TextLines lines(read[i].first);
        const auto chats = read[i].second(lines, ChatLogReader::Detail::Messages);
        ASSERT_EQ(chats.size(), 1);
        EXPECT_EQ(chats.first().transcript.name, "Sam");
        EXPECT_EQ(chats.first().keyName, keyNames[i]);
    }

    // A group's name is its own, and its key.
    for (const QString &header :
        { QStringLiteral("[LINE] Chat history in Crew"), QStringLiteral("[LINE] Crewのトーク履歴") }) {
        TextLines crew(header + QLatin1Char('\n') + line);
        EXPECT_EQ(LineReader::parse(crew).first().transcript.name, "Crew");
        EXPECT_EQ(LineReader::parse(crew).first().keyName, std::nullopt);
    }
    TextLines room(
        QStringLiteral("Crew 님과 카카오톡 대화") + kakao + QStringLiteral("[Ina] [오후 9:16] yo\n"));
    EXPECT_EQ(KakaoTalkReader::parse(room).first().transcript.name, QString());
}

TEST(ChatFormats, MboxUnescapesFromLinesAndKeepsOtherCorrespondentsApart)
{
    UtcZone zone;
    QTemporaryDir dir;
    ChatLog log(ChatExports::mbox(dir.path()));
    // Robin sent mail in one chat: Robin is the user in every chat.
    ASSERT_TRUE(find(log, QStringLiteral("Shop")).has_value());
    EXPECT_EQ(texts(log.transcript(QStringLiteral("Shop"), std::nullopt)),
        QStringList { "Everything half price\nFrom today until Sunday" });
    // The reply's quote and the signature stay out of the book.
    const Transcript chat = log.transcript(QStringLiteral("Sam"), std::nullopt);
    EXPECT_EQ(texts(chat), (QStringList { "hey café", "on my way 👋", "the summit!" }));
}

TEST(ChatFormats, MailDatesHeadersAndTheTextWithoutWhatItQuotes)
{
    UtcZone zone;
    EXPECT_EQ(MailMessage::timeOf(QStringLiteral("Tue, 5 Mar 2024 16:14:00 EST")), "2024-03-05T21:14:00");
    EXPECT_EQ(MailMessage::timeOf(QStringLiteral("5 Mar 24 21:14 GMT")), "2024-03-05T21:14:00");
    EXPECT_EQ(
        MailMessage::timeOf(QStringLiteral("Wed, 6 Mar 2024 00:14:00 +0300 (MSK)")), "2024-03-05T21:14:00");
    EXPECT_TRUE(MailMessage::timeOf(QStringLiteral("yesterday")).isEmpty());
    EXPECT_EQ(MailMessage::decodeWords("=?ISO-8859-1?Q?Andr=E9?= =?UTF-8?B?8J+Riw==?= <a@example.com>"),
        "André👋 <a@example.com>");
    // Outlook's curly quotes and euro sign, where Latin-1 has control codes.
    EXPECT_EQ(MailMessage::decodeWords("=?windows-1252?Q?=93Dinner_=80_20=94?="), "“Dinner € 20”");
    // Every charset a mail names, by its registered names: Latin-9's euro
    // where Latin-1 has "¤", Cyrillic, Japanese; a name no one knows reads
    // as UTF-8.
    EXPECT_EQ(MailMessage::decodeWords("=?ISO-8859-15?Q?20_=A4?= =?iso8859-15?Q?=A4?="), "20 €€");
    EXPECT_EQ(MailMessage::decodeWords("=?KOI8-R?Q?=F0=D2=C9=D7=C5=D4?="), "Привет");
    EXPECT_EQ(MailMessage::decodeWords("=?Shift_JIS?Q?=82=B1=82=F1=82=C9=82=BF=82=CD?="), "こんにちは");
    EXPECT_EQ(MailMessage::decodeWords("=?x-no-such-charset?Q?caf=C3=A9?="), "café");
    EXPECT_EQ(
        MailMessage::newText(QStringLiteral("see below\r\n\r\n-----Original Message-----\r\nFrom: Sam\r\n"
                                            "the old mail")),
        "see below");
    EXPECT_EQ(MailMessage::newText(QStringLiteral("> what time?\n8 sharp\n> and where?\nthe hut")),
        "8 sharp\nthe hut");
    EXPECT_EQ(MailMessage::newText(
                  QStringLiteral("ok\n\nOn Tue, Mar 5, 2024 at 9:14 PM Sam <sam@example.com>\nwrote:\n> hi")),
        "ok");
}

TEST(ChatFormats, IrcTimesAloneEndOnTheDayTheLogWasWritten)
{
    TextLines lines(QStringLiteral("[23:50] <sam> late\n[00:10] <robin> early\n[00:11] * robin yawns\n"));
    const auto chats = IrcReader::parse(lines, QStringLiteral("/logs/sam.log"), QDate(2024, 3, 6));
    ASSERT_EQ(chats.size(), 1);
    const Transcript &chat = chats.first().transcript;
    EXPECT_EQ(chat.messages.at(0).at, "2024-03-05T23:50:00");
    EXPECT_EQ(chat.messages.at(1).at, "2024-03-06T00:10:00");
    EXPECT_EQ(chat.messages.at(2).text, "*yawns*");
    EXPECT_TRUE(chat.name.isEmpty());
}

// dircproxy writes days without their year; a name that holds one has the
// last word over the day the file was last written. A "+" or "-" that only
// some texts begin with is the person's own.
TEST(ChatFormats, DircproxyDaysTakeTheirYearFromTheFileNameAndKeepMarksThatAreWords)
{
    TextLines lines(QStringLiteral("[24 Dec 09:05] <sam!~sam@example.com> +1 from me\n"
                                   "[24 Dec 09:06] <jo!~jo@example.org> see you at the car park\n"
                                   "[24 Dec 09:07] <sam!~sam@example.com> -5 up there\n"
                                   "[02 Jan 08:00] <jo!~jo@example.org> happy new year\n"
                                   "[02 Jan 08:01] <ash!~ash@example.net> same to you\n"));
    const auto chats = IrcReader::parse(lines, QStringLiteral("/logs/#hiking.log.2019"), QDate(2024, 6, 1));
    ASSERT_EQ(chats.size(), 1);
    const Transcript &chat = chats.first().transcript;
    EXPECT_EQ(texts(chat),
        (QStringList {
            "+1 from me", "see you at the car park", "-5 up there", "happy new year", "same to you" }));
    EXPECT_EQ(chat.messages.at(0).at, "2019-12-24T09:05:00");
    EXPECT_EQ(chat.messages.at(3).at, "2020-01-02T08:00:00");
    EXPECT_EQ(chat.participants, (QStringList { "sam", "jo", "ash" }));
}

TEST(ChatFormats, WhatsAppDatabaseNamesGroupsAndLeavesOutEventsAndStatuses)
{
    UtcZone zone;
    QTemporaryDir dir;
    const QString root = ChatExports::whatsAppDatabase(dir.path());
    ChatLog log(root);
    QStringList keys;
    for (const Conversation &conversation : log.conversations())
        keys.append(conversation.key);
    keys.sort();
    EXPECT_EQ(keys, (QStringList { "Hiking Crew", "Sam" }));
    const Transcript group = log.transcript(QStringLiteral("Hiking Crew"), std::nullopt);
    EXPECT_EQ(texts(group), QStringList { "who's in?" });
    EXPECT_EQ(group.participants, QStringList { "Sam" });

    // Without wa.db the people are their numbers.
    QFile::remove(root + QStringLiteral("/Databases/wa.db"));
    ChatLog withoutNames(root);
    EXPECT_TRUE(find(withoutNames, QStringLiteral("+15550100")).has_value());
}

TEST(ChatFormats, EncryptedWhatsAppBackupsAreRefusedWithTheReason)
{
    QTemporaryDir dir;
    for (const int version : { 14, 15 }) {
        const QByteArray backup = ChatExports::encryptedWhatsApp(version);
        EXPECT_EQ(WhatsAppDbReader::encryptedVersion(backup), version);
        // Renamed, it is still what it is.
        const QString path = dir.filePath(QStringLiteral("backup-%1.bin").arg(version));
        writeFile(path, backup);
        EXPECT_EQ(Fixtures::failureOf([&] { ChatLog log(path); }),
            QStringLiteral(
                "This WhatsApp backup is encrypted (crypt%1), and its key can't be entered here. In "
                "WhatsApp, open the chat and choose Export chat, then add that file instead.")
                .arg(version));
    }
    EXPECT_EQ(WhatsAppDbReader::encryptedVersion(QByteArray("SQLite format 3\0\x10\0\x01\x01", 20)), 0);
    EXPECT_EQ(WhatsAppDbReader::encryptedVersion("1/31/25, 9:41 PM - Sam: hey\n"), 0);
}
