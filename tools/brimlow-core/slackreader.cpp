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
    // Most messages hold no markup and no entity: they stay as they are.
    if (!text.contains(QLatin1Char('<')) && !text.contains(QLatin1Char('&')))
        return text;
    // Markup is "<…>" with no bracket inside; found by hand, since every
    // message is read and a pattern costs more than the reading.
    const QStringView view(text);
    QString out;
    out.reserve(text.size());
    qsizetype last = 0;
    qsizetype open = view.indexOf(QLatin1Char('<'));
    while (open >= 0) {
        qsizetype close = open + 1;
        while (close < view.size() && view[close] != QLatin1Char('<') && view[close] != QLatin1Char('>'))
            ++close;
        if (close == view.size())
            break;
        if (view[close] == QLatin1Char('<')) {
            open = close;
            continue;
        }
        out += view.mid(last, open - last);
        const QStringView inner = view.mid(open + 1, close - open - 1);
        const qsizetype bar = inner.indexOf(QLatin1Char('|'));
        const QStringView target = inner.left(bar);
        const QStringView label = bar < 0 ? QStringView() : inner.mid(bar + 1);
        const QStringView name = target.mid(1);
        if (target.startsWith(QLatin1Char('@'))) {
            const QString user = name.toString();
            out += QLatin1Char('@');
            out += label.isEmpty() ? users.value(user, user) : label.toString();
        } else if (target.startsWith(QLatin1Char('#'))) {
            out += QLatin1Char('#');
            out += label.isEmpty() ? name : label;
        } else if (target.startsWith(QLatin1Char('!'))) {
            out += QLatin1Char('@');
            out += label.isEmpty() ? name.left(name.indexOf(QLatin1Char('^'))) : label;
        } else {
            out += label.isEmpty() ? target : label;
        }
        last = close + 1;
        open = view.indexOf(QLatin1Char('<'), last);
    }
    out += view.mid(last);
    if (out.contains(QLatin1Char('&'))) {
        out.replace(QLatin1String("&lt;"), QLatin1String("<"));
        out.replace(QLatin1String("&gt;"), QLatin1String(">"));
        out.replace(QLatin1String("&amp;"), QLatin1String("&"));
    }
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
        const QStringView seconds = QStringView(ts).left(ts.indexOf(QLatin1Char('.')));
        builder.add(ChatTime::fromUnixSeconds(seconds.toLongLong()), name,
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
