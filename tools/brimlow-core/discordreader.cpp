#include "discordreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "csvtable.h"
#include "failure.h"
#include "jsontree.h"
#include "mediakind.h"
#include "textlines.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace Brimlow {

namespace {

using Node = JsonTree::Node;

const QString CsvHeader = QStringLiteral("AuthorID,Author,Date,Content,Attachments");

// Attachments are URLs, or paths relative to the export when its media
// were downloaded too.
Transcript::Attachment attachment(
    const QString &url, const QString &fileName, const QString &root, const QString &folder)
{
    const QString name = fileName.isEmpty() ? QUrl(url).fileName() : fileName;
    const bool remote = url.contains(QLatin1String("://"));
    const QString local
        = remote ? QString() : ChatFile::inside(root, folder, QUrl::fromPercentEncoding(url.toUtf8()));
    return { MediaKind::fromFileName(name.isEmpty() ? url : name), local, {} };
}

// "sam#0420" is sam; the number only told equal names apart.
QString withoutDiscriminator(const QString &author)
{
    static const QRegularExpression discriminator(QStringLiteral(R"(#\d{1,4}$)"));
    QString name = author;
    return name.remove(discriminator);
}

// Older exports: "31-Jan-21 09:41 PM"; newer ones ISO 8601.
QString csvTime(const QString &text)
{
    const QString iso = ChatTime::fromIso(text);
    if (!iso.isEmpty())
        return iso;
    static const QRegularExpression older(
        QStringLiteral(R"(^(\d{1,2})-(\w{3})-(\d{2}) (\d{1,2}):(\d{2}) ([AP]M)$)"));
    const auto found = older.match(text.trimmed());
    if (!found.hasMatch())
        return {};
    return ChatTime::fromFields(2000 + found.captured(3).toInt(), ChatTime::monthNamed(found.captured(2)),
        found.captured(1).toInt(),
        ChatTime::hour24(found.captured(4).toInt(), found.captured(6) == QLatin1String("PM")),
        found.captured(5).toInt());
}

void readJson(const Node &root, ChatBuilder &builder, const QString &rootFolder, const QString &folder)
{
    for (const Node message : root["messages"]) {
        const QString type = message["type"].string();
        if (type != QLatin1String("Default") && type != QLatin1String("Reply"))
            continue; // joins, pins, calls
        QList<Transcript::Attachment> attachments;
        for (const Node file : message["attachments"])
            attachments.append(
                attachment(file["url"].string(), file["fileName"].string(), rootFolder, folder));
        for (const Node sticker : message["stickers"]) {
            Q_UNUSED(sticker)
            attachments.append({ MediaKind::sticker(), {}, {} });
        }
        const Node author = message["author"];
        QString name = author["nickname"].string();
        if (name.isEmpty())
            name = author["name"].string();
        builder.add(
            ChatTime::fromIso(message["timestamp"].string()), name, message["content"].string(), attachments);
    }
    const Node channel = root["channel"];
    const QString type = channel["type"].string();
    if (type == QLatin1String("DirectGroupTextChat"))
        builder.chat().transcript.name = channel["name"].string();
    else if (type != QLatin1String("DirectTextChat") && !channel["name"].string().isEmpty())
        builder.chat().transcript.name = QStringLiteral("%1 #%2")
                                             .arg(root["guild"]["name"].string(), channel["name"].string())
                                             .trimmed();
}

void readCsv(TextLines &lines, ChatBuilder &builder, const QString &path, const QString &root)
{
    const QString folder = QFileInfo(path).absolutePath();
    bool header = true;
    CsvTable::forEachRow(lines, [&](const QStringList &row) {
        if (std::exchange(header, false) || row.size() < 4)
            return;
        QList<Transcript::Attachment> attachments;
        for (const QString &url : row.value(4).split(QLatin1Char(','), Qt::SkipEmptyParts))
            attachments.append(attachment(url.trimmed(), {}, root, folder));
        builder.add(csvTime(row.at(2)), withoutDiscriminator(row.at(1)), row.at(3), attachments);
    });
    // The exporter names files "Guild - Category - channel [id].csv".
    static const QRegularExpression id(QStringLiteral(R"(\s*\[\d+\]$)"));
    QString name = QFileInfo(path).completeBaseName();
    builder.chat().transcript.name = name.remove(id);
}

} // namespace

QString DiscordReader::service() const
{
    return QStringLiteral("Discord");
}

bool DiscordReader::recognises(const QByteArray &head) const
{
    if (ChatFile::decode(head).startsWith(CsvHeader))
        return true;
    return ChatFile::firstChar(head) == '{' && head.contains("\"guild\"") && head.contains("\"channel\"")
        && head.contains("\"messages\"");
}

QList<ChatLogReader::Chat> DiscordReader::read(const QString &path, Context &context) const
{
    const QByteArray bytes = ChatFile::bytes(path);
    ChatBuilder builder(context.detail);
    if (ChatFile::firstChar(bytes) == '{') {
        const auto tree = JsonTree::parse(bytes);
        if (!tree || !tree->root().isObject())
            throw Failure(ChatFile::damaged(path));
        readJson(tree->root(), builder, context.root, QFileInfo(path).absolutePath());
    } else {
        TextLines lines(bytes);
        readCsv(lines, builder, path, context.root);
    }
    return builder.takeAsOnlyChat();
}

} // namespace Brimlow
