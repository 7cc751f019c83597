// The message tool over a generated Messages store of 1,000,000 messages in
// 300 chats: listing the chats against the sqlite3 shell running the same
// grouping query, and exporting a conversation of 200,000 messages.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

constexpr double chatsBudgetSeconds = 1.0;
constexpr double chatsRatioBudget = 2.0;
constexpr double exportBudgetSeconds = 2.0;
constexpr double exportMemoryBudgetMb = 300;

// What "chats" computes, as one grouping query: the messages of each chat
// that are no tapbacks or group events, with their first and last times.
const char *const groupingQuery
    = "SELECT cmj.chat_id, COUNT(*), MIN(m.date), MAX(m.date) FROM message m "
      "CROSS JOIN chat_message_join cmj ON cmj.message_id = m.ROWID "
      "WHERE IFNULL(m.associated_message_type, 0) = 0 AND IFNULL(m.item_type, 0) = 0 GROUP BY cmj.chat_id;";

// Chat 1 holds every fifth message, 200,000 of them; the rest spread over
// 299 chats, 20 of them groups. Every fiftieth message elsewhere is a tapback.
const char *const generator = R"(
PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA page_size=4096;
CREATE TABLE handle (ROWID INTEGER PRIMARY KEY AUTOINCREMENT UNIQUE, id TEXT NOT NULL, country TEXT,
  service TEXT NOT NULL, uncanonicalized_id TEXT, person_centric_id TEXT, UNIQUE (id, service));
CREATE TABLE chat (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT UNIQUE NOT NULL, style INTEGER,
  state INTEGER, account_id TEXT, properties BLOB, chat_identifier TEXT, service_name TEXT, room_name TEXT,
  display_name TEXT, group_id TEXT);
CREATE TABLE message (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT UNIQUE NOT NULL, text TEXT,
  handle_id INTEGER DEFAULT 0, attributedBody BLOB, service TEXT, date INTEGER, date_read INTEGER,
  date_delivered INTEGER, is_from_me INTEGER DEFAULT 0, cache_has_attachments INTEGER DEFAULT 0,
  is_audio_message INTEGER DEFAULT 0, item_type INTEGER DEFAULT 0, associated_message_guid TEXT,
  associated_message_type INTEGER DEFAULT 0, balloon_bundle_id TEXT, thread_originator_guid TEXT,
  date_edited INTEGER DEFAULT 0, date_retracted INTEGER DEFAULT 0);
CREATE TABLE chat_handle_join (chat_id INTEGER, handle_id INTEGER, UNIQUE(chat_id, handle_id));
CREATE TABLE chat_message_join (chat_id INTEGER, message_id INTEGER, message_date INTEGER DEFAULT 0,
  PRIMARY KEY (chat_id, message_id));
CREATE TABLE attachment (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT UNIQUE NOT NULL, filename TEXT,
  uti TEXT, mime_type TEXT, transfer_name TEXT, is_sticker INTEGER DEFAULT 0, hide_attachment INTEGER DEFAULT 0);
CREATE TABLE message_attachment_join (message_id INTEGER, attachment_id INTEGER, UNIQUE(message_id, attachment_id));
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)
  INSERT INTO handle (ROWID, id, service) SELECT i, printf('+1555%07d', i), 'iMessage' FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)
  INSERT INTO chat (ROWID, guid, style, chat_identifier, service_name, display_name)
  SELECT i, printf('iMessage;-;%d', i), CASE WHEN i > 280 THEN 43 ELSE 45 END,
         CASE WHEN i > 280 THEN printf('chat%d', i) ELSE printf('+1555%07d', i) END, 'iMessage',
         CASE WHEN i > 280 THEN printf('Group %d', i) ELSE '' END FROM n;
INSERT INTO chat_handle_join SELECT ROWID, ROWID FROM chat;
INSERT INTO chat_handle_join SELECT c.ROWID, h.ROWID FROM chat c JOIN handle h
  ON c.ROWID > 280 AND h.ROWID BETWEEN c.ROWID - 285 AND c.ROWID - 281;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000)
  INSERT INTO message (ROWID, guid, text, attributedBody, handle_id, is_from_me, date, service,
                       associated_message_type)
  SELECT i, printf('GUID-%08d', i), printf('message %d, a line of about the usual length', i), randomblob(120),
         CASE WHEN i % 5 = 0 THEN 1 ELSE 2 + (i % 299) END, i % 2, 700000000000000000 + i * 60000000000,
         'iMessage', CASE WHEN i % 50 = 1 THEN 2000 ELSE 0 END FROM n;
INSERT INTO chat_message_join (chat_id, message_id, message_date)
  SELECT CASE WHEN ROWID % 5 = 0 THEN 1 ELSE 2 + (ROWID % 299) END, ROWID, date FROM message;
CREATE INDEX chat_message_join_idx_message_id_only ON chat_message_join(message_id);
CREATE INDEX chat_message_join_idx_message_date_id_chat_id ON chat_message_join(chat_id, message_date, message_id);
CREATE INDEX message_idx_date ON message(date);
CREATE INDEX message_idx_handle ON message(handle_id, date);
)";

struct Run
{
    double seconds = 0;
    double peakMb = 0;
    int status = -1;
};

// Runs a program with its output thrown away; wall time and peak memory.
Run timed(const std::vector<QByteArray> &arguments)
{
    std::vector<char *> argv;
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Run run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    struct rusage usage = {};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMb = usage.ru_maxrss / 1024.0;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

Run bestOf(int count, const std::vector<QByteArray> &arguments)
{
    Run best;
    for (int i = 0; i < count; ++i) {
        const Run run = timed(arguments);
        if (i == 0 || run.seconds < best.seconds)
            best = run;
    }
    return best;
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
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("chat.db"));
    QProcess generate;
    generate.start(sqlite, { db });
    generate.write(generator);
    generate.closeWriteChannel();
    generate.waitForFinished(-1);
    if (generate.exitCode() != 0) {
        std::printf("brimlow-core bench: generating the store failed: %s\n",
            generate.readAllStandardError().constData());
        return 1;
    }
    std::printf("store: 1,000,000 messages in 300 chats, %.0f MB\n", QFileInfo(db).size() / 1048576.0);

    const QByteArray dbPath = QFile::encodeName(db);
    const Run shell = bestOf(3, { QFile::encodeName(sqlite), "-readonly", dbPath, groupingQuery });
    const Run chats = bestOf(3, { tool, "--db", dbPath, "chats", "--limit", "300" });
    const double ratio = chats.seconds / shell.seconds;
    std::printf(
        "chats --limit 300: %.3f s (budget %.1f s); sqlite3 shell: %.3f s; ratio %.2f (budget %.1f)\n",
        chats.seconds, chatsBudgetSeconds, shell.seconds, ratio, chatsRatioBudget);

    const QByteArray out = QFile::encodeName(dir.filePath(QStringLiteral("book.json")));
    const Run exported = bestOf(3,
        { tool, "--db", dbPath, "export", "--conversation", "+15550000001", "--out", out, "--them", "Sam",
            "--me", "Robin" });
    std::printf(
        "export of 200,000 messages: %.3f s (budget %.1f s), peak %.0f MB (budget %.0f MB), book %.0f MB\n",
        exported.seconds, exportBudgetSeconds, exported.peakMb, exportMemoryBudgetMb,
        QFileInfo(QString::fromLocal8Bit(out)).size() / 1048576.0);

    const bool ok = chats.status == 0 && exported.status == 0 && shell.status == 0
        && chats.seconds <= chatsBudgetSeconds && ratio <= chatsRatioBudget
        && exported.seconds <= exportBudgetSeconds && exported.peakMb <= exportMemoryBudgetMb;
    std::puts(ok ? "brimlow-core bench: within budget" : "brimlow-core bench: OVER BUDGET");
    return ok ? 0 : 1;
}
