#include "smsbackupreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "failure.h"
#include "htmlscanner.h"
#include "mediakind.h"

#include <QMap>

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

// One element of the backup's flat XML: its name and attributes, as views
// into the file. QXmlStreamReader takes seconds over a large backup; the
// backup apps write nothing but elements with attributes.
struct Tag
{
    QByteArrayView name;
    bool closing = false; // </mms>
    bool empty = false; // <sms … />
    QList<std::pair<QByteArrayView, QByteArrayView>> attributes;

    QByteArrayView raw(QByteArrayView key) const
    {
        for (const auto &[name, value] : attributes) {
            if (name == key)
                return value;
        }
        return {};
    }

    // A value with its references decoded; the apps write "null" for none.
    QString text(QByteArrayView key) const
    {
        const QByteArrayView value = raw(key);
        if (value == "null")
            return {};
        const QString decoded = QString::fromUtf8(value);
        return value.contains('&') ? HtmlScanner::decodeEntities(decoded) : decoded;
    }

    qint64 number(QByteArrayView key) const { return raw(key).toByteArray().toLongLong(); }
};

// Thrown where the backup ends inside an element: the file was cut short.
struct CutShort
{
};

class TagReader
{
public:
    explicit TagReader(QByteArrayView xml)
        : m_xml(xml)
    { }

    // The next element tag; nullopt at the end, and where the file ends
    // inside a tag (then cut() says so). Throws std::runtime_error on other
    // broken markup.
    std::optional<Tag> next()
    {
        try {
            return read();
        } catch (const CutShort &) {
            m_cut = true;
            return std::nullopt;
        }
    }

    // Whether the file ended inside a tag: it was cut short.
    bool cut() const { return m_cut; }

private:
    std::optional<Tag> read()
    {
        while (true) {
            const qsizetype open = m_xml.indexOf('<', m_at);
            if (open < 0)
                return std::nullopt;
            m_at = open + 1;
            const QByteArrayView rest = m_xml.sliced(qMin(m_at, m_xml.size()));
            if (rest.startsWith("!--")) {
                skipPast("-->");
                continue;
            }
            if (rest.startsWith("?") || rest.startsWith("!")) {
                skipPast(">");
                continue;
            }
            return tag();
        }
    }

    void skipPast(QByteArrayView end)
    {
        const qsizetype found = m_xml.indexOf(end, m_at);
        if (found < 0)
            throw CutShort();
        m_at = found + end.size();
    }

    Tag tag()
    {
        Tag tag;
        if (m_at < m_xml.size() && m_xml.at(m_at) == '/') {
            tag.closing = true;
            ++m_at;
        }
        tag.name = word();
        if (tag.name.isEmpty())
            broken("nameless");
        while (true) {
            skipSpace();
            if (m_at >= m_xml.size())
                throw CutShort();
            const char c = m_xml.at(m_at);
            if (c == '>') {
                ++m_at;
                return tag;
            }
            if (c == '/' && m_at + 1 < m_xml.size() && m_xml.at(m_at + 1) == '>') {
                m_at += 2;
                tag.empty = true;
                return tag;
            }
            const QByteArrayView key = word();
            skipSpace();
            if (key.isEmpty() || m_at >= m_xml.size() || m_xml.at(m_at) != '=')
                broken("attribute");
            ++m_at;
            skipSpace();
            if (m_at >= m_xml.size() || (m_xml.at(m_at) != '"' && m_xml.at(m_at) != '\''))
                broken("value");
            const char quote = m_xml.at(m_at++);
            const qsizetype end = m_xml.indexOf(quote, m_at);
            if (end < 0)
                throw CutShort();
            tag.attributes.append({ key, m_xml.sliced(m_at, end - m_at) });
            m_at = end + 1;
        }
    }

    QByteArrayView word()
    {
        const qsizetype start = m_at;
        while (m_at < m_xml.size()) {
            const char c = m_xml.at(m_at);
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
                    || c == '-' || c == ':'))
                break;
            ++m_at;
        }
        return m_xml.sliced(start, m_at - start);
    }

    // Markup that breaks off at the file's end was cut; elsewhere it is damaged.
    [[noreturn]] void broken(const char *what) const
    {
        if (m_at >= m_xml.size())
            throw CutShort();
        throw std::runtime_error(what);
    }

    void skipSpace()
    {
        while (m_at < m_xml.size()
            && (m_xml.at(m_at) == ' ' || m_xml.at(m_at) == '\n' || m_xml.at(m_at) == '\r'
                || m_xml.at(m_at) == '\t'))
            ++m_at;
    }

    QByteArrayView m_xml;
    qsizetype m_at = 0;
    bool m_cut = false;
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
    return name.isEmpty() || name == QLatin1String("(Unknown)");
}

// The parts and addresses of an MMS, up to its end tag; pictures' bytes
// only when messages are kept. False where the file ends first.
bool readMms(TagReader &tags, Raw &raw, ChatLogReader::Detail detail)
{
    QStringList texts;
    bool ended = false;
    while (auto tag = tags.next()) {
        if (tag->closing && tag->name == "mms") {
            ended = true;
            break;
        }
        if (tag->closing)
            continue;
        if (tag->name == "part") {
            const QString type = tag->text("ct").toLower();
            QString name = tag->text("cl");
            if (name.isEmpty())
                name = tag->text("name");
            if (type == QLatin1String("text/plain"))
                texts.append(tag->text("text"));
            else if (type.startsWith(QLatin1String("image/")))
                raw.attachments.append({ MediaKind::photo(), name,
                    detail == ChatLogReader::Detail::Messages
                        ? QByteArray::fromBase64(tag->raw("data").toByteArray())
                        : QByteArray() });
            else if (type != QLatin1String("application/smil"))
                raw.attachments.append(
                    { MediaKind::fromStore(type, {}, name, MediaKind::Flag::None), {}, {} });
        } else if (tag->name == "addr" && tag->number("type") == AddressFrom) {
            raw.from = tag->text("address");
        }
    }
    raw.text = texts.join(QLatin1Char('\n'));
    return ended;
}

// How much of a backup was there to read.
enum class Reach { Whole, CutShort };

// Walks the messages of a backup, each as it comes, up to where the file
// was cut, if it was: every whole message before a cut is the user's.
// Throws std::runtime_error when the markup is broken.
template<typename Take>
Reach forEachMessage(const QByteArray &bytes, ChatLogReader::Detail detail, Take &&take)
{
    TagReader tags(bytes);
    bool inside = false;
    bool closed = false;
    while (auto tag = tags.next()) {
        if (tag->name == "smses") {
            inside = !tag->closing;
            closed = closed || tag->closing;
            continue;
        }
        const bool sms = tag->name == "sms";
        if (!inside || tag->closing || (!sms && tag->name != "mms"))
            continue;
        Raw raw;
        raw.at = ChatTime::fromUnixMilliseconds(tag->number("date"));
        // Inbox 1 and sent 2; outbox and queued count as sent, drafts and
        // failures were never between two people.
        const qint64 box = tag->number(sms ? "type" : "msg_box");
        raw.sent = box == 2 || box == 4 || box == 6;
        const bool keep = box == 1 || raw.sent;
        raw.addresses = tag->text("address").split(QLatin1Char('~'), Qt::SkipEmptyParts);
        raw.names = tag->text("contact_name").split(QLatin1String(", "));
        if (sms) {
            raw.text = tag->text("body");
        } else if (!tag->empty && !readMms(tags, raw, detail)) {
            return Reach::CutShort;
        }
        take(raw, keep);
    }
    return closed && !tags.cut() ? Reach::Whole : Reach::CutShort;
}

// The contact names a backup gives, by address key.
QHash<QString, QString> namesIn(const QByteArray &bytes)
{
    QHash<QString, QString> names;
    TagReader tags(bytes);
    // Where the file was cut, the names of the messages before it are all
    // there is.
    while (auto tag = tags.next()) {
        if (tag->closing || (tag->name != "sms" && tag->name != "mms"))
            continue;
        const QStringList addresses = tag->text("address").split(QLatin1Char('~'), Qt::SkipEmptyParts);
        const QStringList contacts = tag->text("contact_name").split(QLatin1String(", "));
        if (addresses.size() != contacts.size())
            continue;
        for (qsizetype i = 0; i < addresses.size(); ++i) {
            if (!isUnknownName(contacts.at(i)))
                names.insert(addressKey(addresses.at(i)), contacts.at(i).trimmed());
        }
    }
    return names;
}

// One chat per phone number or group of numbers, the people named by
// names: a first walk over the backup finds those, a second the messages.
QList<ChatLogReader::Chat> threadsIn(
    const QByteArray &bytes, const QHash<QString, QString> &names, ChatLogReader::Detail detail)
{
    const auto nameOf
        = [&](const QString &address) { return names.value(addressKey(address), address.trimmed()); };
    QMap<QString, ChatBuilder> threads;
    const Reach reach = forEachMessage(bytes, detail, [&](const Raw &raw, bool keep) {
        if (!keep || raw.addresses.isEmpty())
            return;
        QStringList keys;
        for (const QString &address : raw.addresses)
            keys.append(addressKey(address));
        keys.sort();
        keys.removeDuplicates();
        ChatBuilder &thread = ChatBuilder::in(threads, keys.join(QLatin1Char('~')), detail);
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
    });
    QList<ChatLogReader::Chat> chats;
    for (ChatBuilder &thread : threads)
        thread.takeInto(chats);
    for (ChatLogReader::Chat &chat : chats)
        chat.endsEarly = reach == Reach::CutShort;
    return chats;
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

QList<ChatLogReader::Chat> SmsBackupReader::read(const QString &path, Context &context) const
{
    const QByteArray bytes = ChatFile::bytes(path);
    // A backup cut short gives the messages before the cut, and says so
    // (ChatLogReader::Chat::endsEarly): a book that silently ends early
    // would look complete.
    try {
        QList<Chat> chats = threadsIn(bytes, namesIn(bytes), context.detail);
        if (chats.isEmpty() && !QByteArrayView(bytes).trimmed().endsWith("</smses>"))
            throw Failure(ChatFile::damaged(path));
        return chats;
    } catch (const std::runtime_error &) {
        throw Failure(ChatFile::damaged(path));
    }
}

} // namespace Brimlow
