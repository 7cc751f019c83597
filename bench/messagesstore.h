#pragma once

// The Messages store the benchmarks read: 1,000,000 messages in 300 chats,
// written by the sqlite3 shell.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <cstdio>

namespace Bench {

// Chat 1 holds every fifth message, 200,000 of them; the rest spread over
// 299 chats, 20 of them groups. Every fiftieth message elsewhere is a tapback.
inline const char *const messagesStoreSql = R"(
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

// Writes the store at path; false, with the shell's complaint printed, when
// that fails.
inline bool writeMessagesStore(const QString &sqlite, const QString &path)
{
    QProcess generate;
    generate.start(sqlite, { path });
    generate.write(messagesStoreSql);
    generate.closeWriteChannel();
    generate.waitForFinished(-1);
    if (generate.exitCode() != 0) {
        std::printf(
            "generating the Messages store failed: %s\n", generate.readAllStandardError().constData());
        return false;
    }
    return true;
}

} // namespace Bench
