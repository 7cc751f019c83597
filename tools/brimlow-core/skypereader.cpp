#include "skypereader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "failure.h"
#include "htmlscanner.h"
#include "jsontree.h"
#include "mediakind.h"

#include <QRegularExpression>

namespace Brimlow {

namespace {

using Node = JsonTree::Node;

QString kindOf(const QString &type)
{
    if (type == QLatin1String("RichText/UriObject"))
        return MediaKind::photo();
    if (type == QLatin1String("RichText/Media_Video"))
        return MediaKind::video();
    if (type == QLatin1String("RichText/Media_AudioMsg"))
        return MediaKind::voiceMemo();
    if (type == QLatin1String("RichText/Media_GenericFile"))
        return MediaKind::file();
    return {};
}

QString textOf(const QString &content)
{
    // Replies quote the earlier message inside <quote>; the book has it once.
    static const QRegularExpression quote(
        QStringLiteral(R"(<quote\b.*?</quote>)"), QRegularExpression::DotMatchesEverythingOption);
    QString html = content;
    html.remove(quote);
    return HtmlScanner::plainText(html);
}

// "8:live:sam" is shown as "live:sam" when nothing better names it.
QString handleOf(const QString &id)
{
    const qsizetype colon = id.indexOf(QLatin1Char(':'));
    return colon >= 0 && colon <= 2 ? id.mid(colon + 1) : id;
}

} // namespace

QString SkypeReader::service() const
{
    return QStringLiteral("Skype");
}

bool SkypeReader::recognises(const QByteArray &head) const
{
    return ChatFile::firstChar(head) == '{' && head.contains("\"userId\"")
        && head.contains("\"conversations\"");
}

QList<ChatLogReader::Chat> SkypeReader::read(const QString &path, Context &context) const
{
    const auto tree = JsonTree::parse(ChatFile::bytes(path));
    if (!tree || !tree->root().isObject())
        throw Failure(ChatFile::damaged(path));
    const Node root = tree->root();
    const QString ownerId = root["userId"].string();
    QString ownerName;
    for (const Node conversation : root["conversations"]) {
        for (const Node message : conversation["MessageList"]) {
            if (ownerName.isEmpty() && message["from"].string() == ownerId)
                ownerName = message["displayName"].string();
        }
    }
    if (ownerName.isEmpty())
        ownerName = QStringLiteral("Me");

    QList<Chat> chats;
    for (const Node conversation : root["conversations"]) {
        const QString id = conversation["id"].string();
        if (id.startsWith(QLatin1String("48:")))
            continue; // call logs and notifications
        const QString title = conversation["displayName"].string();
        ChatBuilder builder(context.detail);
        builder.chat().owner = ownerName;
        const bool group = id.startsWith(QLatin1String("19:")) || conversation["threadProperties"].isObject();
        if (group)
            builder.chat().transcript.name = title;
        for (const Node message : conversation["MessageList"]) {
            const QString type = message["messagetype"].string();
            const QString kind = kindOf(type);
            if (kind.isEmpty() && type != QLatin1String("RichText") && type != QLatin1String("Text"))
                continue;
            const QString from = message["from"].string();
            QString sender = message["displayName"].string();
            if (from == ownerId)
                sender = ownerName;
            else if (sender.isEmpty())
                sender = (!group && from == id && !title.isEmpty()) ? title : handleOf(from);
            QList<Transcript::Attachment> attachments;
            if (!kind.isEmpty())
                attachments.append({ kind, {}, {} });
            builder.add(ChatTime::fromIso(message["originalarrivaltime"].string()), sender,
                kind.isEmpty() ? textOf(message["content"].string()) : QString(), attachments);
        }
        builder.takeInto(chats);
    }
    return chats;
}

} // namespace Brimlow
