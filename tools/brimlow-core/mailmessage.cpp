#include "mailmessage.h"

#include "chattime.h"
#include "htmlscanner.h"
#include "mediakind.h"

#include <QRegularExpression>
#include <memory>
#include <unicode/ucnv.h>

namespace Brimlow {

namespace {

constexpr int MaxDepth = 8;

struct Headers
{
    QList<std::pair<QByteArray, QByteArray>> fields; // names lower-cased

    QByteArray value(const char *name) const
    {
        for (const auto &[key, value] : fields) {
            if (key == name)
                return value;
        }
        return {};
    }
};

// The header block and the body; folded header lines unfolded.
std::pair<Headers, QByteArray> split(const QByteArray &raw)
{
    // The headers end at the first blank line, LF or CRLF; a CRLF one
    // counts only where it comes first, so the body is never searched.
    qsizetype end = raw.indexOf("\n\n");
    const QByteArrayView before = QByteArrayView(raw).first(end < 0 ? raw.size() : qMin(end + 3, raw.size()));
    const qsizetype crlf = before.indexOf("\r\n\r\n");
    qsizetype bodyAt = -1;
    if (crlf >= 0) {
        end = crlf;
        bodyAt = crlf + 4;
    } else if (end >= 0) {
        bodyAt = end + 2;
    } else {
        end = raw.size();
        bodyAt = raw.size();
    }
    // Lines as views into the mail: a mail has a dozen headers, a mailbox
    // hundreds of thousands of mails.
    Headers headers;
    const QByteArrayView block = QByteArrayView(raw).first(end);
    qsizetype lineStart = 0;
    while (lineStart <= block.size()) {
        qsizetype lineEnd = block.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = block.size();
        QByteArrayView line = block.sliced(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !headers.fields.isEmpty()) {
            headers.fields.last().second.append(' ').append(line.trimmed());
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        headers.fields.append({ line.first(colon).trimmed().toByteArray().toLower(),
            line.sliced(colon + 1).trimmed().toByteArray() });
    }
    return { headers, raw.mid(bodyAt) };
}

// A parameter of a header value: boundary="…", charset=utf-8, filename*=…
QByteArray parameter(const QByteArray &value, QByteArrayView name)
{
    if (value.isEmpty())
        return {};
    const QByteArray lower = value.toLower();
    // name= wherever it is before name*=, each where a parameter starts.
    for (const QByteArrayView assign : { QByteArrayView("="), QByteArrayView("*=") }) {
        for (qsizetype at = lower.indexOf(name); at >= 0; at = lower.indexOf(name, at + 1)) {
            const char before = at > 0 ? lower.at(at - 1) : ';';
            const qsizetype valueAt = at + name.size() + assign.size();
            if ((before != ';' && before != ' ' && before != '\t')
                || !QByteArrayView(lower).sliced(at + name.size()).startsWith(assign))
                continue;
            QByteArray result;
            if (valueAt < value.size() && value.at(valueAt) == '"') {
                const qsizetype close = value.indexOf('"', valueAt + 1);
                result = value.mid(valueAt + 1, close < 0 ? -1 : close - valueAt - 1);
            } else {
                const qsizetype semicolon = value.indexOf(';', valueAt);
                result = value.mid(valueAt, semicolon < 0 ? -1 : semicolon - valueAt).trimmed();
            }
            // RFC 2231: utf-8''na%20me
            if (assign.size() == 2) {
                const qsizetype quotes = result.indexOf("''");
                if (quotes >= 0)
                    result = QByteArray::fromPercentEncoding(result.mid(quotes + 2));
            }
            return result;
        }
    }
    return {};
}

// Every charset a mail may declare, by ICU's converters and their aliases:
// ISO-8859-15 holds the euro sign where Latin-1 holds "¤". A name ICU
// doesn't know reads as UTF-8, the likeliest truth of a mislabelled mail.
QString decodeCharset(const QByteArray &bytes, const QByteArray &rawCharset)
{
    QByteArray charset = rawCharset.trimmed().toLower();
    if (charset.size() >= 2 && charset.startsWith('"') && charset.endsWith('"'))
        charset = charset.mid(1, charset.size() - 2).trimmed();
    if (charset.isEmpty() || charset == "utf-8" || charset == "utf8" || charset == "us-ascii")
        return QString::fromUtf8(bytes);
    UErrorCode status = U_ZERO_ERROR;
    UConverter *converter = ucnv_open(charset.constData(), &status);
    if (U_FAILURE(status) || !converter)
        return QString::fromUtf8(bytes);
    const std::unique_ptr<UConverter, decltype(&ucnv_close)> owned(converter, &ucnv_close);
    // One byte never makes more than two UTF-16 units.
    QString text(bytes.size() * 2 + 1, Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar *>(text.data()),
        int32_t(text.size()), bytes.constData(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return QString::fromUtf8(bytes);
    text.truncate(length);
    return text;
}

QByteArray decodeQuotedPrintable(const QByteArray &body, bool underscoreIsSpace)
{
    QByteArray out;
    out.reserve(body.size());
    for (qsizetype i = 0; i < body.size(); ++i) {
        const char c = body.at(i);
        if (c == '_' && underscoreIsSpace) {
            out.append(' ');
        } else if (c == '=' && i + 1 < body.size() && (body.at(i + 1) == '\n' || body.at(i + 1) == '\r')) {
            i += body.at(i + 1) == '\r' && i + 2 < body.size() && body.at(i + 2) == '\n' ? 2 : 1;
        } else if (c == '=' && i + 2 < body.size()) {
            bool ok = false;
            const int value = body.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(value));
                i += 2;
            } else {
                out.append(c);
            }
        } else {
            out.append(c);
        }
    }
    return out;
}

QByteArray decodeTransfer(const QByteArray &body, const QByteArray &encoding)
{
    const QByteArray name = encoding.trimmed().toLower();
    if (name == "base64")
        return QByteArray::fromBase64(body);
    if (name == "quoted-printable")
        return decodeQuotedPrintable(body, false);
    return body;
}

struct Walker
{
    QString plain;
    QString html;
    QList<Transcript::Attachment> attachments;

    void walk(const Headers &headers, const QByteArray &body, int depth)
    {
        const QByteArray contentType = headers.value("content-type");
        const qsizetype semicolon = contentType.indexOf(';');
        const QByteArray type
            = contentType.left(semicolon < 0 ? contentType.size() : semicolon).trimmed().toLower();
        if (type.startsWith("multipart/") && depth < MaxDepth) {
            const QByteArray boundary = parameter(contentType, "boundary");
            if (boundary.isEmpty())
                return;
            const QByteArray delimiter = "--" + boundary;
            qsizetype at = body.indexOf(delimiter);
            while (at >= 0) {
                qsizetype start = at + delimiter.size();
                if (body.mid(start, 2) == "--")
                    break; // the closing delimiter
                const qsizetype next = body.indexOf("\n" + delimiter, start);
                const QByteArray part = body.mid(start, next < 0 ? -1 : next - start);
                const auto [partHeaders, partBody] = split(part.mid(part.indexOf('\n') + 1));
                walk(partHeaders, partBody, depth + 1);
                at = next < 0 ? -1 : next + 1;
            }
            return;
        }
        const QByteArray disposition = headers.value("content-disposition");
        QByteArray fileName = parameter(disposition, "filename");
        if (fileName.isEmpty())
            fileName = parameter(contentType, "name");
        const bool attached = disposition.trimmed().toLower().startsWith("attachment") || !fileName.isEmpty();
        const QByteArray content = decodeTransfer(body, headers.value("content-transfer-encoding"));
        if (!attached && (type.isEmpty() || type == "text/plain")) {
            if (plain.isEmpty())
                plain = decodeCharset(content, parameter(contentType, "charset"));
        } else if (!attached && type == "text/html") {
            if (html.isEmpty())
                html = HtmlScanner::plainText(decodeCharset(content, parameter(contentType, "charset")));
        } else if (type.startsWith("image/")) {
            attachments.append({ MediaKind::photo(), MailMessage::decodeWords(fileName), content });
        } else if (attached) {
            const QString name = MailMessage::decodeWords(fileName);
            attachments.append(
                { MediaKind::fromStore(QString::fromLatin1(type), {}, name, MediaKind::Flag::None), {}, {} });
        }
    }
};

// "Sam <sam@example.com>, \"Doe, Jo\" <jo@example.com>, alex@example.com"
QList<std::pair<QString, QString>> addressesIn(const QString &header)
{
    QList<std::pair<QString, QString>> result;
    QList<QStringView> items;
    qsizetype start = 0;
    bool quoted = false;
    int angle = 0;
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QChar c = header.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('<'))
            ++angle;
        else if (!quoted && c == QLatin1Char('>'))
            angle = qMax(0, angle - 1);
        else if (c == QLatin1Char(',') && !quoted && angle == 0) {
            items.append(QStringView(header).mid(start, i - start));
            start = i + 1;
        }
    }
    items.append(QStringView(header).mid(start));
    static const QRegularExpression comment(QStringLiteral(R"(^(\S+@\S+)\s*\((.*)\)$)"));
    // Views into the header until an address is found: most headers name
    // one or two people, and a mailbox has hundreds of thousands of them.
    for (const QStringView item : std::as_const(items)) {
        const QStringView text = item.trimmed();
        QStringView address = text;
        QStringView name;
        const qsizetype open = text.lastIndexOf(QLatin1Char('<'));
        if (open >= 0) {
            const qsizetype close = text.indexOf(QLatin1Char('>'), open);
            address = text.mid(open + 1, close < 0 ? -1 : close - open - 1).trimmed();
            name = text.left(open).trimmed();
        } else if (const auto found = comment.match(text); found.hasMatch()) {
            address = found.capturedView(1);
            name = found.capturedView(2);
        }
        if (name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')) && name.size() >= 2)
            name = name.mid(1, name.size() - 2);
        if (address.contains(QLatin1Char('@')))
            result.append({ address.toString().toLower(), name.trimmed().toString() });
    }
    return result;
}

} // namespace

QString MailMessage::decodeWords(const QByteArray &header)
{
    static const QRegularExpression word(QStringLiteral(R"(=\?([^?]+)\?([BbQq])\?([^?]*)\?=)"));
    const QString text = QString::fromUtf8(header);
    if (!text.contains(QLatin1String("=?")))
        return text;
    QString out;
    qsizetype last = 0;
    auto matches = word.globalMatch(text);
    while (matches.hasNext()) {
        const auto found = matches.next();
        const QString between = text.mid(last, found.capturedStart() - last);
        // White space between two encoded words belongs to neither.
        if (last == 0 || !between.trimmed().isEmpty())
            out += between;
        const QByteArray payload = found.captured(3).toLatin1();
        const QByteArray bytes = found.captured(2).toUpper() == QLatin1String("B")
            ? QByteArray::fromBase64(payload)
            : decodeQuotedPrintable(payload, true);
        out += decodeCharset(bytes, found.captured(1).section(QLatin1Char('*'), 0, 0).toLatin1());
        last = found.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

QString MailMessage::timeOf(const QString &date)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(?:\w{3},\s*)?(\d{1,2})\s+(\w{3})\w*\s+(\d{2,4})\s+(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([+-]\d{4}|[A-Za-z]{1,5})?)"));
    const auto found = pattern.match(QStringView(date).trimmed());
    if (!found.hasMatch())
        return {};
    int year = found.capturedView(3).toInt();
    if (found.capturedView(3).size() == 2)
        year += year >= 50 ? 1900 : 2000;
    static const QHash<QString, int> zones = { { QStringLiteral("EST"), -5 }, { QStringLiteral("EDT"), -4 },
        { QStringLiteral("CST"), -6 }, { QStringLiteral("CDT"), -5 }, { QStringLiteral("MST"), -7 },
        { QStringLiteral("MDT"), -6 }, { QStringLiteral("PST"), -8 }, { QStringLiteral("PDT"), -7 } };
    const QStringView zone = found.capturedView(7);
    int offset = 0;
    if (zone.startsWith(QLatin1Char('+')) || zone.startsWith(QLatin1Char('-'))) {
        const int hours = zone.mid(1, 2).toInt();
        const int minutes = zone.mid(3, 2).toInt();
        offset = (hours * 3600 + minutes * 60) * (zone.startsWith(QLatin1Char('-')) ? -1 : 1);
    } else {
        offset = zones.value(zone.toString().toUpper(), 0) * 3600; // UT, GMT, Z and the unknown
    }
    return ChatTime::fromZonedFields(year, ChatTime::monthNamed(found.capturedView(2)),
        found.capturedView(1).toInt(), found.capturedView(4).toInt(), found.capturedView(5).toInt(),
        found.capturedView(6).toInt(), offset);
}

QString MailMessage::newText(const QString &body)
{
    static const QRegularExpression attribution(
        QStringLiteral(R"(^(On\s.+wrote:|Am\s.+schrieb.*:|Le\s.+a écrit\s?:)\s*$)"));
    static const QRegularExpression separator(
        QStringLiteral(R"(^(-{2,}\s*(Original Message|Forwarded message)\s*-{2,}|_{20,})\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    QString text = body;
    if (text.contains(QLatin1Char('\r')))
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // Most mails quote nothing and sign nothing: they are taken whole.
    if (!text.startsWith(QLatin1Char('>')) && !text.startsWith(QLatin1String("--"))
        && !text.startsWith(QLatin1String("__")) && !text.contains(QLatin1String("\n>"))
        && !text.contains(QLatin1String("\n-- \n")) && !text.endsWith(QLatin1String("\n-- "))
        && !text.contains(QLatin1String(" wrote:")) && !text.contains(QLatin1String("schrieb"))
        && !text.contains(QLatin1String("a écrit")) && !text.contains(QLatin1String("\n--"))
        && !text.contains(QLatin1String("\n__")))
        return text.trimmed();
    const QList<QStringView> lines = QStringView(text).split(QLatin1Char('\n'));
    QString kept;
    bool anyKept = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines.at(i);
        const bool rule = line.startsWith(QLatin1Char('-')) || line.startsWith(QLatin1Char('_'));
        if (line == QLatin1String("-- ") || (rule && separator.match(line).hasMatch()))
            break; // a signature, or the earlier mail below an Outlook line
        if (line.startsWith(QLatin1Char('>')))
            continue;
        // "On Sun, Jan 31, 2021 at 9:41 PM Sam <sam@example.com> wrote:",
        // sometimes wrapped over two lines.
        const bool attributes = line.startsWith(QLatin1String("On ")) || line.startsWith(QLatin1String("Am "))
            || line.startsWith(QLatin1String("Le "));
        if (attributes && attribution.match(line.trimmed()).hasMatch())
            continue;
        if (line.startsWith(QLatin1String("On ")) && i + 1 < lines.size()
            && attribution.match((line.toString() + QLatin1Char(' ') + lines.at(i + 1).toString()).trimmed())
                   .hasMatch()) {
            ++i;
            continue;
        }
        if (std::exchange(anyKept, true))
            kept += QLatin1Char('\n');
        kept += line;
    }
    return kept.trimmed();
}

std::optional<MailMessage> MailMessage::parse(const QByteArray &raw)
{
    const auto [headers, body] = split(raw);
    MailMessage mail;
    const auto from = addressesIn(decodeWords(headers.value("from")));
    if (from.isEmpty())
        return std::nullopt;
    mail.from = from.first().first;
    if (!from.first().second.isEmpty())
        mail.names.append({ mail.from, from.first().second });
    for (const char *field : { "to", "cc" }) {
        const auto people = addressesIn(decodeWords(headers.value(field)));
        for (const auto &[address, name] : people) {
            if (!mail.recipients.contains(address) && address != mail.from)
                mail.recipients.append(address);
            if (!name.isEmpty())
                mail.names.append({ address, name });
        }
    }
    mail.at = timeOf(QString::fromLatin1(headers.value("date")));
    if (mail.at.isEmpty())
        return std::nullopt;
    const QByteArray labels = headers.value("x-gmail-labels").toLower();
    for (const QByteArray &label : labels.split(','))
        mail.sent = mail.sent || label.trimmed() == "sent";

    Walker walker;
    walker.walk(headers, body, 0);
    mail.text = newText(walker.plain.isEmpty() ? walker.html : walker.plain);
    // A note sent in its subject alone ("Running late") says it there.
    if (mail.text.isEmpty())
        mail.text = decodeWords(headers.value("subject")).trimmed();
    mail.attachments = walker.attachments;
    return mail;
}

QString MailMessage::nameOf(const QString &address) const
{
    for (const auto &[known, name] : names) {
        if (known == address)
            return name;
    }
    return address;
}

} // namespace Brimlow
