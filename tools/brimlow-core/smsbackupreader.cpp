#include "smsbackupreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "failure.h"
#include "mediakind.h"

#include <QMap>
#include <QXmlStreamReader>

namespace Brimlow {

namespace {

const QString Owner = QStringLiteral("Me");

// PDU address types of an MMS: who sent it.
constexpr int AddressFrom = 137;

struct Raw
{
    QString at;
    bool sent = false;
    QString from; // the sender's address, for received group messages
    QStringList addresses; // everyone else in the thread
    QStringList names; // contact names in the order of the addresses
    QString text;
    QList<Transcript::Attachment> attachments;
};

// One person written differently ("+1 555-0100", "5550100") is one thread.
QString addressKey(const QString &address)
{
    QString digits;
    for (const QChar c : address) {
        if (c.isDigit())
            digits.append(c);
    }
    if (digits.size() < 3 || digits.size() * 2 < address.trimmed().size())
        return address.trimmed().toLower();
    return digits.right(10);
}

bool isUnknownName(const QString &name)
{
    return name.isEmpty() || name == QLatin1String("(Unknown)") || name == QLatin1String("null");
}

QString attributeText(const QXmlStreamAttributes &attributes, QLatin1StringView name)
{
    const QString value = attributes.value(name).toString();
    return value == QLatin1String("null") ? QString() : value;
}

void readMms(QXmlStreamReader &xml, Raw &raw)
{
    QStringList texts;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("parts")) {
            while (xml.readNextStartElement()) {
                if (xml.name() != QLatin1String("part")) {
                    xml.skipCurrentElement();
                    continue;
                }
                const QXmlStreamAttributes part = xml.attributes();
                const QString type = part.value(QLatin1String("ct")).toString().toLower();
                QString name = attributeText(part, QLatin1StringView("cl"));
                if (name.isEmpty())
                    name = attributeText(part, QLatin1StringView("name"));
                if (type == QLatin1String("text/plain")) {
                    texts.append(attributeText(part, QLatin1StringView("text")));
                } else if (type.startsWith(QLatin1String("image/"))) {
                    const QByteArray data
                        = QByteArray::fromBase64(part.value(QLatin1String("data")).toLatin1());
                    raw.attachments.append({ MediaKind::photo(), name, data });
                } else if (type != QLatin1String("application/smil")) {
                    raw.attachments.append(
                        { MediaKind::fromStore(type, {}, name, MediaKind::Flag::None), {}, {} });
                }
                xml.skipCurrentElement();
            }
        } else if (xml.name() == QLatin1String("addrs")) {
            while (xml.readNextStartElement()) {
                const QXmlStreamAttributes addr = xml.attributes();
                if (addr.value(QLatin1String("type")).toInt() == AddressFrom)
                    raw.from = attributeText(addr, QLatin1StringView("address"));
                xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    raw.text = texts.join(QLatin1Char('\n'));
}

// The backup apps write characters outside the Basic Multilingual Plane
// (emoji) as two references to UTF-16 halves, "&#55357;&#56395;", which XML
// forbids; they are joined into one reference here.
// "&#55357;" at at: its number and the end of the reference; -1 when
// there is no reference there.
long referenceAt(const QByteArray &xml, qsizetype at, qsizetype &end)
{
    if (at + 2 > xml.size() || xml.at(at) != '&' || xml.at(at + 1) != '#')
        return -1;
    qsizetype i = at + 2;
    long value = 0;
    while (i < xml.size() && i - at < 9 && xml.at(i) >= '0' && xml.at(i) <= '9')
        value = value * 10 + (xml.at(i++) - '0');
    if (i == at + 2 || i >= xml.size() || xml.at(i) != ';')
        return -1;
    end = i + 1;
    return value;
}

QByteArray withJoinedSurrogates(const QByteArray &xml)
{
    if (!xml.contains("&#55") && !xml.contains("&#56") && !xml.contains("&#57"))
        return xml;
    QByteArray out;
    out.reserve(xml.size());
    qsizetype at = 0;
    while (at < xml.size()) {
        const qsizetype amp = xml.indexOf("&#", at);
        if (amp < 0) {
            out.append(xml.constData() + at, xml.size() - at);
            break;
        }
        out.append(xml.constData() + at, amp - at);
        qsizetype end = amp + 2;
        const long high = referenceAt(xml, amp, end);
        if (high < 0xD800 || high > 0xDFFF) {
            out.append(xml.constData() + amp, end - amp);
            at = end;
            continue;
        }
        qsizetype lowEnd = end;
        const long low = high <= 0xDBFF ? referenceAt(xml, end, lowEnd) : -1;
        if (low >= 0xDC00 && low <= 0xDFFF) {
            out += "&#" + QByteArray::number(qlonglong(0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00)))
                + ';';
            at = lowEnd;
        } else {
            out += "&#65533;"; // half a character
            at = end;
        }
    }
    return out;
}

} // namespace

QString SmsBackupReader::service() const
{
    return QStringLiteral("SMS");
}

bool SmsBackupReader::recognises(const QByteArray &head) const
{
    return head.contains("<smses");
}

QList<ChatLogReader::Chat> SmsBackupReader::read(const QString &path, Context &) const
{
    QXmlStreamReader xml(withJoinedSurrogates(ChatFile::bytes(path)));
    QList<Raw> raws;
    QHash<QString, QString> names; // contact names by address key
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("smses"))
        throw Failure(ChatFile::damaged(path));
    while (xml.readNextStartElement()) {
        const bool sms = xml.name() == QLatin1String("sms");
        if (!sms && xml.name() != QLatin1String("mms")) {
            xml.skipCurrentElement();
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        Raw raw;
        raw.at = ChatTime::fromUnixMilliseconds(attributes.value(QLatin1String("date")).toLongLong());
        // Inbox 1 and sent 2; outbox and queued count as sent, drafts and
        // failures were never between two people.
        const int box = attributes.value(sms ? QLatin1String("type") : QLatin1String("msg_box")).toInt();
        raw.sent = box == 2 || box == 4 || box == 6;
        const bool keep = box == 1 || raw.sent;
        raw.addresses = attributeText(attributes, QLatin1StringView("address"))
                            .split(QLatin1Char('~'), Qt::SkipEmptyParts);
        raw.names = attributeText(attributes, QLatin1StringView("contact_name")).split(QLatin1String(", "));
        if (sms) {
            raw.text = attributeText(attributes, QLatin1StringView("body"));
            xml.skipCurrentElement();
        } else {
            readMms(xml, raw);
        }
        if (raw.addresses.size() == raw.names.size()) {
            for (qsizetype i = 0; i < raw.addresses.size(); ++i) {
                if (!isUnknownName(raw.names.at(i)))
                    names.insert(addressKey(raw.addresses.at(i)), raw.names.at(i).trimmed());
            }
        }
        if (keep && !raw.addresses.isEmpty())
            raws.append(std::move(raw));
    }
    // A cut backup is refused whole: a book that silently ends early would
    // look complete.
    if (xml.hasError())
        throw Failure(ChatFile::damaged(path));

    const auto nameOf
        = [&](const QString &address) { return names.value(addressKey(address), address.trimmed()); };
    QMap<QString, ChatBuilder> threads;
    for (const Raw &raw : std::as_const(raws)) {
        QStringList keys;
        for (const QString &address : raw.addresses)
            keys.append(addressKey(address));
        keys.sort();
        keys.removeDuplicates();
        ChatBuilder &thread = threads[keys.join(QLatin1Char('~'))];
        if (thread.chat().members.isEmpty()) {
            thread.chat().owner = Owner;
            for (const QString &address : raw.addresses)
                thread.chat().members.append(nameOf(address));
            thread.chat().members.append(Owner);
        }
        QString sender = Owner;
        if (!raw.sent)
            sender
                = nameOf(raw.from.isEmpty() || raw.addresses.size() == 1 ? raw.addresses.first() : raw.from);
        thread.add(raw.at, sender, raw.text, raw.attachments);
    }
    QList<Chat> chats;
    for (ChatBuilder &thread : threads)
        thread.takeInto(chats);
    return chats;
}

} // namespace Brimlow
