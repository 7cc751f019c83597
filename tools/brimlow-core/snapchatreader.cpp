#include "snapchatreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "failure.h"
#include "jsontree.h"
#include "mediakind.h"

#include <QMap>

namespace Brimlow {

namespace {

using Node = JsonTree::Node;

const QString UnnamedOwner = QStringLiteral("Me");

QList<Transcript::Attachment> mediaOf(const Node &message)
{
    const QString type = message["Media Type"].string().toUpper();
    if (type == QLatin1String("MEDIA"))
        return { { MediaKind::photo(), {}, {} } };
    if (type == QLatin1String("NOTE"))
        return { { MediaKind::voiceMemo(), {}, {} } };
    if (type == QLatin1String("STICKER"))
        return { { MediaKind::sticker(), {}, {} } };
    return {};
}

QString timeOf(const Node &message)
{
    if (const auto micro = message["Created(microseconds)"].integer())
        return ChatTime::fromUnixMilliseconds(*micro / 1000);
    return ChatTime::fromIso(message["Created"].string());
}

QString textOf(const Node &message)
{
    const Node content = message["Content"];
    return content.isValid() ? content.string() : message["Text"].string();
}

// {"Received Saved Chat History": [{"From": …}], "Sent Saved Chat History":
// [{"To": …}]}: one chat per friend, the owner unnamed.
void readLists(const Node &root, ChatLogReader::Detail detail, QList<ChatLogReader::Chat> &chats)
{
    QMap<QString, ChatBuilder> byFriend;
    for (const Node list : root) {
        const QString key = list.keyText();
        const bool sent = key.startsWith(QLatin1String("Sent"));
        if (!key.contains(QLatin1String("Chat History")))
            continue;
        for (const Node message : list) {
            const QString friendName = message[sent ? "To" : "From"].string();
            ChatBuilder &chat = ChatBuilder::in(byFriend, friendName, detail);
            chat.chat().owner = UnnamedOwner;
            chat.add(timeOf(message), sent ? UnnamedOwner : friendName, textOf(message), mediaOf(message));
        }
    }
    for (ChatBuilder &chat : byFriend)
        chat.takeInto(chats);
}

} // namespace

QString SnapchatReader::service() const
{
    return QStringLiteral("Snapchat");
}

bool SnapchatReader::recognises(const QByteArray &head) const
{
    return ChatFile::firstChar(head) == '{' && head.contains("\"Media Type\"") && head.contains("\"Created\"")
        && (head.contains("\"From\"") || head.contains("\"IsSender\""));
}

QList<ChatLogReader::Chat> SnapchatReader::read(const QString &path, Context &context) const
{
    const auto tree = JsonTree::parse(ChatFile::bytes(path));
    if (!tree || !tree->root().isObject())
        throw Failure(ChatFile::damaged(path));
    QList<Chat> chats;
    const Node root = tree->root();
    if (root["Received Saved Chat History"].isValid() || root["Sent Saved Chat History"].isValid()
        || root["Received Chat History"].isValid() || root["Sent Chat History"].isValid()) {
        readLists(root, context.detail, chats);
        return chats;
    }
    for (const Node conversation : root) {
        if (!conversation.isArray())
            continue;
        ChatBuilder builder(context.detail);
        for (const Node message : conversation) {
            const QString from = message["From"].string();
            if (message["IsSender"].boolean() && builder.chat().owner.isEmpty())
                builder.chat().owner = from;
            if (builder.chat().transcript.name.isEmpty())
                builder.chat().transcript.name = message["Conversation Title"].string();
            builder.add(timeOf(message), from, textOf(message), mediaOf(message));
        }
        builder.takeInto(chats);
    }
    return chats;
}

} // namespace Brimlow
