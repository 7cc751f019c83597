#include "chatlog.h"

#include "failure.h"
#include "whatsappreader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace Brimlow {

namespace {

constexpr qint64 HeadSize = 64 * 1024;

// Files inside a folder are offered to the readers only when their
// extension is one that chat exports use; pictures and videos beside them
// are never opened.
bool hasChatExtension(const QFileInfo &info)
{
    static const QStringList extensions = { QStringLiteral("txt"), QStringLiteral("json"),
        QStringLiteral("xml"), QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("csv"),
        QStringLiteral("md"), QStringLiteral("log"), QStringLiteral("weechatlog"), QStringLiteral("mbox"),
        QStringLiteral("eml"), QStringLiteral("db"), QStringLiteral("sqlite") };
    return extensions.contains(info.suffix().toLower());
}

bool isHiddenOrJunk(const QString &relativePath)
{
    const QStringList parts = relativePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return std::any_of(parts.begin(), parts.end(), [](const QString &part) {
        return part.startsWith(QLatin1Char('.')) || part == QLatin1String("__MACOSX");
    });
}

// "WhatsApp Chat with Sam" and "WhatsApp Chat - Family" name their chat.
QString titleInName(const QString &name)
{
    for (const QLatin1String prefix :
        { QLatin1String("WhatsApp Chat with "), QLatin1String("WhatsApp Chat - ") }) {
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            return name.mid(prefix.size()).trimmed();
    }
    return {};
}

QString titleFor(const QString &file, const QString &root)
{
    const QFileInfo info(file);
    QString title = titleInName(info.completeBaseName());
    QDir folder = info.absoluteDir();
    const QString top = QFileInfo(root).absoluteFilePath();
    for (int level = 0; title.isEmpty() && level < 3; ++level) {
        title = titleInName(folder.dirName());
        if (folder.absolutePath() == top || !folder.cdUp())
            break;
    }
    return title;
}

QString joinedNames(const QStringList &names)
{
    if (names.size() <= 1)
        return names.value(0);
    return names.mid(0, names.size() - 1).join(QLatin1String(", ")) + QLatin1String(" & ") + names.last();
}

qsizetype indexOfPerson(const QStringList &people, const QString &name)
{
    const qsizetype exact = people.indexOf(name);
    if (exact >= 0)
        return exact;
    for (qsizetype i = 0; i < people.size(); ++i) {
        if (people.at(i).trimmed().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

const QList<const ChatLogReader *> &ChatLog::readers()
{
    static const WhatsAppReader whatsApp;
    static const QList<const ChatLogReader *> all = { &whatsApp };
    return all;
}

ChatLog::ChatLog(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Failure(QStringLiteral("There's no chat file at %1.").arg(path));
    if (info.isDir()) {
        QStringList files;
        QDirIterator it(
            path, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QFileInfo entry(file);
            if (entry.isSymLink() || !hasChatExtension(entry)
                || isHiddenOrJunk(QDir(path).relativeFilePath(file)))
                continue;
            files.append(file);
        }
        files.sort();
        for (const QString &file : files) {
            try {
                readFile(file, path);
            } catch (const Failure &) {
                // One unreadable file does not spoil the others.
            }
        }
    } else {
        readFile(path, path);
    }
    if (m_chats.isEmpty())
        throw Failure(
            QStringLiteral("There's no chat in that. Each message should start with a date, a time and "
                           "who sent it, like “1/31/25, 9:41 PM - Sam: hey”."));
}

ChatLog::~ChatLog() = default;

void ChatLog::readFile(const QString &file, const QString &root)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The chat file %1 can't be read.").arg(QFileInfo(file).fileName()));
    const QByteArray head = input.read(HeadSize);
    input.close();
    for (const ChatLogReader *reader : readers()) {
        if (!reader->recognises(head))
            continue;
        Chat chat;
        chat.service = reader->service();
        chat.transcript = reader->read(file);
        if (chat.transcript.messages.isEmpty())
            return;
        for (qsizetype i = 0; i < chat.transcript.messages.size(); ++i)
            chat.transcript.messages[i].id = QStringLiteral("m%1").arg(i + 1);

        const QString title = titleFor(file, root);
        if (!title.isEmpty())
            chat.transcript.name = title;
        QString key = chat.transcript.name;
        if (key.isEmpty())
            key = joinedNames(chat.transcript.participants);
        chat.key = key;
        for (int n = 2;
             std::any_of(m_chats.begin(), m_chats.end(), [&](const Chat &c) { return c.key == chat.key; });
             ++n)
            chat.key = QStringLiteral("%1 (%2)").arg(key).arg(n);
        m_chats.append(std::move(chat));
        return;
    }
}

QList<Conversation> ChatLog::conversations()
{
    QList<Conversation> list;
    for (const Chat &chat : m_chats) {
        const Transcript &transcript = chat.transcript;
        Conversation conversation;
        conversation.key = chat.key;
        conversation.name = transcript.name;
        conversation.services = { chat.service };
        conversation.messages = transcript.messages.size();
        QList<Conversation::Person> people;
        for (const QString &name : transcript.participants)
            people.append({ name, 0 });
        QString first = transcript.messages.first().at;
        QString last = first;
        for (const Transcript::Message &message : transcript.messages) {
            ++people[message.sender].messages;
            first = qMin(first, message.at);
            last = qMax(last, message.at);
        }
        conversation.first = first.left(10);
        conversation.last = last.left(10);
        conversation.group = people.size() > 2;
        conversation.people = people;
        list.append(conversation);
    }
    sortNewestFirst(list);
    return list;
}

Transcript ChatLog::transcript(const QString &key, const std::optional<QString> &meIs)
{
    const auto chat
        = std::find_if(m_chats.cbegin(), m_chats.cend(), [&](const Chat &c) { return c.key == key; });
    if (chat == m_chats.cend())
        throw Failure(QStringLiteral("That conversation isn't in this chat file anymore."));
    Transcript transcript = chat->transcript;
    const qsizetype me = meIs ? indexOfPerson(transcript.participants, *meIs) : -1;
    if (me >= 0) {
        transcript.participants.removeAt(me);
        for (Transcript::Message &message : transcript.messages) {
            if (message.sender == me)
                message.sender = Transcript::Me;
            else if (message.sender > me)
                --message.sender;
        }
    }
    transcript.group = transcript.participants.size() > 1;
    std::stable_sort(transcript.messages.begin(), transcript.messages.end(),
        [](const Transcript::Message &a, const Transcript::Message &b) { return a.at < b.at; });
    return transcript;
}

} // namespace Brimlow
