#include "signaljsonreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "failure.h"
#include "jsontree.h"
#include "mediakind.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace Brimlow {

namespace {

using Node = JsonTree::Node;

const QString Owner = QStringLiteral("Me");

bool isLineObject(const QByteArray &line)
{
    return line.startsWith('{') && line.contains("\"sender\"") && line.contains("\"body\"")
        && line.contains("\"date\"");
}

// signal-export: {"date": "2021-01-31T21:41:02", "sender": "Me", "body": …}
void readLines(const QByteArray &bytes, const QString &path, ChatBuilder &builder, const QString &root)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QList<QByteArray> lines = bytes.split('\n');
    qsizetype last = lines.size() - 1;
    while (last >= 0 && lines.at(last).trimmed().isEmpty())
        --last;
    for (qsizetype i = 0; i <= last; ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        const auto tree = JsonTree::parse(line);
        // A last line broken off is where the file was cut: what came
        // before it is whole.
        if (!tree || !tree->root().isObject()) {
            if (i == last && i > 0) {
                builder.chat().endsEarly = true;
                break;
            }
            throw Failure(ChatFile::damaged(path));
        }
        const Node message = tree->root();
        if (message["deleted"].boolean())
            continue;
        QList<Transcript::Attachment> attachments;
        for (const Node attachment : message["attachments"]) {
            const QString file = QUrl::fromPercentEncoding(attachment["path"].string().toUtf8());
            attachments.append({ MediaKind::fromFileName(file), ChatFile::inside(root, folder, file), {} });
        }
        if (message["sticker"].isObject() || !message["sticker"].string().isEmpty())
            attachments.append({ MediaKind::sticker(), {}, {} });
        builder.add(ChatTime::fromIso(message["date"].string()), message["sender"].string(),
            message["body"].string(), attachments);
    }
    builder.chat().owner = Owner;
    builder.chat().transcript.name = QFileInfo(path).dir().dirName();
}

// sigtop: Signal Desktop's records, which name senders only by number or
// id; a one-to-one chat's file is named after the other person.
void readRecords(const Node &records, const QString &path, ChatBuilder &builder)
{
    QSet<QString> sources;
    for (const Node record : records) {
        if (record["type"].string() == QLatin1String("incoming"))
            sources.insert(record["source"].string() + record["sourceServiceId"].string()
                + record["sourceUuid"].string());
    }
    // sigtop names files "Sam (+15550100).json" and "Crew (group).json".
    static const QRegularExpression detail(QStringLiteral(R"(\s*\((\+?[\d ]+|group)\)$)"));
    QString chatName = QFileInfo(path).completeBaseName();
    chatName.remove(detail);
    for (const Node record : records) {
        const QString type = record["type"].string();
        QString sender;
        if (type == QLatin1String("outgoing")) {
            sender = Owner;
        } else if (type == QLatin1String("incoming")) {
            sender = sources.size() == 1 ? chatName : record["source"].string();
            if (sender.isEmpty())
                sender = record["sourceServiceId"].string() + record["sourceUuid"].string();
        } else {
            continue; // calls, safety-number changes, group updates
        }
        auto sent = record["sent_at"].integer();
        if (!sent)
            sent = record["timestamp"].integer();
        QList<Transcript::Attachment> attachments;
        for (const Node attachment : record["attachments"])
            attachments.append({ MediaKind::fromStore(attachment["contentType"].string(), {},
                                     attachment["fileName"].string(), MediaKind::Flag::None),
                {}, {} });
        if (record["sticker"].isObject())
            attachments.append({ MediaKind::sticker(), {}, {} });
        builder.add(sent ? ChatTime::fromUnixMilliseconds(*sent) : QString(), sender, record["body"].string(),
            attachments);
    }
    builder.chat().owner = Owner;
    builder.chat().transcript.name = chatName;
}

} // namespace

QString SignalJsonReader::service() const
{
    return QStringLiteral("Signal");
}

bool SignalJsonReader::recognises(const QByteArray &head) const
{
    const QByteArray start = head.trimmed();
    if (start.startsWith('['))
        return start.contains("\"conversationId\"") && start.contains("\"sent_at\"")
            && (start.contains("\"incoming\"") || start.contains("\"outgoing\""));
    const qsizetype end = start.indexOf('\n');
    return isLineObject(end < 0 ? start : start.left(end).trimmed()) && start.contains("\"quote\"");
}

QList<ChatLogReader::Chat> SignalJsonReader::read(const QString &path, Context &context) const
{
    const QByteArray bytes = ChatFile::bytes(path);
    ChatBuilder builder(context.detail);
    if (ChatFile::firstChar(bytes) == '[') {
        const auto tree = JsonTree::parse(bytes);
        if (!tree || !tree->root().isArray())
            throw Failure(ChatFile::damaged(path));
        readRecords(tree->root(), path, builder);
    } else {
        readLines(bytes, path, builder, context.root);
    }
    return builder.takeAsOnlyChat(ChatBuilder::OneToOne::NamedAfterThePerson);
}

} // namespace Brimlow
