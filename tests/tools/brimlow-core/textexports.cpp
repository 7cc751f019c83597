// The text, HTML, XML, CSV and mail exports among the samples.
#include "chatexports.h"

namespace ChatExports {

namespace {

QByteArray telegramPage(const QByteArray &messages)
{
    return "<!DOCTYPE html>\n<html>\n <head>\n  <meta charset=\"utf-8\"/>\n  <title>Exported Data</title>\n"
           "  <link href=\"css/style.css\" rel=\"stylesheet\"/>\n </head>\n <body>\n  <div "
           "class=\"page_wrap\">\n"
           "   <div class=\"page_header\">\n    <div class=\"content\">\n     <div class=\"text "
           "bold\">\nSam\n"
           "     </div>\n    </div>\n   </div>\n   <div class=\"page_body chat_page\">\n    <div "
           "class=\"history\">\n"
        + messages + "    </div>\n   </div>\n  </div>\n </body>\n</html>\n";
}

QByteArray telegramMessage(
    int id, const QByteArray &title, const QByteArray &from, const QByteArray &body, bool joined = false)
{
    QByteArray html = "<div class=\"message default clearfix" + QByteArray(joined ? " joined" : "")
        + "\" id=\"message" + QByteArray::number(id) + "\">\n";
    if (!joined)
        html += " <div class=\"pull_left userpic_wrap\"><div class=\"userpic userpic1\" style=\"width: 42px; "
                "height: 42px\"><div class=\"initials\" style=\"line-height: 42px\">S</div></div></div>\n";
    html += " <div class=\"body\">\n  <div class=\"pull_right date details\" title=\"" + title
        + "\">21:14</div>\n";
    if (!joined)
        html += "  <div class=\"from_name\">\n" + from + "\n  </div>\n";
    return html + body + " </div>\n</div>\n";
}

QByteArray base64Lines(const QByteArray &bytes)
{
    const QByteArray encoded = bytes.toBase64();
    QByteArray lines;
    for (qsizetype at = 0; at < encoded.size(); at += 76)
        lines += encoded.mid(at, 76) + "\r\n";
    return lines;
}

const QByteArray firstMail = "Date: Tue, 5 Mar 2024 21:14:00 +0000\r\n"
                             "From: Sam <sam@example.com>\r\n"
                             "To: Robin <robin@example.com>\r\n"
                             "Subject: =?UTF-8?Q?caf=C3=A9?=\r\n"
                             "Message-ID: <1@example.com>\r\n"
                             "MIME-Version: 1.0\r\n"
                             "Content-Type: text/plain; charset=\"UTF-8\"\r\n"
                             "Content-Transfer-Encoding: quoted-printable\r\n"
                             "\r\n"
                             "hey caf=C3=A9\r\n";

QByteArray secondMail()
{
    return "Date: Tue, 5 Mar 2024 21:15:00 +0000\r\n"
           "From: Robin <robin@example.com>\r\n"
           "To: Sam <sam@example.com>\r\n"
           "Subject: Re: =?UTF-8?B?Y2Fmw6k=?=\r\n"
           "Message-ID: <2@example.com>\r\n"
           "Content-Type: text/plain; charset=UTF-8\r\n"
           "Content-Transfer-Encoding: base64\r\n"
           "\r\n"
        + base64Lines(
            QStringLiteral("on my way 👋\r\n\r\nOn Tue, Mar 5, 2024 at 9:14 PM Sam <sam@example.com> "
                           "wrote:\r\n> hey café\r\n")
                .toUtf8());
}

QByteArray thirdMail()
{
    return "Date: Wed, 06 Mar 2024 09:00:00 +0100\r\n"
           "From: \"Sam\" <sam@example.com>\r\n"
           "To: robin@example.com\r\n"
           "Subject: the summit\r\n"
           "Message-ID: <3@example.com>\r\n"
           "Content-Type: multipart/mixed; boundary=\"b1\"\r\n"
           "\r\n"
           "--b1\r\n"
           "Content-Type: text/plain; charset=UTF-8\r\n"
           "\r\n"
           "the summit!\r\n"
           "\r\n"
           "-- \r\n"
           "Sam, sent from the hill\r\n"
           "--b1\r\n"
           "Content-Type: image/jpeg; name=\"IMG_0001.jpg\"\r\n"
           "Content-Disposition: attachment; filename=\"IMG_0001.jpg\"\r\n"
           "Content-Transfer-Encoding: base64\r\n"
           "\r\n"
        + base64Lines(photoBytes()) + "--b1--\r\n";
}

} // namespace

QString telegramHtml(const QString &folder)
{
    const QString root = folder + QStringLiteral("/ChatExport_2024-03-07");
    writeFile(root + QStringLiteral("/photos/photo_1@06-03-2024_08-00-00.jpg"), photoBytes());
    writeFile(root + QStringLiteral("/messages.html"),
        telegramPage("<div class=\"message service\" id=\"message-1\"><div class=\"body details\">5 March "
                     "2024</div></div>\n"
            + telegramMessage(
                2, "05.03.2024 21:14:00 UTC+00:00", "Sam", "  <div class=\"text\">hey caf&eacute;</div>\n")
                  .replace("&eacute;", "é")
            + telegramMessage(
                3, "05.03.2024 21:15:00 UTC+00:00", "Robin", "  <div class=\"text\">on my way 👋</div>\n")));
    writeFile(root + QStringLiteral("/messages2.html"),
        telegramPage(telegramMessage(4, "06.03.2024 09:00:00 UTC+01:00", "Sam",
            "  <div class=\"media_wrap clearfix\">\n   <a class=\"photo_wrap clearfix pull_left\" "
            "href=\"photos/photo_1@06-03-2024_08-00-00.jpg\">\n    <img class=\"photo\" "
            "src=\"photos/photo_1@06-03-2024_08-00-00.jpg_thumb.jpg\" style=\"width: 260px; height: "
            "195px\"/>\n"
            "   </a>\n  </div>\n  <div class=\"text\">the summit!</div>\n")));
    return root;
}

QString smsBackup(const QString &folder)
{
    // The backup apps write emoji as references to UTF-16 halves.
    writeFile(folder + QStringLiteral("/sms-20240307100000.xml"),
        "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n"
        "<!--File Created By SMS Backup & Restore v10.20.002 on 07/03/2024 10:00:00-->\n"
        "<smses count=\"4\" backup_set=\"5d1c\" backup_date=\"1709805600000\" type=\"full\">\n"
        "  <sms protocol=\"0\" address=\"+1 555-0100\" date=\"1709673240000\" type=\"1\" subject=\"null\" "
        "body=\"hey café\" toa=\"null\" sc_toa=\"null\" service_center=\"null\" read=\"1\" status=\"-1\" "
        "locked=\"0\" date_sent=\"1709673239000\" sub_id=\"1\" readable_date=\"Mar 5, 2024 9:14:00 PM\" "
        "contact_name=\"Sam\" />\n"
        "  <sms protocol=\"0\" address=\"+15550100\" date=\"1709673300000\" type=\"2\" subject=\"null\" "
        "body=\"on my way &#55357;&#56395;\" toa=\"null\" read=\"1\" status=\"-1\" locked=\"0\" "
        "contact_name=\"Sam\" />\n"
        "  <sms protocol=\"0\" address=\"+15550100\" date=\"1709700000000\" type=\"3\" body=\"a draft\" "
        "contact_name=\"Sam\" />\n"
        "  <mms date=\"1709712000000\" ct_t=\"application/vnd.wap.multipart.related\" msg_box=\"1\" "
        "address=\"+15550100\" contact_name=\"Sam\" m_type=\"132\" read=\"1\">\n"
        "    <parts>\n"
        "      <part seq=\"-1\" ct=\"application/smil\" name=\"null\" chset=\"null\" cl=\"smil.xml\" "
        "text='&lt;smil&gt;&lt;body&gt;&lt;/body&gt;&lt;/smil&gt;' />\n"
        "      <part seq=\"0\" ct=\"image/jpeg\" name=\"IMG_0001.jpg\" chset=\"null\" cl=\"IMG_0001.jpg\" "
        "text=\"null\" data=\""
            + photoBytes().toBase64()
            + "\" />\n"
              "      <part seq=\"0\" ct=\"text/plain\" name=\"null\" chset=\"106\" cl=\"text_0.txt\" "
              "text=\"the summit!\" />\n"
              "    </parts>\n"
              "    <addrs>\n"
              "      <addr address=\"+15550100\" type=\"137\" charset=\"106\" />\n"
              "      <addr address=\"+15550199\" type=\"151\" charset=\"106\" />\n"
              "    </addrs>\n"
              "  </mms>\n"
              "</smses>\n");
    return folder + QStringLiteral("/sms-20240307100000.xml");
}

QString signalMarkdown(const QString &folder)
{
    const QString chat = folder + QStringLiteral("/signal-chats/Sam");
    writeFile(chat + QStringLiteral("/media/2024-03-06T08-00-00.000_00_IMG_0001.jpg"), photoBytes());
    writeFile(chat + QStringLiteral("/chat.md"),
        QStringLiteral(
            "[2024-03-05 21:14:00] Sam: hey café  \n"
            "[2024-03-05 21:15:00] Me: \n\n> hey café\n\non my way 👋  \n"
            "(- Sam: ❤️ -)\n"
            "[2024-03-06 08:00:00] Sam: the summit!  "
            "![2024-03-06T08-00-00.000_00_IMG_0001.jpg](./media/2024-03-06T08-00-00.000_00_IMG_0001.jpg)  \n")
            .toUtf8());
    return folder + QStringLiteral("/signal-chats");
}

QString sigtopText(const QString &folder)
{
    writeFile(folder + QStringLiteral("/Sam (+15550100).txt"),
        QStringLiteral("Conversation: Sam (+15550100)\n\n"
                       "From: Sam (+15550100)\nType: incoming\nSent: Tue, 5 Mar 2024 21:14:00 +0000\n"
                       "Received: Tue, 5 Mar 2024 21:14:01 +0000\n\nhey café\n\n"
                       "From: You\nType: outgoing\nSent: Tue, 5 Mar 2024 22:15:00 +0100\n\n"
                       "> From: Sam (+15550100)\n> Sent: Tue, 5 Mar 2024 21:14:00 +0000\n>\n> hey café\n\n"
                       "on my way 👋\n\n"
                       "From: Sam (+15550100)\nType: incoming\nSent: Wed, 6 Mar 2024 08:00:00 +0000\n"
                       "Received: Wed, 6 Mar 2024 08:00:02 +0000\n"
                       "Attachment: IMG_0001.jpg (image/jpeg, 4 bytes)\n\nthe summit!\n\n")
            .toUtf8());
    return folder + QStringLiteral("/Sam (+15550100).txt");
}

QString discordCsv(const QString &folder)
{
    writeFile(folder + QStringLiteral("/Direct Messages - Private - sam [99].csv"),
        QStringLiteral("AuthorID,Author,Date,Content,Attachments,Reactions\n"
                       "\"11\",\"sam\",\"2024-03-05T21:14:00.0000000+00:00\",\"hey café\",\"\",\"\"\n"
                       "\"12\",\"robin\",\"2024-03-05T21:15:00.0000000+00:00\",\"on my way 👋\",\"\",\"\"\n"
                       "\"11\",\"sam\",\"2024-03-06T08:00:00.0000000+00:00\",\"the summit!\","
                       "\"https://cdn.discordapp.com/attachments/99/1/IMG_0001.jpg\",\"❤️ (1)\"\n")
            .toUtf8());
    return folder + QStringLiteral("/Direct Messages - Private - sam [99].csv");
}

QString line(const QString &folder)
{
    writeFile(folder + QStringLiteral("/[LINE] Chat with Sam.txt"),
        QStringLiteral("\uFEFF[LINE] Chat history with Sam\r\nSaved on: 2024/03/07 10:00\r\n\r\n"
                       "2024/03/05(Tue)\r\n21:14\tSam\they café\r\n21:15\tRobin\ton my way 👋\r\n"
                       "21:20\t\tSam unsent a message.\r\n\r\n"
                       "2024/03/06(Wed)\r\n08:00\tSam\t[Photo]\r\n")
            .toUtf8());
    return folder + QStringLiteral("/[LINE] Chat with Sam.txt");
}

QString kakaoTalkPc(const QString &folder)
{
    writeFile(folder + QStringLiteral("/KakaoTalkChats.txt"),
        QStringLiteral("Sam 님과 카카오톡 대화\r\n저장한 날짜 : 2024-03-07 10:00:00\r\n\r\n"
                       "--------------- 2024년 3월 5일 화요일 ---------------\r\n"
                       "[Sam] [오후 9:14] hey café\r\n[Robin] [오후 9:15] on my way 👋\r\n"
                       "--------------- 2024년 3월 6일 수요일 ---------------\r\n[Sam] [오전 8:00] 사진\r\n")
            .toUtf8());
    return folder + QStringLiteral("/KakaoTalkChats.txt");
}

QString kakaoTalkPhone(const QString &folder)
{
    writeFile(folder + QStringLiteral("/Talk_2024.3.7 10:00-1.txt"),
        QStringLiteral("Sam 님과 카카오톡 대화\n저장한 날짜 : 2024. 3. 7. 오전 10:00\n\n\n"
                       "2024년 3월 5일 화요일\n2024. 3. 5. 오후 9:14, Sam : hey café\n"
                       "2024. 3. 5. 오후 9:15, Robin : on my way 👋\n"
                       "2024년 3월 6일 수요일\n2024. 3. 6. 오전 8:00, Sam : 사진\n")
            .toUtf8());
    return folder + QStringLiteral("/Talk_2024.3.7 10:00-1.txt");
}

QString kakaoTalkCsv(const QString &folder)
{
    writeFile(folder + QStringLiteral("/KakaoTalk_Chat_Sam.csv"),
        QStringLiteral(
            "Date,User,Message\n2024-03-05 21:14:00,\"Sam\",\"hey café\"\n"
            "2024-03-05 21:15:00,\"Robin\",\"on my way 👋\"\n2024-03-06 08:00:00,\"Sam\",\"사진\"\n")
            .toUtf8());
    return folder + QStringLiteral("/KakaoTalk_Chat_Sam.csv");
}

QString mbox(const QString &folder)
{
    const QByteArray newsletter = "Date: Mon, 4 Mar 2024 07:00:00 +0000\r\n"
                                  "From: Shop <news@shop.example>\r\n"
                                  "To: robin@example.com\r\n"
                                  "Subject: Sale\r\n"
                                  "Content-Type: text/plain; charset=UTF-8\r\n\r\n"
                                  "Everything half price\r\n"
                                  ">From today until Sunday\r\n";
    writeFile(folder + QStringLiteral("/Takeout/Mail/All mail Including Spam and Trash.mbox"),
        "From 1792828323949291@xxx Mon Mar 04 07:00:00 +0000 2024\r\nX-GM-THRID: 1792828323949291\r\n"
        "X-Gmail-Labels: Inbox,Category Promotions\r\n"
            + newsletter
            + "\r\nFrom 1792828323949292@xxx Tue Mar 05 21:14:00 +0000 2024\r\nX-Gmail-Labels: "
              "Inbox,Opened\r\n"
            + firstMail
            + "\r\nFrom 1792828323949293@xxx Tue Mar 05 21:15:00 +0000 2024\r\nX-Gmail-Labels: Sent\r\n"
            + secondMail()
            + "\r\nFrom 1792828323949294@xxx Wed Mar 06 08:00:00 +0000 2024\r\nX-Gmail-Labels: Inbox\r\n"
            + thirdMail());
    return folder + QStringLiteral("/Takeout");
}

QString emlFolder(const QString &folder)
{
    writeFile(folder + QStringLiteral("/mails/1 café.eml"), firstMail);
    writeFile(folder + QStringLiteral("/mails/2 Re café.eml"), secondMail());
    writeFile(folder + QStringLiteral("/mails/3 the summit.eml"), thirdMail());
    return folder + QStringLiteral("/mails");
}

QString irssi(const QString &folder)
{
    writeFile(folder + QStringLiteral("/irclogs/libera/#hiking.log"),
        QStringLiteral("--- Log opened Tue Mar 05 21:00:00 2024\n"
                       "21:05 -!- sam [~sam@example.com] has joined #hiking\n"
                       "21:14 <@sam> hey café\n21:15 < robin> on my way 👋\n"
                       "--- Day changed Wed Mar 06 2024\n08:00 <@sam> the summit!\n"
                       "--- Log closed Wed Mar 06 09:00:00 2024\n")
            .toUtf8());
    return folder + QStringLiteral("/irclogs");
}

QString weechat(const QString &folder)
{
    writeFile(folder + QStringLiteral("/logs/irc.libera.#hiking.weechatlog"),
        QStringLiteral("2024-03-05 21:05:00\t-->\tsam (~sam@example.com) has joined #hiking\n"
                       "2024-03-05 21:14:00\t@sam\they café\n2024-03-05 21:15:00\trobin\ton my way 👋\n"
                       "2024-03-06 08:00:00\t@sam\tthe summit!\n")
            .toUtf8());
    return folder + QStringLiteral("/logs/irc.libera.#hiking.weechatlog");
}

QString isoIrc(const QString &folder)
{
    writeFile(folder + QStringLiteral("/logs/#hiking.log"),
        QStringLiteral("2024-03-05T21:05:00  *** sam has joined #hiking\n"
                       "2024-03-05T21:14:00  <sam> hey café\n2024-03-05T21:15:00  <robin> on my way 👋\n"
                       "2024-03-05T21:16:00  *** robin is now known as robin_away\n"
                       "2024-03-05T23:59:00  *** robin_away has quit (Ping timeout)\n"
                       "2024-03-06T08:00:00  <sam> the summit!\n"
                       "2024-03-06T08:01:00  *** sam has left #hiking\n")
            .toUtf8());
    return folder + QStringLiteral("/logs");
}

QString bracketedIrc(const QString &folder)
{
    const QString channel = folder + QStringLiteral("/znc/libera/#hiking");
    writeFile(channel + QStringLiteral("/2024-03-05.log"),
        QStringLiteral("[21:14:00] <sam> hey café\n[21:15:00] <robin> on my way 👋\n").toUtf8());
    writeFile(channel + QStringLiteral("/2024-03-06.log"),
        QStringLiteral("[08:00:00] <sam> the summit!\n").toUtf8());
    return folder + QStringLiteral("/znc");
}

} // namespace ChatExports
