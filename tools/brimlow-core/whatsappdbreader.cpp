#include "whatsappdbreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "failure.h"
#include "mediakind.h"
#include "sqlitedatabase.h"
#include "sqlitestatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

namespace Brimlow {

namespace {

const QString Owner = QStringLiteral("Me");

// Message types of the store.
enum Type {
    Text = 0,
    Image = 1,
    Audio = 2,
    Video = 3,
    System = 7,
    Document = 9,
    Gif = 13,
    Revoked = 15,
    Sticker = 20,
    ViewOnceImage = 42,
    ViewOnceVideo = 43,
};

QString kindOf(int type, const QString &mime)
{
    switch (type) {
    case Image:
    case ViewOnceImage:
        return MediaKind::photo();
    case Audio:
        return mime.contains(QLatin1String("ogg")) || mime.contains(QLatin1String("opus"))
            ? MediaKind::voiceMemo()
            : MediaKind::audio();
    case Video:
    case Gif:
    case ViewOnceVideo:
        return MediaKind::video();
    case Document:
        return MediaKind::file();
    case Sticker:
        return MediaKind::sticker();
    default:
        return {};
    }
}

// Varint at bytes[at], moving at; nullopt past the end.
std::optional<quint64> varint(const QByteArray &bytes, qsizetype &at)
{
    quint64 value = 0;
    for (int shift = 0; shift < 64 && at < bytes.size(); shift += 7) {
        const quint8 byte = quint8(bytes.at(at++));
        value |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return value;
    }
    return std::nullopt;
}

// Names by jid ("15550100@s.whatsapp.net") from wa.db beside the store.
QHash<QString, QString> contactNames(const QString &root, const QString &folder)
{
    QHash<QString, QString> names;
    const QString path = ChatFile::inside(root, folder, QStringLiteral("wa.db"));
    if (path.isEmpty())
        return names;
    try {
        SqliteDatabase db = SqliteDatabase::openForReading(path);
        if (!db.hasTable(QStringLiteral("wa_contacts")))
            return names;
        SqliteStatement query(db, "SELECT jid, display_name, wa_name FROM wa_contacts");
        while (query.next()) {
            const QString name = query.text(1).isEmpty() ? query.text(2) : query.text(1);
            if (!name.trimmed().isEmpty())
                names.insert(query.text(0), name.trimmed());
        }
    } catch (const SqliteDatabase::Error &) {
        // Without the contacts, people are shown by their numbers.
    }
    return names;
}

class StoreReader
{
public:
    StoreReader(SqliteDatabase &db, const QString &root, const QString &folder, ChatLogReader::Detail detail)
        : m_db(db)
        , m_detail(detail)
        , m_root(root)
        , m_folder(folder)
        , m_names(contactNames(root, folder))
    { }

    QList<ChatLogReader::Chat> read()
    {
        const bool current = m_db.hasTable(QStringLiteral("message")) && m_db.hasTable(QStringLiteral("chat"))
            && m_db.hasTable(QStringLiteral("jid"));
        const bool older = m_db.hasTable(QStringLiteral("messages"))
            && m_db.columns(QStringLiteral("messages")).contains(QLatin1String("key_remote_jid"));
        // Stores of the years WhatsApp moved to its newer tables hold both:
        // the history in the older one and the newer one empty, or the move
        // half done, the messages it copied in both. Both tables know a
        // message by its chat, its side and its key.
        m_keepKeys = current && older && holdsMessages();
        if (current)
            readCurrent();
        if (older)
            readOlder();
        QList<ChatLogReader::Chat> chats;
        for (ChatBuilder &chat : m_chats)
            chat.takeInto(chats);
        return chats;
    }

private:
    // Whether the older table holds more than the row every store begins with.
    bool holdsMessages()
    {
        SqliteStatement query(m_db, "SELECT 1 FROM messages WHERE key_remote_jid != '-1' LIMIT 1");
        return query.next();
    }

    // Whether the message was read before; remembers it when not.
    bool readBefore(const QString &chatJid, bool fromMe, const QString &key)
    {
        if (!m_keepKeys || key.isEmpty())
            return false;
        const QString whole = chatJid + QLatin1Char(fromMe ? '>' : '<') + key;
        const qsizetype before = m_keys.size();
        m_keys.insert(whole);
        return m_keys.size() == before;
    }

    QString nameOf(const QString &jid)
    {
        const auto cached = m_nameCache.constFind(jid);
        if (cached != m_nameCache.constEnd())
            return *cached;
        QString name = m_names.value(jid);
        if (name.isEmpty()) {
            const QString user = jid.section(QLatin1Char('@'), 0, 0);
            static const QRegularExpression digits(QStringLiteral(R"(^\d{6,}$)"));
            name = digits.match(user).hasMatch() ? QLatin1Char('+') + user : user;
        }
        m_nameCache.insert(jid, name);
        return name;
    }

    ChatBuilder &chatFor(const QString &jid, const QString &subject)
    {
        // Rows of one chat mostly follow each other.
        if (m_last && m_lastJid == jid)
            return *m_last;
        ChatBuilder &chat = ChatBuilder::in(m_chats, jid, m_detail);
        if (chat.chat().owner.isEmpty()) {
            chat.chat().owner = Owner;
            if (jid.endsWith(QLatin1String("@g.us")))
                chat.chat().transcript.name = subject.isEmpty() ? nameOf(jid) : subject;
        }
        m_lastJid = jid;
        m_last = &chat;
        return chat;
    }

    QString located(const QString &filePath) const
    {
        if (filePath.isEmpty())
            return {};
        QString found = ChatFile::insideAbove(m_root, m_folder, filePath);
        if (found.isEmpty())
            found = ChatFile::inside(m_root, m_folder, QFileInfo(filePath).fileName());
        return found;
    }

    void add(const QString &chatJid, const QString &subject, bool fromMe, const QString &senderJid, qint64 ms,
        int type, const QString &text, const QString &filePath, const QString &mime)
    {
        if (chatJid.isEmpty() || chatJid == QLatin1String("status@broadcast")
            || chatJid == QLatin1String("-1") || type == System || type == Revoked)
            return;
        QList<Transcript::Attachment> attachments;
        const QString kind = kindOf(type, mime);
        if (!kind.isEmpty())
            attachments.append({ kind, kind == MediaKind::photo() ? located(filePath) : QString(), {} });
        const QString sender = fromMe ? Owner : nameOf(senderJid.isEmpty() ? chatJid : senderJid);
        chatFor(chatJid, subject).add(ChatTime::fromUnixMilliseconds(ms), sender, text, attachments);
    }

    void readCurrent()
    {
        // Chats and people are read once; each message row names them by id.
        QHash<qint64, QString> jids;
        SqliteStatement jidRows(m_db, "SELECT _id, raw_string FROM jid");
        while (jidRows.next())
            jids.insert(jidRows.integer(0), jidRows.text(1));
        QHash<qint64, std::pair<QString, QString>> chats;
        SqliteStatement chatRows(m_db, "SELECT _id, jid_row_id, subject FROM chat");
        while (chatRows.next())
            chats.insert(chatRows.integer(0), { jids.value(chatRows.integer(1)), chatRows.text(2) });

        const QStringList columns = m_db.columns(QStringLiteral("message"));
        const bool media = m_db.hasTable(QStringLiteral("message_media"));
        const QString text = columns.contains(QLatin1String("text_data")) ? QStringLiteral("m.text_data")
                                                                          : QStringLiteral("NULL");
        const QString sql
            = QStringLiteral("SELECT m.chat_row_id, m.from_me, m.sender_jid_row_id, m.timestamp, "
                             "m.message_type, %1, %2, %3, %4 FROM message m %5")
                  .arg(text, media ? QStringLiteral("mm.file_path") : QStringLiteral("NULL"),
                      media ? QStringLiteral("mm.mime_type") : QStringLiteral("NULL"),
                      m_keepKeys && columns.contains(QLatin1String("key_id")) ? QStringLiteral("m.key_id")
                                                                              : QStringLiteral("NULL"),
                      media ? QStringLiteral("LEFT JOIN message_media mm ON mm.message_row_id = m._id")
                            : QString());
        SqliteStatement query(m_db, sql);
        while (query.next()) {
            const auto chat = chats.constFind(query.integer(0));
            if (chat == chats.constEnd() || readBefore(chat->first, query.integer(1) != 0, query.text(8)))
                continue;
            const QString sender = query.isNull(2) ? QString() : jids.value(query.integer(2));
            add(chat->first, chat->second, query.integer(1) != 0, sender, query.integer(3),
                int(query.integer(4)), query.text(5), query.isNull(6) ? QString() : query.text(6),
                query.isNull(7) ? QString() : query.text(7));
        }
    }

    // Before 2022: one "messages" table keyed by the chat's jid, group
    // senders in remote_resource, system lines with status 6.
    void readOlder()
    {
        const QStringList columns = m_db.columns(QStringLiteral("messages"));
        QHash<QString, QString> subjects;
        if (m_db.hasTable(QStringLiteral("chat_list"))) {
            SqliteStatement chats(m_db, "SELECT key_remote_jid, subject FROM chat_list");
            while (chats.next())
                subjects.insert(chats.text(0), chats.text(1));
        }
        // Stores written from the summer of 2021 name their groups only in
        // the newer "chat" table, though the history is still in this one.
        if (m_db.hasTable(QStringLiteral("chat")) && m_db.hasTable(QStringLiteral("jid"))) {
            SqliteStatement chats(m_db,
                "SELECT j.raw_string, c.subject FROM chat c JOIN jid j ON j._id = c.jid_row_id "
                "WHERE c.subject IS NOT NULL AND c.subject != ''");
            while (chats.next()) {
                if (subjects.value(chats.text(0)).isEmpty())
                    subjects.insert(chats.text(0), chats.text(1));
            }
        }
        const auto column = [&](const char *name) {
            return columns.contains(QLatin1String(name)) ? QString::fromLatin1(name) : QStringLiteral("NULL");
        };
        const QString sql
            = QStringLiteral("SELECT key_remote_jid, key_from_me, %1, timestamp, %2, %3, %4, %5, %6, %7, %8 "
                             "FROM messages")
                  .arg(column("remote_resource"), column("media_wa_type"), column("data"),
                      column("media_caption"), column("media_name"), column("media_mime_type"),
                      column("status"), column("key_id"));
        SqliteStatement query(m_db, sql);
        while (query.next()) {
            const QString jid = query.text(0);
            if (query.integer(9) == 6 || readBefore(jid, query.integer(1) != 0, query.text(10)))
                continue; // group events, and messages the newer table holds too
            QString text = query.text(5);
            if (text.isEmpty())
                text = query.text(6);
            const int type = query.isNull(4) ? Text : query.text(4).toInt();
            const QString file = query.text(7).isEmpty()
                ? QString()
                : QStringLiteral("Media/WhatsApp Images/") + query.text(7);
            add(jid, subjects.value(jid), query.integer(1) != 0, query.text(2), query.integer(3), type, text,
                file, query.text(8));
        }
    }

    SqliteDatabase &m_db;
    ChatLogReader::Detail m_detail;
    QString m_root;
    QString m_folder;
    QHash<QString, QString> m_names;
    QHash<QString, QString> m_nameCache;
    QMap<QString, ChatBuilder> m_chats;
    bool m_keepKeys = false;
    QSet<QString> m_keys; // of the messages read, where both tables hold some
    QString m_lastJid;
    ChatBuilder *m_last = nullptr;
};

} // namespace

QString WhatsAppDbReader::service() const
{
    return QStringLiteral("WhatsApp");
}

int WhatsAppDbReader::encryptedVersion(const QByteArray &head)
{
    if (head.size() < 8)
        return 0;
    const int size = quint8(head.at(0));
    const qsizetype start = quint8(head.at(1)) == 1 ? 2 : 1; // 1 marks a feature table
    if (size < 8 || start + size > head.size())
        return 0;
    const QByteArray prefix = head.mid(start, size);
    int version = 0;
    bool info = false;
    qsizetype at = 0;
    while (at < prefix.size()) {
        const auto tag = varint(prefix, at);
        if (!tag)
            return 0;
        const int field = int(*tag >> 3);
        const int wire = int(*tag & 7);
        if (wire == 0) {
            if (!varint(prefix, at))
                return 0;
        } else if (wire == 2) {
            const auto length = varint(prefix, at);
            if (!length || *length > quint64(prefix.size() - at))
                return 0;
            const QByteArray value = prefix.mid(at, qsizetype(*length));
            at += qsizetype(*length);
            if (field == 2)
                version = 14;
            else if (field == 3)
                version = 15;
            else if (field == 4) {
                // Its first field is the app's version, like "2.22.4.14".
                static const QRegularExpression appVersion(QStringLiteral(R"(\d+\.\d+\.\d+\.\d+)"));
                info = appVersion.match(QString::fromLatin1(value)).hasMatch();
            }
        } else {
            return 0;
        }
    }
    return info ? version : 0;
}

bool WhatsAppDbReader::recognises(const QByteArray &head) const
{
    return head.startsWith(QByteArray("SQLite format 3\0", 16)) || encryptedVersion(head) != 0;
}

QList<ChatLogReader::Chat> WhatsAppDbReader::read(const QString &path, Context &context) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(ChatFile::unreadable(path));
    const int encrypted = encryptedVersion(file.read(1024));
    file.close();
    if (encrypted != 0)
        throw Failure(
            QStringLiteral("This WhatsApp backup is encrypted (crypt%1), and its key can't be entered "
                           "here. In WhatsApp, open the chat and choose Export chat, then add that file "
                           "instead.")
                .arg(encrypted));
    try {
        SqliteDatabase db = SqliteDatabase::openForReading(path);
        return StoreReader(db, context.root, QFileInfo(path).absolutePath(), context.detail).read();
    } catch (const SqliteDatabase::Error &) {
        throw Failure(ChatFile::damaged(path));
    }
}

} // namespace Brimlow
