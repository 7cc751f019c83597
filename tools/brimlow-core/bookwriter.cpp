#include "bookwriter.h"

#include "model/jsonwriter.h"
#include "mediakind.h"

namespace Brimlow {

namespace {

constexpr qint64 Format = 1;

// The line under the title: the year of the first message, or the first
// and last years joined by an en dash.
QString colophonOf(const Transcript &transcript)
{
    if (transcript.messages.isEmpty())
        return {};
    const QString first = transcript.messages.first().at.left(4);
    const QString last = transcript.messages.last().at.left(4);
    return first == last ? first : first + QChar(0x2013) + last;
}

} // namespace

BookWriter::BookWriter(const Transcript &transcript, const Names &names)
    : m_transcript(transcript)
{
    m_them = names.them.value_or(QString());
    if (!names.them) {
        m_them = transcript.name;
        if (m_them.isEmpty() && !transcript.group)
            m_them = transcript.participants.value(0);
        if (m_them.isEmpty())
            m_them = transcript.group ? QStringLiteral("Group chat") : QStringLiteral("Them");
    }
    m_me = names.me.value_or(QStringLiteral("Me"));
    m_title = names.title.value_or(QStringLiteral("You & ") + m_them);
}

QString BookWriter::personId(int sender) const
{
    if (sender == Transcript::Me)
        return QStringLiteral("me");
    if (!m_transcript.group)
        return QStringLiteral("them");
    return QStringLiteral("p%1").arg(sender + 1);
}

bool BookWriter::write(QIODevice *device) const
{
    const Transcript &t = m_transcript;
    JsonWriter json(device);
    json.beginObject();
    json.member("format", Format);
    json.member("style", QStringLiteral("novel"));

    json.key("front");
    json.beginObject();
    json.member("title", m_title);
    json.member("colophon", colophonOf(t));
    json.member("dedication", QStringList());
    json.endObject();

    json.key("people");
    json.beginArray();
    json.beginObject();
    json.member("id", personId(Transcript::Me));
    json.member("name", m_me);
    json.member("me", true);
    json.endObject();
    if (!t.group) {
        json.beginObject();
        json.member("id", personId(0));
        json.member("name", m_them);
        json.member("me", false);
        json.endObject();
    } else {
        for (int i = 0; i < t.participants.size(); ++i) {
            json.beginObject();
            json.member("id", personId(i));
            json.member("name", t.participants.at(i));
            json.member("me", false);
            json.endObject();
        }
    }
    json.endArray();

    json.key("messages");
    json.beginArray();
    for (const Transcript::Message &message : t.messages) {
        json.beginObject();
        json.member("id", message.id);
        json.member("at", message.at);
        const QString from = personId(message.sender);
        json.member("from", from);
        json.member("who", from);
        if (!message.text.isEmpty())
            json.member("text", message.text);
        if (!message.attachments.isEmpty()) {
            QStringList media;
            QStringList photos;
            for (const Transcript::Attachment &attachment : message.attachments) {
                media.append(attachment.kind);
                if (attachment.kind == MediaKind::photo() && !attachment.path.isEmpty())
                    photos.append(attachment.path);
            }
            json.member("media", media);
            if (!photos.isEmpty())
                json.member("photos", photos);
        }
        json.endObject();
    }
    json.endArray();

    json.key("edits");
    json.beginObject();
    json.endObject();

    json.key("stats");
    json.beginObject();
    json.member("messages", qint64(t.messages.size()));
    if (!t.messages.isEmpty()) {
        json.member("first", t.messages.first().at.left(10));
        json.member("last", t.messages.last().at.left(10));
    }
    json.endObject();

    json.endObject();
    return json.flush();
}

} // namespace Brimlow
