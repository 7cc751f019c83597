// WhatsApp's Android databases among the samples, in the schemas the app
// has used, cut down to the tables and columns that hold the chats.
#include "chatexports.h"
#include "sqlitedatabase.h"
#include "sqlitestatement.h"

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
