#include "htmlscanner.h"

#include <QHash>

namespace Brimlow {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char(':');
}

bool isVoidTag(const QString &name)
{
    static const QStringList tags = { QStringLiteral("br"), QStringLiteral("img"), QStringLiteral("meta"),
        QStringLiteral("link"), QStringLiteral("input"), QStringLiteral("hr"), QStringLiteral("source"),
        QStringLiteral("wbr") };
    return tags.contains(name);
}

// The named references chat exports and mails use.
const QHash<QString, QString> &namedEntities()
{
    static const QHash<QString, QString> named = {
        { QStringLiteral("amp"), QStringLiteral("&") },
        { QStringLiteral("lt"), QStringLiteral("<") },
        { QStringLiteral("gt"), QStringLiteral(">") },
        { QStringLiteral("quot"), QStringLiteral("\"") },
        { QStringLiteral("apos"), QStringLiteral("'") },
        { QStringLiteral("nbsp"), QStringLiteral("\u00A0") },
        { QStringLiteral("hellip"), QStringLiteral("…") },
        { QStringLiteral("mdash"), QStringLiteral("—") },
        { QStringLiteral("ndash"), QStringLiteral("–") },
        { QStringLiteral("laquo"), QStringLiteral("«") },
        { QStringLiteral("raquo"), QStringLiteral("»") },
        { QStringLiteral("rsquo"), QStringLiteral("’") },
        { QStringLiteral("lsquo"), QStringLiteral("‘") },
        { QStringLiteral("rdquo"), QStringLiteral("”") },
        { QStringLiteral("ldquo"), QStringLiteral("“") },
        { QStringLiteral("copy"), QStringLiteral("©") },
        { QStringLiteral("eacute"), QStringLiteral("é") },
        { QStringLiteral("egrave"), QStringLiteral("è") },
        { QStringLiteral("ecirc"), QStringLiteral("ê") },
        { QStringLiteral("aacute"), QStringLiteral("á") },
        { QStringLiteral("agrave"), QStringLiteral("à") },
        { QStringLiteral("iacute"), QStringLiteral("í") },
        { QStringLiteral("oacute"), QStringLiteral("ó") },
        { QStringLiteral("uacute"), QStringLiteral("ú") },
        { QStringLiteral("auml"), QStringLiteral("ä") },
        { QStringLiteral("ouml"), QStringLiteral("ö") },
        { QStringLiteral("uuml"), QStringLiteral("ü") },
        { QStringLiteral("Auml"), QStringLiteral("Ä") },
        { QStringLiteral("Ouml"), QStringLiteral("Ö") },
        { QStringLiteral("Uuml"), QStringLiteral("Ü") },
        { QStringLiteral("szlig"), QStringLiteral("ß") },
        { QStringLiteral("ccedil"), QStringLiteral("ç") },
        { QStringLiteral("ntilde"), QStringLiteral("ñ") },
        { QStringLiteral("euro"), QStringLiteral("€") },
    };
    return named;
}

// "&#56395;" at at, the second half of a character in UTF-16.
bool isLowSurrogateAt(QStringView text, qsizetype at)
{
    if (text.mid(at, 2) != QLatin1String("&#"))
        return false;
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'), at);
    bool ok = false;
    const uint code = semicolon > at ? text.mid(at + 2, semicolon - at - 2).toUInt(&ok, 10) : 0;
    return ok && code >= 0xDC00 && code <= 0xDFFF;
}

} // namespace

HtmlScanner::HtmlScanner(QStringView html)
    : m_html(html)
{ }

HtmlScanner::Token HtmlScanner::next()
{
    m_name.clear();
    m_attributes = {};
    m_text = {};
    m_void = false;
    while (m_at < m_html.size()) {
        if (m_html.at(m_at) != QLatin1Char('<')) {
            const qsizetype open = m_html.indexOf(QLatin1Char('<'), m_at);
            const qsizetype end = open < 0 ? m_html.size() : open;
            m_text = m_html.mid(m_at, end - m_at);
            m_at = end;
            return Token::Text;
        }
        // Comments, doctypes and scripts carry nothing of a chat.
        if (m_html.mid(m_at, 4) == QLatin1String("<!--")) {
            const qsizetype close = m_html.indexOf(QLatin1String("-->"), m_at + 4);
            m_at = close < 0 ? m_html.size() : close + 3;
            continue;
        }
        const qsizetype close = m_html.indexOf(QLatin1Char('>'), m_at + 1);
        if (close < 0) {
            m_at = m_html.size();
            break;
        }
        QStringView tag = m_html.mid(m_at + 1, close - m_at - 1);
        m_at = close + 1;
        const bool ending = tag.startsWith(QLatin1Char('/'));
        if (ending)
            tag = tag.mid(1);
        if (tag.startsWith(QLatin1Char('!')) || tag.startsWith(QLatin1Char('?')))
            continue;
        qsizetype nameEnd = 0;
        while (nameEnd < tag.size() && isNameChar(tag.at(nameEnd)))
            ++nameEnd;
        if (nameEnd == 0)
            continue;
        m_name = tag.left(nameEnd).toString().toLower();
        if (ending)
            return Token::EndTag;
        m_attributes = tag.mid(nameEnd);
        m_void = isVoidTag(m_name) || tag.endsWith(QLatin1Char('/'));
        if (m_name == QLatin1String("script") || m_name == QLatin1String("style")) {
            const qsizetype end = m_html.indexOf(QLatin1String("</") + m_name, m_at, Qt::CaseInsensitive);
            m_at = end < 0 ? m_html.size() : end;
        }
        return Token::StartTag;
    }
    return Token::End;
}

QString HtmlScanner::attribute(QLatin1StringView name) const
{
    const QStringView a = m_attributes;
    qsizetype at = 0;
    while (at < a.size()) {
        while (at < a.size() && !isNameChar(a.at(at)))
            ++at;
        const qsizetype start = at;
        while (at < a.size() && isNameChar(a.at(at)))
            ++at;
        const QStringView key = a.mid(start, at - start);
        while (at < a.size() && a.at(at).isSpace())
            ++at;
        QStringView value;
        if (at < a.size() && a.at(at) == QLatin1Char('=')) {
            ++at;
            while (at < a.size() && a.at(at).isSpace())
                ++at;
            if (at < a.size() && (a.at(at) == QLatin1Char('"') || a.at(at) == QLatin1Char('\''))) {
                const QChar quote = a.at(at);
                const qsizetype end = a.indexOf(quote, at + 1);
                const qsizetype stop = end < 0 ? a.size() : end;
                value = a.mid(at + 1, stop - at - 1);
                at = stop + 1;
            } else {
                const qsizetype begin = at;
                while (at < a.size() && !a.at(at).isSpace())
                    ++at;
                value = a.mid(begin, at - begin);
            }
        }
        if (!key.isEmpty() && key.compare(name, Qt::CaseInsensitive) == 0)
            return decodeEntities(value);
    }
    return {};
}

bool HtmlScanner::hasClass(QLatin1StringView name) const
{
    const QString classes = attribute(QLatin1StringView("class"));
    for (const QStringView word : QStringView(classes).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word == name)
            return true;
    }
    return false;
}

QString HtmlScanner::text() const
{
    return decodeEntities(m_text);
}

QString HtmlScanner::decodeEntities(QStringView text)
{
    if (!text.contains(QLatin1Char('&')))
        return text.toString();
    const QHash<QString, QString> &named = namedEntities();
    QString out;
    out.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        const QChar c = text.at(at);
        const qsizetype semicolon = c == QLatin1Char('&') ? text.indexOf(QLatin1Char(';'), at + 1) : -1;
        if (semicolon < 0 || semicolon - at > 12) {
            out.append(c);
            ++at;
            continue;
        }
        const QStringView entity = text.mid(at + 1, semicolon - at - 1);
        if (entity.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code
                = entity.size() > 1 && (entity.at(1) == QLatin1Char('x') || entity.at(1) == QLatin1Char('X'))
                ? entity.mid(2).toUInt(&ok, 16)
                : entity.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t codePoint = code;
                out.append(QString::fromUcs4(&codePoint, 1));
                at = semicolon + 1;
                continue;
            }
            // Some apps write a character beyond U+FFFF as references to its
            // two UTF-16 halves ("&#55357;&#56395;"); a half alone is no
            // character.
            if (ok && code >= 0xD800 && code <= 0xDFFF) {
                const bool paired = code <= 0xDBFF
                    ? isLowSurrogateAt(text, semicolon + 1)
                    : !out.isEmpty() && QChar::isHighSurrogate(out.at(out.size() - 1).unicode());
                out.append(QChar(paired ? char16_t(code) : char16_t(0xFFFD)));
                at = semicolon + 1;
                continue;
            }
        } else {
            const auto found = named.constFind(entity.toString());
            if (found != named.constEnd()) {
                out.append(*found);
                at = semicolon + 1;
                continue;
            }
        }
        out.append(c);
        ++at;
    }
    return out;
}

QString HtmlScanner::plainText(QStringView html)
{
    HtmlScanner scanner(html);
    QString out;
    for (Token token = scanner.next(); token != Token::End; token = scanner.next()) {
        const QString name = scanner.tagName();
        if (token == Token::Text)
            out.append(scanner.text());
        else if (token == Token::StartTag && name == QLatin1String("br"))
            out.append(QLatin1Char('\n'));
        else if (token == Token::EndTag
            && (name == QLatin1String("p") || name == QLatin1String("div") || name == QLatin1String("li")
                || name == QLatin1String("tr")))
            out.append(QLatin1Char('\n'));
    }
    return out.trimmed();
}

} // namespace Brimlow
