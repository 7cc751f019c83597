#include "chatexports.h"
#include "chatlog.h"
#include "printers.h"
#include "whatsappreader.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Brimlow;
using ChatExports::lrm;

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

namespace {

// A German group export from an Android phone, written as the app writes
// it: the group's events in German, files with their name on the next
// line, left-out media, a deleted message, texts behind U+200E, messages
// of several lines, equal times, and lines whose dates go back.
struct GermanExport
{
    QString text;
    // The messages in time order, equal times in the file's order.
    QStringList expected;
    QStringList photos; // files the export attached, by message
};

GermanExport germanExport()
{
    const QStringList people = { "Anna Berg", "Jonas Keller", "~\u202FLena Wolf" };
    GermanExport chat;
    chat.text = QStringLiteral("12.12.12, 08:29 - Anna Berg hat die Gruppe „Wandern“ erstellt.\n"
                               "12.12.12, 08:29 - Anna Berg hat dich hinzugefügt.\n"
                               "12.12.12, 08:29 - Anna Berg hat den Betreff zu „Wandern: Alpen“ geändert.\n"
                               "12.12.12, 08:30 - Jonas Keller hat Lena Wolf hinzugefügt.\n");
    struct Line
    {
        QString at; // sortable
        QString written;
        QString expected; // empty: no message
    };
    QList<Line> lines;
    QDateTime at(QDate(2012, 12, 12), QTime(9, 0));
    for (int i = 0; i < 137; ++i) {
        at = at.addSecs(i % 7 == 6 ? 0 : 37 * 60); // every seventh at the same minute as the one before
        const QString stamp = at.toString(QStringLiteral("dd.MM.yy, HH:mm - "));
        const QString who = people.at(i % 3);
        const QString plain = people.at(i % 3).mid(people.at(i % 3).startsWith(u'~') ? 2 : 0);
        QString written;
        QString expected;
        switch (i % 6) {
        case 0:
            written = QStringLiteral("Nachricht %1: bis später").arg(i);
            expected = written;
            break;
        case 1:
            written = QStringLiteral("Erste Zeile %1\nzweite Zeile\n\ndritte Zeile").arg(i);
            expected = written;
            break;
        case 2:
            written
                = QStringLiteral("\u200EIMG-20121212-WA%1.jpg (Datei angehängt)\nBlick vom Gipfel %1").arg(i);
            expected = QStringLiteral("Blick vom Gipfel %1").arg(i);
            chat.photos.append(QStringLiteral("IMG-20121212-WA%1.jpg").arg(i));
            break;
        case 3:
            written = QStringLiteral("\u200ERoute %1.pdf (Datei angehängt)\nRoute %1.pdf").arg(i);
            expected = QStringLiteral("[file]");
            break;
        case 4:
            written = QStringLiteral("<Medien ausgeschlossen>");
            expected = QStringLiteral("[file]");
            break;
        case 5:
            written = QStringLiteral("\u200Eweitergeleitet %1").arg(i);
            expected = QStringLiteral("weitergeleitet %1").arg(i);
            break;
        }
        lines.append({ at.toString(Qt::ISODate), stamp + who + QStringLiteral(": ") + written,
            plain + QStringLiteral(": ") + expected });
        if (i % 20 == 10) {
            lines.append({ {}, stamp + QStringLiteral("Du hast Lena Wolf entfernt."), {} });
            lines.append({ {}, stamp + QStringLiteral("Lena Wolf wurde entfernt."), {} });
            lines.append({ {}, stamp + who + QStringLiteral(": Diese Nachricht wurde gelöscht"), {} });
        }
    }
    // Two lines the phone wrote late, dated before the lines above them.
    lines.move(40, 44);
    lines.move(90, 97);
    QList<Line> inOrder;
    for (const Line &line : std::as_const(lines)) {
        chat.text += line.written + QLatin1Char('\n');
        if (!line.expected.isEmpty())
            inOrder.append(line);
    }
    std::stable_sort(
        inOrder.begin(), inOrder.end(), [](const Line &a, const Line &b) { return a.at < b.at; });
    for (const Line &line : std::as_const(inOrder))
        chat.expected.append(line.expected);
    return chat;
}

QStringList shown(const Transcript &chat)
{
    QStringList list;
    for (const auto &message : chat.messages) {
        const QString sender = message.sender >= 0 ? chat.participants.at(message.sender) : QString();
        list.append(sender + QStringLiteral(": ")
            + (message.text.isEmpty() && !message.attachments.isEmpty()
                    ? QLatin1Char('[') + message.attachments.first().kind + QLatin1Char(']')
                    : message.text));
    }
    return list;
}

} // namespace

TEST(WhatsAppReader, KeepsEveryMessageOfAGermanExportOnceInTimeOrder)
{
    QTemporaryDir dir;
    const GermanExport german = germanExport();
    for (const QString &photo : german.photos) {
        QFile file(dir.filePath(photo));
        file.open(QIODevice::WriteOnly);
        file.write("jpeg");
    }
    const QString path = dir.filePath(QStringLiteral("WhatsApp Chat mit Wandern.txt"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(german.text.toUtf8());
    file.close();

    ChatLog log(path);
    const QList<Conversation> list = log.conversations();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.first().messages, 137);
    EXPECT_EQ(list.first().first, "2012-12-12");
    const Transcript chat = log.transcript(list.first().key, std::nullopt);
    EXPECT_EQ(shown(chat), german.expected);
    EXPECT_EQ(chat.participants, (QStringList { "Anna Berg", "Jonas Keller", "Lena Wolf" }));
    qsizetype photos = 0;
    for (const auto &message : chat.messages) {
        for (const auto &attachment : message.attachments)
            photos += attachment.kind == "photo" && QFileInfo(attachment.path).isFile() ? 1 : 0;
    }
    EXPECT_EQ(photos, german.photos.size());
}

TEST(WhatsAppReader, KnowsTheNoticesOfEveryCommonLanguage)
{
    struct Language
    {
        const char *name;
        QString created; // an event, written under a sender by the iPhone app
        QString imageOmitted;
        QString attachedTag; // with "{}" for the file's name
        QString fileAttached;
        QString mediaOmitted;
        QString deleted;
    };
    const QList<Language> languages = {
        { "English", "Sam created group “Hike”", "image omitted", "<attached: {}>", "{} (file attached)",
            "<Media omitted>", "This message was deleted." },
        { "German", "Sam hat die Gruppe „Hike“ erstellt.", "Bild weggelassen", "<Anhang: {}>",
            "{} (Datei angehängt)", "<Medien ausgeschlossen>", "Diese Nachricht wurde gelöscht." },
        { "French", "Sam a créé le groupe « Hike »", "image absente", "<pièce jointe : {}>",
            "{} (fichier joint)", "<Médias omis>", "Ce message a été supprimé" },
        { "Spanish", "Sam creó el grupo “Hike”", "imagen omitida", "<adjunto: {}>", "{} (archivo adjunto)",
            "<Multimedia omitido>", "Se eliminó este mensaje." },
        { "Italian", "Sam ha creato il gruppo “Hike”", "immagine omessa", "<allegato: {}>",
            "{} (file allegato)", "<Media omessi>", "Questo messaggio è stato eliminato" },
        { "Portuguese", "Sam criou o grupo “Hike”", "imagem ocultada", "<anexado: {}>",
            "{} (arquivo anexado)", "<Mídia oculta>", "Mensagem apagada" },
        { "Dutch", "Sam heeft groep ‘Hike’ aangemaakt", "afbeelding weggelaten", "<bijgevoegd: {}>",
            "{} (bestand bijgevoegd)", "<Media weggelaten>", "Dit bericht is verwijderd" },
        { "Turkish", "Sam \"Hike\" grubunu oluşturdu", "görüntü dahil edilmedi", "<ekli: {}>",
            "{} (dosya ekli)", "<Medya dahil edilmedi>", "Bu mesaj silindi" },
    };
    for (const Language &language : languages) {
        SCOPED_TRACE(language.name);
        QString attachedTag = language.attachedTag;
        QString fileAttached = language.fileAttached;
        const QString text = QStringLiteral("[05/03/2024, 21:14:00] Sam: ") + lrm + language.created
            + QStringLiteral("\n[05/03/2024, 21:15:00] Sam: hey\n[05/03/2024, 21:16:00] Sam: ") + lrm
            + language.imageOmitted + QStringLiteral("\n[05/03/2024, 21:17:00] Sam: ") + lrm
            + attachedTag.replace(
                QStringLiteral("{}"), QStringLiteral("00000012-PHOTO-2024-03-05-21-17-00.jpg"))
            + QStringLiteral("\n[05/03/2024, 21:18:00] Sam: ") + lrm + language.deleted
            + QStringLiteral("\n[05/03/2024, 21:19:00] Sam: ")
            + fileAttached.replace(QStringLiteral("{}"), QStringLiteral("VID-20240305-WA0001.mp4"))
            + QStringLiteral("\n[05/03/2024, 21:20:00] Sam: ") + language.mediaOmitted
            + QStringLiteral("\n[05/03/2024, 21:21:00] Sam: ") + language.deleted + QLatin1Char('\n');
        const Transcript chat = WhatsAppReader::parse(text, {});
        EXPECT_EQ(shown(chat),
            (QStringList { "Sam: hey", "Sam: [photo]", "Sam: [photo]", "Sam: [video]", "Sam: [file]" }));
    }
    // Notices of a language not known here are kept as they stand.
    const Transcript other = WhatsAppReader::parse(
        QStringLiteral("[05/03/2024, 21:16:00] Sam: ") + lrm + QStringLiteral("zdjęcie pominięte\n"), {});
    EXPECT_EQ(shown(other), QStringList { "Sam: zdjęcie pominięte" });
}

TEST(WhatsAppReader, ReadsAmbiguousDatesDayFirstWhenTheFileSaysSo)
{
    // One date alone, and a Spanish mark for the afternoon.
    EXPECT_EQ(ats(WhatsAppReader::parse(QStringLiteral("09/10/22, 10:37 p. m. - Ana: hola\n"), {})),
        QStringList { "2022-10-09T22:37:00" });
    // Every date could be either, but the first field moves from day to day.
    EXPECT_EQ(ats(WhatsAppReader::parse(QStringLiteral("[09/10/22 11:37:00 p.m.] Ana: a\n"
                                                       "[10/10/22 9:02:00 a.m.] Ana: b\n"
                                                       "[11/10/22 1:15:00 p.m.] Ana: c\n"
                                                       "[12/10/22 13:37:00 p.m.] Ana: d\n"),
                  {})),
        (QStringList {
            "2022-10-09T23:37:00", "2022-10-10T09:02:00", "2022-10-11T13:15:00", "2022-10-12T13:37:00" }));
    // German afternoon marks, and a 24-hour clock with nothing else to go by.
    EXPECT_EQ(ats(WhatsAppReader::parse(QStringLiteral("3/4/24, 3:15 nachm. - Jo: a\n"), {})),
        QStringList { "2024-04-03T15:15:00" });
    EXPECT_EQ(
        ats(WhatsAppReader::parse(QStringLiteral("3/4/24, 09:00 - Jo: a\n4/4/24, 09:00 - Jo: b\n"), {})),
        (QStringList { "2024-04-03T09:00:00", "2024-04-04T09:00:00" }));
    // Month first where the second field moves, and with the plain AM and
    // PM of the United States when nothing speaks for the day first.
    EXPECT_EQ(
        ats(WhatsAppReader::parse(QStringLiteral("3/4/24, 09:00 - Jo: a\n3/5/24, 09:00 - Jo: b\n"), {})),
        (QStringList { "2024-03-04T09:00:00", "2024-03-05T09:00:00" }));
    EXPECT_EQ(ats(WhatsAppReader::parse(QStringLiteral("3/4/24, 9:00 AM - Sam: a"), {})),
        QStringList { "2024-03-04T09:00:00" });
}

namespace {

// WhatsApp's encryption notices in every language the reader knows: the
// current one, and the older one written where encryption began.
const QStringList &encryptionNotices()
{
    static const QStringList notices = {
        "Messages and calls are end-to-end encrypted. No one outside of this chat, not even WhatsApp, can "
        "read or listen to them.",
        "Messages and calls are end-to-end encrypted. No one outside of this chat, not even WhatsApp, can "
        "read or listen to them. Tap to learn more.",
        "Messages to this group are now secured with end-to-end encryption. Tap for more info.",
        "Messages to this chat and calls are now secured with end-to-end encryption.",
        "Messages you send to this chat and calls are now secured with end-to-end encryption. Tap for more "
        "info.",
        "Nachrichten und Anrufe sind Ende-zu-Ende-verschlüsselt. Niemand außerhalb dieses Chats kann sie "
        "lesen oder anhören, nicht einmal WhatsApp.",
        "Nachrichten an diese Gruppe sind jetzt mit Ende-zu-Ende-Verschlüsselung geschützt.",
        "Nachrichten in diesem Chat sowie Anrufe sind jetzt mit Ende-zu-Ende-Verschlüsselung geschützt. "
        "Tippe für mehr Infos.",
        "Les messages et les appels sont chiffrés de bout en bout. Personne en dehors de cette discussion ne "
        "peut les lire ou les écouter, pas même WhatsApp.",
        "Les messages envoyés dans cette discussion et les appels sont désormais protégés avec le "
        "chiffrement de bout en bout. Appuyez pour plus d'infos.",
        "Los mensajes y las llamadas están cifrados de extremo a extremo. Nadie fuera de este chat, ni "
        "siquiera WhatsApp, puede leerlos ni escucharlos.",
        "Los mensajes y llamadas en este chat ahora están protegidos con cifrado de extremo a extremo. Toca "
        "para más información.",
        "I messaggi e le chiamate sono crittografati end-to-end. Nessuno al di fuori di questa chat, "
        "nemmeno WhatsApp, può leggerli o ascoltarli.",
        "I messaggi inviati a questo gruppo sono ora protetti con la crittografia end-to-end.",
        "As mensagens e as chamadas são protegidas com a criptografia de ponta a ponta e ficam somente "
        "entre você e os participantes desta conversa.",
        "As mensagens enviadas para esta conversa e as chamadas agora são protegidas com criptografia de "
        "ponta-a-ponta. Toque para mais informações.",
        "Berichten en gesprekken worden end-to-end versleuteld. Niemand buiten deze chat, zelfs WhatsApp "
        "niet, kan ze lezen of beluisteren.",
        "Berichten die naar deze groep worden verzonden zijn nu beveiligd met end-to-end versleuteling.",
        "Mesajlar ve aramalar uçtan uca şifrelidir. WhatsApp dahil bu sohbetin dışında bulunan hiç kimse "
        "onları okuyamaz ve dinleyemez.",
        "Bu gruba gönderilen mesajlar artık uçtan uca şifreleme ile korunmaktadır.",
    };
    return notices;
}

} // namespace

// Older exports wrote the encryption notice without the iPhone app's mark,
// under the chat's name, which then counted as a member who wrote once:
// as the chat's first line, and in a chat older than encryption where
// encryption began.
TEST(WhatsAppReader, TakesTheOlderUnmarkedEncryptionNoticeForANoticeWhereverItStands)
{
    for (const QString &notice : encryptionNotices()) {
        SCOPED_TRACE(notice.toStdString());
        const Transcript first
            = WhatsAppReader::parse(QStringLiteral("[05/03/2024, 21:14:00] Pokemon Chat: ") + notice
                    + QStringLiteral("\n[05/03/2024, 21:15:00] Sam: hey\n"
                                     "[05/03/2024, 21:16:00] Jo: hi\n"
                                     "[05/03/2024, 21:17:00] Ash: yo\n"),
                {});
        EXPECT_EQ(first.participants, (QStringList { "Sam", "Jo", "Ash" }));
        EXPECT_EQ(shown(first), (QStringList { "Sam: hey", "Jo: hi", "Ash: yo" }));

        const Transcript within = WhatsAppReader::parse(
            QStringLiteral("[02/03/2016, 21:14:00] Sam: hey\n[05/04/2016, 09:00:00] Pokemon Chat: ") + notice
                + QStringLiteral("\n[05/04/2016, 21:16:00] Jo: hi\n[05/04/2016, 21:17:00] Ash: yo\n"),
            {});
        EXPECT_EQ(within.participants, (QStringList { "Sam", "Jo", "Ash" }));
        EXPECT_EQ(shown(within), (QStringList { "Sam: hey", "Jo: hi", "Ash: yo" }));
    }
    // A person talking about encryption keeps their words, wherever they stand.
    const QStringList said = { "Messages and calls are end-to-end encrypted, they say",
        "Messages and calls are end-to-end encrypted? Since when",
        "are messages to this group end-to-end "
        "encrypted?",
        "I read that Messages to this group are now secured with end-to-end encryption.",
        "Nachrichten sind ja angeblich Ende-zu-Ende-verschlüsselt, oder?" };
    for (const QString &words : said) {
        SCOPED_TRACE(words.toStdString());
        const Transcript chat = WhatsAppReader::parse(
            QStringLiteral("[05/03/2024, 21:15:00] Sam: hey\n[05/03/2024, 21:16:00] Jo: ") + words + "\n",
            {});
        EXPECT_EQ(shown(chat), (QStringList { "Sam: hey", "Jo: " + words }));
    }
    // A notice the person's message goes on from is theirs too.
    const Transcript continued
        = WhatsAppReader::parse(QStringLiteral("[05/03/2024, 21:15:00] Sam: hey\n[05/03/2024, 21:16:00] Jo: ")
                + encryptionNotices().first() + QStringLiteral("\nthat's what it says\n"),
            {});
    EXPECT_EQ(continued.messages.size(), 2);
}

// A shared contact printed as a file with no name: WhatsApp names its card
// after the contact, in every form of the export.
TEST(WhatsAppReader, ReadsASharedContactAsAContactWithItsName)
{
    const QString text = QStringLiteral("1/31/25, 9:41 PM - Sam: Max Caulfield.vcf (file attached)\n"
                                        "1/31/25, 9:42 PM - Sam: Chloe Price.vcf (Datei angehängt)\n"
                                        "see you there\n"
                                        "[1/31/25, 9:43:00 PM] Alex: ")
        + lrm + QStringLiteral("<attached: 00000012-Max Caulfield.vcf>\n[1/31/25, 9:44:00 PM] Alex: ") + lrm
        + QStringLiteral("<Anhang: 00000013-Kate Marsh.vcf>\n[1/31/25, 9:45:00 PM] Alex: ") + lrm
        + QStringLiteral("Contact card omitted\n[1/31/25, 9:46:00 PM] Alex: ") + lrm
        + QStringLiteral("Kontaktkarte weggelassen\n");
    const Transcript chat = WhatsAppReader::parse(text, {});
    ASSERT_EQ(chat.messages.size(), 6);
    EXPECT_EQ(texts(chat),
        (QStringList {
            "Max Caulfield", "Chloe Price\nsee you there", "Max Caulfield", "Kate Marsh", "", "" }));
    for (const auto &message : chat.messages) {
        ASSERT_EQ(message.attachments.size(), 1);
        EXPECT_EQ(message.attachments.first().kind, "contact");
    }
}

// A colon or a space after the time may begin a person's words as well as
// a header: such lines start messages only in a file written that way, and
// only where they name a sender.
TEST(WhatsAppReader, HeadersWithoutADashOrBracketCountOnlyInFilesWrittenSo)
{
    const Transcript dashes = WhatsAppReader::parse(QStringLiteral("24.12.19, 09:05 - Mads: we eat at\n"
                                                                   "25.12.19 12.00: Mormor: lunch\n"
                                                                   "25.12.19 12:00 Mormor: or later\n"
                                                                   "24.12.19, 09:06 - Freja: fine\n"),
        {});
    EXPECT_EQ(texts(dashes),
        (QStringList {
            "we eat at\n25.12.19 12.00: Mormor: lunch\n25.12.19 12:00 Mormor: or later", "fine" }));

    const Transcript colons = WhatsAppReader::parse(QStringLiteral("24.12.19 09.05.33: Mads: we eat at\n"
                                                                   "25.12.19 12.00: lunch\n"
                                                                   "24.12.19 09.06.00: Freja: fine\n"
                                                                   "24.12.19, 09:07 - Freja: see you\n"),
        {});
    EXPECT_EQ(texts(colons), (QStringList { "we eat at\n25.12.19 12.00: lunch", "fine", "see you" }));
    EXPECT_EQ(ats(colons).first(), "2019-12-24T09:05:33");
}
