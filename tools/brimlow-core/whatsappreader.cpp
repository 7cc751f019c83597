#include "whatsappreader.h"

#include "chatfile.h"
#include "failure.h"
#include "mediakind.h"
#include "whatsappline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace Brimlow {

namespace {

constexpr int LinesToRecognise = 50;

// One message as the file wrote it, before its lines are interpreted;
// views into the chat's text.
struct RawMessage
{
    QString at;
    QStringView rest;
    QList<QStringView> more; // continuation lines
};

QList<QStringView> linesOf(const QString &text)
{
    QList<QStringView> lines = QStringView(text).split(QLatin1Char('\n'));
    for (QStringView &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

// Old Mac files end lines with a lone CR.
QString withLineFeeds(const QString &text)
{
    bool lone = false;
    for (qsizetype cr = text.indexOf(QLatin1Char('\r')); cr >= 0 && !lone;
         cr = text.indexOf(QLatin1Char('\r'), cr + 1))
        lone = cr + 1 >= text.size() || text.at(cr + 1) != QLatin1Char('\n');
    if (!lone)
        return text;
    QString copy = text;
    copy.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    copy.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return copy;
}

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

void chopTrailingSpace(QString &text)
{
    // Read through at(): a non-const back() would copy every shared text.
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    if (end < text.size())
        text.truncate(end);
}

struct Marker
{
    QString kind;
    QString fileName; // empty when the export left the file out
};

// A first line that stands for an attached or left-out file.
std::optional<Marker> markerIn(const QString &line)
{
    static const QRegularExpression attached(QStringLiteral("^<attached:\\s*(.+?)>$"));
    static const QRegularExpression attachedAfter(QStringLiteral("^(.+?)\\s*<attached>$"));
    static const QRegularExpression fileAttached(QStringLiteral("^(.+?) \\(file attached\\)$"));
    static const QRegularExpression omitted(
        QStringLiteral("^(?:.*\\s)?(image|video|audio|sticker|GIF|document|Contact card) omitted$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    const QString plain = withoutMarks(line).trimmed();
    // Every marker ends in one of these; plain messages need no pattern.
    if (!plain.endsWith(QLatin1Char('>')) && !plain.endsWith(QLatin1String("attached)"))
        && !plain.endsWith(QLatin1String("omitted"), Qt::CaseInsensitive))
        return std::nullopt;
    for (const QRegularExpression *pattern : { &attached, &attachedAfter, &fileAttached }) {
        const auto found = pattern->match(plain);
        if (found.hasMatch()) {
            const QString name = found.captured(1).trimmed();
            return Marker { MediaKind::fromFileName(name), name };
        }
    }
    if (plain.compare(QLatin1String("<Media omitted>"), Qt::CaseInsensitive) == 0)
        return Marker { MediaKind::file(), {} };
    const auto found = omitted.match(plain);
    if (!found.hasMatch())
        return std::nullopt;
    const QString word = found.captured(1).toLower();
    if (word == QLatin1String("image"))
        return Marker { MediaKind::photo(), {} };
    if (word == QLatin1String("video") || word == QLatin1String("gif"))
        return Marker { MediaKind::video(), {} };
    if (word == QLatin1String("audio"))
        return Marker { MediaKind::audio(), {} };
    if (word == QLatin1String("sticker"))
        return Marker { MediaKind::sticker(), {} };
    return Marker { MediaKind::file(), {} };
}

bool isEncryptionNotice(const QString &text)
{
    // A case-sensitive look first: the full search runs on every message.
    return (text.contains(QLatin1String("ncrypt")) || text.contains(QLatin1String("NCRYPT")))
        && text.contains(QLatin1String("end-to-end encrypt"), Qt::CaseInsensitive);
}

bool isDeletedNotice(const QString &text)
{
    return text == QLatin1String("This message was deleted")
        || text == QLatin1String("You deleted this message")
        || text == QLatin1String("This message was deleted.")
        || text == QLatin1String("You deleted this message.");
}

class Builder
{
public:
    explicit Builder(const QString &folder)
        : m_folder(folder)
    { }

    void add(const RawMessage &raw)
    {
        const qsizetype colon = raw.rest.indexOf(QLatin1String(": "));
        QString sender;
        QString first;
        if (colon >= 0) {
            sender = raw.rest.left(colon).toString();
            first = raw.rest.mid(colon + 2).toString();
        } else if (raw.rest.endsWith(QLatin1Char(':'))) {
            sender = raw.rest.chopped(1).toString();
        } else {
            return; // a system line: someone joined, the group got a name
        }
        sender = withoutMarks(sender).trimmed();
        // Exports write senders who are not in the phone's contacts as "~ Name".
        while (sender.startsWith(QLatin1Char('~')))
            sender = sender.mid(1).trimmed();
        if (sender.isEmpty())
            return;

        // The iPhone app starts system lines and file lines with a mark.
        const bool marked = first.startsWith(QChar(0x200E)) || first.startsWith(QChar(0x200F));
        const QString plainFirst = withoutMarks(first);
        if (isEncryptionNotice(plainFirst)) {
            // The iPhone app writes the notice under the chat's own name.
            if (m_title.isEmpty() && marked)
                m_title = sender;
            return;
        }

        Transcript::Message message;
        const auto marker = markerIn(first);
        QString text;
        if (marker) {
            message.attachments.append({ marker->kind, located(marker->fileName), {} });
        } else if (marked) {
            return;
        } else {
            text = first;
        }
        for (qsizetype i = 0; i < raw.more.size(); ++i) {
            if (i > 0 || !marker)
                text.append(QLatin1Char('\n'));
            text.append(raw.more.at(i));
        }
        static const QRegularExpression edited(QStringLiteral("\\s*[\\x{200E}]?<This message was edited>$"));
        if (text.endsWith(QLatin1String("edited>")))
            text.remove(edited);
        chopTrailingSpace(text);
        if (!marker && isDeletedNotice(text))
            return;
        if (text.isEmpty() && message.attachments.isEmpty())
            return;

        message.text = text;
        message.at = raw.at;
        const auto known = m_senders.constFind(sender);
        message.sender = known == m_senders.constEnd() ? -1 : *known;
        if (message.sender < 0) {
            m_transcript.participants.append(sender);
            message.sender = int(m_transcript.participants.size() - 1);
            m_senders.insert(sender, message.sender);
        }
        m_transcript.messages.append(std::move(message));
    }

    Transcript finish()
    {
        m_transcript.name = m_title;
        return std::move(m_transcript);
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
    Transcript m_transcript;
    QHash<QString, int> m_senders;
};

} // namespace

QString WhatsAppReader::service() const
{
    return QStringLiteral("WhatsApp");
}

QString WhatsAppReader::decode(const QByteArray &bytes)
{
    return ChatFile::decode(bytes);
}

bool WhatsAppReader::recognises(const QByteArray &head) const
{
    int seen = 0;
    int matched = 0;
    const QString text = withLineFeeds(decode(head));
    for (const QStringView line : linesOf(text)) {
        if (line.trimmed().isEmpty())
            continue;
        const bool isMessage = WhatsAppLine::match(line).has_value();
        if (seen == 0 && isMessage)
            return true;
        matched += isMessage ? 1 : 0;
        if (++seen >= LinesToRecognise)
            break;
    }
    return matched >= 3;
}

QList<ChatLogReader::Chat> WhatsAppReader::read(const QString &path, Context &) const
{
    Chat chat;
    chat.transcript = parse(decode(ChatFile::bytes(path)), QFileInfo(path).absolutePath());
    return { chat };
}

Transcript WhatsAppReader::parse(const QString &original, const QString &folder)
{
    const QString text = withLineFeeds(original);
    const QList<QStringView> lines = linesOf(text);
    QList<WhatsAppLine> heads;
    QList<qsizetype> headAt(lines.size(), -1);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (auto line = WhatsAppLine::match(lines.at(i))) {
            headAt[i] = heads.size();
            heads.append(std::move(*line));
        }
    }
    const auto order = WhatsAppLine::dateOrder(heads);

    Builder builder(folder);
    std::optional<RawMessage> current;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype head = headAt.at(i);
        const QString at = head >= 0 ? heads.at(head).timestamp(order) : QString();
        if (!at.isEmpty()) {
            if (current)
                builder.add(*current);
            current = RawMessage { at, heads.at(head).rest, {} };
        } else if (current) {
            current->more.append(lines.at(i));
        }
    }
    if (current)
        builder.add(*current);
    return builder.finish();
}

} // namespace Brimlow
