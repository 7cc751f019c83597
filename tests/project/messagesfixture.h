#pragma once

// A small Messages database for the message tool to read: one conversation
// between the user and Sam ("+15550100"), written with the sqlite3 program.
#include "model/conversation.h"

#include <QDate>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

struct StoreMessage
{
    QDate day;
    bool fromMe = false;
    QString text;
};

inline QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''"))
        + QLatin1Char('\'');
}

// Messages at noon UTC, so their days read the same in any time zone near it.
inline void writeStore(const QString &path, const QList<StoreMessage> &messages)
{
    QString sql = QStringLiteral(
        "CREATE TABLE handle (ROWID INTEGER PRIMARY KEY, id TEXT, service TEXT);"
        "CREATE TABLE chat (ROWID INTEGER PRIMARY KEY, guid TEXT, style INTEGER, chat_identifier TEXT,"
        " service_name TEXT, display_name TEXT);"
        "CREATE TABLE message (ROWID INTEGER PRIMARY KEY, guid TEXT, text TEXT, handle_id INTEGER,"
        " is_from_me INTEGER, date INTEGER, service TEXT);"
        "CREATE TABLE chat_message_join (chat_id INTEGER, message_id INTEGER);"
        "CREATE TABLE chat_handle_join (chat_id INTEGER, handle_id INTEGER);"
        "INSERT INTO handle VALUES (1, '+15550100', 'iMessage');"
        "INSERT INTO chat VALUES (1, 'iMessage;-;+15550100', 45, '+15550100', 'iMessage', '');"
        "INSERT INTO chat_handle_join VALUES (1, 1);BEGIN;");
    for (int i = 0; i < messages.size(); ++i) {
        const StoreMessage &message = messages[i];
        // Seconds since the start of 2001, as the old schema stores them.
        const qint64 date = QDateTime(message.day, QTime(12, 0), Qt::UTC).toSecsSinceEpoch() - 978307200;
        sql += QStringLiteral("INSERT INTO message VALUES (%1, 'G%1', %2, %3, %4, %5, 'iMessage');"
                              "INSERT INTO chat_message_join VALUES (1, %1);")
                   .arg(i + 1)
                   .arg(quoted(message.text))
                   .arg(message.fromMe ? 0 : 1)
                   .arg(message.fromMe ? 1 : 0)
                   .arg(date);
    }
    sql += QStringLiteral("COMMIT;");
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), { path });
    sqlite.write(sql.toUtf8());
    sqlite.closeWriteChannel();
    ASSERT_TRUE(sqlite.waitForFinished(60000));
    ASSERT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().toStdString();
}

// The conversation with Sam in the store at path, as the computer's own source.
inline Conversation samIn(const QString &path)
{
    Conversation conversation;
    conversation.key = QStringLiteral("+15550100");
    conversation.source.id = QStringLiteral("mac");
    conversation.source.name = QStringLiteral("This Computer");
    conversation.source.database = path;
    return conversation;
}
