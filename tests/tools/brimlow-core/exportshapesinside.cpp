// Exports whose messages hold lines that look like something else: a date
// and time in the words of a WhatsApp message, a date in a LINE message, a
// client's own notices in an IRC log; written line for line as the phone or
// client writes them.
#include "chatexports.h"
#include "exportshapes.h"

namespace ExportShapes {

namespace {

using ChatExports::fileWriter;
using ChatExports::lrm;

} // namespace

QList<Shape> whatsAppHeaderLookalikes()
{
    // An iPhone set to English with a Finnish region.
    const Shape finnishIPhone { QStringLiteral("WhatsApp, Finnish iPhone, a dashed time in a message"),
        { { QStringLiteral("Aino Virtanen"), QStringLiteral("Mikko Laine"), QStringLiteral("Mikko Laine"),
            { "Aino Virtanen | 2019-12-24T09:05:33 | Hyvää joulua! 🎄",
                "Mikko Laine | 2019-12-24T09:06:10 | Ohjelma huomenna:\n25.12.2019 klo 10.00 - kirkko\n"
                "Tuletko mukaan?",
                "Aino Virtanen | 2019-12-24T09:07:02 |  [photo]",
                "Aino Virtanen | 2019-12-24T09:07:40 | Tulen!\n[25.12.2019 klo 12.00] lounas",
                "Mikko Laine | 2019-12-25T14:30:00 | Sauna on lämmin",
                "Aino Virtanen | 2020-01-01T00:00:12 | Hyvää uutta vuotta! 🎆" } } },
        fileWriter(QStringLiteral("WhatsApp Chat - Aino Virtanen/_chat.txt"),
            QStringLiteral("[24.12.2019 klo 9.05.33] Aino Virtanen: ") + lrm
                + QStringLiteral("Messages and calls are end-to-end encrypted. No one outside of this chat, "
                                 "not even WhatsApp, can read or listen to them.\n"
                                 "[24.12.2019 klo 9.05.33] Aino Virtanen: Hyvää joulua! 🎄\n"
                                 "[24.12.2019 klo 9.06.10] Mikko Laine: Ohjelma huomenna:\n"
                                 "25.12.2019 klo 10.00 - kirkko\n"
                                 "Tuletko mukaan?\n"
                                 "[24.12.2019 klo 9.07.02] Aino Virtanen: ")
                + lrm
                + QStringLiteral("image omitted\n"
                                 "[24.12.2019 klo 9.07.40] Aino Virtanen: Tulen!\n"
                                 "[25.12.2019 klo 12.00] lounas\n"
                                 "[25.12.2019 klo 14.30.00] Mikko Laine: Sauna on lämmin\n"
                                 "[1.1.2020 klo 0.00.12] Aino Virtanen: Hyvää uutta vuotta! 🎆\n")) };

    const Shape spaced { QStringLiteral("WhatsApp, the space form, a dashed time in a message"),
        { { QStringLiteral("Ivana Horvat"), QStringLiteral("Marko Kovač"), QStringLiteral("Marko Kovač"),
            { "Ivana Horvat | 2019-12-24T09:05:33 | Sretan Božić! 🎄",
                "Marko Kovač | 2019-12-24T09:06:10 | Raspored:\n25.12.2019 10:00 - misa\nDolaziš?",
                "Ivana Horvat | 2019-12-24T09:07:02 |  [photo]",
                "Marko Kovač | 2019-12-26T18:30:00 | Stigli smo" } } },
        fileWriter(QStringLiteral("WhatsApp Chat - Ivana Horvat/_chat.txt"),
            QStringLiteral("24. 12. 2019. 09:05:33 Ivana Horvat: ") + lrm
                + QStringLiteral("Messages and calls are end-to-end encrypted. No one outside of this chat, "
                                 "not even WhatsApp, can read or listen to them.\n"
                                 "24. 12. 2019. 09:05:33 Ivana Horvat: Sretan Božić! 🎄\n"
                                 "24. 12. 2019. 09:06:10 Marko Kovač: Raspored:\n"
                                 "25.12.2019 10:00 - misa\n"
                                 "Dolaziš?\n"
                                 "24. 12. 2019. 09:07:02 Ivana Horvat: ")
                + lrm
                + QStringLiteral("image omitted\n"
                                 "26. 12. 2019. 18:30:00 Marko Kovač: Stigli smo\n")) };

    const Shape finnishAndroid { QStringLiteral("WhatsApp, Finnish Android, a bracketed time in a message"),
        { { QStringLiteral("Aino Virtanen"), QStringLiteral("Mikko Laine"), QStringLiteral("Mikko Laine"),
            { "Aino Virtanen | 2019-12-24T09:05:00 | Hyvää joulua! 🎄",
                "Mikko Laine | 2019-12-24T09:06:00 | Ohjelma huomenna:\n[25.12.2019 klo 10.00.00] kirkko\n"
                "Tuletko mukaan?",
                "Aino Virtanen | 2019-12-24T09:07:00 |  [photo]",
                "Mikko Laine | 2019-12-25T14:30:00 | Sauna on lämmin",
                "Aino Virtanen | 2020-01-01T00:00:00 | Hyvää uutta vuotta! 🎆" } } },
        fileWriter(QStringLiteral("WhatsApp Chat with Aino Virtanen.txt"),
            QStringLiteral("24.12.2019 klo 9.05 - Viestit ja puhelut ovat päästä päähän salattuja.\n"
                           "24.12.2019 klo 9.05 - Aino Virtanen: Hyvää joulua! 🎄\n"
                           "24.12.2019 klo 9.06 - Mikko Laine: Ohjelma huomenna:\n"
                           "[25.12.2019 klo 10.00.00] kirkko\n"
                           "Tuletko mukaan?\n"
                           "24.12.2019 klo 9.07 - Aino Virtanen: IMG-20191224-WA0003.jpg (file attached)\n"
                           "25.12.2019 klo 14.30 - Mikko Laine: Sauna on lämmin\n"
                           "1.1.2020 klo 0.00 - Aino Virtanen: Hyvää uutta vuotta! 🎆\n")) };

    const Shape french { QStringLiteral("WhatsApp, French Android"),
        // Named after the person in French: the key is made of the people.
        { { QStringLiteral("Camille Durand & Hugo Petit"), QStringLiteral("Hugo Petit"),
            QStringLiteral("Hugo Petit"),
            { "Camille Durand | 2017-07-12T22:35:00 | Tu arrives quand ?",
                "Hugo Petit | 2017-07-12T22:36:00 | Demain matin\nle train de 8 h",
                "Camille Durand | 2017-07-12T22:37:00 |  [file]",
                "Hugo Petit | 2017-07-14T09:00:00 | Bon 14 juillet ! 🎆",
                "Camille Durand | 2017-08-01T18:20:00 | Merci pour tout" } } },
        fileWriter(QStringLiteral("Discussion WhatsApp avec Camille Durand.txt"),
            QStringLiteral("12/07/2017 à 22:34 - Les messages envoyés dans cette discussion sont désormais "
                           "protégés avec le chiffrement de bout en bout.\n"
                           "12/07/2017 à 22:35 - Camille Durand: Tu arrives quand ?\n"
                           "12/07/2017 à 22:36 - Hugo Petit: Demain matin\nle train de 8 h\n"
                           "12/07/2017 à 22:37 - Camille Durand: <Médias omis>\n"
                           "14/07/2017 à 09:00 - Hugo Petit: Bon 14 juillet ! 🎆\n"
                           "01/08/2017 à 18:20 - Camille Durand: Merci pour tout\n")) };
    return { finnishIPhone, spaced, finnishAndroid, french };
}

Shape lineDateAfterABlankLine()
{
    return { QStringLiteral("LINE, a date after a blank line inside a message"),
        { { QStringLiteral("Haruka Ito & Kenji Mori"), QStringLiteral("Kenji Mori"),
            QStringLiteral("Kenji Mori"),
            { "Haruka Ito | 2019-12-24T21:02:00 | Merry Christmas! 🎄",
                "Kenji Mori | 2019-12-24T21:05:00 | Plans for the holidays:\n\n2019/12/31 party at Kenji's\n"
                "2020/01/01 hike up Takao",
                "Haruka Ito | 2019-12-24T21:06:00 |  [sticker]",
                "Haruka Ito | 2019-12-25T09:30:00 |  [photo]",
                "Kenji Mori | 2019-12-25T09:31:00 | Nice!\nWhere is that?",
                "Haruka Ito | 2019-12-31T20:00:00 | On my way" } } },
        fileWriter(QStringLiteral("[LINE] Chat with Haruka Ito.txt"),
            QStringLiteral("\uFEFF[LINE] Chat history with Haruka Ito\r\nSaved on: 2020/01/02 10:00\r\n\r\n"
                           "2019/12/24(Tue)\r\n"
                           "21:02\tHaruka Ito\tMerry Christmas! 🎄\r\n"
                           "21:05\tKenji Mori\tPlans for the holidays:\r\n\r\n"
                           "2019/12/31 party at Kenji's\r\n"
                           "2020/01/01 hike up Takao\r\n"
                           "21:06\tHaruka Ito\t[Sticker]\r\n"
                           "21:07\t\tHaruka Ito unsent a message.\r\n\r\n"
                           "2019/12/25(Wed)\r\n"
                           "09:30\tHaruka Ito\t[Photo]\r\n"
                           "09:31\tKenji Mori\tNice!\r\nWhere is that?\r\n\r\n"
                           "2019/12/31(Tue)\r\n"
                           "20:00\tHaruka Ito\tOn my way\r\n")) };
}

Shape mirc()
{
    return { QStringLiteral("IRC, mIRC"),
        { { QStringLiteral("#kavine"), QStringLiteral("tomas"), QStringLiteral("tomas"),
            { "tomas | 2004-12-24T09:05:00 | labas rytas, ar kas nors čia?",
                "rasa | 2004-12-24T09:06:00 | aišku! kava už 2 €", "tomas | 2004-12-24T09:07:00 | *mojuoja*",
                "jonas | 2004-12-24T09:09:00 | iki", "tomas | 2004-12-24T23:50:00 | labanakt",
                "rasa | 2004-12-26T10:15:00 | su Kalėdom!", "tomas | 2004-12-27T18:01:00 | grįžau" } } },
        fileWriter(QStringLiteral("mIRC/logs/#kavine.IRCnet.log"),
            QStringLiteral("\r\nSession Start: Fri Dec 24 09:00:00 2004\r\n"
                           "Session Ident: #kavine\r\n"
                           "[09:00] * Now talking in #kavine\r\n"
                           "[09:00] * Topic is 'Kalėdos kavinėje ☕'\r\n"
                           "[09:00] * Set by rasa!~rasa@dsl.example.lt on Thu Dec 23 22:10:00\r\n"
                           "[09:01] * Joins: jonas (~jonas@dsl.example.lt)\r\n"
                           "[09:05] <tomas> labas rytas, ar kas nors čia?\r\n"
                           "[09:06] <@rasa> aišku! kava už 2 €\r\n"
                           "[09:07] * tomas mojuoja\r\n"
                           "[09:08] * rasa sets mode: +v jonas\r\n"
                           "[09:09] <+jonas> iki\r\n"
                           "[09:10] * Parts: jonas (~jonas@dsl.example.lt)\r\n"
                           "[23:50] <tomas> labanakt\r\n"
                           "Session Time: Sat Dec 25 00:00:00 2004\r\n"
                           "Session Time: Sun Dec 26 00:00:00 2004\r\n"
                           "[10:15] <@rasa> su Kalėdom!\r\n"
                           "[10:16] * Quits: jonas (~jonas@dsl.example.lt) (Quit: iki)\r\n"
                           "Session Close: Sun Dec 26 11:00:00 2004\r\n\r\n"
                           "Session Start: Mon Dec 27 18:00:00 2004\r\n"
                           "Session Ident: #kavine\r\n"
                           "[18:00] * Now talking in #kavine\r\n"
                           "[18:00] * Topic is 'Kalėdos kavinėje ☕'\r\n"
                           "[18:01] <tomas> grįžau\r\n"
                           "Session Close: Mon Dec 27 19:00:00 2004\r\n")) };
}

} // namespace ExportShapes
