#include "printers.h"
#include "whatsappreader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Brimlow;

namespace {

QStringList ats(const Transcript &transcript)
{
    QStringList list;
    for (const auto &message : transcript.messages)
        list.append(message.at);
    return list;
}

QStringList texts(const Transcript &transcript)
{
    QStringList list;
    for (const auto &message : transcript.messages)
        list.append(message.text);
    return list;
}

const QString lrm = QString(QChar(0x200E));

} // namespace

TEST(WhatsAppReader, ReadsTheDashFormatWithTwelveHourTimes)
{
    const Transcript chat = WhatsAppReader::parse(QStringLiteral("1/31/25, 9:41 PM - Sam: hey\n"
                                                                 "1/31/25, 12:05 AM - Alex: up late\n"
                                                                 "2/1/25, 12:30 PM - Sam: lunch?\n"),
        {});
    EXPECT_EQ(chat.participants, (QStringList { "Sam", "Alex" }));
    EXPECT_EQ(
        ats(chat), (QStringList { "2025-01-31T21:41:00", "2025-01-31T00:05:00", "2025-02-01T12:30:00" }));
    EXPECT_EQ(texts(chat), (QStringList { "hey", "up late", "lunch?" }));
    EXPECT_EQ(chat.messages.at(1).sender, 1);
}

TEST(WhatsAppReader, ReadsTheBracketedFormatOfTheIPhoneApp)
{
    const QString text = lrm + QStringLiteral("[31/01/2025, 21:41:02] Family: ") + lrm
        + QStringLiteral("Messages and calls are end-to-end encrypted. No one outside of this chat, not even "
                         "WhatsApp, can read or listen to them.\n"
                         "[31/01/2025, 21:41:02] Sam: ")
        + lrm
        + QStringLiteral("Sam created group “Family”\n[31/01/2025, 21:42:10] Sam: hi all\n"
                         "[01/02/2025, 07:03:00] ~\u202FJo Bloggs: morning\n");
    const Transcript chat = WhatsAppReader::parse(text, {});
    EXPECT_EQ(chat.name, "Family");
    EXPECT_EQ(chat.participants, (QStringList { "Sam", "Jo Bloggs" }));
    EXPECT_EQ(ats(chat), (QStringList { "2025-01-31T21:42:10", "2025-02-01T07:03:00" }));
    EXPECT_EQ(texts(chat), (QStringList { "hi all", "morning" }));
}

TEST(WhatsAppReader, TellsDayMonthFromMonthDayByTheWholeFile)
{
    // Only the last line shows the day comes first.
    const Transcript dayFirst = WhatsAppReader::parse(QStringLiteral("03/04/2024, 10:00 - Sam: a\n"
                                                                     "04/04/2024, 10:00 - Sam: b\n"
                                                                     "13/04/2024, 10:00 - Sam: c\n"),
        {});
    EXPECT_EQ(ats(dayFirst).first(), "2024-04-03T10:00:00");
    // Read day first, these dates would go back from April to March.
    const Transcript monthFirst = WhatsAppReader::parse(QStringLiteral("3/4/24, 10:00 - Sam: a\n"
                                                                       "4/2/24, 10:00 - Sam: b\n"
                                                                       "4/3/24, 10:00 - Sam: c\n"),
        {});
    EXPECT_EQ(ats(monthFirst),
        (QStringList { "2024-03-04T10:00:00", "2024-04-02T10:00:00", "2024-04-03T10:00:00" }));
    // Nothing tells them apart: a 12-hour clock means month first, else day first.
    EXPECT_EQ(ats(WhatsAppReader::parse(QStringLiteral("3/4/24, 9:00 AM - Sam: a"), {})).first(),
        "2024-03-04T09:00:00");
    EXPECT_EQ(ats(WhatsAppReader::parse(QStringLiteral("3/4/24, 09:00 - Sam: a"), {})).first(),
        "2024-04-03T09:00:00");
    EXPECT_EQ(ats(WhatsAppReader::parse(QStringLiteral("2024-04-13, 09:00 - Sam: a"), {})),
        (QStringList { "2024-04-13T09:00:00" }));
    EXPECT_EQ(ats(WhatsAppReader::parse(QStringLiteral("31.12.23, 23:59 - Sam: b"), {})),
        (QStringList { "2023-12-31T23:59:00" }));
}

TEST(WhatsAppReader, JoinsContinuationLinesAndSkipsSystemLines)
{
    const Transcript chat
        = WhatsAppReader::parse(QStringLiteral("1/31/25, 9:41 PM - Messages and calls are end-to-end "
                                               "encrypted. Tap to learn more.\n"
                                               "1/31/25, 9:41 PM - Sam: first line\r\n"
                                               "\r\n"
                                               "[not a date] third line\r\n"
                                               "1/31/25, 9:42 PM - Alex added Jo\n"
                                               "1/31/25, 9:43 PM - Alex: fixed it <This message was "
                                               "edited>\n"
                                               "1/31/25, 9:44 PM - Alex: This message was deleted\n"
                                               "1/31/25, 9:45 PM - Jo: ok\n\n"),
            {});
    EXPECT_EQ(texts(chat), (QStringList { "first line\n\n[not a date] third line", "fixed it", "ok" }));
    EXPECT_EQ(chat.participants, (QStringList { "Sam", "Alex", "Jo" }));
    EXPECT_TRUE(chat.name.isEmpty());
}

TEST(WhatsAppReader, TurnsOmittedAndAttachedFilesIntoMedia)
{
    QTemporaryDir dir;
    QFile photo(dir.filePath(QStringLiteral("IMG-20250131-WA0001.jpg")));
    photo.open(QIODevice::WriteOnly);
    photo.write("jpeg");
    photo.close();
    const QString text = QStringLiteral("1/31/25, 9:41 PM - Sam: IMG-20250131-WA0001.jpg (file attached)\n"
                                        "the view\n"
                                        "1/31/25, 9:42 PM - Sam: PTT-20250131-WA0002.opus (file attached)\n"
                                        "1/31/25, 9:43 PM - Sam: <Media omitted>\n"
                                        "[1/31/25, 9:44:00 PM] Alex: ")
        + lrm
        + QStringLiteral("<attached: 00000012-PHOTO-2025-01-31-21-44-00.jpg>\n[1/31/25, 9:45:00 PM] Alex: ")
        + lrm + QStringLiteral("video omitted\n[1/31/25, 9:46:00 PM] Alex: ") + lrm
        + QStringLiteral("Plan.pdf • 3 pages ") + lrm + QStringLiteral("document omitted\n");
    const Transcript chat = WhatsAppReader::parse(text, dir.path());
    ASSERT_EQ(chat.messages.size(), 6);
    EXPECT_EQ(chat.messages.at(0).text, "the view");
    EXPECT_EQ(chat.messages.at(0).attachments.at(0).kind, "photo");
    EXPECT_EQ(chat.messages.at(0).attachments.at(0).path, QFileInfo(photo).absoluteFilePath());
    EXPECT_EQ(chat.messages.at(1).attachments.at(0).kind, "voice memo");
    EXPECT_TRUE(chat.messages.at(1).attachments.at(0).path.isEmpty()); // not beside the chat
    EXPECT_EQ(chat.messages.at(2).attachments.at(0).kind, "file");
    EXPECT_EQ(chat.messages.at(3).attachments.at(0).kind, "photo");
    EXPECT_EQ(chat.messages.at(4).attachments.at(0).kind, "video");
    EXPECT_EQ(chat.messages.at(5).attachments.at(0).kind, "file");
    for (int i = 1; i < 6; ++i)
        EXPECT_TRUE(chat.messages.at(i).text.isEmpty()) << i;
}

TEST(WhatsAppReader, RecognisesChatsByTheirLines)
{
    const WhatsAppReader reader;
    EXPECT_TRUE(reader.recognises("1/31/25, 9:41 PM - Sam: hey"));
    EXPECT_TRUE(reader.recognises("\xEF\xBB\xBF[31/01/2025, 21:41:02] Sam: hey\n"));
    EXPECT_TRUE(reader.recognises("Exported chat\n1/31/25, 9:41 PM - Sam: a\n1/31/25, 9:41 PM - Sam: b\n"
                                  "1/31/25, 9:41 PM - Sam: c\n"));
    EXPECT_FALSE(reader.recognises("Shopping list\n- milk\n- eggs\n"));
    EXPECT_FALSE(reader.recognises("{\"messages\": []}"));
    EXPECT_FALSE(reader.recognises(QByteArray("SQLite format 3\0\x10\0", 19)));
    // UTF-16 with a byte-order mark, as some Windows tools save it.
    const QString line = QStringLiteral("1/31/25, 9:41 PM - Sam: hey");
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char *>(line.utf16()), line.size() * 2);
    EXPECT_TRUE(reader.recognises(utf16));
}
