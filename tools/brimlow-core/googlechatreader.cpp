#include "googlechatreader.h"

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

std::optional<JsonTree> jsonBeside(const QString &root, const QString &folder, const QString &name)
{
    const QString path = ChatFile::inside(root, folder, name);
    if (path.isEmpty())
        return std::nullopt;
    try {
        return JsonTree::parse(ChatFile::bytes(path));
    } catch (const Failure &) {
        return std::nullopt;
    }
}

// The Takeout's own user, from "Users/User …/user_info.json" beside
// "Groups", read once per Takeout.
QString ownerFor(const QString &messagesFile, ChatLogReader::Context &context)
{
    const QString top = QFileInfo(context.root).absoluteFilePath();
    QDir dir = QFileInfo(messagesFile).absoluteDir();
    for (int level = 0; level < 3; ++level) {
        if (dir.absolutePath() == top || !dir.cdUp())
            break;
        const QString users = dir.filePath(QStringLiteral("Users"));
        auto cached = context.lookups.constFind(users);
        if (cached == context.lookups.constEnd()) {
            QString owner;
            const QStringList folders = QDir(users).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
            for (const QString &folder : folders) {
                const auto info
                    = jsonBeside(top, QDir(users).filePath(folder), QStringLiteral("user_info.json"));
                if (info)
                    owner = info->root()["user"]["name"].string();
                if (!owner.isEmpty())
                    break;
            }
            cached = context.lookups.insert(users, { { QString(), owner } });
        }
        if (!cached->value(QString()).isEmpty())
            return cached->value(QString());
    }
    return {};
}

} // namespace

QString GoogleChatReader::service() const
{
    return QStringLiteral("Google Chat");
}

bool GoogleChatReader::recognises(const QByteArray &head) const
{
    return ChatFile::firstChar(head) == '{' && head.contains("\"messages\"") && head.contains("\"creator\"")
        && (head.contains("\"created_date\"") || head.contains("\"updated_date\""));
}

QString GoogleChatReader::timeOf(const QString &raw)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(?:\w+,\s)?(?:(\w+)\s(\d{1,2})|(\d{1,2})\s(\w+)),?\s(\d{4})(?:,|\sat)\s(\d{1,2}):(\d{2}):(\d{2})\s?([AP]M)?)"
        R"(\s*(UTC|GMT)?([+-]\d{1,2}(?::?\d{2})?)?$)"));
    QString text = raw;
    text.replace(QChar(0x202F), QLatin1Char(' ')).replace(QChar(0x00A0), QLatin1Char(' '));
    const auto found = pattern.match(text.trimmed());
    if (!found.hasMatch())
        return {};
    const bool monthFirst = !found.captured(1).isEmpty();
    const int month = ChatTime::monthNamed(found.captured(monthFirst ? 1 : 4));
    const int day = found.captured(monthFirst ? 2 : 3).toInt();
    int hour = found.captured(6).toInt();
    if (!found.captured(9).isEmpty())
        hour = ChatTime::hour24(hour, found.captured(9) == QLatin1String("PM"));
    const QString local = ChatTime::fromFields(
        found.captured(5).toInt(), month, day, hour, found.captured(7).toInt(), found.captured(8).toInt());
    if (local.isEmpty())
        return {};
    // Takeouts write "UTC", sometimes with an offset after it; a time
    // without either is taken as written.
    QString offset = found.captured(11);
    if (!offset.isEmpty() && !offset.contains(QLatin1Char(':')) && offset.size() <= 3)
        offset
            = QStringLiteral("%1%2:00").arg(offset.at(0)).arg(offset.mid(1).toInt(), 2, 10, QLatin1Char('0'));
    if (offset.isEmpty() && found.captured(10).isEmpty())
        return local;
    return ChatTime::fromIso(local + (offset.isEmpty() ? QStringLiteral("Z") : offset));
}

QList<ChatLogReader::Chat> GoogleChatReader::read(const QString &path, Context &context) const
{
    const auto tree = JsonTree::parse(ChatFile::bytes(path));
    if (!tree || !tree->root().isObject())
        throw Failure(ChatFile::damaged(path));
    const QString folder = QFileInfo(path).absolutePath();
    ChatBuilder builder(context.detail);
    for (const Node message : tree->root()["messages"]) {
        QList<Transcript::Attachment> attachments;
        for (const Node file : message["attached_files"]) {
            const QString name = file["export_name"].string();
            attachments.append(
                { MediaKind::fromFileName(name.isEmpty() ? file["original_name"].string() : name),
                    ChatFile::inside(context.root, folder, name), {} });
        }
        builder.add(timeOf(message["created_date"].string()), message["creator"]["name"].string(),
            message["text"].string(), attachments);
    }
    if (const auto info = jsonBeside(context.root, folder, QStringLiteral("group_info.json")))
        builder.chat().transcript.name = info->root()["name"].string();
    builder.chat().owner = ownerFor(path, context);
    QList<Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace Brimlow
