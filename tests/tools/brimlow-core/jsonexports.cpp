// The JSON exports among the samples.
#include "chatexports.h"
#include "exportshapes.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ChatExports {

namespace {

constexpr qint64 First = 1709673240; // 2024-03-05T21:14:00Z
constexpr qint64 Second = 1709673300; // 2024-03-05T21:15:00Z
constexpr qint64 Third = 1709712000; // 2024-03-06T08:00:00Z

void writeJson(const QString &path, const QJsonValue &value)
{
    writeFile(path,
        value.isArray() ? QJsonDocument(value.toArray()).toJson() : QJsonDocument(value.toObject()).toJson());
}

QJsonObject telegramChatObject(const QString &photo)
{
    QJsonArray messages;
    messages.append(QJsonObject { { "id", 1 }, { "type", "service" }, { "date", "2024-03-05T21:00:00" },
        { "date_unixtime", "1709672400" }, { "actor", "Sam" }, { "actor_id", "user4242" },
        { "action", "phone_call" }, { "text", "" }, { "text_entities", QJsonArray() } });
    messages.append(QJsonObject { { "id", 2 }, { "type", "message" }, { "date", "2024-03-05T21:14:00" },
        { "date_unixtime", QString::number(First) }, { "from", "Sam" }, { "from_id", "user4242" },
        { "text", "hey café" },
        { "text_entities", QJsonArray { QJsonObject { { "type", "plain" }, { "text", "hey café" } } } } });
    messages.append(QJsonObject { { "id", 3 }, { "type", "message" }, { "date", "2024-03-05T21:15:00" },
        { "date_unixtime", QString::number(Second) }, { "from", "Robin" }, { "from_id", "user1001" },
        { "text", QJsonArray { "on my way ", QJsonObject { { "type", "bold" }, { "text", "👋" } } } } });
    messages.append(QJsonObject { { "id", 4 }, { "type", "message" }, { "date", "2024-03-06T08:00:00" },
        { "date_unixtime", QString::number(Third) }, { "from", "Sam" }, { "from_id", "user4242" },
        { "photo", photo }, { "width", 800 }, { "height", 600 }, { "text", "the summit!" } });
    return { { "name", "Sam" }, { "type", "personal_chat" }, { "id", 4242 }, { "messages", messages } };
}

// Meta's downloads write every byte of UTF-8 as a character of its own.
QByteArray metaString(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        const uchar byte = uchar(c);
        if (byte >= 0x20 && byte < 0x80 && c != '"' && c != '\\')
            out.append(c);
        else
            out.append(QStringLiteral("\\u%1").arg(byte, 4, 16, QLatin1Char('0')).toLatin1());
    }
    return out + '"';
}

QByteArray metaMessage(const QString &sender, qint64 seconds, const QString &text, const QString &photo = {})
{
    QByteArray message = "{\"sender_name\": " + metaString(sender)
        + ", \"timestamp_ms\": " + QByteArray::number(seconds * 1000);
    if (!text.isEmpty())
        message += ", \"content\": " + metaString(text);
    if (!photo.isEmpty())
        message
            += ", \"photos\": [{\"uri\": \"" + photo.toUtf8() + "\", \"creation_timestamp\": 1709712000}]";
    return message + ", \"is_geoblocked_for_viewer\": false}";
}

// A thread's page; a one-to-one thread bears the other person's name.
QByteArray metaThread(const QStringList &people, const QList<QByteArray> &messages, const QString &path,
    const QString &title = {})
{
    QByteArray json = "{\"participants\": [";
    for (qsizetype i = 0; i < people.size(); ++i)
        json += (i ? ", " : "") + QByteArray("{\"name\": ") + metaString(people.at(i)) + "}";
    json += "], \"messages\": [" + messages.join(",\n")
        + "], \"title\": " + metaString(title.isEmpty() ? people.first() : title)
        + ", \"is_still_participant\": true, \"thread_path\": \"" + path.toUtf8()
        + "\", \"magic_words\": []}";
    return json;
}

QJsonObject discordMessage(const QString &id, const QString &type, qint64 seconds, const QString &author,
    const QString &text, const QJsonArray &attachments = {})
{
    const QString authorId = author == QLatin1String("sam") ? QStringLiteral("11") : QStringLiteral("12");
    return { { "id", id }, { "type", type },
        { "timestamp",
            QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate).chopped(1) + ".123+00:00" },
        { "timestampEdited", QJsonValue() }, { "isPinned", false }, { "content", text },
        { "author",
            QJsonObject { { "id", authorId }, { "name", author }, { "discriminator", "0000" },
                { "nickname", author == QLatin1String("sam") ? "Sam" : "Robin" }, { "isBot", false } } },
        { "attachments", attachments }, { "embeds", QJsonArray() }, { "stickers", QJsonArray() },
        { "reactions", QJsonArray() } };
}

} // namespace

QString telegramChat(const QString &folder)
{
    const QString root = folder + QStringLiteral("/ChatExport_2024-03-07");
    writeFile(root + QStringLiteral("/photos/photo_1@06-03-2024_08-00-00.jpg"), photoBytes());
    writeJson(
        root + QStringLiteral("/result.json"), telegramChatObject("photos/photo_1@06-03-2024_08-00-00.jpg"));
    return root + QStringLiteral("/result.json");
}

QString telegramAccount(const QString &folder)
{
    const QString root = folder + QStringLiteral("/DataExport_2024-03-07");
    const QString photo = QStringLiteral("chats/chat_01/photos/photo_1@06-03-2024_08-00-00.jpg");
    writeFile(root + QLatin1Char('/') + photo, photoBytes());
    const QJsonObject saved { { "type", "saved_messages" }, { "id", 1001 },
        { "messages",
            QJsonArray { QJsonObject { { "id", 9 }, { "type", "message" }, { "date", "2024-01-02T10:00:00" },
                { "date_unixtime", "1704189600" }, { "from", "Robin" }, { "from_id", "user1001" },
                { "text", "note to self" } } } } };
    const QJsonObject account { { "about", "Here is the data you requested." },
        { "personal_information",
            QJsonObject { { "user_id", 1001 }, { "first_name", "Robin" }, { "last_name", "" },
                { "phone_number", "+1 555 0199" }, { "username", "@robin" }, { "bio", "" } } },
        { "contacts", QJsonObject { { "about", "" }, { "list", QJsonArray() } } },
        { "chats",
            QJsonObject { { "about", "" }, { "list", QJsonArray { telegramChatObject(photo), saved } } } } };
    writeJson(root + QStringLiteral("/result.json"), account);
    return root;
}

QString instagram(const QString &folder)
{
    const QString root = folder + QStringLiteral("/instagram-robin-2024-03-07");
    const QString inbox = QStringLiteral("your_instagram_activity/messages/inbox/");
    const QString photo = inbox + QStringLiteral("sam_1234/photos/1709712000.jpg");
    writeFile(root + QLatin1Char('/') + photo, photoBytes());
    // Newest first, and split over pages.
    writeFile(root + QLatin1Char('/') + inbox + QStringLiteral("sam_1234/message_1.json"),
        metaThread({ "Sam", "Robin" },
            { metaMessage("Sam", Third, {}, photo),
                metaMessage("Robin", Second, QStringLiteral("on my way 👋")),
                metaMessage("Sam", Third - 60, QStringLiteral("Reacted ❤ to your message")) },
            QStringLiteral("inbox/sam_1234")));
    writeFile(root + QLatin1Char('/') + inbox + QStringLiteral("sam_1234/message_2.json"),
        metaThread({ "Sam", "Robin" }, { metaMessage("Sam", First, QStringLiteral("hey café")) },
            QStringLiteral("inbox/sam_1234")));
    writeFile(root + QLatin1Char('/') + inbox + QStringLiteral("alex_5678/message_1.json"),
        metaThread({ "Alex", "Robin" },
            { metaMessage("Robin", Third + 60, QStringLiteral("see you")),
                metaMessage("Alex", Third, QStringLiteral("hi Robin")) },
            QStringLiteral("inbox/alex_5678")));
    return root;
}

QString instagramHeaderless(const QString &folder)
{
    // Some tools that repackage a download keep only the messages list.
    const QString thread = folder + QStringLiteral("/instagram/inbox/sam_1234");
    writeFile(thread + QStringLiteral("/photos/1709712000.jpg"), photoBytes());
    writeFile(thread + QStringLiteral("/message_1.json"),
        "{\"messages\": [" + metaMessage("Sam", Third, {}, QStringLiteral("photos/1709712000.jpg")) + ",\n"
            + metaMessage("Robin", Second, QStringLiteral("on my way 👋")) + ",\n"
            + metaMessage("Sam", First, QStringLiteral("hey café")) + "]}");
    return thread + QStringLiteral("/message_1.json");
}

QString messengerNewer(const QString &folder)
{
    const QString root = folder + QStringLiteral("/messages");
    writeFile(root + QStringLiteral("/media/1709712000.jpg"), photoBytes());
    const auto message = [](const QString &sender, qint64 seconds, const QString &text,
                             const QJsonArray &media) {
        return QJsonObject { { "isUnsent", false }, { "media", media }, { "reactions", QJsonArray() },
            { "senderName", sender }, { "text", text }, { "timestamp", seconds * 1000 }, { "type", "text" } };
    };
    writeJson(root + QStringLiteral("/Sam_1.json"),
        QJsonObject { { "participants", QJsonArray { "Sam", "Robin" } }, { "threadName", "Sam" },
            { "messages",
                QJsonArray { message("Sam", First, "hey café", {}),
                    message("Robin", Second, "on my way 👋", {}),
                    message("Sam", Third, "",
                        QJsonArray { QJsonObject { { "uri", "./media/1709712000.jpg" } } }) } } });
    return root + QStringLiteral("/Sam_1.json");
}

QString discordJson(const QString &folder)
{
    const QString name = QStringLiteral("Direct Messages - Private - sam [99]");
    writeFile(
        folder + QLatin1Char('/') + name + QStringLiteral(".json_Files/IMG_0001-5A2B.jpg"), photoBytes());
    QJsonArray messages;
    messages.append(discordMessage("1", "RecipientAdd", First - 60, "sam", "Added Robin to the group."));
    messages.append(discordMessage("2", "Default", First, "sam", "hey café"));
    messages.append(discordMessage("3", "Reply", Second, "robin", "on my way 👋"));
    messages.append(discordMessage("4", "Default", Third, "sam", "the summit!",
        QJsonArray { QJsonObject { { "id", "7" }, { "url", name + ".json_Files/IMG_0001-5A2B.jpg" },
            { "fileName", "IMG_0001.jpg" }, { "fileSizeBytes", 4 } } }));
    writeJson(folder + QLatin1Char('/') + name + QStringLiteral(".json"),
        QJsonObject {
            { "guild", QJsonObject { { "id", "0" }, { "name", "Direct Messages" }, { "iconUrl", "" } } },
            { "channel",
                QJsonObject { { "id", "99" }, { "type", "DirectTextChat" }, { "categoryId", "0" },
                    { "category", "Private" }, { "name", "sam" }, { "topic", QJsonValue() } } },
            { "dateRange", QJsonObject { { "after", QJsonValue() }, { "before", QJsonValue() } } },
            { "exportedAt", "2024-03-07T10:00:00.000+00:00" }, { "messages", messages },
            { "messageCount", 4 } });
    return folder + QLatin1Char('/') + name + QStringLiteral(".json");
}

QString slack(const QString &folder)
{
    const QString root = folder + QStringLiteral("/Hiking Slack export Mar 7 2024");
    writeJson(root + QStringLiteral("/users.json"),
        QJsonArray { QJsonObject { { "id", "U01SAM" }, { "name", "sam" }, { "real_name", "Sam" },
                         { "profile", QJsonObject { { "real_name", "Sam" }, { "display_name", "sam" } } } },
            QJsonObject { { "id", "U02ROB" }, { "name", "robin" }, { "real_name", "Robin" },
                { "profile", QJsonObject { { "real_name", "Robin" }, { "display_name", "robin" } } } } });
    writeJson(root + QStringLiteral("/channels.json"),
        QJsonArray { QJsonObject {
            { "id", "C01" }, { "name", "general" }, { "members", QJsonArray { "U01SAM", "U02ROB" } } } });
    writeJson(root + QStringLiteral("/general/2024-03-05.json"),
        QJsonArray { QJsonObject { { "type", "message" }, { "subtype", "channel_join" }, { "user", "U01SAM" },
                         { "text", "<@U01SAM> has joined the channel" }, { "ts", "1709672000.000100" } },
            QJsonObject { { "type", "message" }, { "user", "U01SAM" }, { "text", "hey café" },
                { "ts", QStringLiteral("%1.000200").arg(First) } },
            QJsonObject { { "type", "message" }, { "user", "U02ROB" }, { "text", "on my way 👋" },
                { "ts", QStringLiteral("%1.000300").arg(Second) },
                { "user_profile", QJsonObject { { "real_name", "Robin" } } } } });
    writeJson(root + QStringLiteral("/general/2024-03-06.json"),
        QJsonArray { QJsonObject { { "type", "message" }, { "user", "U01SAM" }, { "text", "the summit!" },
            { "ts", QStringLiteral("%1.000400").arg(Third) },
            { "files",
                QJsonArray {
                    QJsonObject { { "id", "F1" }, { "name", "IMG_0001.jpg" }, { "mimetype", "image/jpeg" },
                        { "url_private", "https://files.slack.com/files-pri/T1-F1/img_0001.jpg" } } } } } });
    return root;
}

QString googleChat(const QString &folder)
{
    const QString root = folder + QStringLiteral("/Takeout/Google Chat");
    const QJsonObject sam { { "name", "Sam" }, { "email", "sam@example.com" }, { "user_type", "Human" } };
    const QJsonObject robin { { "name", "Robin" }, { "email", "robin@example.com" },
        { "user_type", "Human" } };
    writeJson(root + QStringLiteral("/Users/User 1001/user_info.json"),
        QJsonObject { { "user", robin }, { "membership_info", QJsonArray() } });
    const QString group = root + QStringLiteral("/Groups/DM abcd");
    writeJson(
        group + QStringLiteral("/group_info.json"), QJsonObject { { "members", QJsonArray { sam, robin } } });
    writeFile(group + QStringLiteral("/File-IMG_0001.jpg"), photoBytes());
    writeJson(group + QStringLiteral("/messages.json"),
        QJsonObject { { "messages",
            QJsonArray { QJsonObject { { "creator", sam },
                             { "created_date", "Tuesday, March 5, 2024 at 9:14:00 PM UTC" },
                             { "text", "hey café" }, { "topic_id", "t1" } },
                QJsonObject { { "creator", robin },
                    { "created_date", QStringLiteral("Tuesday, March 5, 2024 at 9:15:00\u202FPM UTC") },
                    { "text", "on my way 👋" }, { "topic_id", "t2" } },
                QJsonObject { { "creator", sam },
                    { "created_date", "Wednesday, March 6, 2024 at 8:00:00 AM UTC" },
                    { "text", "the summit!" },
                    { "attached_files",
                        QJsonArray { QJsonObject {
                            { "original_name", "IMG_0001.jpg" }, { "export_name", "File-IMG_0001.jpg" } } } },
                    { "topic_id", "t3" } } } } });
    return folder + QStringLiteral("/Takeout");
}

QString snapchat(const QString &folder)
{
    const auto message = [](const QString &from, qint64 seconds, const QString &type, const QString &text) {
        return QJsonObject { { "From", from }, { "Media Type", type },
            { "Created",
                QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString("yyyy-MM-dd HH:mm:ss") + " UTC" },
            { "Content", text }, { "Conversation Title", QJsonValue() }, { "IsSender", from == "robin" },
            { "Created(microseconds)", seconds * 1000000 } };
    };
    writeJson(folder + QStringLiteral("/mydata/json/chat_history.json"),
        QJsonObject { { "sam",
            QJsonArray { message("sam", First, "TEXT", "hey café"),
                message("robin", Second, "TEXT", "on my way 👋"), message("sam", Third, "MEDIA", "") } } });
    return folder + QStringLiteral("/mydata");
}

QString snapchatOlder(const QString &folder)
{
    const auto message = [](const QString &key, qint64 seconds, const QString &type, const QString &text) {
        return QJsonObject { { key, "sam" }, { "Media Type", type },
            { "Created",
                QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString("yyyy-MM-dd HH:mm:ss") + " UTC" },
            { "Text", text } };
    };
    writeJson(folder + QStringLiteral("/chat_history.json"),
        QJsonObject { { "Received Saved Chat History",
                          QJsonArray { message("From", First, "TEXT", "hey café"),
                              message("From", Third, "MEDIA", "") } },
            { "Sent Saved Chat History", QJsonArray { message("To", Second, "TEXT", "on my way 👋") } } });
    return folder + QStringLiteral("/chat_history.json");
}

QString skype(const QString &folder)
{
    const auto message = [](const QString &id, qint64 seconds, const QString &type, const QString &from,
                             const QString &content) {
        return QJsonObject { { "id", id },
            { "displayName", from == "8:live:sam" ? QJsonValue("Sam") : QJsonValue() },
            { "originalarrivaltime",
                QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString("yyyy-MM-ddTHH:mm:ss.zzzZ") },
            { "messagetype", type }, { "version", seconds }, { "content", content },
            { "conversationid", "8:live:sam" }, { "from", from }, { "properties", QJsonValue() },
            { "amsreferences", QJsonValue() } };
    };
    const QJsonArray messages {
        message("4", Third, "RichText/UriObject", "8:live:sam",
            "<URIObject type=\"Picture.1\" uri=\"https://api.asm.skype.com/v1/objects/0-x\">To "
            "view this shared photo, go to: https://login.skype.com</URIObject>"),
        message("3", Second, "RichText", "8:live:.cid.robin", "on my way 👋"),
        message("2", Second - 30, "Event/Call", "8:live:sam", "<partlist type=\"ended\"></partlist>"),
        message("1", First, "RichText", "8:live:sam", "hey <b>caf&#233;</b>")
    };
    writeJson(folder + QStringLiteral("/8_live_.cid.robin_export/messages.json"),
        QJsonObject { { "userId", "8:live:.cid.robin" }, { "exportDate", "2024-03-07T10:00" },
            { "conversations",
                QJsonArray { QJsonObject { { "id", "8:live:sam" }, { "displayName", "Sam" }, { "version", 1 },
                                 { "properties", QJsonObject() }, { "threadProperties", QJsonValue() },
                                 { "MessageList", messages } },
                    QJsonObject { { "id", "48:calllogs" }, { "displayName", QJsonValue() },
                        { "MessageList", QJsonArray() } } } } });
    return folder + QStringLiteral("/8_live_.cid.robin_export/messages.json");
}

QString signalDataJson(const QString &folder)
{
    const QString chat = folder + QStringLiteral("/signal-chats/Sam");
    writeFile(chat + QStringLiteral("/media/2024-03-06T08-00-00.000_00_IMG_0001.jpg"), photoBytes());
    const auto line
        = [](const QString &date, const QString &sender, const QString &body, const QJsonArray &attachments) {
              return QJsonDocument(QJsonObject { { "date", date }, { "sender", sender },
                                       { "body", body + "  " }, { "quote", "" }, { "sticker", QJsonValue() },
                                       { "reactions", QJsonArray() }, { "attachments", attachments },
                                       { "deleted", false }, { "call", false }, { "missed", false } })
                  .toJson(QJsonDocument::Compact);
          };
    writeFile(chat + QStringLiteral("/data.json"),
        line("2024-03-05T21:14:00", "Sam", "hey café", {}) + '\n'
            + line("2024-03-05T21:15:00", "Me", "on my way 👋", {}) + '\n'
            + line("2024-03-06T08:00:00", "Sam", "the summit!",
                QJsonArray { QJsonObject { { "name", "2024-03-06T08-00-00.000_00_IMG_0001.jpg" },
                    { "path", "media/2024-03-06T08-00-00.000_00_IMG_0001.jpg" } } })
            + '\n');
    return folder + QStringLiteral("/signal-chats");
}

QString sigtopJson(const QString &folder)
{
    const auto record = [](const QString &type, qint64 seconds, const QString &body,
                            const QJsonArray &attachments) {
        QJsonObject record { { "type", type }, { "sent_at", seconds * 1000 }, { "timestamp", seconds * 1000 },
            { "body", body }, { "conversationId", "c0ffee" }, { "attachments", attachments } };
        if (type == QLatin1String("incoming"))
            record.insert("source", "+15550100");
        return record;
    };
    writeJson(folder + QStringLiteral("/Sam (+15550100).json"),
        QJsonArray { record("keychange", First - 60, "", {}), record("incoming", First, "hey café", {}),
            record("outgoing", Second, "on my way 👋", {}),
            record("incoming", Third, "the summit!",
                QJsonArray { QJsonObject { { "contentType", "image/jpeg" }, { "fileName", "IMG_0001.jpg" },
                    { "path", "ab/abcdef" }, { "size", 4 } } }) });
    return folder + QStringLiteral("/Sam (+15550100).json");
}

} // namespace ChatExports

namespace ExportShapes {

namespace {

using ChatExports::metaMessage;
using ChatExports::metaThread;

qint64 seconds(const char *at)
{
    return QDateTime::fromString(QLatin1String(at), Qt::ISODate).toSecsSinceEpoch();
}

} // namespace

Shape instagramPolls()
{
    return { QStringLiteral("Instagram, notices about a poll"),
        { { QStringLiteral("Lisboa 2023"), QStringLiteral("Beatriz Santos"), QStringLiteral("Beatriz Santos"),
            { "Inês Costa | 2023-06-10T19:02:00 | Quem vem jantar sábado? 🍷",
                "Rui Almeida | 2023-06-10T19:10:00 | Eu vou! Levo o bolo",
                "Beatriz Santos | 2023-06-10T19:20:00 | Também vou, mas chego às 21h",
                "Inês Costa | 2023-06-11T09:00:00 |  [photo]" } } },
        [](const QString &folder) {
            const QString root = folder + QStringLiteral("/instagram-beatriz.santos-2023-06-20");
            const QString thread = QStringLiteral("your_instagram_activity/messages/inbox/lisboa2023_8812/");
            const QString photo = thread + QStringLiteral("photos/3141592653589.jpg");
            ChatExports::writeFile(root + QLatin1Char('/') + photo, ChatExports::photoBytes());
            // Newest first, as Instagram writes them.
            ChatExports::writeFile(root + QLatin1Char('/') + thread + QStringLiteral("message_1.json"),
                metaThread({ "Inês Costa", "Rui Almeida", "Beatriz Santos" },
                    { metaMessage("Rui Almeida", seconds("2023-06-11T09:01:00Z"),
                          QStringLiteral("Reacted 😍 to your message")),
                        metaMessage("Inês Costa", seconds("2023-06-11T09:00:00Z"), {}, photo),
                        metaMessage("Beatriz Santos", seconds("2023-06-10T19:20:00Z"),
                            QStringLiteral("Também vou, mas chego às 21h")),
                        metaMessage("Inês Costa", seconds("2023-06-10T19:12:00Z"),
                            QStringLiteral("This poll is no longer available.")),
                        metaMessage("Rui Almeida", seconds("2023-06-10T19:10:00Z"),
                            QStringLiteral("Eu vou! Levo o bolo")),
                        metaMessage("Inês Costa", seconds("2023-06-10T19:03:00Z"),
                            QStringLiteral("Inês Costa's poll has multiple updates.")),
                        metaMessage("Inês Costa", seconds("2023-06-10T19:02:00Z"),
                            QStringLiteral("Quem vem jantar sábado? 🍷")) },
                    QStringLiteral("inbox/lisboa2023_8812"), QStringLiteral("Lisboa 2023")));
            return root;
        } };
}

Shape messengerPolls()
{
    const auto message = [](const char *sender, const char *at, const QString &text) {
        return QJsonObject { { "isUnsent", false }, { "media", QJsonArray() }, { "reactions", QJsonArray() },
            { "senderName", sender }, { "text", text }, { "timestamp", seconds(at) * 1000 },
            { "type", "text" } };
    };
    return { QStringLiteral("Messenger, notices about a poll"),
        { { QStringLiteral("Tiago Ferreira & Kofi Mensah"), QStringLiteral("Kofi Mensah"),
            QStringLiteral("Kofi Mensah"),
            { "Tiago Ferreira | 2023-11-04T18:00:00 | Bora ao jogo amanhã? ⚽",
                "Kofi Mensah | 2023-11-04T18:05:00 | Sim! Que horas?",
                "Kofi Mensah | 2023-11-05T15:45:00 | Vejo-te no estádio" } } },
        [=](const QString &folder) {
            const QString path = folder + QStringLiteral("/messages/Tiago Ferreira_1.json");
            ChatExports::writeFile(path,
                QJsonDocument(
                    QJsonObject { { "participants", QJsonArray { "Tiago Ferreira", "Kofi Mensah" } },
                        { "threadName", "Tiago Ferreira" },
                        { "messages",
                            QJsonArray {
                                message("Tiago Ferreira", "2023-11-04T18:00:00Z", "Bora ao jogo amanhã? ⚽"),
                                message("Kofi Mensah", "2023-11-04T18:05:00Z", "Sim! Que horas?"),
                                message("Tiago Ferreira", "2023-11-04T18:06:00Z",
                                    QStringLiteral("Tiago Ferreira’s poll has multiple updates.")),
                                message("Tiago Ferreira", "2023-11-04T18:30:00Z",
                                    QStringLiteral("This poll is no longer available.")),
                                message("Kofi Mensah", "2023-11-05T15:45:00Z", "Vejo-te no estádio") } } })
                    .toJson());
            return path;
        } };
}

} // namespace ExportShapes
