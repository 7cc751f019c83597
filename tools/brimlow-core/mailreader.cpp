#include "mailreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "failure.h"
#include "mailmessage.h"

#include <QByteArrayMatcher>
#include <QMap>
#include <QRegularExpression>

namespace Brimlow {

namespace {

// The header block of a mail starts the file: "Name: value" lines with a
// sender and a date or subject among them.
bool startsWithHeaders(const QByteArray &head)
{
    static const QRegularExpression field(QStringLiteral(R"(^[A-Za-z][A-Za-z0-9-]*:( |\t|$))"));
    bool from = false;
    bool other = false;
    int fields = 0;
    for (const QByteArray &rawLine : head.split('\n')) {
        const QByteArray line = rawLine.endsWith('\r') ? rawLine.chopped(1) : rawLine;
        if (line.isEmpty())
            break;
        if (line.startsWith(' ') || line.startsWith('\t'))
            continue;
        if (!field.match(QString::fromLatin1(line)).hasMatch())
            return false;
        ++fields;
        const QByteArray name = line.left(line.indexOf(':')).toLower();
        from = from || name == "from";
        other = other || name == "date" || name == "subject" || name == "message-id" || name == "received";
    }
    return fields >= 2 && from && other;
}

// Where the first mail starts: several converters and archive tools write
// a blank line or two before it.
qsizetype afterBlankLines(QByteArrayView bytes)
{
    qsizetype at = 0;
    while (at < bytes.size() && (bytes.at(at) == '\n' || bytes.at(at) == '\r'))
        ++at;
    return at;
}

} // namespace

QString MailReader::service() const
{
    return QStringLiteral("Email");
}

bool MailReader::recognises(const QByteArray &head) const
{
    const QByteArray mail = head.mid(afterBlankLines(head));
    if (mail.startsWith("From ")) {
        const qsizetype end = mail.indexOf('\n');
        return end > 0 && startsWithHeaders(mail.mid(end + 1));
    }
    return startsWithHeaders(mail);
}

QList<QByteArray> MailReader::split(const QByteArray &bytes)
{
    const qsizetype first = afterBlankLines(bytes);
    if (!QByteArrayView(bytes).sliced(first).startsWith("From "))
        return { bytes.mid(first) };
    // A mail starts at a "From " line after a blank line, or at one with
    // the date of the mbox format ("From sam@example.com Sun Jan 31 …").
    static const QRegularExpression separator(
        QStringLiteral(R"(^From \S+\s+\w{3} \w{3}\s+\d{1,2} \d{1,2}:\d{2})"));
    // Matchers made once: searching afresh sets up its tables at every mail.
    static const QByteArrayMatcher fromLine("\nFrom ");
    static const QByteArrayMatcher escapedFromLine("\n>From ");
    QList<qsizetype> starts = { first };
    qsizetype at = first;
    while ((at = fromLine.indexIn(bytes, at)) >= 0) {
        ++at;
        const bool afterBlank = at >= 2
            && (bytes.at(at - 2) == '\n'
                || (at >= 3 && bytes.at(at - 2) == '\r' && bytes.at(at - 3) == '\n'));
        const qsizetype lineEnd = bytes.indexOf('\n', at);
        if (afterBlank
            || separator
                   .match(QString::fromLatin1(
                       bytes.mid(at, lineEnd < 0 ? 200 : qMin<qsizetype>(200, lineEnd - at))))
                   .hasMatch())
            starts.append(at);
    }
    QList<QByteArray> mails;
    for (qsizetype i = 0; i < starts.size(); ++i) {
        const qsizetype end = i + 1 < starts.size() ? starts.at(i + 1) : bytes.size();
        const qsizetype headersAt = bytes.indexOf('\n', starts.at(i));
        if (headersAt < 0 || headersAt >= end)
            continue;
        // Views into the mailbox; only mails that need changing are copied.
        QByteArray mail = QByteArray::fromRawData(bytes.constData() + headersAt + 1, end - headersAt - 1);
        // mboxrd escapes body lines that start with "From ".
        if (escapedFromLine.indexIn(mail) >= 0)
            mail.replace("\n>From ", "\nFrom ");
        mails.append(mail);
    }
    return mails;
}

QList<ChatLogReader::Chat> MailReader::read(const QString &path, Context &context) const
{
    // People are their addresses until every mail is in; names holds what
    // to show them by, the first display name each address came with.
    QHash<QString, QString> names;
    QMap<QString, ChatBuilder> threads;
    bool anyMail = false;
    const QByteArray bytes = ChatFile::bytes(path);
    for (const QByteArray &raw : split(bytes)) {
        const auto mail = MailMessage::parse(raw);
        if (!mail)
            continue;
        anyMail = true;
        for (const auto &[address, name] : mail->names) {
            if (!names.contains(address))
                names.insert(address, name);
        }
        QStringList people = mail->recipients;
        people.append(mail->from);
        people.sort();
        people.removeDuplicates();
        const QString key = people.join(QLatin1Char(','));
        ChatBuilder &thread = ChatBuilder::in(threads, key, context.detail);
        Chat &chat = thread.chat();
        if (chat.joinKey.isEmpty()) {
            // The same people in another file of the export are the same chat.
            chat.joinKey = QStringLiteral("mail:") + key;
            chat.account = QStringLiteral("mail:") + context.root;
            chat.members = people;
        }
        if (mail->sent && chat.owner.isEmpty())
            chat.owner = mail->from;
        thread.add(mail->at, mail->from, mail->text, mail->attachments);
    }
    if (!anyMail)
        throw Failure(ChatFile::damaged(path));
    QList<Chat> chats;
    for (ChatBuilder &thread : threads) {
        thread.chat().names = names;
        thread.takeInto(chats);
    }
    return chats;
}

} // namespace Brimlow
