#pragma once

#include "sqlitedatabase.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Builds Messages stores of the schema versions in use, with invented
// people, for tests and benchmarks.
class MessagesDbWriter
{
public:
    enum class Schema {
        Old, // to 2016: times in seconds; no reactions, item types, voice or sticker flags
        HighSierra, // 2017 on: nanoseconds, reactions, item types, stickers
        Ventura, // 2022 on: texts often only in attributedBody, edits and unsends
    };

    enum class Style { OneToOne, Group };

    enum class TextStorage {
        Text, // the text column
        AttributedOnly, // text NULL, the text archived in attributedBody
    };

    struct Attachment
    {
        QString filename;
        QString mimeType;
        QString uti;
        QString transferName;
        bool sticker = false;
        bool hidden = false;
    };

    struct Message
    {
        qint64 chat = 0;
        qint64 handle = 0; // the sender of a received message
        bool fromMe = false;
        QDateTime at;
        QString text;
        TextStorage storage = TextStorage::Text;
        int associatedType = 0; // 2000-2005: tapbacks
        int itemType = 0; // non-zero: group events
        bool audio = false;
        QList<Attachment> attachments;
    };

    MessagesDbWriter(const QString &path, Schema schema);

    qint64 handle(const QString &id, const QString &service = QStringLiteral("iMessage"));
    qint64 chat(const QString &identifier, Style style, const QString &service, const QList<qint64> &handles,
        const QString &displayName = {});
    qint64 add(const Message &message);

    // Many messages at once, inside one transaction.
    void begin();
    void commit();

    Brimlow::SqliteDatabase &database() { return m_db; }

private:
    qint64 storedTime(const QDateTime &at) const;

    Schema m_schema;
    Brimlow::SqliteDatabase m_db;
    qint64 m_guid = 0;
};
