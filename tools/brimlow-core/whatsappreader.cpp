#include "whatsappreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "textlines.h"
#include "whatsappline.h"
#include "whatsappnotices.h"

#include <QFileInfo>
#include <QHash>

namespace Brimlow {

namespace {

constexpr int LinesToRecognise = 50;
// Enough for the headers of any chat's start, however long its messages.
constexpr int LinesToLearnHeadersFrom = 5000;

bool isMark(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

QString withoutMarks(QString text)
{
    // Most texts have none; only those are rebuilt.
    if (std::none_of(text.cbegin(), text.cend(), isMark))
        return text;
    text.removeIf(isMark);
    return text;
}

// A sender part that holds a quotation mark is a group event whose quoted
// name holds ": " ("Sam changed the subject to “Trip: June”").
bool isQuoting(QStringView sender)
{
    static const QStringView quotes = u"\"“”„«»‹›「」";
    return std::any_of(sender.begin(), sender.end(), [](QChar c) { return quotes.contains(c); });
}

// One message as the file wrote it: its first line after the date, and
// the lines that continue it.
struct RawMessage
{
    QString at;
    QString rest;
    QStringList more;
};

class Builder
{
public:
    Builder(const QString &folder, ChatLogReader::Detail detail)
        : m_folder(folder)
        , m_chat(detail)
    { }

    void add(const RawMessage &raw)
    {
        const qsizetype colon = raw.rest.indexOf(QLatin1String(": "));
        QString sender;
        QString first;
        if (colon >= 0) {
            sender = raw.rest.left(colon);
            first = raw.rest.mid(colon + 2);
        } else if (raw.rest.endsWith(QLatin1Char(':'))) {
            sender = raw.rest.chopped(1);
        } else {
            return; // a system line: someone joined, the group got a name
        }
        sender = withoutMarks(sender).trimmed();
        // Exports write senders who are not in the phone's contacts as "~ Name".
        while (sender.startsWith(QLatin1Char('~')))
            sender = sender.mid(1).trimmed();
        if (sender.isEmpty() || isQuoting(sender))
            return;

        // The iPhone app starts group events and file lines with a mark.
        const bool marked = !first.isEmpty() && isMark(first.front());
        const QString plainFirst = marked ? withoutMarks(first).trimmed() : first;
        if (marked && WhatsAppNotices::isEncryptionNotice(plainFirst)) {
            // The iPhone app writes the notice under the chat's own name.
            if (m_title.isEmpty())
                m_title = sender;
            return;
        }
        // Older exports write it without the mark, also under the chat's
        // name: as the chat's first line, or, in a chat older than
        // encryption, where it began. Past the first line a person may talk
        // about encryption, so there only WhatsApp's own sentence counts.
        if (!marked && raw.more.isEmpty()
            && (m_wrote ? WhatsAppNotices::isWholeEncryptionNotice(first)
                        : WhatsAppNotices::isEncryptionNotice(first)))
            return;
        if (marked && raw.more.isEmpty() && WhatsAppNotices::isEvent(plainFirst))
            return;

        QList<Transcript::Attachment> attachments;
        QString text;
        const auto attached = WhatsAppNotices::attachment(withoutMarks(first).trimmed());
        qsizetype firstMore = 0;
        if (attached) {
            attachments.append({ attached->kind, located(attached->fileName), {} });
            // A shared contact prints as its name beside the contact's mark.
            text = attached->contactName;
            // A document's name may follow on a line of its own.
            if (!raw.more.isEmpty() && !attached->fileName.isEmpty()
                && withoutMarks(raw.more.first()).trimmed() == attached->fileName)
                firstMore = 1;
        } else {
            text = marked ? plainFirst : first;
        }
        for (qsizetype i = firstMore; i < raw.more.size(); ++i) {
            if (!text.isEmpty() || i > firstMore)
                text.append(QLatin1Char('\n'));
            text.append(raw.more.at(i));
        }
        text = WhatsAppNotices::withoutEditedMark(text);
        if (!attached && WhatsAppNotices::isDeleted(withoutMarks(text).trimmed()))
            return;
        m_chat.add(raw.at, sender, text, attachments);
        m_wrote = true;
    }

    QList<ChatLogReader::Chat> finish()
    {
        m_chat.chat().transcript.name = m_title;
        QList<ChatLogReader::Chat> chats;
        m_chat.takeInto(chats);
        return chats;
    }

private:
    QString located(const QString &fileName) const
    {
        // Only a plain name beside the chat: nothing the text names may lead
        // elsewhere.
        if (fileName.isEmpty() || m_folder.isEmpty() || fileName.contains(QLatin1Char('/'))
            || fileName.contains(QLatin1Char('\\')) || fileName.contains(QChar(0))
            || fileName == QLatin1String(".."))
            return {};
        // A link beside the chat may point anywhere; only files in the
        // chat's own folder count.
        return ChatFile::inside(m_folder, m_folder, fileName);
    }

    QString m_folder;
    QString m_title;
    ChatBuilder m_chat;
    bool m_wrote = false;
};

// Which lines of a file start a message: those written in a form the
// file's own message headers use. A person's words may hold a date and time
// of any form ("25.12.2019 klo 10.00 - kirkko" in an iPhone export), and a
// line taken for a header would drop what follows it as a system line.
// Where no header names a sender, a bracket or a dash after the time marks
// a header wherever it stands. A colon or a space alone might as well begin
// a person's words ("25.12.19 12.00: lunch at gran's"), so such a line
// starts a message only where it names a sender.
class Headers
{
public:
    explicit Headers(TextLines &lines)
    {
        struct Seen
        {
            int count = 0;
            bool marked = false;
        };
        QHash<int, Seen> counts;
        int named = 0;
        int matched = 0;
        for (int read = 0; matched < LinesToRecognise && read < LinesToLearnHeadersFrom && lines.next();
             ++read) {
            if (const auto line = WhatsAppLine::match(lines.line())) {
                ++matched;
                if (line->namesSender()) {
                    Seen &seen = counts[line->form()];
                    ++seen.count;
                    seen.marked = line->isMarked();
                    ++named;
                }
            }
        }
        lines.rewind();
        // A form the export writes is a good share of its headers, and a
        // form without a bracket or a dash most of them; a few lines of
        // another form are a person's words.
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it->count * (it->marked ? 5 : 2) > named)
                m_forms.append(it.key());
        }
    }

    std::optional<WhatsAppLine> match(QStringView text) const
    {
        auto line = WhatsAppLine::match(text);
        if (!line)
            return line;
        const bool ownForm = m_forms.isEmpty() ? line->isMarked() : m_forms.contains(line->form());
        if (!ownForm || (!line->isMarked() && !line->namesSender()))
            line.reset();
        return line;
    }

private:
    QList<int> m_forms;
};

} // namespace

QString WhatsAppReader::service() const
{
    return QStringLiteral("WhatsApp");
}

bool WhatsAppReader::recognises(const QByteArray &head) const
{
    int seen = 0;
    int matched = 0;
    TextLines lines(head);
    while (lines.next()) {
        const QStringView line = lines.line();
        if (line.trimmed().isEmpty())
            continue;
        const auto header = WhatsAppLine::match(line);
        const bool isMessage = header && (header->isMarked() || header->namesSender());
        if (seen == 0 && isMessage)
            return true;
        matched += isMessage ? 1 : 0;
        if (++seen >= LinesToRecognise)
            break;
    }
    return matched >= 3;
}

QList<ChatLogReader::Chat> WhatsAppReader::read(const QString &path, Context &context) const
{
    TextLines lines(ChatFile::bytes(path));
    return parse(lines, QFileInfo(path).absolutePath(), context.detail);
}

QList<ChatLogReader::Chat> WhatsAppReader::parse(TextLines &lines, const QString &folder, Detail detail)
{
    const Headers headers(lines);
    // The date order comes from every line, before any is read.
    WhatsAppDateOrder dates;
    while (lines.next()) {
        if (const auto line = headers.match(lines.line()))
            dates.add(*line);
    }
    const WhatsAppLine::DateOrder order = dates.order();

    lines.rewind();
    Builder builder(folder, detail);
    std::optional<RawMessage> current;
    while (lines.next()) {
        const auto head = headers.match(lines.line());
        const QString at = head ? head->timestamp(order) : QString();
        if (!at.isEmpty()) {
            if (current)
                builder.add(*current);
            current = RawMessage { at, head->rest.toString(), {} };
        } else if (current) {
            current->more.append(lines.line().toString());
        }
    }
    if (current)
        builder.add(*current);
    return builder.finish();
}

Transcript WhatsAppReader::parse(const QString &text, const QString &folder)
{
    TextLines lines(text);
    const QList<Chat> chats = parse(lines, folder, Detail::Messages);
    return chats.isEmpty() ? Transcript() : chats.first().transcript;
}

} // namespace Brimlow
