// Files as other clients and tools write them: a mailbox after a blank
// line, mail in Latin-9, a Telegram page with media left out, and backups
// cut short, the messages before the cut all whole.
#include "chatexports.h"
#include "exportshapes.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ExportShapes {

namespace {

using ChatExports::photoBytes;
using ChatExports::writeFile;

// A Telegram message box as the desktop app writes it; joined ones go on
// from the sender above.
QByteArray telegramMessage(int id, const QByteArray &title, const QByteArray &from, const QByteArray &body)
{
    const bool joined = from.isEmpty();
    QByteArray html = "     <div class=\"message default clearfix" + QByteArray(joined ? " joined" : "")
        + "\" id=\"message" + QByteArray::number(id) + "\">\n";
    if (!joined)
        html += "      <div class=\"pull_left userpic_wrap\">\n       <div class=\"userpic userpic2\" "
                "style=\"width: 42px; height: 42px\">\n        <div class=\"initials\" style=\"line-height: "
                "42px\">A</div>\n       </div>\n      </div>\n";
    html += "      <div class=\"body\">\n       <div class=\"pull_right date details\" title=\"" + title
        + "\">" + title.mid(11, 5) + "</div>\n";
    if (!joined)
        html += "       <div class=\"from_name\">\n" + from + "\n       </div>\n";
    return html + body + "      </div>\n     </div>\n";
}

// A box of media the export left out, as it stands in place of the file.
QByteArray leftOut(const QByteArray &kindClass, const QByteArray &title, const QByteArray &details)
{
    return "       <div class=\"media_wrap clearfix\">\n        <div class=\"media clearfix pull_left "
        + kindClass
        + "\">\n         <div class=\"fill pull_left\">\n         </div>\n         <div class=\"body\">\n"
          "          <div class=\"title bold\">\n"
        + title
        + "\n          </div>\n          <div class=\"status details\">\nNot included, change data "
          "exporting settings to download.\n          </div>\n          <div class=\"status details\">\n"
        + details + "\n          </div>\n         </div>\n        </div>\n       </div>\n";
}

QByteArray telegramDay(int id, const QByteArray &day)
{
    return "     <div class=\"message service\" id=\"message-" + QByteArray::number(id)
        + "\">\n      <div class=\"body details\">\n" + day + "\n      </div>\n     </div>\n";
}

} // namespace

Shape mailboxAfterABlankLine()
{
    return { QStringLiteral("mbox, a blank line before the first mail"),
        { { QStringLiteral("Élodie Martin & Tom Baker"), QStringLiteral("Tom Baker"),
            QStringLiteral("Tom Baker"),
            { "Élodie Martin | 2019-12-24T08:05:33 | Train arrives 18:40\nSee you at St Pancras?",
                "Tom Baker | 2019-12-24T08:20:00 | I'll be there with a sign.",
                "Élodie Martin | 2019-12-26T20:15:00 | Thank you for everything [photo]" } } },
        ChatExports::fileWriter(QStringLiteral("Export/Élodie.mbox"),
            "\n"
            "From elodie@example.fr Tue Dec 24 08:05:33 2019\n"
            "Date: Tue, 24 Dec 2019 09:05:33 +0100\n"
            "From: =?UTF-8?Q?=C3=89lodie_Martin?= <elodie@example.fr>\n"
            "To: Tom Baker <tom@example.co.uk>\n"
            "Subject: Arrival\n"
            "Message-ID: <e1@example.fr>\n"
            "MIME-Version: 1.0\n"
            "Content-Type: text/plain; charset=UTF-8\n"
            "Content-Transfer-Encoding: 8bit\n\n"
            "Train arrives 18:40\nSee you at St Pancras?\n\n"
            "From tom@example.co.uk Tue Dec 24 08:20:00 2019\n"
            "Date: Tue, 24 Dec 2019 08:20:00 +0000\n"
            "From: Tom Baker <tom@example.co.uk>\n"
            "To: =?UTF-8?Q?=C3=89lodie_Martin?= <elodie@example.fr>\n"
            "Subject: Re: Arrival\n"
            "In-Reply-To: <e1@example.fr>\n"
            "Content-Type: text/plain; charset=UTF-8\n\n"
            "I'll be there with a sign.\n\n"
            "On Tue, 24 Dec 2019 at 08:05, \xC3\x89lodie Martin <elodie@example.fr> wrote:\n"
            "> Train arrives 18:40\n\n"
            "From elodie@example.fr Thu Dec 26 20:15:00 2019\n"
            "Date: Thu, 26 Dec 2019 21:15:00 +0100\n"
            "From: =?UTF-8?Q?=C3=89lodie_Martin?= <elodie@example.fr>\n"
            "To: Tom Baker <tom@example.co.uk>\n"
            "Subject: Merci\n"
            "Content-Type: multipart/mixed; boundary=\"b1\"\n\n"
            "--b1\nContent-Type: text/plain; charset=UTF-8\n\nThank you for everything\n"
            "--b1\nContent-Type: image/jpeg; name=\"IMG_2041.jpg\"\n"
            "Content-Disposition: attachment; filename=\"IMG_2041.jpg\"\n"
            "Content-Transfer-Encoding: base64\n\n"
                + photoBytes().toBase64() + "\n--b1--\n\n") };
}

Shape mailInLatin9()
{
    return { QStringLiteral("mbox, mail in ISO-8859-15"),
        { { QStringLiteral("Aino Virtanen & Mikko Laine"), QStringLiteral("Mikko Laine"),
            QStringLiteral("Mikko Laine"),
            { "Aino Virtanen | 2019-12-20T10:00:00 | Lippu maksaa 20 €.\nNähdään asemalla!",
                "Mikko Laine | 2019-12-20T12:30:00 | Kiitos! Maksoin 20 € tilillesi.",
                "Aino Virtanen | 2019-12-21T09:00:00 | Kuitti: 20 €" } } },
        ChatExports::fileWriter(QStringLiteral("Mail/Inbox.mbox"),
            QByteArray("From aino@example.fi Fri Dec 20 10:00:00 2019\n"
                       "Date: Fri, 20 Dec 2019 12:00:00 +0200\n"
                       "From: Aino Virtanen <aino@example.fi>\n"
                       "To: Mikko Laine <mikko@example.fi>\n"
                       "Subject: Lippu\n"
                       "MIME-Version: 1.0\n"
                       "Content-Type: text/plain; charset=\"iso-8859-15\"\n"
                       "Content-Transfer-Encoding: quoted-printable\n\n"
                       "Lippu maksaa 20 =A4.\nN=E4hd=E4=E4n asemalla!\n\n"
                       "From mikko@example.fi Fri Dec 20 12:30:00 2019\n"
                       "Date: Fri, 20 Dec 2019 14:30:00 +0200\n"
                       "From: Mikko Laine <mikko@example.fi>\n"
                       "To: Aino Virtanen <aino@example.fi>\n"
                       "Subject: Re: Lippu\n"
                       "Content-Type: text/plain; charset=ISO-8859-15\n"
                       "Content-Transfer-Encoding: 8bit\n\n"
                       "Kiitos! Maksoin 20 \xA4 tilillesi.\n\n"
                       "From aino@example.fi Sat Dec 21 09:00:00 2019\n"
                       "Date: Sat, 21 Dec 2019 11:00:00 +0200\n"
                       "From: Aino Virtanen <aino@example.fi>\n"
                       "To: Mikko Laine <mikko@example.fi>\n"
                       "Subject: =?ISO-8859-15?Q?Kuitti:_20_=A4?=\n"
                       "Content-Type: text/plain; charset=ISO-8859-15\n\n\n")) };
}

Shape telegramMediaLeftOut()
{
    return { QStringLiteral("Telegram HTML, media left out of the export"),
        { { QStringLiteral("Aino Virtanen"), QStringLiteral("Mikko Laine"), QStringLiteral("Mikko Laine"),
            { "Aino Virtanen | 2019-12-24T09:05:33 | Hyvää joulua! 🎄",
                "Aino Virtanen | 2019-12-24T09:06:00 |  [photo]",
                "Mikko Laine | 2019-12-24T09:10:00 |  [video]",
                "Mikko Laine | 2019-12-24T09:10:30 |  [voice memo]",
                "Aino Virtanen | 2019-12-24T09:12:00 | Kuusi on valmis [photo]",
                "Mikko Laine | 2019-12-24T09:15:00 |  [file]",
                "Aino Virtanen | 2019-12-25T14:30:00 | Sauna on lämmin\nTule pian",
                "Mikko Laine | 2019-12-25T14:31:00 | Tulossa!" } } },
        [](const QString &folder) {
            const QString root = folder + QStringLiteral("/ChatExport_2020-01-02");
            writeFile(root + QStringLiteral("/photos/photo_1@24-12-2019_09-06-00.jpg"), photoBytes());
            writeFile(root + QStringLiteral("/messages.html"),
                "<!DOCTYPE html>\n<html>\n <head>\n  <meta charset=\"utf-8\"/>\n  <title>Exported "
                "Data</title>\n"
                "  <link href=\"css/style.css\" rel=\"stylesheet\"/>\n </head>\n <body>\n"
                "  <div class=\"page_wrap\">\n   <div class=\"page_header\">\n    <div class=\"content\">\n"
                "     <div class=\"text bold\">\nAino Virtanen\n     </div>\n    </div>\n   </div>\n"
                "   <div class=\"page_body chat_page\">\n    <div class=\"history\">\n"
                    + telegramDay(-1, "24 December 2019")
                    + telegramMessage(1, "24.12.2019 09:05:33 UTC+00:00", "Aino Virtanen",
                        "       <div class=\"text\">\nHyvää joulua! 🎄\n       </div>\n")
                    + telegramMessage(2, "24.12.2019 09:06:00 UTC+00:00", {},
                        "       <div class=\"media_wrap clearfix\">\n        <a class=\"photo_wrap clearfix "
                        "pull_left\" href=\"photos/photo_1@24-12-2019_09-06-00.jpg\">\n         <img "
                        "class=\"photo\" src=\"photos/photo_1@24-12-2019_09-06-00.jpg_thumb.jpg\" "
                        "style=\"width: 260px; height: 195px\"/>\n        </a>\n       </div>\n")
                    + telegramMessage(3, "24.12.2019 09:10:00 UTC+00:00", "Mikko Laine",
                        leftOut("media_video", "Video message", "00:12, 1.1 MB"))
                    + telegramMessage(4, "24.12.2019 09:10:30 UTC+00:00", {},
                        leftOut("media_voice_message", "Voice message", "00:07, 24.3 KB"))
                    + telegramMessage(5, "24.12.2019 09:12:00 UTC+00:00", "Aino Virtanen",
                        leftOut("media_photo", "Photo", "1280x960, 187.2 KB")
                            + "       <div class=\"text\">\nKuusi on valmis\n       </div>\n")
                    + telegramMessage(6, "24.12.2019 09:15:00 UTC+00:00", "Mikko Laine",
                        leftOut("media_file", "lippu.pdf", "88.1 KB"))
                    + telegramDay(-2, "25 December 2019")
                    + telegramMessage(7, "25.12.2019 14:30:00 UTC+00:00", "Aino Virtanen",
                        "       <div class=\"text\">\nSauna on lämmin<br>Tule pian\n       </div>\n")
                    + telegramMessage(8, "25.12.2019 14:31:00 UTC+00:00", "Mikko Laine",
                        "       <div class=\"text\">\nTulossa!\n       </div>\n")
                    + "    </div>\n   </div>\n  </div>\n </body>\n</html>\n");
            return root;
        } };
}

Shape smsBackupCutShort()
{
    // A week with Aino and Mikko, a draft among it, broken off inside the
    // fiftieth message.
    const QDateTime start(QDate(2024, 3, 4), QTime(8, 0), Qt::UTC);
    QByteArray xml = "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n"
                     "<!--File Created By SMS Backup & Restore v10.20.002 on 11/03/2024 10:00:00-->\n"
                     "<smses count=\"51\" backup_set=\"8c2e\" backup_date=\"1710151200000\" type=\"full\">\n";
    Chat aino { QStringLiteral("Aino Virtanen"), QStringLiteral("Me"), {}, {} };
    Chat mikko { QStringLiteral("Mikko Laine"), QStringLiteral("Me"), {}, {} };
    QByteArray cut;
    for (int i = 0; i < 50; ++i) {
        const QDateTime at = start.addSecs(qint64(i) * 3 * 3600 + i * 61);
        const bool withAino = i % 3 != 2;
        const bool sent = i % 2 == 1;
        const QString text = i % 7 == 3 ? QStringLiteral("rivi %1\ntoinen rivi").arg(i)
                                        : QStringLiteral("viesti %1 ☕ & <3").arg(i);
        const QByteArray body
            = text.toUtf8().replace("&", "&amp;").replace("<", "&lt;").replace("\n", "&#10;");
        const QByteArray record = "  <sms protocol=\"0\" address=\""
            + QByteArray(withAino ? "+358 40 1234567" : "+358507654321") + "\" date=\""
            + QByteArray::number(at.toMSecsSinceEpoch()) + "\" type=\"" + (sent ? "2" : "1")
            + "\" subject=\"null\" body=\"" + body
            + "\" toa=\"null\" sc_toa=\"null\" service_center=\"null\" read=\"1\" status=\"-1\" "
              "locked=\"0\" date_sent=\"0\" sub_id=\"1\" readable_date=\""
            + at.toString(QStringLiteral("MMM d, yyyy h:mm:ss AP")).toUtf8() + "\" contact_name=\""
            + QByteArray(withAino ? "Aino Virtanen" : "Mikko Laine") + "\" />\n";
        if (i == 49) {
            cut = record.left(record.size() / 2);
            break;
        }
        xml += record;
        if (i == 20)
            xml += "  <sms protocol=\"0\" address=\"+358401234567\" date=\""
                + QByteArray::number(at.addSecs(30).toMSecsSinceEpoch())
                + "\" type=\"3\" body=\"luonnos\" contact_name=\"Aino Virtanen\" />\n";
        const QString sender = sent ? QStringLiteral("Me") : (withAino ? aino.key : mikko.key);
        (withAino ? aino : mikko)
            .messages.append(sender + QStringLiteral(" | ")
                + at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QStringLiteral(" | ") + text);
    }
    return { QStringLiteral("SMS Backup & Restore, cut off inside a message"), { aino, mikko },
        ChatExports::fileWriter(QStringLiteral("sms-20240311100000.xml"), xml + cut) };
}

Shape signalExportCutShort()
{
    const auto line = [](const QString &date, const QString &sender, const QString &body) {
        return QJsonDocument(QJsonObject { { "date", date }, { "sender", sender }, { "body", body },
                                 { "quote", "" }, { "sticker", QJsonValue() }, { "reactions", QJsonArray() },
                                 { "attachments", QJsonArray() }, { "deleted", false }, { "call", false },
                                 { "missed", false } })
                   .toJson(QJsonDocument::Compact)
            + '\n';
    };
    const QByteArray last = line("2024-03-07T09:00:00", "Aino", "ja viimeinen");
    return { QStringLiteral("signal-export JSON lines, cut off inside a line"),
        { { QStringLiteral("Aino"), QStringLiteral("Me"), {},
            { "Aino | 2024-03-05T21:14:00 | Moi!\nMitä kuuluu?", "Me | 2024-03-05T21:15:00 | Hyvää 👋",
                "Aino | 2024-03-06T08:00:00 | Huomenta" } } },
        ChatExports::fileWriter(QStringLiteral("signal-chats/Aino/data.json"),
            line("2024-03-05T21:14:00", "Aino", "Moi!\nMitä kuuluu?")
                + line("2024-03-05T21:15:00", "Me", "Hyvää 👋")
                + line("2024-03-06T08:00:00", "Aino", "Huomenta") + last.left(last.size() / 2)) };
}

} // namespace ExportShapes
