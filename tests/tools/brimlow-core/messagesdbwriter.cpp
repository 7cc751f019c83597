#include "messagesdbwriter.h"

#include "sqlitestatement.h"
#include "typedstreamwriter.h"

#include <QFile>
#include <sqlite3.h>

using Brimlow::SqliteDatabase;
using Brimlow::SqliteStatement;

namespace {

const char *const OldSchema = R"(
CREATE TABLE handle (ROWID INTEGER PRIMARY KEY AUTOINCREMENT UNIQUE, id TEXT NOT NULL, country TEXT,
  service TEXT NOT NULL, uncanonicalized_id TEXT, UNIQUE (id, service));
CREATE TABLE chat (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT UNIQUE NOT NULL, style INTEGER,
  state INTEGER, account_id TEXT, properties BLOB, chat_identifier TEXT, service_name TEXT, room_name TEXT,
  account_login TEXT, is_archived INTEGER DEFAULT 0, last_addressed_handle TEXT, display_name TEXT,
  group_id TEXT, is_filtered INTEGER, successful_query INTEGER);
CREATE TABLE message (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT UNIQUE NOT NULL, text TEXT,
  replace INTEGER DEFAULT 0, service_center TEXT, handle_id INTEGER DEFAULT 0, subject TEXT, country TEXT,
  attributedBody BLOB, version INTEGER DEFAULT 0, type INTEGER DEFAULT 0, service TEXT, account TEXT,
  account_guid TEXT, error INTEGER DEFAULT 0, date INTEGER, date_read INTEGER, date_delivered INTEGER,
  is_delivered INTEGER DEFAULT 0, is_finished INTEGER DEFAULT 0, is_emote INTEGER DEFAULT 0,
  is_from_me INTEGER DEFAULT 0, is_empty INTEGER DEFAULT 0, is_delayed INTEGER DEFAULT 0,
  is_auto_reply INTEGER DEFAULT 0, is_prepared INTEGER DEFAULT 0, is_read INTEGER DEFAULT 0,
  is_system_message INTEGER DEFAULT 0, is_sent INTEGER DEFAULT 0, has_dd_results INTEGER DEFAULT 0,
  is_service_message INTEGER DEFAULT 0, is_forward INTEGER DEFAULT 0, was_downgraded INTEGER DEFAULT 0,
  is_archive INTEGER DEFAULT 0, cache_has_attachments INTEGER DEFAULT 0, cache_roomnames TEXT,
  was_data_detected INTEGER DEFAULT 0, was_deduplicated INTEGER DEFAULT 0);
CREATE TABLE chat_handle_join (chat_id INTEGER REFERENCES chat (ROWID) ON DELETE CASCADE,
  handle_id INTEGER REFERENCES handle (ROWID) ON DELETE CASCADE, UNIQUE(chat_id, handle_id));
CREATE TABLE chat_message_join (chat_id INTEGER REFERENCES chat (ROWID) ON DELETE CASCADE,
  message_id INTEGER REFERENCES message (ROWID) ON DELETE CASCADE, PRIMARY KEY (chat_id, message_id));
CREATE TABLE attachment (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT UNIQUE NOT NULL,
  created_date INTEGER DEFAULT 0, start_date INTEGER DEFAULT 0, filename TEXT, uti TEXT, mime_type TEXT,
  transfer_state INTEGER DEFAULT 0, is_outgoing INTEGER DEFAULT 0);
CREATE TABLE message_attachment_join (message_id INTEGER REFERENCES message (ROWID) ON DELETE CASCADE,
  attachment_id INTEGER REFERENCES attachment (ROWID) ON DELETE CASCADE, UNIQUE(message_id, attachment_id));
CREATE INDEX message_idx_handle ON message(handle_id, date);
)";

// What 2017's systems added.
const char *const HighSierraAdditions = R"(
ALTER TABLE message ADD COLUMN is_audio_message INTEGER DEFAULT 0;
ALTER TABLE message ADD COLUMN is_played INTEGER DEFAULT 0;
ALTER TABLE message ADD COLUMN date_played INTEGER;
ALTER TABLE message ADD COLUMN item_type INTEGER DEFAULT 0;
ALTER TABLE message ADD COLUMN other_handle INTEGER DEFAULT 0;
ALTER TABLE message ADD COLUMN group_title TEXT;
ALTER TABLE message ADD COLUMN group_action_type INTEGER DEFAULT 0;
ALTER TABLE message ADD COLUMN message_action_type INTEGER DEFAULT 0;
ALTER TABLE message ADD COLUMN associated_message_guid TEXT;
ALTER TABLE message ADD COLUMN associated_message_type INTEGER DEFAULT 0;
ALTER TABLE message ADD COLUMN balloon_bundle_id TEXT;
ALTER TABLE message ADD COLUMN payload_data BLOB;
ALTER TABLE message ADD COLUMN expressive_send_style_id TEXT;
ALTER TABLE message ADD COLUMN reply_to_guid TEXT;
ALTER TABLE attachment ADD COLUMN transfer_name TEXT;
ALTER TABLE attachment ADD COLUMN total_bytes INTEGER DEFAULT 0;
ALTER TABLE attachment ADD COLUMN is_sticker INTEGER DEFAULT 0;
ALTER TABLE attachment ADD COLUMN hide_attachment INTEGER DEFAULT 0;
ALTER TABLE chat_message_join ADD COLUMN message_date INTEGER DEFAULT 0;
CREATE INDEX chat_message_join_idx_message_id_only ON chat_message_join(message_id);
CREATE INDEX chat_message_join_idx_message_date_id_chat_id ON chat_message_join(chat_id, message_date, message_id);
CREATE INDEX message_idx_date ON message(date);
CREATE INDEX message_attachment_join_idx_message_id ON message_attachment_join(message_id);
)";

const char *const VenturaAdditions = R"(
ALTER TABLE message ADD COLUMN thread_originator_guid TEXT;
ALTER TABLE message ADD COLUMN date_retracted INTEGER DEFAULT 0;
ALTER TABLE message ADD COLUMN date_edited INTEGER DEFAULT 0;
ALTER TABLE message ADD COLUMN part_count INTEGER;
ALTER TABLE handle ADD COLUMN person_centric_id TEXT;
)";

} // namespace

MessagesDbWriter::MessagesDbWriter(const QString &path, Schema schema)
    : m_schema(schema)
{
    QFile::remove(path);
    m_db = SqliteDatabase(path, SqliteDatabase::Mode::ReadWrite);
    m_db.execute(OldSchema);
    if (schema != Schema::Old)
        m_db.execute(HighSierraAdditions);
    if (schema == Schema::Ventura)
        m_db.execute(VenturaAdditions);
}

qint64 MessagesDbWriter::storedTime(const QDateTime &at) const
{
    const qint64 seconds = at.toSecsSinceEpoch() - 978307200;
    return m_schema == Schema::Old ? seconds : seconds * 1'000'000'000;
}

qint64 MessagesDbWriter::handle(const QString &id, const QString &service)
{
    SqliteStatement insert(m_db, "INSERT INTO handle (id, service, country) VALUES (?, ?, 'us')");
    insert.bind(1, id);
    insert.bind(2, service);
    insert.next();
    return sqlite3_last_insert_rowid(m_db.handle());
}

qint64 MessagesDbWriter::chat(const QString &identifier, Style style, const QString &service,
    const QList<qint64> &handles, const QString &displayName)
{
    SqliteStatement insert(m_db,
        "INSERT INTO chat (guid, style, chat_identifier, service_name, display_name) "
        "VALUES (?, ?, ?, ?, ?)");
    insert.bind(1, service + (style == Style::Group ? ";+;" : ";-;") + identifier);
    insert.bind(2, qint64(style == Style::Group ? 43 : 45));
    insert.bind(3, identifier);
    insert.bind(4, service);
    insert.bind(5, displayName);
    insert.next();
    const qint64 chat = sqlite3_last_insert_rowid(m_db.handle());
    for (qint64 handle : handles) {
        SqliteStatement join(m_db, "INSERT INTO chat_handle_join (chat_id, handle_id) VALUES (?, ?)");
        join.bind(1, chat);
        join.bind(2, handle);
        join.next();
    }
    return chat;
}

qint64 MessagesDbWriter::add(const Message &message)
{
    const bool modern = m_schema != Schema::Old;
    QString columns = QStringLiteral("guid, text, attributedBody, handle_id, is_from_me, date, service, "
                                     "cache_has_attachments");
    QString values = QStringLiteral("?, ?, ?, ?, ?, ?, 'iMessage', ?");
    if (modern) {
        columns += QStringLiteral(", associated_message_type, item_type, is_audio_message");
        values += QStringLiteral(", ?, ?, ?");
    }
    SqliteStatement insert(m_db, QStringLiteral("INSERT INTO message (%1) VALUES (%2)").arg(columns, values));
    insert.bind(1, QStringLiteral("GUID-%1").arg(++m_guid, 6, 10, QLatin1Char('0')));
    const bool attributedOnly = message.storage == TextStorage::AttributedOnly;
    if (!attributedOnly && !message.text.isNull())
        insert.bind(2, message.text);
    if (!message.text.isNull())
        insert.bind(3, TypedStreamWriter::attributedString(message.text));
    insert.bind(4, message.fromMe ? 0 : message.handle);
    insert.bind(5, qint64(message.fromMe ? 1 : 0));
    insert.bind(6, storedTime(message.at));
    insert.bind(7, qint64(message.attachments.isEmpty() ? 0 : 1));
    if (modern) {
        insert.bind(8, qint64(message.associatedType));
        insert.bind(9, qint64(message.itemType));
        insert.bind(10, qint64(message.audio ? 1 : 0));
    }
    insert.next();
    const qint64 row = sqlite3_last_insert_rowid(m_db.handle());

    SqliteStatement join(m_db,
        modern ? "INSERT INTO chat_message_join (chat_id, message_id, message_date) "
                 "VALUES (?, ?, ?)"
               : "INSERT INTO chat_message_join (chat_id, message_id) VALUES (?, ?)");
    join.bind(1, message.chat);
    join.bind(2, row);
    if (modern)
        join.bind(3, storedTime(message.at));
    join.next();

    for (const Attachment &attachment : message.attachments) {
        SqliteStatement file(m_db,
            modern ? "INSERT INTO attachment (guid, filename, mime_type, uti, transfer_name, "
                     "is_sticker, hide_attachment) VALUES (?, ?, ?, ?, ?, ?, ?)"
                   : "INSERT INTO attachment (guid, filename, mime_type, uti) "
                     "VALUES (?, ?, ?, ?)");
        file.bind(1, QStringLiteral("AT-%1").arg(++m_guid));
        file.bind(2, attachment.filename);
        file.bind(3, attachment.mimeType);
        file.bind(4, attachment.uti);
        if (modern) {
            file.bind(5, attachment.transferName);
            file.bind(6, qint64(attachment.sticker ? 1 : 0));
            file.bind(7, qint64(attachment.hidden ? 1 : 0));
        }
        file.next();
        SqliteStatement link(
            m_db, "INSERT INTO message_attachment_join (message_id, attachment_id) VALUES (?, ?)");
        link.bind(1, row);
        link.bind(2, sqlite3_last_insert_rowid(m_db.handle()));
        link.next();
    }
    return row;
}

void MessagesDbWriter::begin()
{
    m_db.execute("BEGIN");
}

void MessagesDbWriter::commit()
{
    m_db.execute("COMMIT");
}
