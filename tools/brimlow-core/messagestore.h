#pragma once

#include "conversationsource.h"
#include "sqlitedatabase.h"
#include "storeschema.h"

#include <QHash>
#include <QList>
#include <memory>

namespace Brimlow {

// A Messages store: a Mac's chat.db or an iPhone's sms.db, of any schema
// version in use. One-to-one chats with the same handle over several
// services are one conversation, keyed by that handle.
class MessageStore : public ConversationSource
{
public:
    // Opens the store for reading only; throws Failure with a sentence for
    // a missing, locked, damaged or foreign file.
    explicit MessageStore(const QString &path, int busyTimeoutMs = 2000);
    ~MessageStore() override;

    QList<Conversation> conversations() override;
    Transcript transcript(const QString &key, const std::optional<QString> &meIs) override;

private:
    struct Chat
    {
        qint64 id = 0;
        QString key;
        bool group = false;
        QString name;
        QString service;
        QList<qint64> handles;
    };

    QList<Chat> chats();
    QHash<qint64, QString> handles();
    // A message with the stored time and row it is ordered by.
    struct Timed
    {
        qint64 date = 0;
        qint64 row = 0;
        Transcript::Message message;
    };

    QHash<qint64, QList<Transcript::Attachment>> attachments(const QString &chatList);
    qsizetype joinedMessages(const QString &chatList);
    void readMessages(const QString &chatList, const QHash<qint64, QString> &handles, Transcript &transcript);
    static int senderOf(qint64 handleId, const QHash<qint64, QString> &handles, Transcript &transcript);
    static void putInTimeOrder(QList<Timed> &timed, Transcript &transcript);

    QString m_path;
    int m_busyTimeoutMs;
    std::unique_ptr<SqliteDatabase> m_database;
    std::unique_ptr<StoreSchema> m_schema;
};

} // namespace Brimlow
