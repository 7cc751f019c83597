#include "signaltextreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "mediakind.h"
#include "textlines.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace Brimlow {

namespace {

const QRegularExpression &markdownLine()
{
    static const QRegularExpression line(
        QStringLiteral(R"(^\[(\d{4})-(\d{2})-(\d{2}),? (\d{2}):(\d{2})(?::(\d{2}))?\] ([^:\n]+?): ?(.*)$)"));
    return line;
}

// "Sam (+15550100)" names Sam; the number only tells people apart.
QString withoutNumber(const QString &name)
{
    static const QRegularExpression number(QStringLiteral(R"(\s*\(\+?[\d ]+\)$)"));
    QString plain = name;
    plain.remove(number);
    return plain.trimmed().isEmpty() ? name.trimmed() : plain.trimmed();
}

// "Sun, 31 Jan 2021 21:41:02 +0100", Go's RFC 1123 with a numeric zone.
QString sigtopTime(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(?:\w+, )?(\d{1,2}) (\w+) (\d{4}) (\d{2}):(\d{2}):(\d{2}) ([+-]\d{4})$)"));
    const auto found = pattern.match(text.trimmed());
    const int month = found.hasMatch() ? ChatTime::monthNamed(found.captured(2)) : 0;
    if (month == 0)
        return {};
    return ChatTime::fromIso(
        QStringLiteral("%1-%2-%3T%4:%5:%6%7")
            .arg(found.captured(3))
            .arg(month, 2, 10, QLatin1Char('0'))
            .arg(found.captured(1).toInt(), 2, 10, QLatin1Char('0'))
            .arg(found.captured(4), found.captured(5), found.captured(6), found.captured(7)));
}

class MarkdownMessage
{
public:
    QString at;
    QString sender;
    QStringList lines;

    void addTo(ChatBuilder &builder, const QString &root, const QString &folder) const
    {
        static const QRegularExpression link(QStringLiteral(R"((!?)\[([^\]]*)\]\(([^)]*)\))"));
        QList<Transcript::Attachment> attachments;
        QString text;
        bool first = true;
        for (const QStringView view : lines) {
            if (view.startsWith(QLatin1String("> ")) || view == QLatin1String(">")
                || (view.startsWith(QLatin1String("(- ")) && view.endsWith(QLatin1String(" -)"))))
                continue; // quotes of earlier messages, reactions
            if (view.startsWith(QLatin1String("(( ")) && view.endsWith(QLatin1String(" ))"))) {
                attachments.append({ MediaKind::sticker(), {}, {} });
                continue;
            }
            if (!std::exchange(first, false))
                text.append(QLatin1Char('\n'));
            if (!view.contains(QLatin1String("]("))) {
                text.append(view);
                continue;
            }
            QString line = view.toString();
            auto links = link.globalMatch(line);
            while (links.hasNext()) {
                const auto found = links.next();
                QString target = QUrl::fromPercentEncoding(found.captured(3).toUtf8());
                if (target.startsWith(QLatin1String("./")))
                    target = target.mid(2);
                const QString kind
                    = found.captured(1).isEmpty() ? MediaKind::fromFileName(target) : MediaKind::photo();
                attachments.append({ kind, ChatFile::inside(root, folder, target), {} });
            }
            line.remove(link);
            text.append(line);
        }
        text = text.trimmed();
        if (text == QLatin1String("(This message was deleted)"))
            return;
        builder.add(at, sender, text, attachments);
    }
};

void readMarkdown(TextLines &lines, ChatBuilder &builder, const QString &root, const QString &folder)
{
    std::optional<MarkdownMessage> current;
    while (lines.next()) {
        const QStringView line = lines.line();
        // "[2021-01-31 21:41:02] Sam: hey", the form of every newer export,
        // without a pattern.
        const qsizetype colon = line.size() > 23 && line.at(0) == QLatin1Char('[')
                && line.at(20) == QLatin1Char(']') && line.at(21) == QLatin1Char(' ')
                && line.at(11) == QLatin1Char(' ')
            ? line.indexOf(QLatin1Char(':'), 22)
            : -1;
        if (colon > 22) {
            bool ok[6] = {};
            const int parts[6] = { line.mid(1, 4).toInt(&ok[0]), line.mid(6, 2).toInt(&ok[1]),
                line.mid(9, 2).toInt(&ok[2]), line.mid(12, 2).toInt(&ok[3]), line.mid(15, 2).toInt(&ok[4]),
                line.mid(18, 2).toInt(&ok[5]) };
            if (std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; })) {
                if (current)
                    current->addTo(builder, root, folder);
                current = MarkdownMessage();
                current->at
                    = ChatTime::fromFields(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
                current->sender = line.mid(22, colon - 22).toString();
                QStringView first = line.mid(colon + 1);
                if (first.startsWith(QLatin1Char(' ')))
                    first = first.mid(1);
                current->lines.append(first.toString());
                continue;
            }
        }
        const auto found
            = line.startsWith(QLatin1Char('[')) ? markdownLine().match(line) : QRegularExpressionMatch();
        if (found.hasMatch()) {
            if (current)
                current->addTo(builder, root, folder);
            current = MarkdownMessage();
            current->at = ChatTime::fromFields(found.captured(1).toInt(), found.captured(2).toInt(),
                found.captured(3).toInt(), found.captured(4).toInt(), found.captured(5).toInt(),
                found.captured(6).toInt());
            current->sender = found.captured(7);
            current->lines.append(found.captured(8));
        } else if (current) {
            current->lines.append(line.toString());
        }
    }
    if (current)
        current->addTo(builder, root, folder);
    builder.chat().owner = QStringLiteral("Me");
}

// sigtop's text: a header, then per message "From: …", "Type: …",
// "Sent: …", "Attachment: …" lines, an empty line and the body.
class SigtopReader
{
public:
    explicit SigtopReader(ChatBuilder &builder)
        : m_builder(builder)
    { }

    void read(TextLines &lines)
    {
        // A message starts with "From: " after an empty line when the next
        // line is its "Type: "; the "From: " line waits for that one.
        std::optional<QString> from;
        bool previousEmpty = true;
        while (lines.next()) {
            const QStringView line = lines.line();
            if (from) {
                const QString candidate = *std::exchange(from, std::nullopt);
                if (line.startsWith(QLatin1String("Type: "))) {
                    if (!m_sender.isEmpty())
                        flush();
                    m_sender = withoutNumber(candidate.mid(6));
                    previousEmpty = false;
                    continue;
                }
                take(candidate);
            }
            if (line.startsWith(QLatin1String("From: ")) && previousEmpty) {
                from = line.toString();
                previousEmpty = false;
                continue;
            }
            take(line);
            previousEmpty = line.isEmpty();
        }
        if (from)
            take(*from);
        if (!m_sender.isEmpty())
            flush();
        m_builder.chat().owner = QStringLiteral("You");
    }

private:
    void take(QStringView line)
    {
        if (m_sender.isEmpty())
            return;
        if (!m_inBody && line.startsWith(QLatin1String("Sent: "))) {
            m_at = sigtopTime(line.mid(6).toString());
        } else if (!m_inBody && line.startsWith(QLatin1String("Attachment: "))) {
            const QString field = line.mid(12).toString();
            const QString name = field.section(QLatin1String(" ("), 0, 0);
            const QString type = field.section(QLatin1String(" ("), -1).section(QLatin1Char(','), 0, 0);
            m_attachments.append({ MediaKind::fromStore(type, {}, name, MediaKind::Flag::None), {}, {} });
        } else if (!m_inBody && line.isEmpty()) {
            m_inBody = true;
        } else if (m_inBody && !line.startsWith(QLatin1Char('>')) && !line.startsWith(QLatin1Char('|'))) {
            if (!m_text.isEmpty())
                m_text.append(QLatin1Char('\n'));
            m_text.append(line);
        }
    }

    void flush()
    {
        m_builder.add(m_at, m_sender, m_text.trimmed(), m_attachments);
        m_at.clear();
        m_sender.clear();
        m_text.clear();
        m_attachments.clear();
        m_inBody = false;
    }

    ChatBuilder &m_builder;
    QString m_at;
    QString m_sender;
    QString m_text;
    QList<Transcript::Attachment> m_attachments;
    bool m_inBody = false;
};

} // namespace

QString SignalTextReader::service() const
{
    return QStringLiteral("Signal");
}

bool SignalTextReader::recognises(const QByteArray &head) const
{
    const QString text = ChatFile::decode(head);
    if (text.startsWith(QLatin1String("Conversation: ")))
        return text.contains(QLatin1String("\nFrom: ")) && text.contains(QLatin1String("\nType: "))
            && text.contains(QLatin1String("\nSent: "));
    // signal-export ends every body with two spaces, for Markdown's line
    // breaks; WhatsApp's lines of the same shape never do.
    int lines = 0;
    int spaced = 0;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (!markdownLine().match(line).hasMatch())
            continue;
        ++lines;
        spaced += line.endsWith(QLatin1String("  ")) ? 1 : 0;
    }
    return lines > 0 && spaced * 2 > lines;
}

QList<ChatLogReader::Chat> SignalTextReader::read(const QString &path, Context &context) const
{
    const QFileInfo info(path);
    // signal-export writes each chat twice, as Markdown and as data.json;
    // the JSON is read and the Markdown left alone.
    if (info.fileName() == QLatin1String("chat.md")
        && QFileInfo::exists(info.dir().filePath(QStringLiteral("data.json"))))
        return {};
    TextLines lines(ChatFile::bytes(path));
    const QString first = lines.next() ? lines.line().toString() : QString();
    lines.rewind();
    ChatBuilder builder(context.detail);
    if (first.startsWith(QLatin1String("Conversation: "))) {
        SigtopReader(builder).read(lines);
        builder.chat().transcript.name = withoutNumber(first.mid(14));
    } else {
        readMarkdown(lines, builder, context.root, info.absolutePath());
        builder.chat().transcript.name = info.dir().dirName();
    }
    return builder.takeAsOnlyChat(ChatBuilder::OneToOne::NamedAfterThePerson);
}

} // namespace Brimlow
