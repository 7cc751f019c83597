// Text exports of other locales and clients, written line for line as
// they come from the phone or the client.
#include "exportshapes.h"

#include "chatexports.h"

#include <QDateTime>
#include <QFile>

namespace ExportShapes {

namespace {

using ChatExports::fileWriter;
using ChatExports::lrm;
using ChatExports::writeFile;

} // namespace

QList<Shape> whatsAppLocales()
{
    const Shape finnish { QStringLiteral("WhatsApp, Finnish"),
        { { QStringLiteral("Aino Virtanen"), QStringLiteral("Mikko Laine"), QStringLiteral("Mikko Laine"),
            { "Aino Virtanen | 2019-12-24T09:05:33 | Hyvää joulua! 🎄",
                "Mikko Laine | 2019-12-24T09:06:10 | Kiitos, samoin!\nTuletko huomenna saunaan?",
                "Aino Virtanen | 2019-12-24T09:07:02 | Tulen, jos bussi kulkee.\nAikataulu sanoo:\n"
                "25.12.2019 klo 10.15 Kamppi",
                "Mikko Laine | 2019-12-25T14:30:00 | Sauna on lämmin",
                "Aino Virtanen | 2019-12-25T14:31:45 | Olen matkalla",
                "Mikko Laine | 2019-12-31T23:59:59 | Hyvää uutta vuotta! 🎆",
                "Aino Virtanen | 2020-01-01T00:00:12 | Samoin!" } } },
        fileWriter(QStringLiteral("WhatsApp Chat with Aino Virtanen.txt"),
            QStringLiteral(
                "24.12.2019 klo 9.05.33 - Viestit ja puhelut ovat päästä päähän salattuja. Kukaan tämän "
                "keskustelun ulkopuolella, ei edes WhatsApp, voi lukea tai kuunnella niitä.\n"
                "24.12.2019 klo 9.05.33 - Aino Virtanen: Hyvää joulua! 🎄\n"
                "24.12.2019 klo 9.06.10 - Mikko Laine: Kiitos, samoin!\nTuletko huomenna saunaan?\n"
                "24.12.2019 klo 9.07.02 - Aino Virtanen: Tulen, jos bussi kulkee.\nAikataulu sanoo:\n"
                "25.12.2019 klo 10.15 Kamppi\n"
                "25.12.2019 klo 14.30.00 - Mikko Laine: Sauna on lämmin\n"
                "25.12.2019 klo 14.31.45 - Aino Virtanen: Olen matkalla\n"
                "31.12.2019 klo 23.59.59 - Mikko Laine: Hyvää uutta vuotta! 🎆\n"
                "1.1.2020 klo 0.00.12 - Aino Virtanen: Samoin!\n")) };

    // An iPhone set to English with a Croatian region, copied without the
    // brackets.
    const Shape croatian { QStringLiteral("WhatsApp, dotted days without a dash"),
        { { QStringLiteral("Ivana Horvat"), QStringLiteral("Marko Kovač"), QStringLiteral("Marko Kovač"),
            { "Ivana Horvat | 2019-12-24T09:05:33 | Sretan Božić! 🎄",
                "Marko Kovač | 2019-12-24T09:06:10 | Hvala, i tebi!\nVidimo se sutra?",
                "Ivana Horvat | 2019-12-24T09:07:02 | Može. Misa je\n25. 12. 2019. 10:00 u katedrali",
                "Marko Kovač | 2019-12-25T18:30:00 | Stigli smo",
                "Ivana Horvat | 2019-12-25T18:31:45 |  [photo]",
                "Marko Kovač | 2020-01-02T08:00:12 | Sretna Nova godina!" } } },
        fileWriter(QStringLiteral("WhatsApp Chat - Ivana Horvat/_chat.txt"),
            QStringLiteral("24. 12. 2019. 09:05:33 Ivana Horvat: ") + lrm
                + QStringLiteral(
                    "Messages and calls are end-to-end encrypted. No one outside of this chat, not "
                    "even WhatsApp, can read or listen to them.\n"
                    "24. 12. 2019. 09:05:33 Ivana Horvat: Sretan Božić! 🎄\n"
                    "24. 12. 2019. 09:06:10 Marko Kovač: Hvala, i tebi!\nVidimo se sutra?\n"
                    "24. 12. 2019. 09:07:02 Ivana Horvat: Može. Misa je\n"
                    "25. 12. 2019. 10:00 u katedrali\n"
                    "25. 12. 2019. 18:30:00 Marko Kovač: Stigli smo\n"
                    "25. 12. 2019. 18:31:45 Ivana Horvat: ")
                + lrm
                + QStringLiteral("image omitted\n"
                                 "2. 1. 2020. 08:00:12 Marko Kovač: Sretna Nova godina!\n")) };

    const Shape danish { QStringLiteral("WhatsApp, a colon after a dotted time"),
        { { QStringLiteral("Freja Nielsen"), QStringLiteral("Mads Jensen"), QStringLiteral("Mads Jensen"),
            { "Freja Nielsen | 2019-12-24T09:05:33 | Glædelig jul! 🎅",
                "Mads Jensen | 2019-12-24T09:06:10 | I lige måde!\nKommer du i morgen?",
                "Freja Nielsen | 2019-12-24T09:07:02 | Ja. Vi spiser\n25.12.19 12.00: frokost hos mormor",
                "Mads Jensen | 2019-12-25T12:30:00 | Vi er på vej",
                "Freja Nielsen | 2019-12-27T20:15:45 | Tak for i går ❤️" } } },
        fileWriter(QStringLiteral("WhatsApp Chat - Freja Nielsen/_chat.txt"),
            QStringLiteral("24.12.19 09.05.33: Freja Nielsen: ") + lrm
                + QStringLiteral(
                    "Messages and calls are end-to-end encrypted. No one outside of this chat, not "
                    "even WhatsApp, can read or listen to them.\n"
                    "24.12.19 09.05.33: Freja Nielsen: Glædelig jul! 🎅\n"
                    "24.12.19 09.06.10: Mads Jensen: I lige måde!\nKommer du i morgen?\n"
                    "24.12.19 09.07.02: Freja Nielsen: Ja. Vi spiser\n"
                    "25.12.19 12.00: frokost hos mormor\n"
                    "25.12.19 12.30.00: Mads Jensen: Vi er på vej\n"
                    "27.12.19 20.15.45: Freja Nielsen: Tak for i går ❤️\n")) };

    const Shape yearFirst { QStringLiteral("WhatsApp, the year first and a dot after the minutes"),
        { { QStringLiteral("田中 由紀"), QStringLiteral("佐藤 陽翔"), QStringLiteral("佐藤 陽翔"),
            { "田中 由紀 | 2019-12-24T09:05:00 | メリークリスマス！🎄",
                "佐藤 陽翔 | 2019-12-24T09:06:00 | ありがとう！\n明日は何時に会う？",
                "田中 由紀 | 2019-12-24T09:07:00 | 10時に駅で\n2019/12/25 10:00 南口の改札",
                "佐藤 陽翔 | 2019-12-25T10:02:00 | 着いたよ",
                "田中 由紀 | 2019-12-31T23:59:00 | よいお年を！",
                "佐藤 陽翔 | 2020-01-01T00:01:00 | あけましておめでとう 🎍" } } },
        fileWriter(QStringLiteral("WhatsApp Chat with 田中 由紀.txt"),
            QStringLiteral("2019/12/24, 09:05. - メッセージと通話はエンドツーエンドで暗号化されています。\n"
                           "2019/12/24, 09:05. - 田中 由紀: メリークリスマス！🎄\n"
                           "2019/12/24, 09:06. - 佐藤 陽翔: ありがとう！\n明日は何時に会う？\n"
                           "2019/12/24, 09:07. - 田中 由紀: 10時に駅で\n2019/12/25 10:00 南口の改札\n"
                           "2019/12/25, 10:02. - 佐藤 陽翔: 着いたよ\n"
                           "2019/12/31, 23:59. - 田中 由紀: よいお年を！\n"
                           "2020/01/01, 00:01. - 佐藤 陽翔: あけましておめでとう 🎍\n")) };

    const Shape spacedTag { QStringLiteral("WhatsApp, an attached photo with spaces in its tag"),
        { { QStringLiteral("Chloé Tremblay"), QStringLiteral("Liam Wilson"), QStringLiteral("Liam Wilson"),
            { "Chloé Tremblay | 2019-12-24T09:04:00 | Merry Christmas from Montréal! ❄️",
                "Chloé Tremblay | 2019-12-24T09:05:00 |  [photo]",
                "Liam Wilson | 2019-12-24T09:12:00 | Gorgeous!\nWe land at\n26/12/19 4:30 p.m. YUL",
                "Liam Wilson | 2019-12-26T16:45:00 | Landed ✈️",
                "Chloé Tremblay | 2019-12-26T16:46:00 | On my way, see you at arrivals" } } },
        [](const QString &folder) {
            writeFile(folder + QStringLiteral("/00000017-PHOTO-2019-12-24-09-05-33.jpg"),
                ChatExports::photoBytes());
            return fileWriter(QStringLiteral("WhatsApp Chat with Chloé Tremblay.txt"),
                QStringLiteral(
                    "24/12/19, 9:00 a.m. - Messages and calls are end-to-end encrypted. No one outside "
                    "of this chat, not even WhatsApp, can read or listen to them. Tap to learn more.\n"
                    "24/12/19, 9:04 a.m. - Chloé Tremblay: Merry Christmas from Montréal! ❄️\n"
                    "24/12/19, 9:05 a.m. - Chloé Tremblay: < attached: "
                    "00000017-PHOTO-2019-12-24-09-05-33.jpg >\n"
                    "24/12/19, 9:12 a.m. - Liam Wilson: Gorgeous!\nWe land at\n26/12/19 4:30 p.m. YUL\n"
                    "26/12/19, 4:45 p.m. - Liam Wilson: Landed ✈️\n"
                    "26/12/19, 4:46 p.m. - Chloé Tremblay: On my way, see you at arrivals\n"))(folder);
        } };
    return { finnish, croatian, danish, yearFirst, spacedTag };
}

Shape lineUnquoted()
{
    return { QStringLiteral("LINE, lines of a message unquoted"),
        { { QStringLiteral("Haruka Ito & Kenji Mori"), QStringLiteral("Kenji Mori"),
            QStringLiteral("Kenji Mori"),
            { "Haruka Ito | 2019-12-24T21:02:00 | Merry Christmas! 🎄",
                "Kenji Mori | 2019-12-24T21:05:00 | Merry Christmas!\nI left something at your door\n"
                "don't open it until tomorrow",
                "Haruka Ito | 2019-12-24T21:06:00 |  [sticker]",
                "Kenji Mori | 2019-12-24T23:58:00 | Good night\nsee you tomorrow",
                "Haruka Ito | 2019-12-25T00:53:00 | Still awake?\n\nI opened it anyway 😅",
                "Kenji Mori | 2019-12-25T00:55:00 | Of course you did",
                "Haruka Ito | 2019-12-25T09:30:00 |  [photo]",
                "Kenji Mori | 2019-12-25T10:00:00 | ok\n2019/12/31 party at 8?",
                "Haruka Ito | 2019-12-26T08:15:00 | Good morning" } } },
        fileWriter(QStringLiteral("[LINE] Chat with Haruka Ito.txt"),
            QStringLiteral("\uFEFF[LINE] Chat history with Haruka Ito\r\nSaved on: 2019/12/27 21:30\r\n\r\n"
                           "2019/12/24(Tue)\r\n"
                           "21:02\tHaruka Ito\tMerry Christmas! 🎄\r\n"
                           "21:05\tKenji Mori\tMerry Christmas!\r\nI left something at your door\r\n"
                           "don't open it until tomorrow\r\n"
                           "21:06\tHaruka Ito\t[Sticker]\r\n"
                           "23:58\tKenji Mori\t\"Good night\r\nsee you tomorrow\"\r\n\r\n"
                           "2019/12/25(Wed)\r\n"
                           "24:53\tHaruka Ito\tStill awake?\r\n\r\nI opened it anyway 😅\r\n"
                           "24:55\tKenji Mori\tOf course you did\r\n"
                           "09:30\tHaruka Ito\t[Photo]\r\n"
                           "09:31\t\tHaruka Ito unsent a message.\r\n"
                           "10:00\tKenji Mori\tok\r\n2019/12/31 party at 8?\r\n\r\n"
                           "2019/12/26(Thu)\r\n"
                           "08:15\tHaruka Ito\tGood morning\r\n")) };
}

Shape ircMixedEncodings()
{
    return { QStringLiteral("IRC, UTF-8 and Windows-1252 lines mixed"),
        { { QStringLiteral("#kavine"), QStringLiteral("tomas"), QStringLiteral("tomas"),
            { "tomas | 2004-12-24T09:05:00 | labas rytas, ar kas nors čia?",
                "rasa | 2004-12-24T09:06:00 | aišku! kava už 2 €",
                "Mathilde | 2004-12-24T09:07:00 | Joyeux Noël à tous, « café » ?",
                "jonas | 2004-12-24T09:08:00 | „Kalėdų“ stalas jau paruoštas",
                "tomas | 2004-12-24T09:09:00 | *nusišypso*",
                "rasa | 2004-12-24T09:10:00 | “Linksmu švenciu!”",
                "Mathilde | 2004-12-25T09:30:00 | Grüße aus Köln",
                "jonas | 2004-12-25T09:31:00 | ačiū, Mathilde!" } } },
        [](const QString &folder) {
            const QString path = folder + QStringLiteral("/irclogs/IRCnet/#kavine.log");
            writeFile(path,
                "--- Log opened Fri Dec 24 09:00:00 2004\n"
                "09:00 -!- rasa [~rasa@dsl.example.lt] has joined #kavine\n"
                "09:05 < tomas> labas rytas, ar kas nors \xC4\x8Dia?\n"
                "09:06 < rasa> ai\x9Aku! kava u\x9E 2 \x80\n"
                "09:07 < Mathilde> Joyeux No\xEBl \xE0 tous, \xAB caf\xE9 \xBB ?\n"
                "09:08 < jonas> \xE2\x80\x9EKal\xC4\x97"
                "d\xC5\xB3\xE2\x80\x9C stalas jau paruo\xC5\xA1tas\n"
                "09:09  * tomas nusi\xC5\xA1ypso\n"
                "09:10 < rasa> \x93Linksmu \x9Avenciu!\x94\n"
                "--- Day changed Sat Dec 25 2004\n"
                "09:30 < Mathilde> Gr\xFC\xDF"
                "e aus K\xF6ln\n"
                "09:31 < jonas> a\xC4\x8Di\xC5\xAB, Mathilde!\n"
                "--- Log closed Sat Dec 25 10:00:00 2004\n");
            return folder + QStringLiteral("/irclogs");
        } };
}

Shape dircproxy()
{
    return { QStringLiteral("IRC, dircproxy"),
        { { QStringLiteral("#hillwalkers"), QStringLiteral("morag"), QStringLiteral("morag"),
            { "morag | 2019-12-24T09:05:00 | anyone up for Ben Lomond on the 27th?",
                "callum | 2019-12-24T09:06:00 | aye, if the snow holds",
                "callum | 2019-12-24T09:06:00 | *checks the forecast*",
                "ewan | 2019-12-24T09:08:00 | count me in",
                "morag | 2019-12-24T09:09:00 | -5 at the summit, bring layers",
                "isla | 2019-12-27T18:40:00 | made it down, what a day",
                "morag | 2019-12-31T23:59:00 | happy hogmanay!",
                "callum | 2020-01-01T00:01:00 | +1, happy new year all" } } },
        [](const QString &folder) {
            const QString path = folder + QStringLiteral("/dircproxy/logs/#hillwalkers.log");
            writeFile(path,
                "[24 Dec 09:00] *** You connected\n"
                "[24 Dec 09:01] --> ewan (~ewan@cpc1-edin.example.net) has joined #hillwalkers\n"
                "[24 Dec 09:05] <morag!~morag@pool-12.example.net> +anyone up for Ben Lomond on the 27th?\n"
                "[24 Dec 09:06] <callum!~callum@unaffiliated/callum> +aye, if the snow holds\n"
                "[24 Dec 09:06] * callum checks the forecast\n"
                "[24 Dec 09:08] <ewan!~ewan@cpc1-edin.example.net> -count me in\n"
                "[24 Dec 09:09] <morag!~morag@pool-12.example.net> +-5 at the summit, bring layers\n"
                "[24 Dec 09:10] <-- ewan (~ewan@cpc1-edin.example.net) has quit (Ping timeout)\n"
                "[24 Dec 09:12] --- callum is now known as callum_away\n"
                "[24 Dec 09:12] -NickServ!NickServ@services.- This nickname is registered.\n"
                "[27 Dec 18:40] <isla!~isla@host86.example.co.uk> +made it down, what a day\n"
                "[31 Dec 23:59] <morag!~morag@pool-12.example.net> +happy hogmanay!\n"
                "[01 Jan 00:01] <callum!~callum@unaffiliated/callum> ++1, happy new year all\n"
                "[01 Jan 10:30] *** You disconnected\n");
            // The log's days have no year: the file was last written on the last of them.
            QFile file(path);
            file.open(QIODevice::ReadWrite);
            file.setFileTime(
                QDateTime(QDate(2020, 1, 1), QTime(10, 30), Qt::UTC), QFileDevice::FileModificationTime);
            return path;
        } };
}

Shape gmailWithSubjectsAlone()
{
    return { QStringLiteral("Gmail, mail with a subject and no text"),
        { { QStringLiteral("Élodie Martin"), QStringLiteral("Tom Baker"), {},
            { "Élodie Martin | 2019-12-24T08:05:33 | Train arrives 18:40 at St Pancras",
                "Tom Baker | 2019-12-24T08:20:00 | I'll be there with a sign.",
                "Tom Baker | 2019-12-25T10:00:00 | Merry Christmas! 🎄",
                "Élodie Martin | 2019-12-26T20:15:00 | Thank you for everything" } } },
        fileWriter(QStringLiteral("Takeout/Mail/All mail Including Spam and Trash.mbox"),
            QStringLiteral("From 1653870223347391912@xxx Tue Dec 24 08:05:33 +0000 2019\r\n"
                           "X-GM-THRID: 1653870223347391912\r\n"
                           "X-Gmail-Labels: Inbox,Opened\r\n"
                           "MIME-Version: 1.0\r\n"
                           "Date: Tue, 24 Dec 2019 09:05:33 +0100\r\n"
                           "Message-ID: <CAF1x@mail.gmail.com>\r\n"
                           "Subject: Train arrives 18:40 at St Pancras\r\n"
                           "From: =?UTF-8?Q?=C3=89lodie_Martin?= <elodie@example.fr>\r\n"
                           "To: Tom Baker <tom@example.co.uk>\r\n"
                           "Content-Type: multipart/alternative; boundary=\"000000000000a1b2c3\"\r\n\r\n"
                           "--000000000000a1b2c3\r\nContent-Type: text/plain; charset=\"UTF-8\"\r\n\r\n\r\n"
                           "--000000000000a1b2c3\r\nContent-Type: text/html; charset=\"UTF-8\"\r\n\r\n"
                           "<div dir=\"ltr\"><br></div>\r\n\r\n"
                           "--000000000000a1b2c3--\r\n\r\n"
                           "From 1653871167233008003@xxx Tue Dec 24 08:20:00 +0000 2019\r\n"
                           "X-GM-THRID: 1653870223347391912\r\n"
                           "X-Gmail-Labels: Sent\r\n"
                           "Date: Tue, 24 Dec 2019 08:20:00 +0000\r\n"
                           "In-Reply-To: <CAF1x@mail.gmail.com>\r\n"
                           "Subject: Re: Train arrives 18:40 at St Pancras\r\n"
                           "From: Tom Baker <tom@example.co.uk>\r\n"
                           "To: =?UTF-8?Q?=C3=89lodie_Martin?= <elodie@example.fr>\r\n"
                           "Content-Type: text/plain; charset=\"UTF-8\"\r\n\r\n"
                           "I'll be there with a sign.\r\n\r\n"
                           "On Tue, 24 Dec 2019 at 08:05, Élodie Martin <elodie@example.fr> wrote:\r\n"
                           "> \r\n\r\n"
                           "From 1653962121112223334@xxx Wed Dec 25 10:00:00 +0000 2019\r\n"
                           "X-Gmail-Labels: Sent\r\n"
                           "Date: Wed, 25 Dec 2019 10:00:00 +0000\r\n"
                           "Subject: =?UTF-8?B?TWVycnkgQ2hyaXN0bWFzISDwn46E?=\r\n"
                           "From: Tom Baker <tom@example.co.uk>\r\n"
                           "To: elodie@example.fr\r\n"
                           "Content-Type: text/plain; charset=\"UTF-8\"\r\n\r\n\r\n"
                           "From 1654081590001112225@xxx Thu Dec 26 20:15:00 +0000 2019\r\n"
                           "X-Gmail-Labels: Inbox\r\n"
                           "Date: Thu, 26 Dec 2019 21:15:00 +0100\r\n"
                           "Subject: Thank you for everything\r\n"
                           "From: =?UTF-8?Q?=C3=89lodie_Martin?= <elodie@example.fr>\r\n"
                           "To: Tom Baker <tom@example.co.uk>\r\n\r\n")) };
}

Shape thunderbirdOfSubjectsAlone()
{
    const QByteArray photo = ChatExports::photoBytes().toBase64();
    return { QStringLiteral("Thunderbird, every mail in its subject"),
        { { QStringLiteral("Kofi Mensah & Ama Owusu"), QStringLiteral("Ama Owusu"),
            QStringLiteral("Ama Owusu"),
            { "Kofi Mensah | 2020-01-06T07:30:00 | Bus is late, start without me",
                "Ama Owusu | 2020-01-06T07:42:00 | No rush, we saved you a seat",
                "Kofi Mensah | 2020-01-07T18:05:10 | Photos from Sunday [photo]",
                "Ama Owusu | 2020-01-08T12:00:00 | Medaase 🙏" } } },
        fileWriter(QStringLiteral("Local Folders/Kofi.mbox"),
            QStringLiteral("From - Mon Jan 06 07:30:00 2020\n"
                           "X-Mozilla-Status: 0001\nX-Mozilla-Status2: 00000000\n"
                           "Date: Mon, 06 Jan 2020 07:30:00 +0000\n"
                           "From: Kofi Mensah <kofi@example.com>\n"
                           "To: Ama Owusu <ama@example.com>\n"
                           "Subject: Bus is late, start without me\n"
                           "Message-ID: <k1@example.com>\n"
                           "MIME-Version: 1.0\n"
                           "Content-Type: text/plain; charset=UTF-8; format=flowed\n"
                           "Content-Transfer-Encoding: 7bit\n\n\n"
                           "From - Mon Jan 06 07:42:00 2020\n"
                           "X-Mozilla-Status: 0001\n"
                           "Date: Mon, 06 Jan 2020 07:42:00 +0000\n"
                           "From: Ama Owusu <ama@example.com>\n"
                           "To: Kofi Mensah <kofi@example.com>\n"
                           "Subject: No rush, we saved you a seat\n"
                           "Content-Type: text/plain; charset=UTF-8\n\n\n"
                           "From - Tue Jan 07 18:05:10 2020\n"
                           "Date: Tue, 07 Jan 2020 18:05:10 +0000\n"
                           "From: Kofi Mensah <kofi@example.com>\n"
                           "To: Ama Owusu <ama@example.com>\n"
                           "Subject: Photos from Sunday\n"
                           "Content-Type: multipart/mixed; boundary=\"------------k3\"\n\n"
                           "This is a multi-part message in MIME format.\n"
                           "--------------k3\nContent-Type: text/plain; charset=UTF-8\n\n\n"
                           "--------------k3\nContent-Type: image/jpeg; name=\"IMG_2041.jpg\"\n"
                           "Content-Disposition: attachment; filename=\"IMG_2041.jpg\"\n"
                           "Content-Transfer-Encoding: base64\n\n")
                + QString::fromLatin1(photo)
                + QStringLiteral("\n--------------k3--\n\n"
                                 "From - Wed Jan 08 12:00:00 2020\n"
                                 "Date: Wed, 08 Jan 2020 12:00:00 +0000\n"
                                 "From: Ama Owusu <ama@example.com>\n"
                                 "To: Kofi Mensah <kofi@example.com>\n"
                                 "Subject: =?UTF-8?Q?Medaase_=F0=9F=99=8F?=\n\n")) };
}

QList<Shape> all()
{
    return QList<Shape> { whatsAppStoreBeforeTheMove(), whatsAppStoreDuringTheMove(),
        whatsAppStoreWithoutChatList() }
    + whatsAppLocales() + whatsAppHeaderLookalikes()
        + QList<Shape> { lineUnquoted(), lineDateAfterABlankLine(), ircMixedEncodings(), dircproxy(), mirc(),
              gmailWithSubjectsAlone(), thunderbirdOfSubjectsAlone(), mailboxAfterABlankLine(),
              mailInLatin9(), telegramMediaLeftOut(), smsBackupCutShort(), signalExportCutShort(),
              instagramPolls(), messengerPolls() };
}

} // namespace ExportShapes
