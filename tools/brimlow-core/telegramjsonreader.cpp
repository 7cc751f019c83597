#include "telegramjsonreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "failure.h"
#include "jsontree.h"
#include "mediakind.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace Brimlow {

namespace {

using Node = JsonTree::Node;

// Texts are a string, or a list of strings and entities ({"type": "bold",
// "text": …}) when they carry formatting or links.
QString textOf(const Node &text)
{
    if (text.isString())
        return text.string();
    QString joined;
    for (const Node part : text)
        joined += part.isString() ? part.string() : part["text"].string();
    return joined;
}

QString timeOf(const Node &message)
{
    const auto unix = message["date_unixtime"].integer();
    if (unix)
        return ChatTime::fromUnixSeconds(*unix);
    return ChatTime::fromIso(message["date"].string());
}

QString kindOf(const Node &message)
{
    const QString mediaType = message["media_type"].string();
    if (mediaType == QLatin1String("sticker"))
        return MediaKind::sticker();
    if (mediaType == QLatin1String("voice_message"))
        return MediaKind::voiceMemo();
    if (mediaType == QLatin1String("audio_file"))
        return MediaKind::audio();
    if (mediaType == QLatin1String("video_file") || mediaType == QLatin1String("video_message")
        || mediaType == QLatin1String("animation"))
        return MediaKind::video();
    return MediaKind::fromStore(
        message["mime_type"].string(), {}, message["file"].string(), MediaKind::Flag::None);
}

class ChatReader
{
public:
    ChatReader(
        const QString &root, const QString &folder, const QString &ownerId, ChatLogReader::Detail detail)
        : m_root(root)
        , m_folder(folder)
        , m_ownerId(ownerId)
        , m_detail(detail)
    { }

    void read(const Node &chat, QList<ChatLogReader::Chat> &chats) const
    {
        ChatBuilder builder(m_detail);
        const QString type = chat["type"].string();
        QString name = chat["name"].string();
        if (name.isEmpty() && type == QLatin1String("saved_messages"))
            name = QStringLiteral("Saved Messages");
        builder.chat().transcript.name = name;
        // A personal chat's id is the other person's, which their messages
        // carry: they are who the chat is with, and in one chat's export
        // whoever else writes is the owner.
        const auto chatId = chat["id"].integer();
        const QString theirId = chatId && type == QLatin1String("personal_chat")
            ? QStringLiteral("user%1").arg(*chatId)
            : QString();
        const QString otherId = m_ownerId.isEmpty() ? theirId : QString();
        for (const Node message : chat["messages"]) {
            if (message["type"].string() != QLatin1String("message"))
                continue;
            const QString fromId = message["from_id"].string();
            QString from = message["from"].string();
            if (from.isEmpty())
                from = fromId.isEmpty() ? QStringLiteral("Deleted Account") : fromId;
            QList<Transcript::Attachment> attachments;
            if (message["photo"].isString())
                attachments.append({ MediaKind::photo(), located(message["photo"].string()), {} });
            if (message["file"].isString())
                attachments.append({ kindOf(message), located(message["file"].string()), {} });
            if (!builder.add(timeOf(message), from, textOf(message["text"]), attachments))
                continue;
            const bool owned = !m_ownerId.isEmpty()
                ? fromId == m_ownerId
                : (!otherId.isEmpty() && !fromId.isEmpty() && fromId != otherId);
            if (owned && builder.chat().owner.isEmpty())
                builder.chat().owner = from.trimmed();
            if (!theirId.isEmpty() && fromId == theirId && builder.chat().other.isEmpty())
                builder.chat().other = from.trimmed();
        }
        // They never wrote: the chat bears their name, as the user saved it.
        if (!theirId.isEmpty() && builder.chat().other.isEmpty())
            builder.chat().other = name;
        builder.takeInto(chats);
    }

private:
    // Files left out of the export are named by a sentence in parentheses.
    QString located(const QString &file) const
    {
        return file.startsWith(QLatin1Char('(')) ? QString() : ChatFile::inside(m_root, m_folder, file);
    }

    QString m_root;
    QString m_folder;
    QString m_ownerId;
    ChatLogReader::Detail m_detail;
};

} // namespace

QString TelegramJsonReader::service() const
{
    return QStringLiteral("Telegram");
}

bool TelegramJsonReader::recognises(const QByteArray &head) const
{
    static const QRegularExpression chatType(QStringLiteral(
        R"x("type"\s*:\s*"(personal_chat|bot_chat|private_group|private_supergroup|public_supergroup|)x"
        R"x(private_channel|public_channel|saved_messages)")x"));
    const QString text = QString::fromUtf8(head);
    if (!text.trimmed().startsWith(QLatin1Char('{')))
        return false;
    if (text.contains(QLatin1String("\"personal_information\""))
        && text.contains(QLatin1String("\"user_id\"")))
        return true;
    if (!text.contains(QLatin1String("\"messages\"")))
        return false;
    return chatType.match(text).hasMatch()
        || (text.contains(QLatin1String("\"from_id\"")) && text.contains(QLatin1String("\"text_entities\"")));
}

QList<ChatLogReader::Chat> TelegramJsonReader::read(const QString &path, Context &context) const
{
    const auto tree = JsonTree::parse(ChatFile::bytes(path));
    if (!tree || !tree->root().isObject())
        throw Failure(ChatFile::damaged(path));
    const Node root = tree->root();
    QString ownerId;
    if (const auto userId = root["personal_information"]["user_id"].integer())
        ownerId = QStringLiteral("user%1").arg(*userId);
    const ChatReader reader(context.root, QFileInfo(path).absolutePath(), ownerId, context.detail);
    QList<Chat> chats;
    if (root["messages"].isArray()) {
        reader.read(root, chats);
        return chats;
    }
    for (const char *list : { "chats", "left_chats" }) {
        for (const Node chat : root[list]["list"])
            reader.read(chat, chats);
    }
    return chats;
}

} // namespace Brimlow
