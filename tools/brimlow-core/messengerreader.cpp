#include "messengerreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "failure.h"
#include "jsontree.h"
#include "mediakind.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace Brimlow {

namespace {

using Node = JsonTree::Node;

// Notices the apps write as messages: reactions, and what became of a poll.
bool isNotice(const QString &text)
{
    static const QRegularExpression notices(
        QStringLiteral(R"(^(Reacted .+ to your message|Liked a message|.+ reacted .+ to your message|)"
                       R"(.+['’]s poll has multiple updates\.|This poll is no longer available\.)$)"));
    return notices.match(text).hasMatch();
}

class ThreadReader
{
public:
    ThreadReader(const QString &root, const QString &folder)
        : m_root(root)
        , m_folder(folder)
    { }

    void media(const Node &list, const QString &kind, QList<Transcript::Attachment> &attachments) const
    {
        for (const Node item : list)
            attachments.append({ kind, located(item["uri"].string()), {} });
    }

    QString located(const QString &uri) const
    {
        QString relative = uri;
        if (relative.startsWith(QLatin1String("./")))
            relative = relative.mid(2);
        // Classic downloads name files from the top of the download.
        return ChatFile::insideAbove(m_root, m_folder, relative);
    }

private:
    QString m_root;
    QString m_folder;
};

void readClassic(const Node &root, const ThreadReader &files, ChatBuilder &builder)
{
    using MR = MessengerReader;
    for (const Node message : root["messages"]) {
        const QString type = message["type"].string();
        if (message["is_unsent"].boolean() || type == QLatin1String("Call")
            || type == QLatin1String("Subscribe") || type == QLatin1String("Unsubscribe"))
            continue;
        QList<Transcript::Attachment> attachments;
        files.media(message["photos"], MediaKind::photo(), attachments);
        files.media(message["videos"], MediaKind::video(), attachments);
        files.media(message["gifs"], MediaKind::video(), attachments);
        files.media(message["audio_files"], MediaKind::voiceMemo(), attachments);
        files.media(message["files"], MediaKind::file(), attachments);
        if (message["sticker"].isObject())
            attachments.append(
                { MediaKind::sticker(), files.located(message["sticker"]["uri"].string()), {} });
        QString text = MR::repaired(message["content"].string());
        if (attachments.isEmpty() && isNotice(text))
            continue;
        const auto at = message["timestamp_ms"].integer();
        builder.add(at ? ChatTime::fromUnixMilliseconds(*at) : QString(),
            MR::repaired(message["sender_name"].string()), text, attachments);
    }
    for (const Node participant : root["participants"])
        builder.chat().members.append(MR::repaired(participant["name"].string()));
    builder.chat().transcript.name = MR::repaired(root["title"].string());
}

// The newer Messenger download: {"participants": ["Sam", …], "threadName",
// "messages": [{"senderName", "text", "timestamp", "media": […]}]}.
void readNewer(const Node &root, const ThreadReader &files, ChatBuilder &builder)
{
    for (const Node message : root["messages"]) {
        if (message["isUnsent"].boolean())
            continue;
        QList<Transcript::Attachment> attachments;
        for (const Node item : message["media"]) {
            const QString uri = item["uri"].string();
            attachments.append({ MediaKind::fromFileName(uri), files.located(uri), {} });
        }
        const QString text = message["text"].string();
        if (attachments.isEmpty() && isNotice(text))
            continue;
        const auto at = message["timestamp"].integer();
        builder.add(at ? ChatTime::fromUnixMilliseconds(*at) : QString(), message["senderName"].string(),
            text, attachments);
    }
    for (const Node participant : root["participants"])
        builder.chat().members.append(participant.string());
    builder.chat().transcript.name = root["threadName"].string();
}

} // namespace

QString MessengerReader::service() const
{
    return QStringLiteral("Messenger");
}

bool MessengerReader::recognises(const QByteArray &head) const
{
    if (ChatFile::firstChar(head) != '{')
        return false;
    // Threads passed on without their header hold the messages alone; their
    // senders are the participants.
    if (head.contains("\"sender_name\"") && head.contains("\"timestamp_ms\""))
        return head.contains("\"participants\"") || head.contains("\"messages\"");
    return head.contains("\"participants\"") && head.contains("\"senderName\"")
        && head.contains("\"threadName\"");
}

QString MessengerReader::repaired(const QString &text)
{
    bool high = false;
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return text;
        high = high || c.unicode() >= 0x80;
    }
    if (!high)
        return text;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(text.toLatin1());
    return utf8.hasError() ? text : decoded;
}

QList<ChatLogReader::Chat> MessengerReader::read(const QString &path, Context &context) const
{
    const QByteArray bytes = ChatFile::bytes(path);
    const auto tree = JsonTree::parse(bytes);
    if (!tree || !tree->root().isObject())
        throw Failure(ChatFile::damaged(path));
    const QString folder = QFileInfo(path).absolutePath();
    const ThreadReader files(context.root, folder);
    ChatBuilder builder(context.detail);
    if (tree->root()["threadName"].isString())
        readNewer(tree->root(), files, builder);
    else
        readClassic(tree->root(), files, builder);

    Chat &chat = builder.chat();
    // A one-to-one thread is named after the other person. Such threads
    // were keyed by their people before that name was kept; their key
    // stays, or their books and choices would be lost.
    if (chat.members.size() <= 2)
        chat.keyName = QString();
    chat.service = folder.contains(QLatin1String("instagram"), Qt::CaseInsensitive)
            || bytes.contains("instagram.com") || bytes.contains("your_instagram_activity")
        ? QStringLiteral("Instagram")
        : service();
    // Classic downloads keep a thread's pages in a folder of its own, the
    // threads side by side under "inbox" and its neighbours; the newer one
    // keeps its threads side by side in one folder.
    QDir account(folder);
    if (tree->root()["threadName"].isString()) {
        chat.joinKey
            = QStringLiteral("meta:") + folder + QLatin1Char('/') + tree->root()["threadName"].string();
    } else {
        chat.joinKey = QStringLiteral("meta:") + folder;
        account.cdUp();
        account.cdUp();
    }
    chat.account = QStringLiteral("meta:") + account.absolutePath();
    QList<Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace Brimlow
