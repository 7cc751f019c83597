// The message tool over a generated Messages store of 1,000,000 messages in
// 300 chats: listing the chats against the least work any listing must do,
// the sqlite3 shell counting the messages that count; and exporting a
// conversation of 200,000 messages. Then a 100 MB export of every
// chat-export format, listed, in time and in memory.
#include "messagesstore.h"
#include "timedrun.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr double chatsBudgetSeconds = 1.0;
constexpr double chatsRatioBudget = 1.3;
constexpr double exportBudgetSeconds = 2.0;
constexpr double exportMemoryBudgetMb = 300;
constexpr double exportListBudgetSeconds = 3.0;
constexpr double exportListMemoryBudget = 3.0; // times the export's size
constexpr qint64 exportBytes = 100 * 1024 * 1024;

// What "chats" can't do with less: looking at every message once to tell
// the real messages from tapbacks and group events.
const char *const countQuery = "SELECT count(*) FROM message WHERE IFNULL(associated_message_type, 0) = 0 "
                               "AND IFNULL(item_type, 0) = 0;";

using Bench::bestOf;
using Bench::Run;

bool storeBench(const QString &sqlite, const QByteArray &tool)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("chat.db"));
    if (!Bench::writeMessagesStore(sqlite, db))
        return false;
    std::printf("store: 1,000,000 messages in 300 chats, %.0f MB\n", QFileInfo(db).size() / 1048576.0);

    const QByteArray dbPath = QFile::encodeName(db);
    const Run shell = bestOf(3, { QFile::encodeName(sqlite), "-readonly", dbPath, countQuery });
    const Run chats = bestOf(3, { tool, "--db", dbPath, "chats", "--limit", "300" });
    const double ratio = chats.seconds / shell.seconds;
    std::printf("chats --limit 300: %.3f s (budget %.1f s); sqlite3 shell counting: %.3f s; ratio %.2f "
                "(budget %.1f)\n",
        chats.seconds, chatsBudgetSeconds, shell.seconds, ratio, chatsRatioBudget);

    const QByteArray out = QFile::encodeName(dir.filePath(QStringLiteral("book.json")));
    const Run exported = bestOf(3,
        { tool, "--db", dbPath, "export", "--conversation", "+15550000001", "--out", out, "--them", "Sam",
            "--me", "Robin" });
    std::printf(
        "export of 200,000 messages: %.3f s (budget %.1f s), peak %.0f MB (budget %.0f MB), book %.0f MB\n",
        exported.seconds, exportBudgetSeconds, exported.peakMb, exportMemoryBudgetMb,
        QFileInfo(QString::fromLocal8Bit(out)).size() / 1048576.0);

    return chats.status == 0 && exported.status == 0 && shell.status == 0
        && chats.seconds <= chatsBudgetSeconds && ratio <= chatsRatioBudget
        && exported.seconds <= exportBudgetSeconds && exported.peakMb <= exportMemoryBudgetMb;
}

// Chat exports: the same long chat between Sam and Robin, a message a
// minute, written in each format until the files reach 100 MB.
namespace Exports {

const QDateTime start(QDate(2021, 1, 1), QTime(8, 0), Qt::UTC);

QByteArray sender(int i)
{
    return i % 2 ? "Robin" : "Sam";
}

QByteArray text(int i)
{
    return "message " + QByteArray::number(i) + ", a line of about the usual length, caf\xC3\xA9";
}

QDateTime at(int i)
{
    return start.addSecs(qint64(i) * 60);
}

// The first message, or the first after midnight.
bool newDay(int i)
{
    return i == 0 || at(i).date() != at(i - 1).date();
}

QByteArray stamp(int i, const char *format)
{
    return at(i).toString(QLatin1String(format)).toLatin1();
}

QByteArray seconds(int i)
{
    return QByteArray::number(at(i).toSecsSinceEpoch());
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

// Messages from first, joined by separator, until the text holds limit bytes.
int fill(QByteArray &out, qint64 limit, int first, const std::function<QByteArray(int)> &message,
    const QByteArray &separator = {})
{
    int i = first;
    for (; out.size() < limit; ++i) {
        if (i > first)
            out += separator;
        out += message(i);
    }
    return i;
}

// A single file of a header, messages and a footer.
QString single(const QString &path, const QByteArray &head, const std::function<QByteArray(int)> &message,
    const QByteArray &separator, const QByteArray &tail)
{
    QByteArray bytes = head;
    bytes.reserve(exportBytes + 1024);
    fill(bytes, exportBytes, 0, message, separator);
    write(path, bytes + tail);
    return path;
}

// Files of pages, each holding perPage bytes of messages.
QString pages(const QString &folder, qint64 perPage, const std::function<QString(int)> &name,
    const QByteArray &head, const std::function<QByteArray(int)> &message, const QByteArray &separator,
    const QByteArray &tail)
{
    int next = 0;
    for (int page = 0; qint64(page) * perPage < exportBytes; ++page) {
        QByteArray bytes = head;
        next = fill(bytes, perPage, next, message, separator);
        write(folder + QLatin1Char('/') + name(page), bytes + tail);
    }
    return folder;
}

QString whatsApp(const QString &dir)
{
    return single(
        dir + "/chat.txt", {},
        [](int i) { return stamp(i, "M/d/yy, h:mm AP - ") + sender(i) + ": " + text(i); }, "\n", "\n");
}

QString telegramJson(const QString &dir)
{
    return single(
        dir + "/result.json", "{\"name\": \"Sam\", \"type\": \"personal_chat\", \"id\": 1, \"messages\": [\n",
        [](int i) {
            return "{\"id\": " + QByteArray::number(i) + ", \"type\": \"message\", \"date\": \""
                + stamp(i, "yyyy-MM-ddTHH:mm:ss") + "\", \"date_unixtime\": \"" + seconds(i)
                + "\", \"from\": \"" + sender(i) + "\", \"from_id\": \"user" + QByteArray::number(i % 2 + 1)
                + "\", \"text\": \"" + text(i) + "\", \"text_entities\": [{\"type\": \"plain\", \"text\": \""
                + text(i) + "\"}]}";
        },
        ",\n", "]}\n");
}

QString telegramHtml(const QString &dir)
{
    return pages(
        dir + "/ChatExport", 1 << 20,
        [](int page) {
            return page ? QStringLiteral("messages%1.html").arg(page + 1) : QStringLiteral("messages.html");
        },
        "<html><body><div class=\"page_header\"><div class=\"content\"><div class=\"text "
        "bold\">Sam</div></div>"
        "</div><div class=\"history\">\n",
        [](int i) {
            return "<div class=\"message default clearfix\" id=\"message" + QByteArray::number(i)
                + "\"><div class=\"pull_left userpic_wrap\"><div class=\"userpic\"></div></div><div "
                  "class=\"body\">"
                  "<div class=\"pull_right date details\" title=\""
                + stamp(i, "dd.MM.yyyy HH:mm:ss") + " UTC+00:00\">" + stamp(i, "HH:mm")
                + "</div><div class=\"from_name\">" + sender(i) + "</div><div class=\"text\">" + text(i)
                + "</div></div></div>";
        },
        "\n", "</div></body></html>\n");
}

QString sms(const QString &dir)
{
    return single(
        dir + "/sms.xml", "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n<smses count=\"0\">\n",
        [](int i) {
            return "  <sms protocol=\"0\" address=\"+15550100\" date=\"" + seconds(i) + "000\" type=\""
                + QByteArray(i % 2 ? "2" : "1") + "\" subject=\"null\" body=\"" + text(i)
                + " &#55357;&#56395;\" toa=\"null\" read=\"1\" status=\"-1\" contact_name=\"Sam\" />";
        },
        "\n", "\n</smses>\n");
}

QString signal(const QString &dir)
{
    return single(
        dir + "/Sam/chat.md", {},
        [](int i) {
            return "[" + stamp(i, "yyyy-MM-dd HH:mm:ss") + "] " + QByteArray(i % 2 ? "Me" : "Sam") + ": "
                + text(i) + "  ";
        },
        "\n", "\n");
}

QString signalJson(const QString &dir)
{
    return single(
        dir + "/Sam (+15550100).json", "[\n",
        [](int i) {
            return "{\"type\": \"" + QByteArray(i % 2 ? "outgoing" : "incoming")
                + "\", \"sent_at\": " + seconds(i) + "000, \"body\": \"" + text(i)
                + "\", \"source\": \"+15550100\", \"conversationId\": \"c\", "
                  "\"attachments\": []}";
        },
        ",\n", "]\n");
}

QString instagram(const QString &dir)
{
    return pages(
        dir + "/your_instagram_activity/messages/inbox/sam_1", 8 << 20,
        [](int page) { return QStringLiteral("message_%1.json").arg(page + 1); },
        "{\"participants\": [{\"name\": \"Sam\"}, {\"name\": \"Robin\"}], \"messages\": [\n",
        [](int i) {
            return "{\"sender_name\": \"" + sender(i) + "\", \"timestamp_ms\": " + seconds(i)
                + "000, \"content\": \"message " + QByteArray::number(i)
                + ", a line of about the usual length, caf\\u00c3\\u00a9\", \"is_geoblocked_for_viewer\": "
                  "false}";
        },
        ",\n", "], \"title\": \"Sam\", \"thread_path\": \"inbox/sam_1\"}\n");
}

QString discordJson(const QString &dir)
{
    return single(
        dir + "/Direct Messages - sam [1].json",
        "{\"guild\": {\"id\": \"0\", \"name\": \"Direct Messages\"}, \"channel\": {\"id\": \"1\", \"type\": "
        "\"DirectTextChat\", \"name\": \"sam\"}, \"messages\": [\n",
        [](int i) {
            return "{\"id\": \"" + QByteArray::number(i) + "\", \"type\": \"Default\", \"timestamp\": \""
                + stamp(i, "yyyy-MM-ddTHH:mm:ss") + ".123+00:00\", \"content\": \"" + text(i)
                + "\", \"author\": {\"id\": \"" + QByteArray::number(i % 2) + "\", \"name\": \""
                + sender(i).toLower() + "\", \"nickname\": \"" + sender(i)
                + "\", \"isBot\": false}, \"attachments\": [], \"embeds\": [], "
                  "\"stickers\": [], \"reactions\": []}";
        },
        ",\n", "]}\n");
}

QString discordCsv(const QString &dir)
{
    return single(
        dir + "/Direct Messages - sam [1].csv", "AuthorID,Author,Date,Content,Attachments,Reactions\n",
        [](int i) {
            return "\"" + QByteArray::number(i % 2) + "\",\"" + sender(i).toLower() + "\",\""
                + stamp(i, "yyyy-MM-ddTHH:mm:ss") + ".0000000+00:00\",\"" + text(i) + "\",\"\",\"\"";
        },
        "\n", "\n");
}

QString slack(const QString &dir)
{
    write(dir + "/slack/users.json",
        "[{\"id\": \"U1\", \"name\": \"sam\", \"real_name\": \"Sam\"}, "
        "{\"id\": \"U2\", \"name\": \"robin\", \"real_name\": \"Robin\"}]");
    return pages(
        dir + "/slack/general", 100 << 10,
        [](int page) { return QDate(2021, 1, 1).addDays(page).toString(Qt::ISODate) + ".json"; }, "[\n",
        [](int i) {
            return "{\"type\": \"message\", \"user\": \"U" + QByteArray::number(i % 2 + 1)
                + "\", \"text\": \"" + text(i) + " <@U1>\", \"ts\": \"" + seconds(i) + ".000100\"}";
        },
        ",\n", "]\n")
        .section('/', 0, -2);
}

QString googleChat(const QString &dir)
{
    return single(
        dir + "/Google Chat/Groups/DM 1/messages.json", "{\"messages\": [\n",
        [](int i) {
            return "{\"creator\": {\"name\": \"" + sender(i) + "\", \"email\": \"" + sender(i).toLower()
                + "@example.com\", \"user_type\": \"Human\"}, \"created_date\": \""
                + at(i).toString(QStringLiteral("dddd, MMMM d, yyyy 'at' h:mm:ss AP")).toLatin1()
                + " UTC\", \"text\": \"" + text(i) + "\", \"topic_id\": \"t\"}";
        },
        ",\n", "]}\n");
}

QString snapchat(const QString &dir)
{
    return single(
        dir + "/chat_history.json", "{\"sam\": [\n",
        [](int i) {
            return "{\"From\": \"" + sender(i).toLower() + "\", \"Media Type\": \"TEXT\", \"Created\": \""
                + stamp(i, "yyyy-MM-dd HH:mm:ss") + " UTC\", \"Content\": \"" + text(i)
                + "\", \"IsSender\": " + QByteArray(i % 2 ? "true" : "false") + "}";
        },
        ",\n", "]}\n");
}

QString line(const QString &dir)
{
    return single(
        dir + "/line.txt", "[LINE] Chat history with Sam\nSaved on: 2024/03/07 10:00\n\n",
        [](int i) {
            const QByteArray day = newDay(i) ? "\n" + stamp(i, "yyyy/MM/dd(ddd)") + "\n" : QByteArray();
            return day + stamp(i, "HH:mm") + "\t" + sender(i) + "\t" + text(i);
        },
        "\n", "\n");
}

QString kakaoTalk(const QString &dir)
{
    return single(
        dir + "/kakao.txt", "Sam 님과 카카오톡 대화\n저장한 날짜 : 2024-03-07 10:00:00\n\n",
        [](int i) {
            const QDate date = at(i).date();
            const QByteArray day = newDay(i) ? "--------------- " + QByteArray::number(date.year())
                    + "\xEB\x85\x84 " + QByteArray::number(date.month()) + "\xEC\x9B\x94 "
                    + QByteArray::number(date.day()) + "\xEC\x9D\xBC ---------------\n"
                                             : QByteArray();
            return day + "[" + sender(i) + "] [" + stamp(i, "h:mm AP") + "] " + text(i);
        },
        "\n", "\n");
}

QString skype(const QString &dir)
{
    return single(
        dir + "/messages.json",
        "{\"userId\": \"8:live:robin\", \"exportDate\": \"2024\", \"conversations\": [{\"id\": "
        "\"8:live:sam\", "
        "\"displayName\": \"Sam\", \"threadProperties\": null, \"MessageList\": [\n",
        [](int i) {
            return "{\"id\": \"" + QByteArray::number(i) + "\", \"displayName\": \"" + sender(i)
                + "\", \"originalarrivaltime\": \"" + stamp(i, "yyyy-MM-ddTHH:mm:ss")
                + ".000Z\", \"messagetype\": "
                  "\"RichText\", \"content\": \""
                + text(i) + " <b>bold</b>\", \"from\": \"8:live:" + sender(i).toLower() + "\"}";
        },
        ",\n", "]}]}\n");
}

QString mbox(const QString &dir)
{
    return single(
        dir + "/mail.mbox", {},
        [](int i) {
            const bool robin = i % 2;
            return "From " + seconds(i) + "@xxx "
                + at(i).toString("ddd MMM dd HH:mm:ss +0000 yyyy").toLatin1()
                + "\nX-Gmail-Labels: " + (robin ? "Sent" : "Inbox") + "\nDate: "
                + at(i).toString("ddd, d MMM yyyy HH:mm:ss +0000").toLatin1() + "\nFrom: " + sender(i) + " <"
                + sender(i).toLower() + "@example.com>\nTo: " + sender(i + 1) + " <" + sender(i + 1).toLower()
                + "@example.com>\nSubject: Re: plans\nContent-Type: text/plain; charset=UTF-8\n\n" + text(i)
                + "\n\nOn an earlier day someone wrote:\n> " + text(i - 1) + "\n";
        },
        "\n", "\n");
}

QString irc(const QString &dir)
{
    return single(
        dir + "/#hiking.log", "--- Log opened Fri Jan 01 08:00:00 2021\n",
        [](int i) {
            const QByteArray day
                = newDay(i) && i ? "--- Day changed " + stamp(i, "ddd MMM dd yyyy") + "\n" : QByteArray();
            return day + stamp(i, "HH:mm") + " <" + sender(i).toLower() + "> " + text(i);
        },
        "\n", "\n");
}

QString whatsAppDatabase(const QString &dir, const QString &sqlite)
{
    const QString path = dir + "/msgstore.db";
    QProcess generate;
    generate.start(sqlite, { path });
    generate.write(R"(
PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;
CREATE TABLE jid (_id INTEGER PRIMARY KEY, user TEXT, server TEXT, raw_string TEXT);
CREATE TABLE chat (_id INTEGER PRIMARY KEY, jid_row_id INTEGER, subject TEXT);
CREATE TABLE message (_id INTEGER PRIMARY KEY, chat_row_id INTEGER, from_me INTEGER, key_id TEXT,
  sender_jid_row_id INTEGER, timestamp INTEGER, message_type INTEGER, text_data TEXT);
CREATE TABLE message_media (message_row_id INTEGER PRIMARY KEY, file_path TEXT, mime_type TEXT);
INSERT INTO jid VALUES (1, '15550100', 's.whatsapp.net', '15550100@s.whatsapp.net');
INSERT INTO chat VALUES (1, 1, NULL);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1300000)
  INSERT INTO message SELECT i, 1, i % 2, printf('K%d', i), NULL, 1609488000000 + i * 60000, 0,
    printf('message %d, a line of about the usual length, café', i) FROM n;
)");
    generate.closeWriteChannel();
    generate.waitForFinished(-1);
    return path;
}

} // namespace Exports

bool exportsBench(const QString &sqlite, const QByteArray &tool)
{
    using Writer = std::function<QString(const QString &)>;
    const QList<std::pair<const char *, Writer>> formats = {
        { "WhatsApp text", Exports::whatsApp },
        { "WhatsApp database", [&](const QString &dir) { return Exports::whatsAppDatabase(dir, sqlite); } },
        { "Telegram JSON", Exports::telegramJson },
        { "Telegram HTML", Exports::telegramHtml },
        { "Android SMS backup", Exports::sms },
        { "Signal Markdown", Exports::signal },
        { "Signal JSON (sigtop)", Exports::signalJson },
        { "Instagram", Exports::instagram },
        { "Discord JSON", Exports::discordJson },
        { "Discord CSV", Exports::discordCsv },
        { "Slack", Exports::slack },
        { "Google Chat", Exports::googleChat },
        { "Snapchat", Exports::snapchat },
        { "LINE", Exports::line },
        { "KakaoTalk", Exports::kakaoTalk },
        { "Skype", Exports::skype },
        { "mbox", Exports::mbox },
        { "IRC", Exports::irc },
    };
    bool ok = true;
    for (const auto &[name, write] : formats) {
        QTemporaryDir dir;
        const QString log = write(dir.path());
        qint64 bytes = 0;
        QDirIterator files(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            bytes += QFileInfo(files.next()).size();
        const Run run = bestOf(3, { tool, "--log", QFile::encodeName(log), "chats", "--limit", "300" });
        const double megabytes = bytes / 1048576.0;
        const bool within = run.status == 0 && run.seconds <= exportListBudgetSeconds
            && run.peakMb <= exportListMemoryBudget * megabytes;
        std::printf("chats of %-20s %4.0f MB: %.3f s, peak %4.0f MB (%.1f x)%s\n", name, megabytes,
            run.seconds, run.peakMb, run.peakMb / megabytes,
            within ? "" : (run.status == 0 ? " (over budget)" : " (failed)"));
        ok = ok && within;
    }
    std::printf("budget for each: %.1f s, peak %.1f x the export's size\n", exportListBudgetSeconds,
        exportListMemoryBudget);
    return ok;
}

} // namespace

int main()
{
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    const QByteArray tool = QByteArray(QUORVEL_BENCH_STAGE) + "/libexec/quorvel/brimlow-core";
    if (sqlite.isEmpty()) {
        std::puts("brimlow-core bench: the sqlite3 shell is missing (scripts/setup.sh installs it)");
        return 1;
    }
    const bool store = storeBench(sqlite, tool);
    const bool exports = exportsBench(sqlite, tool);
    std::puts(store && exports ? "brimlow-core bench: within budget" : "brimlow-core bench: OVER BUDGET");
    return store && exports ? 0 : 1;
}
