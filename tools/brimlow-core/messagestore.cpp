#include "messagestore.h"

#include "failure.h"
#include "localtime.h"
#include "mediakind.h"
#include "sqlitestatement.h"
#include "storetotals.h"
#include "typedstream.h"

#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <sqlite3.h>

namespace Brimlow {

namespace {

constexpr int GroupStyle = 43;

Failure storeFailure(const SqliteDatabase::Error &error)
{
    switch (error.primaryCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Failure(
            QStringLiteral("The messages database is locked by another program. Try again in a moment."));
    case SQLITE_NOTADB:
        return Failure(QStringLiteral("That file isn't a Messages database."));
    case SQLITE_CORRUPT:
    case SQLITE_IOERR:
    case SQLITE_FORMAT:
    case SQLITE_RANGE:
        return Failure(QStringLiteral("The messages database is damaged and can't be read."));
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_READONLY:
        return Failure(QStringLiteral("The messages database can't be opened for reading."));
    case SQLITE_NOMEM:
        return Failure(QStringLiteral("There isn't enough memory to read the messages database."));
    default:
        return Failure(
            QStringLiteral("The messages database can't be read (%1).").arg(QString::fromUtf8(error.what())));
    }
}

// Handles are matched without regard to the case of e-mail addresses.
QString keyOf(QString identifier)
{
    if (identifier.contains(QLatin1Char('@')))
        identifier = identifier.toLower();
    return identifier;
}

QString placeholders(const QList<qint64> &ids)
{
    QStringList numbers;
    for (qint64 id : ids)
        numbers.append(QString::number(id));
    return numbers.join(QLatin1Char(','));
}

// The text of a message without the placeholders that stand for its
// attachments inside the text.
QString cleanText(QString text)
{
    constexpr QChar ObjectReplacement(0xFFFC);
    if (text.contains(ObjectReplacement)) {
        text.remove(ObjectReplacement);
        text = text.trimmed();
    }
    return text;
}

QString dayOf(qint64 appleTime)
{
    return LocalTime::text(LocalTime::fromAppleTime(appleTime)).left(10);
}

} // namespace

MessageStore::MessageStore(const QString &path, int busyTimeoutMs)
    : m_path(path)
    , m_busyTimeoutMs(busyTimeoutMs)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Failure(QStringLiteral("There's no messages database at %1.").arg(path));
    if (!info.isFile())
        throw Failure(QStringLiteral("That file isn't a Messages database."));
    try {
        m_database = std::make_unique<SqliteDatabase>(SqliteDatabase::openForReading(path, busyTimeoutMs));
        m_schema = std::make_unique<StoreSchema>(*m_database);
    } catch (const SqliteDatabase::Error &error) {
        throw storeFailure(error);
    }
    if (!m_schema->isMessagesStore())
        throw Failure(QStringLiteral("That file isn't a Messages database."));
}

MessageStore::~MessageStore() = default;

QList<MessageStore::Chat> MessageStore::chats()
{
    const StoreSchema &s = *m_schema;
    const QString sql = QStringLiteral("SELECT c.ROWID, %1, %2, %3, %4, %5 FROM chat c ORDER BY c.ROWID")
                            .arg(s.column("chat", "c", "chat_identifier"), s.column("chat", "c", "style"),
                                s.column("chat", "c", "display_name"), s.column("chat", "c", "service_name"),
                                s.column("chat", "c", "guid"));
    QList<Chat> chats;
    QHash<qint64, qsizetype> byId;
    SqliteStatement query(*m_database, sql);
    while (query.next()) {
        Chat chat;
        chat.id = query.integer(0);
        QString identifier = query.text(1);
        if (identifier.isEmpty())
            identifier = query.text(5).section(QLatin1Char(';'), -1);
        if (identifier.isEmpty())
            identifier = QStringLiteral("chat%1").arg(chat.id);
        chat.key = keyOf(identifier);
        chat.group = !query.isNull(2) && query.integer(2) == GroupStyle;
        chat.name = query.text(3).trimmed();
        chat.service = query.text(4);
        byId.insert(chat.id, chats.size());
        chats.append(chat);
    }
    if (s.has("chat_handle_join", "chat_id") && s.has("chat_handle_join", "handle_id")) {
        SqliteStatement members(
            *m_database, "SELECT chat_id, handle_id FROM chat_handle_join ORDER BY rowid");
        while (members.next()) {
            const auto found = byId.constFind(members.integer(0));
            if (found != byId.constEnd())
                chats[*found].handles.append(members.integer(1));
        }
    }
    // Stores without a style column still tell groups by their members.
    for (Chat &chat : chats) {
        if (!s.has("chat", "style") && chat.handles.size() > 1)
            chat.group = true;
    }
    return chats;
}

QHash<qint64, QString> MessageStore::handles()
{
    QHash<qint64, QString> handles;
    SqliteStatement query(*m_database, "SELECT ROWID, id FROM handle");
    while (query.next())
        handles.insert(query.integer(0), query.text(1));
    return handles;
}

QList<Conversation> MessageStore::conversations()
{
    try {
        const QList<Chat> allChats = chats();
        using Totals = StoreTotals::Totals;
        const QHash<qint64, Totals> byChat
            = StoreTotals::read(m_path, m_busyTimeoutMs, m_schema->messageFilter(QStringLiteral("m")));
        QMap<QString, Conversation> byKey;
        QHash<QString, Totals> merged;
        for (const Chat &chat : allChats) {
            const auto found = byChat.constFind(chat.id);
            if (found == byChat.constEnd() || found->count == 0)
                continue;
            Conversation &conversation = byKey[chat.key];
            Totals &sum = merged[chat.key];
            if (conversation.key.isEmpty()) {
                conversation.key = chat.key;
                sum = *found;
            } else {
                sum.count += found->count;
                sum.first = qMin(sum.first, found->first);
                sum.last = qMax(sum.last, found->last);
            }
            conversation.group = conversation.group || chat.group;
            if (conversation.name.isEmpty())
                conversation.name = chat.name;
            conversation.chatIds.append(chat.id);
            if (!chat.service.isEmpty() && !conversation.services.contains(chat.service))
                conversation.services.append(chat.service);
        }
        QList<Conversation> list;
        for (auto it = byKey.begin(); it != byKey.end(); ++it) {
            const Totals &sum = merged.value(it.key());
            it->messages = sum.count;
            it->first = dayOf(sum.first);
            it->last = dayOf(sum.last);
            list.append(*it);
        }
        // By the exact last time, not the day, so the newest chat of a busy
        // day comes first.
        std::stable_sort(list.begin(), list.end(), [&merged](const Conversation &a, const Conversation &b) {
            return merged.value(a.key).last > merged.value(b.key).last;
        });
        return list;
    } catch (const SqliteDatabase::Error &error) {
        throw storeFailure(error);
    }
}

Transcript MessageStore::transcript(const QString &key, const std::optional<QString> &)
{
    try {
        const QString wanted = keyOf(key);
        Transcript transcript;
        QList<qint64> chatIds;
        QList<qint64> memberIds;
        for (const Chat &chat : chats()) {
            if (chat.key != wanted)
                continue;
            chatIds.append(chat.id);
            transcript.group = transcript.group || chat.group;
            if (transcript.name.isEmpty())
                transcript.name = chat.name;
            for (qint64 handle : chat.handles) {
                if (!memberIds.contains(handle))
                    memberIds.append(handle);
            }
        }
        if (chatIds.isEmpty())
            throw Failure(QStringLiteral("That conversation isn't in these messages anymore."));

        const QHash<qint64, QString> handleNames = handles();
        for (qint64 id : memberIds) {
            const QString handle = handleNames.value(id);
            if (!handle.isEmpty() && !transcript.participants.contains(handle))
                transcript.participants.append(handle);
        }
        if (!transcript.group && transcript.participants.isEmpty())
            transcript.participants.append(wanted);
        readMessages(placeholders(chatIds), handleNames, transcript);
        return transcript;
    } catch (const SqliteDatabase::Error &error) {
        throw storeFailure(error);
    }
}

QHash<qint64, QList<Transcript::Attachment>> MessageStore::attachments(const QString &chatList)
{
    QHash<qint64, QList<Transcript::Attachment>> byMessage;
    const StoreSchema &s = *m_schema;
    if (!s.has("message_attachment_join", "message_id") || !s.has("message_attachment_join", "attachment_id")
        || !s.hasTable("attachment"))
        return byMessage;
    const QString sql
        = QStringLiteral("SELECT maj.message_id, %1, %2, %3, %4, %5, %6 "
                         "FROM message_attachment_join maj JOIN attachment a ON a.ROWID = maj.attachment_id "
                         "WHERE maj.message_id IN (SELECT message_id FROM chat_message_join "
                         "WHERE chat_id IN (%7)) ORDER BY maj.message_id, a.ROWID")
              .arg(s.column("attachment", "a", "filename"), s.column("attachment", "a", "mime_type"),
                  s.column("attachment", "a", "uti"), s.column("attachment", "a", "transfer_name"),
                  s.column("attachment", "a", "is_sticker", "0"),
                  s.column("attachment", "a", "hide_attachment", "0"), chatList);
    SqliteStatement query(*m_database, sql);
    while (query.next()) {
        const QString path = query.text(1);
        const QString uti = query.text(3);
        const QString transferName = query.text(4);
        // Link previews and app balloons travel as hidden plug-in payloads.
        if (query.integer(6) != 0 || uti == QLatin1String("com.apple.messages.pluginPayloadAttachment")
            || transferName.endsWith(QLatin1String(".pluginPayloadAttachment")))
            continue;
        const QString name = transferName.isEmpty() ? path : transferName;
        const auto flag = query.integer(5) != 0 ? MediaKind::Flag::Sticker : MediaKind::Flag::None;
        byMessage[query.integer(0)].append(
            { MediaKind::fromStore(query.text(2), uti, name, flag), path, {} });
    }
    return byMessage;
}

int MessageStore::senderOf(qint64 handleId, const QHash<qint64, QString> &handles, Transcript &transcript)
{
    if (!transcript.group)
        return 0;
    QString handle = handles.value(handleId);
    if (handle.isEmpty())
        handle = QStringLiteral("Unknown");
    // Someone who left the group is still a member of its book.
    qsizetype index = transcript.participants.indexOf(handle);
    if (index < 0) {
        transcript.participants.append(handle);
        index = transcript.participants.size() - 1;
    }
    return int(index);
}

qsizetype MessageStore::joinedMessages(const QString &chatList)
{
    SqliteStatement count(*m_database,
        QStringLiteral("SELECT COUNT(*) FROM chat_message_join WHERE chat_id IN (%1)").arg(chatList));
    return count.next() ? qsizetype(qBound(qint64(0), count.integer(0), qint64(10'000'000))) : 0;
}

void MessageStore::readMessages(
    const QString &chatList, const QHash<qint64, QString> &handles, Transcript &transcript)
{
    const StoreSchema &s = *m_schema;
    QHash<qint64, QList<Transcript::Attachment>> attached = attachments(chatList);
    // Rows come in the table's own order, which reads the store front to
    // back; they are put in time order afterwards, cheaper than SQLite
    // sorting whole rows.
    const QString sql
        = QStringLiteral("SELECT m.ROWID, %1, m.text, %2, m.handle_id, m.is_from_me, m.date, %3 "
                         "FROM message m WHERE m.ROWID IN (SELECT message_id FROM chat_message_join "
                         "WHERE chat_id IN (%4)) AND %5")
              .arg(s.column("message", "m", "guid"), s.column("message", "m", "attributedBody"),
                  s.column("message", "m", "is_audio_message", "0"), chatList,
                  s.messageFilter(QStringLiteral("m")));
    QList<Timed> timed;
    timed.reserve(joinedMessages(chatList));
    SqliteStatement query(*m_database, sql);
    while (query.next()) {
        const qint64 row = query.integer(0);
        QString text = query.text(2);
        if (text.isEmpty() && !query.isNull(3))
            text = TypedStream::attributedText(query.blob(3)).value_or(QString());
        text = cleanText(text);
        QList<Transcript::Attachment> attachments = attached.take(row);
        if (text.isEmpty() && attachments.isEmpty())
            continue; // unsent, or emptied by an edit
        if (query.integer(7) != 0) {
            for (Transcript::Attachment &attachment : attachments) {
                if (attachment.kind == MediaKind::audio())
                    attachment.kind = MediaKind::voiceMemo();
            }
        }
        Timed entry { query.integer(6), row, {} };
        entry.message.id = query.text(1);
        entry.message.at = LocalTime::text(LocalTime::fromAppleTime(entry.date));
        entry.message.text = text;
        entry.message.attachments = std::move(attachments);
        entry.message.sender
            = query.integer(5) != 0 ? Transcript::Me : senderOf(query.integer(4), handles, transcript);
        timed.append(std::move(entry));
    }
    putInTimeOrder(timed, transcript);
}

void MessageStore::putInTimeOrder(QList<Timed> &timed, Transcript &transcript)
{
    std::sort(timed.begin(), timed.end(),
        [](const Timed &a, const Timed &b) { return a.date != b.date ? a.date < b.date : a.row < b.row; });
    // Ids are the messages' own GUIDs, unique in any sound store; a damaged
    // store gets ids made from the row.
    QSet<QString> ids;
    ids.reserve(timed.size());
    transcript.messages.reserve(timed.size());
    for (Timed &entry : timed) {
        if (entry.message.id.isEmpty() || ids.contains(entry.message.id))
            entry.message.id = QStringLiteral("m%1").arg(entry.row);
        ids.insert(entry.message.id);
        transcript.messages.append(std::move(entry.message));
    }
}

} // namespace Brimlow
