#include "slackreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "failure.h"
#include "jsontree.h"
#include "mediakind.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace Brimlow {

namespace {

using Node = JsonTree::Node;

// Names by user id from the workspace's users.json, found above the day
// file within the export and read once.
const QHash<QString, QString> &usersFor(const QString &dayFile, ChatLogReader::Context &context)
{
    static const QHash<QString, QString> none;
    const QString top = QFileInfo(context.root).absoluteFilePath();
    QDir dir = QFileInfo(dayFile).absoluteDir();
    for (int level = 0; level < 4; ++level) {
        const QString candidate = dir.filePath(QStringLiteral("users.json"));
        const auto cached = context.lookups.constFind(candidate);
        if (cached != context.lookups.constEnd())
            return *cached;
        if (QFileInfo(candidate).isFile()
            && !ChatFile::inside(top, dir.absolutePath(), QStringLiteral("users.json")).isEmpty()) {
            QHash<QString, QString> &users = context.lookups[candidate];
            try {
                const auto tree = JsonTree::parse(ChatFile::bytes(candidate));
                if (tree) {
                    for (const Node user : tree->root()) {
                        QString name = user["real_name"].string();
                        if (name.isEmpty())
                            name = user["profile"]["real_name"].string();
                        if (name.isEmpty())
                            name = user["name"].string();
                        users.insert(user["id"].string(), name);
                    }
                }
            } catch (const Failure &) {
                // Without names, members are shown by their handles.
            }
            return users;
        }
        if (dir.absolutePath() == top || !dir.cdUp())
            break;
    }
    return none;
}

bool isEvent(const QString &subtype)
{
    static const QStringList kept = { QString(), QStringLiteral("thread_broadcast"),
        QStringLiteral("file_share"), QStringLiteral("bot_message"), QStringLiteral("me_message") };
    return !kept.contains(subtype);
}

} // namespace

QString SlackReader::service() const
{
    return QStringLiteral("Slack");
}

bool SlackReader::recognises(const QByteArray &head) const
{
    static const QRegularExpression ts(QStringLiteral(R"("ts"\s*:\s*"\d+\.\d+")"));
    const QByteArray start = head.trimmed();
    return start.startsWith('[') && start.contains("\"type\"")
        && ts.match(QString::fromUtf8(start)).hasMatch();
}

QString SlackReader::plainText(const QString &text, const QHash<QString, QString> &users)
{
    static const QRegularExpression markup(QStringLiteral(R"(<([^<>]*)>)"));
    QString out;
    qsizetype last = 0;
    auto matches = markup.globalMatch(text);
    while (matches.hasNext()) {
        const auto found = matches.next();
        out += text.mid(last, found.capturedStart() - last);
        const QString inner = found.captured(1);
        const QString target = inner.section(QLatin1Char('|'), 0, 0);
        const QString label
            = inner.contains(QLatin1Char('|')) ? inner.section(QLatin1Char('|'), 1) : QString();
        if (target.startsWith(QLatin1Char('@')))
            out += QLatin1Char('@') + (label.isEmpty() ? users.value(target.mid(1), target.mid(1)) : label);
        else if (target.startsWith(QLatin1Char('#')))
            out += QLatin1Char('#') + (label.isEmpty() ? target.mid(1) : label);
        else if (target.startsWith(QLatin1Char('!')))
            out += QLatin1Char('@')
                + (label.isEmpty() ? target.mid(1).section(QLatin1Char('^'), 0, 0) : label);
        else
            out += label.isEmpty() ? target : label;
        last = found.capturedEnd();
    }
    out += text.mid(last);
    out.replace(QLatin1String("&lt;"), QLatin1String("<"));
    out.replace(QLatin1String("&gt;"), QLatin1String(">"));
    out.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return out;
}

QList<ChatLogReader::Chat> SlackReader::read(const QString &path, Context &context) const
{
    const auto tree = JsonTree::parse(ChatFile::bytes(path));
    if (!tree || !tree->root().isArray())
        throw Failure(ChatFile::damaged(path));
    const QHash<QString, QString> &users = usersFor(path, context);
    ChatBuilder builder(context.detail);
    for (const Node message : tree->root()) {
        if (message["type"].string() != QLatin1String("message") || isEvent(message["subtype"].string()))
            continue;
        const QString user = message["user"].string();
        QString name = message["user_profile"]["real_name"].string();
        if (name.isEmpty())
            name = users.value(user);
        if (name.isEmpty())
            name = message["user_profile"]["display_name"].string();
        if (name.isEmpty())
            name = message["username"].string();
        if (name.isEmpty())
            name = user;
        QList<Transcript::Attachment> attachments;
        for (const Node file : message["files"])
            attachments.append({ MediaKind::fromStore(file["mimetype"].string(), {}, file["name"].string(),
                                     MediaKind::Flag::None),
                {}, {} });
        const QString ts = message["ts"].string();
        builder.add(ChatTime::fromUnixSeconds(ts.section(QLatin1Char('.'), 0, 0).toLongLong()), name,
            plainText(message["text"].string(), users), attachments);
    }
    // A folder per channel, named after it; direct messages are named by
    // their id ("D0123…") or their members ("mpdm-sam--alex-1").
    const QString folder = QFileInfo(path).absolutePath();
    const QString channel = QFileInfo(folder).fileName();
    static const QRegularExpression directId(QStringLiteral(R"(^[DG][A-Z0-9]{6,}$)"));
    if (!channel.startsWith(QLatin1String("mpdm-")) && !directId.match(channel).hasMatch())
        builder.chat().transcript.name = QLatin1Char('#') + channel;
    builder.chat().joinKey = QStringLiteral("slack:") + folder;
    QList<Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace Brimlow
