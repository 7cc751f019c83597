// WhatsApp's Android databases among the samples, in the schemas the app
// has used, cut down to the tables and columns that hold the chats.
#include "chatexports.h"
#include "exportshapes.h"
#include "sqlitedatabase.h"
#include "sqlitestatement.h"

#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>

using Brimlow::SqliteDatabase;
using Brimlow::SqliteStatement;

namespace ChatExports {

namespace {

const char *const CurrentSchema = R"(
CREATE TABLE jid (_id INTEGER PRIMARY KEY AUTOINCREMENT, user TEXT NOT NULL, server TEXT NOT NULL,
  agent INTEGER, device INTEGER, type INTEGER, raw_string TEXT);
CREATE TABLE chat (_id INTEGER PRIMARY KEY AUTOINCREMENT, jid_row_id INTEGER UNIQUE, hidden INTEGER,
  subject TEXT, created_timestamp INTEGER, display_message_row_id INTEGER, last_message_row_id INTEGER);
CREATE TABLE message (_id INTEGER PRIMARY KEY AUTOINCREMENT, chat_row_id INTEGER NOT NULL,
  from_me INTEGER NOT NULL, key_id TEXT NOT NULL, sender_jid_row_id INTEGER, status INTEGER,
  broadcast INTEGER, recipient_count INTEGER, participant_hash TEXT, origination_flags INTEGER,
  origin INTEGER, timestamp INTEGER, received_timestamp INTEGER, receipt_server_timestamp INTEGER,
  message_type INTEGER, text_data TEXT, starred INTEGER, lookup_tables INTEGER, sort_id INTEGER NOT NULL DEFAULT 0);
CREATE TABLE message_media (message_row_id INTEGER PRIMARY KEY, chat_row_id INTEGER, autotransfer_retry_enabled
  INTEGER, multicast_id TEXT, media_job_uuid TEXT, transferred INTEGER, transcoded INTEGER, file_path TEXT,
  file_size INTEGER, suspicious_content INTEGER, trim_from INTEGER, trim_to INTEGER, face_x INTEGER,
  face_y INTEGER, media_key BLOB, media_key_timestamp INTEGER, width INTEGER, height INTEGER,
  has_streaming_sidecar INTEGER, gif_attribution INTEGER, thumbnail_height_width_ratio REAL, direct_path TEXT,
  first_scan_sidecar BLOB, first_scan_length INTEGER, message_url TEXT, mime_type TEXT, file_length INTEGER,
  media_name TEXT, file_hash TEXT, media_duration INTEGER, page_count INTEGER, enc_file_hash TEXT,
  partial_media_hash TEXT, partial_media_enc_hash TEXT, is_animated_sticker INTEGER, original_file_hash TEXT,
  mute_video INTEGER DEFAULT 0, media_caption TEXT);
)";

const char *const OlderSchema = R"(
CREATE TABLE messages (_id INTEGER PRIMARY KEY AUTOINCREMENT, key_remote_jid TEXT NOT NULL,
  key_from_me INTEGER, key_id TEXT NOT NULL, status INTEGER, needs_push INTEGER, data TEXT, timestamp INTEGER,
  media_url TEXT, media_mime_type TEXT, media_wa_type TEXT, media_size INTEGER, media_name TEXT,
  media_caption TEXT, media_hash TEXT, media_duration INTEGER, origin INTEGER, latitude REAL, longitude REAL,
  thumb_image TEXT, remote_resource TEXT, received_timestamp INTEGER, send_timestamp INTEGER,
  receipt_server_timestamp INTEGER, receipt_device_timestamp INTEGER, raw_data BLOB, recipient_count INTEGER,
  participant_hash TEXT, starred INTEGER, quoted_row_id INTEGER, mentioned_jids TEXT, multicast_id TEXT,
  edit_version INTEGER, media_enc_hash TEXT, payment_transaction_id TEXT, forwarded INTEGER);
CREATE TABLE chat_list (_id INTEGER PRIMARY KEY AUTOINCREMENT, key_remote_jid TEXT UNIQUE,
  message_table_id INTEGER, subject TEXT, creation INTEGER, last_read_message_table_id INTEGER);
)";

void run(SqliteDatabase &db, const QString &sql, const QList<QVariant> &values)
{
    SqliteStatement statement(db, sql);
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &value = values.at(i);
        if (value.typeId() == QMetaType::QString)
            statement.bind(i + 1, value.toString());
        else if (!value.isNull())
            statement.bind(i + 1, value.toLongLong());
    }
    statement.next();
}

} // namespace

QString whatsAppDatabase(const QString &folder)
{
    const QString root = folder + QStringLiteral("/WhatsApp");
    QDir().mkpath(root + QStringLiteral("/Databases"));
    writeFile(root + QStringLiteral("/Media/WhatsApp Images/IMG-20240306-WA0001.jpg"), photoBytes());
    {
        SqliteDatabase db(root + QStringLiteral("/Databases/msgstore.db"), SqliteDatabase::Mode::ReadWrite);
        db.execute(CurrentSchema);
        run(db, "INSERT INTO jid (_id, user, server, type, raw_string) VALUES (?, ?, ?, 0, ?)",
            { 1, "15550100", "s.whatsapp.net", "15550100@s.whatsapp.net" });
        run(db, "INSERT INTO jid (_id, user, server, type, raw_string) VALUES (?, ?, ?, 1, ?)",
            { 2, "120363000000000001", "g.us", "120363000000000001@g.us" });
        run(db, "INSERT INTO jid (_id, user, server, type, raw_string) VALUES (?, ?, ?, 0, ?)",
            { 3, "status", "broadcast", "status@broadcast" });
        run(db, "INSERT INTO chat (_id, jid_row_id, subject) VALUES (?, ?, ?)", { 1, 1, QVariant() });
        run(db, "INSERT INTO chat (_id, jid_row_id, subject) VALUES (?, ?, ?)", { 2, 2, "Hiking Crew" });
        run(db, "INSERT INTO chat (_id, jid_row_id, subject) VALUES (?, ?, ?)", { 3, 3, QVariant() });
        const QString insert = QStringLiteral("INSERT INTO message (_id, chat_row_id, from_me, key_id, "
                                              "sender_jid_row_id, timestamp, message_type, text_data) VALUES "
                                              "(?, ?, ?, ?, ?, ?, ?, ?)");
        run(db, insert, { 1, 1, 0, "K1", QVariant(), qint64(1709673240000), 0, "hey café" });
        run(db, insert, { 2, 1, 1, "K2", QVariant(), qint64(1709673300000), 0, "on my way 👋" });
        run(db, insert, { 3, 1, 0, "K3", QVariant(), qint64(1709712000000), 1, "the summit!" });
        run(db, insert, { 4, 2, 0, "K4", QVariant(), qint64(1709600000000), 7, QVariant() });
        run(db, insert, { 5, 2, 0, "K5", 1, qint64(1709600060000), 0, "who's in?" });
        run(db, insert, { 6, 3, 0, "K6", 1, qint64(1709600120000), 1, QVariant() });
        run(db,
            "INSERT INTO message_media (message_row_id, chat_row_id, file_path, mime_type) VALUES (?, ?, ?, "
            "?)",
            { 3, 1, "Media/WhatsApp Images/IMG-20240306-WA0001.jpg", "image/jpeg" });
    }
    SqliteDatabase contacts(root + QStringLiteral("/Databases/wa.db"), SqliteDatabase::Mode::ReadWrite);
    contacts.execute("CREATE TABLE wa_contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, jid TEXT NOT NULL, "
                     "is_whatsapp_user BOOLEAN NOT NULL, status TEXT, number TEXT, display_name TEXT, "
                     "wa_name TEXT)");
    run(contacts,
        "INSERT INTO wa_contacts (jid, is_whatsapp_user, number, display_name, wa_name) VALUES (?, 1, ?, ?, "
        "?)",
        { "15550100@s.whatsapp.net", "+15550100", "Sam", "Sammy" });
    return root;
}

QString whatsAppOlderDatabase(const QString &folder)
{
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/msgstore-2021-01-31.1.db");
    SqliteDatabase db(path, SqliteDatabase::Mode::ReadWrite);
    db.execute(OlderSchema);
    const QString insert
        = QStringLiteral("INSERT INTO messages (key_remote_jid, key_from_me, key_id, status, data, "
                         "timestamp, media_wa_type, media_name, media_caption, remote_resource) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    run(db, insert,
        { "-1", 0, "K0", -1, QVariant(), qint64(1709600000000), "0", QVariant(), QVariant(), QVariant() });
    run(db, insert,
        { "15550100@s.whatsapp.net", 0, "K1", 0, "hey café", qint64(1709673240000), "0", QVariant(),
            QVariant(), QVariant() });
    run(db, insert,
        { "15550100@s.whatsapp.net", 1, "K2", 13, "on my way 👋", qint64(1709673300000), "0", QVariant(),
            QVariant(), QVariant() });
    run(db, insert,
        { "15550100@s.whatsapp.net", 0, "K3", 0, QVariant(), qint64(1709712000000), "1",
            "IMG-20240306-WA0001.jpg", "the summit!", QVariant() });
    run(db, insert,
        { "120363000000000001@g.us", 0, "K4", 6, QVariant(), qint64(1709600000000), "0", QVariant(),
            QVariant(), QVariant() });
    run(db, "INSERT INTO chat_list (key_remote_jid, subject) VALUES (?, ?)",
        { "120363000000000001@g.us", "Hiking Crew" });
    return path;
}

QByteArray encryptedWhatsApp(int version)
{
    // A backup prefix: key type, the cipher's IV (field 2 for crypt14,
    // field 3 for crypt15) and the app's version.
    QByteArray iv(16, '\x5a');
    QByteArray cipher = version == 15 ? QByteArray("\x0a\x10") + iv
                                      : QByteArray("\x0a\x02\x00\x01", 4)
            + "\x12\x01"
              "1"
            + "\x2a\x10" + iv;
    QByteArray info = "\x0a\x0a"
                      "2.24.4.76"
                      "\x1a\x02"
                      "42";
    info[1] = char(QByteArray("2.24.4.76").size());
    QByteArray prefix = QByteArray("\x08", 1) + char(version == 15 ? 1 : 0);
    prefix += char(version == 15 ? 0x1a : 0x12);
    prefix += char(cipher.size());
    prefix += cipher;
    prefix += '\x22';
    prefix += char(info.size());
    prefix += info;
    QByteArray file;
    file += char(prefix.size());
    file += '\x01';
    file += prefix;
    QRandomGenerator random(version);
    for (int i = 0; i < 4096; ++i)
        file += char(random.bounded(256));
    return file;
}

} // namespace ChatExports

namespace ExportShapes {

namespace {

using ChatExports::CurrentSchema;
using ChatExports::OlderSchema;
using ChatExports::photoBytes;
using ChatExports::run;
using ChatExports::writeFile;

qint64 ms(const char *at)
{
    return QDateTime::fromString(QLatin1String(at), Qt::ISODate).toMSecsSinceEpoch();
}

// A row of the history: who wrote it in which chat, the store's kind of
// message, its text and the photo it carries.
struct Row
{
    qint64 id;
    const char *chat; // the chat's jid
    const char *sender; // a group member's jid, or nullptr for the other person or the user
    bool fromMe;
    const char *at; // UTC
    int type; // 0 text, 1 image, 7 group event, 15 deleted
    const char *text;
    const char *photo = nullptr; // the file's name in Media/WhatsApp Images
};

const char *const Aino = "358401234567@s.whatsapp.net";
const char *const Jussi = "358507654321@s.whatsapp.net";
const char *const Cabin = "120363021234567890@g.us";

// Before WhatsApp moved its history: December 2021, a chat with Aino and
// the group "Mökki 2021", with a photo, a deleted message and an event.
const QList<Row> &december()
{
    static const QList<Row> rows = {
        { 2, Aino, nullptr, false, "2021-12-23T18:02:11Z", 0, "Tuletko huomenna?" },
        { 3, Aino, nullptr, true, "2021-12-23T18:05:40Z", 0, "Tulen! Otan piparit mukaan" },
        { 4, Cabin, Jussi, false, "2021-12-23T19:00:00Z", 7, nullptr },
        { 5, Aino, nullptr, false, "2021-12-24T09:05:33Z", 0, "Hyvää joulua!\nNähdään illalla" },
        { 6, Aino, nullptr, false, "2021-12-24T09:06:00Z", 1, "Kuusi on valmis", "IMG-20211224-WA0003.jpg" },
        { 7, Aino, nullptr, false, "2021-12-24T09:07:12Z", 15, nullptr },
        { 8, Aino, nullptr, true, "2021-12-26T21:40:02Z", 0, "Kiitos kaikesta ❤️" },
        { 9, Cabin, Jussi, false, "2021-12-27T10:00:00Z", 0, "Sauna lämpiää kuudelta" },
        { 10, Cabin, "447700900123@s.whatsapp.net", false, "2021-12-27T10:01:30Z", 0, "Count me in! 🧖" },
        { 11, Cabin, nullptr, true, "2021-12-27T10:03:00Z", 0, "Tuon makkarat" },
    };
    return rows;
}

// After the move: the new year, in the newer table only.
const QList<Row> &january()
{
    static const QList<Row> rows = {
        { 12, Aino, nullptr, false, "2022-01-01T00:00:41Z", 0, "Hyvää uutta vuotta! 🎆" },
        { 13, Aino, nullptr, true, "2022-01-01T00:02:05Z", 0, "Samoin!\nEnsi vuonna taas mökille" },
        { 14, Cabin, Jussi, false, "2022-01-03T08:15:00Z", 1, "Kuvat tulossa", "IMG-20220103-WA0001.jpg" },
        { 15, Cabin, Jussi, false, "2022-01-03T08:16:00Z", 7, nullptr },
    };
    return rows;
}

QString keyOf(const Row &row)
{
    return QStringLiteral("%1-%2")
        .arg(QLatin1String(row.fromMe ? "3EB0" : "A1F2"))
        .arg(row.id, 6, 10, QLatin1Char('0'));
}

void writeOlder(SqliteDatabase &db, const QList<Row> &rows)
{
    const QString insert
        = QStringLiteral("INSERT INTO messages (_id, key_remote_jid, key_from_me, key_id, status, data, "
                         "timestamp, media_wa_type, media_name, media_mime_type, media_caption, "
                         "remote_resource) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    // Every store of these years begins with a row that is no message.
    run(db, insert,
        { 1, "-1", 0, "-1", -1, QVariant(), 0, "0", QVariant(), QVariant(), QVariant(), QVariant() });
    for (const Row &row : rows) {
        const bool photo = row.photo != nullptr;
        run(db, insert,
            { row.id, row.chat, row.fromMe ? 1 : 0, keyOf(row), row.type == 7 ? 6 : (row.fromMe ? 13 : 0),
                photo ? QVariant() : QVariant(row.text), ms(row.at),
                QString::number(row.type == 7 ? 0 : row.type), photo ? QVariant(row.photo) : QVariant(),
                photo ? QVariant("image/jpeg") : QVariant(), photo ? QVariant(row.text) : QVariant(),
                row.sender ? QVariant(row.sender) : QVariant() });
    }
}

void writeCurrent(SqliteDatabase &db, const QList<Row> &rows)
{
    const QString insert = QStringLiteral("INSERT INTO message (_id, chat_row_id, from_me, key_id, "
                                          "sender_jid_row_id, timestamp, message_type, text_data) VALUES "
                                          "(?, ?, ?, ?, ?, ?, ?, ?)");
    // The empty row the newer table starts with.
    run(db, insert, { 1, -1, 0, "-1", QVariant(), 0, 0, QVariant() });
    const QHash<QString, int> jids
        = { { Aino, 1 }, { Jussi, 2 }, { "447700900123@s.whatsapp.net", 3 }, { Cabin, 4 } };
    for (const Row &row : rows) {
        run(db, insert,
            { row.id, row.chat == Cabin ? 2 : 1, row.fromMe ? 1 : 0, keyOf(row),
                row.sender ? QVariant(jids.value(row.sender)) : QVariant(), ms(row.at), row.type,
                row.text ? QVariant(row.text) : QVariant() });
        if (row.photo)
            run(db,
                "INSERT INTO message_media (message_row_id, chat_row_id, file_path, mime_type) VALUES (?, ?, "
                "?, "
                "?)",
                { row.id, row.chat == Cabin ? 2 : 1, QStringLiteral("Media/WhatsApp Images/") + row.photo,
                    "image/jpeg" });
    }
}

// WhatsApp/Databases/msgstore.db with both schemas, and wa.db beside it;
// the newer table holds the rows given to it, or only its empty row.
QString writeStore(const QString &folder, const QList<Row> &older, const QList<Row> &current)
{
    const QString root = folder + QStringLiteral("/WhatsApp");
    QDir().mkpath(root + QStringLiteral("/Databases"));
    for (const QList<Row> *rows : { &older, &current }) {
        for (const Row &row : *rows) {
            if (row.photo)
                writeFile(root + QStringLiteral("/Media/WhatsApp Images/") + row.photo, photoBytes());
        }
    }
    {
        SqliteDatabase db(root + QStringLiteral("/Databases/msgstore.db"), SqliteDatabase::Mode::ReadWrite);
        db.execute(OlderSchema);
        db.execute(CurrentSchema);
        run(db, "INSERT INTO chat_list (key_remote_jid, subject) VALUES (?, ?)", { Aino, QVariant() });
        run(db, "INSERT INTO chat_list (key_remote_jid, subject) VALUES (?, ?)", { Cabin, "Mökki 2021" });
        const QList<std::pair<int, QString>> jids
            = { { 1, Aino }, { 2, Jussi }, { 3, "447700900123@s.whatsapp.net" }, { 4, Cabin } };
        for (const auto &[id, jid] : jids)
            run(db, "INSERT INTO jid (_id, user, server, type, raw_string) VALUES (?, ?, ?, 0, ?)",
                { id, jid.section('@', 0, 0), jid.section('@', 1), jid });
        run(db, "INSERT INTO chat (_id, jid_row_id, subject) VALUES (?, ?, ?)", { 1, 1, QVariant() });
        run(db, "INSERT INTO chat (_id, jid_row_id, subject) VALUES (?, ?, ?)", { 2, 4, "Mökki 2021" });
        writeOlder(db, older);
        writeCurrent(db, current);
    }
    SqliteDatabase contacts(root + QStringLiteral("/Databases/wa.db"), SqliteDatabase::Mode::ReadWrite);
    contacts.execute("CREATE TABLE wa_contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, jid TEXT NOT NULL, "
                     "is_whatsapp_user BOOLEAN NOT NULL, status TEXT, number TEXT, display_name TEXT, "
                     "wa_name TEXT)");
    for (const auto &[jid, name] :
        { std::pair { Aino, "Aino Virtanen" }, std::pair { Jussi, "Jussi Korhonen" } })
        run(contacts, "INSERT INTO wa_contacts (jid, is_whatsapp_user, display_name) VALUES (?, 1, ?)",
            { jid, name });
    return root;
}

const QList<Message> decemberWithAino = {
    "Aino Virtanen | 2021-12-23T18:02:11 | Tuletko huomenna?",
    "Me | 2021-12-23T18:05:40 | Tulen! Otan piparit mukaan",
    "Aino Virtanen | 2021-12-24T09:05:33 | Hyvää joulua!\nNähdään illalla",
    "Aino Virtanen | 2021-12-24T09:06:00 | Kuusi on valmis [photo]",
    "Me | 2021-12-26T21:40:02 | Kiitos kaikesta ❤️",
};
const QList<Message> decemberInTheCabin = {
    "Jussi Korhonen | 2021-12-27T10:00:00 | Sauna lämpiää kuudelta",
    "+447700900123 | 2021-12-27T10:01:30 | Count me in! 🧖",
    "Me | 2021-12-27T10:03:00 | Tuon makkarat",
};

} // namespace

Shape whatsAppStoreBeforeTheMove()
{
    return { QStringLiteral("WhatsApp store, history in the older table"),
        { { QStringLiteral("Aino Virtanen"), QStringLiteral("Me"), {}, decemberWithAino },
            { QStringLiteral("Mökki 2021"), QStringLiteral("Me"), {}, decemberInTheCabin } },
        [](const QString &folder) { return writeStore(folder, december(), {}); } };
}

Shape whatsAppStoreWithoutChatList()
{
    return { QStringLiteral("WhatsApp store, history in the older table and no chat_list"),
        { { QStringLiteral("Aino Virtanen"), QStringLiteral("Me"), {}, decemberWithAino },
            { QStringLiteral("Mökki 2021"), QStringLiteral("Me"), {}, decemberInTheCabin } },
        [](const QString &folder) {
            const QString root = writeStore(folder, december(), {});
            SqliteDatabase db(
                root + QStringLiteral("/Databases/msgstore.db"), SqliteDatabase::Mode::ReadWrite);
            db.execute("DROP TABLE chat_list");
            return root;
        } };
}

Shape whatsAppStoreDuringTheMove()
{
    return { QStringLiteral("WhatsApp store, history in both tables"),
        { { QStringLiteral("Aino Virtanen"), QStringLiteral("Me"), {},
              decemberWithAino
                  + QList<Message> { "Aino Virtanen | 2022-01-01T00:00:41 | Hyvää uutta vuotta! 🎆",
                      "Me | 2022-01-01T00:02:05 | Samoin!\nEnsi vuonna taas mökille" } },
            { QStringLiteral("Mökki 2021"), QStringLiteral("Me"), {},
                decemberInTheCabin
                    + QList<Message> { "Jussi Korhonen | 2022-01-03T08:15:00 | Kuvat tulossa [photo]" } } },
        [](const QString &folder) {
            // The move copied the days after Christmas and went on in the newer table.
            return writeStore(folder, december(), december().mid(5) + january());
        } };
}

} // namespace ExportShapes
