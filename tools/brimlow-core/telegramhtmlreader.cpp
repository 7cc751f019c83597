#include "telegramhtmlreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "htmlscanner.h"
#include "mediakind.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace Brimlow {

namespace {

// "31.01.2021 21:41:02", with " UTC+01:00" in newer exports.
QString timeIn(const QString &title)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{2})\.(\d{2})\.(\d{4}) (\d{2}):(\d{2}):(\d{2})(?: UTC([+-]\d{2}:?\d{2}))?)"));
    const auto found = pattern.match(title.trimmed());
    if (!found.hasMatch())
        return {};
    const QString iso = QStringLiteral("%1-%2-%3T%4:%5:%6%7")
                            .arg(found.captured(3), found.captured(2), found.captured(1), found.captured(4),
                                found.captured(5), found.captured(6), found.captured(7));
    return ChatTime::fromIso(iso);
}

// The kind of media a link or a box shows; a file's from its name, where
// the export kept it.
QString kindOf(const QStringList &classes, const QString &href)
{
    const auto has = [&](const char *className) { return classes.contains(QLatin1String(className)); };
    if (has("photo_wrap") || has("media_photo"))
        return MediaKind::photo();
    if (has("sticker_wrap"))
        return MediaKind::sticker();
    if (has("video_file_wrap") || has("animated_wrap") || has("media_video"))
        return MediaKind::video();
    if (has("media_voice_message"))
        return MediaKind::voiceMemo();
    if (has("media_audio_file"))
        return MediaKind::audio();
    if (has("media_file"))
        return href.isEmpty() ? MediaKind::file() : MediaKind::fromFileName(href);
    return {};
}

struct OpenTag
{
    QString name;
    QStringList classes;
};

class PageReader
{
public:
    PageReader(const QString &root, const QString &folder)
        : m_root(root)
        , m_folder(folder)
    { }

    void read(QStringView html, ChatBuilder &builder)
    {
        HtmlScanner scanner(html);
        for (auto token = scanner.next(); token != HtmlScanner::Token::End; token = scanner.next()) {
            if (token == HtmlScanner::Token::Text) {
                if (m_capture != Capture::None)
                    m_captured += scanner.text();
            } else if (token == HtmlScanner::Token::StartTag) {
                start(scanner);
            } else {
                end(scanner.tagName(), builder);
            }
        }
    }

private:
    enum class Capture { None, Title, From, Text };

    bool within(QLatin1StringView className) const
    {
        for (qsizetype i = qMax<qsizetype>(0, m_messageDepth); i < m_open.size(); ++i) {
            if (m_open.at(i).classes.contains(className))
                return true;
        }
        return false;
    }

    void start(const HtmlScanner &tag)
    {
        const QString name = tag.tagName();
        if (m_capture != Capture::None && name == QLatin1String("br"))
            m_captured += QLatin1Char('\n');
        // Classes are read once per tag: pages hold hundreds of thousands.
        const QStringList classes = name == QLatin1String("div") || name == QLatin1String("a")
            ? tag.attribute(QLatin1StringView("class")).split(QLatin1Char(' '), Qt::SkipEmptyParts)
            : QStringList();
        const auto has = [&](const char *className) { return classes.contains(QLatin1String(className)); };
        if (m_messageDepth >= 0 && name == QLatin1String("a"))
            media(tag, classes);
        // Media left out of the export stand as a box of their kind ("Video
        // message", "Not included, change data exporting settings to
        // download."); the message keeps its mark.
        if (m_messageDepth >= 0 && name == QLatin1String("div") && (has("media") || has("media_photo"))) {
            if (const QString kind = kindOf(classes, {}); !kind.isEmpty())
                m_attachments.append({ kind, {}, {} });
        }
        if (tag.isVoid())
            return;
        m_open.append({ name, classes });
        if (m_capture != Capture::None || name != QLatin1String("div"))
            return;
        if (has("message") && has("default")) {
            m_messageDepth = m_open.size() - 1;
            m_at.clear();
            m_text.clear();
            m_attachments.clear();
            m_from = has("joined") ? m_lastFrom : QString();
        } else if (m_messageDepth < 0 && has("text") && within(QLatin1StringView("page_header"))) {
            beginCapture(Capture::Title);
        } else if (m_messageDepth >= 0 && !within(QLatin1StringView("forwarded"))
            && !within(QLatin1StringView("reply_to"))) {
            if (has("date") && m_at.isEmpty())
                m_at = timeIn(tag.attribute(QLatin1StringView("title")));
            else if (has("from_name"))
                beginCapture(Capture::From);
            else if (has("text") && m_text.isEmpty())
                beginCapture(Capture::Text);
        } else if (m_messageDepth >= 0 && has("text") && m_text.isEmpty()
            && within(QLatin1StringView("forwarded"))) {
            beginCapture(Capture::Text);
        }
    }

    void media(const HtmlScanner &tag, const QStringList &classes)
    {
        const QString href = tag.attribute(QLatin1StringView("href"));
        if (href.isEmpty() || href.startsWith(QLatin1Char('#')) || href.contains(QLatin1String("://")))
            return;
        if (const QString kind = kindOf(classes, href); !kind.isEmpty())
            m_attachments.append({ kind, ChatFile::inside(m_root, m_folder, href), {} });
    }

    void beginCapture(Capture what)
    {
        m_capture = what;
        m_captureDepth = m_open.size() - 1;
        m_captured.clear();
    }

    void end(const QString &name, ChatBuilder &builder)
    {
        qsizetype match = m_open.size() - 1;
        while (match >= 0 && m_open.at(match).name != name)
            --match;
        if (match < 0)
            return; // a stray end tag
        while (m_open.size() > match) {
            const qsizetype depth = m_open.size() - 1;
            if (m_capture != Capture::None && depth == m_captureDepth)
                endCapture(builder);
            if (depth == m_messageDepth) {
                builder.add(m_at, m_from, m_text, m_attachments);
                m_lastFrom = m_from;
                m_messageDepth = -1;
            }
            m_open.removeLast();
        }
    }

    void endCapture(ChatBuilder &builder)
    {
        const QString text = m_captured.trimmed();
        if (m_capture == Capture::Title && builder.chat().transcript.name.isEmpty())
            builder.chat().transcript.name = text;
        else if (m_capture == Capture::From)
            m_from = text;
        else if (m_capture == Capture::Text)
            m_text = text;
        m_capture = Capture::None;
    }

    QString m_root;
    QString m_folder;
    QList<OpenTag> m_open;
    qsizetype m_messageDepth = -1;
    Capture m_capture = Capture::None;
    qsizetype m_captureDepth = -1;
    QString m_captured;
    QString m_at;
    QString m_from;
    QString m_lastFrom;
    QString m_text;
    QList<Transcript::Attachment> m_attachments;
};

} // namespace

QString TelegramHtmlReader::service() const
{
    return QStringLiteral("Telegram");
}

bool TelegramHtmlReader::recognises(const QByteArray &head) const
{
    return head.contains("class=\"page_header\"") && head.contains("class=\"history\"");
}

QList<ChatLogReader::Chat> TelegramHtmlReader::read(const QString &path, Context &context) const
{
    const QString folder = QFileInfo(path).absolutePath();
    ChatBuilder builder(context.detail);
    PageReader(context.root, folder).read(ChatFile::decode(ChatFile::bytes(path)), builder);
    // The pages of one chat lie together in one folder.
    builder.chat().joinKey = QStringLiteral("telegram-html:") + folder;
    QList<Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace Brimlow
