#include "contacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Contacts {

namespace {

// One content line: "group.NAME;PARAM=x;PARAM:value", unfolded.
struct Property
{
    QByteArray name;
    QList<QByteArray> parameters;
    QByteArray value;
};

bool isQuotedPrintable(const QList<QByteArray> &parameters)
{
    for (const QByteArray &parameter : parameters) {
        const QByteArray upper = parameter.toUpper();
        if (upper == "QUOTED-PRINTABLE" || upper == "ENCODING=QUOTED-PRINTABLE")
            return true;
    }
    return false;
}

// Splits at the first colon outside a quoted parameter value.
std::optional<Property> split(const QByteArray &line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ':' && !quoted) {
            QList<QByteArray> head = line.left(i).split(';');
            QByteArray name = head.takeFirst().trimmed().toUpper();
            // "item1.TEL" is a TEL in a group.
            name = name.mid(name.lastIndexOf('.') + 1);
            return Property { name, head, line.mid(i + 1) };
        }
    }
    return std::nullopt;
}

// Logical lines: a line that begins with a space or tab continues the one
// before, and so, in vCard 2.1, does the line after a quoted-printable
// line that ends in "=". Unfolding works on bytes because a fold may cut a
// UTF-8 sequence in two.
QList<QByteArray> unfold(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    bool quotedPrintable = false;
    bool softBreak = false;
    for (QByteArray raw : bytes.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (!lines.isEmpty() && softBreak) {
            lines.last().chop(1);
            lines.last() += raw;
        } else if (!lines.isEmpty() && (raw.startsWith(' ') || raw.startsWith('\t'))) {
            lines.last() += raw.mid(1);
        } else {
            lines.append(raw);
            // Name and parameters lie on a property's first line.
            const std::optional<Property> property = split(raw);
            quotedPrintable = property && isQuotedPrintable(property->parameters);
        }
        softBreak = quotedPrintable && lines.last().endsWith('=');
    }
    return lines;
}

QByteArray decodeQuotedPrintable(const QByteArray &value)
{
    QByteArray decoded;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == '=' && i + 2 < value.size()) {
            bool ok = false;
            const int byte = value.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                decoded += char(byte);
                i += 2;
                continue;
            }
        }
        decoded += value.at(i);
    }
    return decoded;
}

// Splits a structured value at unescaped ";" and undoes the escapes.
QStringList components(const QString &value)
{
    QStringList parts { QString() };
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            parts.last() += (next == u'n' || next == u'N') ? QChar(u'\n') : next;
        } else if (c == u';') {
            parts.append(QString());
        } else {
            parts.last() += c;
        }
    }
    return parts;
}

QString text(const Property &property)
{
    const QByteArray bytes
        = isQuotedPrintable(property.parameters) ? decodeQuotedPrintable(property.value) : property.value;
    return QString::fromUtf8(bytes);
}

} // namespace

QString Card::name() const
{
    if (given.isEmpty() && family.isEmpty())
        return formatted.trimmed();
    if (given.isEmpty())
        return family;
    if (family.isEmpty())
        return given;
    return given + QLatin1Char(' ') + family;
}

QString folder()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/contacts");
}

QList<Card> parse(const QByteArray &vcf)
{
    QList<Card> cards;
    std::optional<Card> card;
    for (const QByteArray &line : unfold(vcf)) {
        const std::optional<Property> property = split(line);
        if (!property)
            continue;
        const QString value = text(*property);
        if (property->name == "BEGIN" && value.trimmed().compare(u"VCARD", Qt::CaseInsensitive) == 0) {
            card = Card();
        } else if (!card) {
            continue;
        } else if (property->name == "END") {
            cards.append(*card);
            card.reset();
        } else if (property->name == "FN") {
            card->formatted = components(value).join(QLatin1Char(';'));
        } else if (property->name == "N") {
            const QStringList parts = components(value);
            card->family = parts.value(0);
            card->given = parts.value(1);
        } else if (property->name == "TEL") {
            QString number = components(value).join(QLatin1Char(';'));
            // vCard 4 may write the number as a URI.
            if (number.startsWith(u"tel:", Qt::CaseInsensitive))
                number = number.mid(4);
            card->phones.append(number);
        } else if (property->name == "EMAIL") {
            card->emails.append(components(value).join(QLatin1Char(';')));
        }
    }
    return cards;
}

std::optional<QList<Card>> read(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir() || !info.isReadable())
        return std::nullopt;
    const QDir dir(path);
    // Name filters ignore case: "*.vcf" also finds "Sam.VCF".
    const QStringList names
        = dir.entryList({ QStringLiteral("*.vcf") }, QDir::Files | QDir::Hidden, QDir::Name);
    QList<Card> cards;
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        // An enumeration that fails part way keeps what it has.
        if (!file.open(QIODevice::ReadOnly))
            break;
        cards += parse(file.readAll());
    }
    return cards;
}

} // namespace Contacts
