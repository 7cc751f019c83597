#include "chatlog.h"

#include "chatfile.h"
#include "chatlogreaders.h"
#include "failure.h"
#include "model/whatsappexport.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
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

// A WhatsApp chat's name, as its export's file or the folder it came in
// names it, in any language WhatsApp names exports in.
struct Title
{
    QString name;
    // What the chat's key is made of. A key names the chat's book and the
    // user's choices, and keys were made of the English wordings' names
    // alone, as written, before the other languages were read; the other
    // wordings leave the key as it was.
    std::optional<QString> key;
};

Title titleInName(const QString &name)
{
    Title title { WhatsAppExport::chatName(name), std::nullopt };
    for (const QLatin1String prefix :
        { QLatin1String("WhatsApp Chat with "), QLatin1String("WhatsApp Chat - ") }) {
        const QString keyed = name.mid(prefix.size()).trimmed();
        if (name.startsWith(prefix, Qt::CaseInsensitive) && !keyed.isEmpty())
            title.key = keyed;
    }
    return title;
}

Title titleFor(const QString &file, const QString &root)
{
    const QFileInfo info(file);
    Title title = titleInName(info.completeBaseName());
    QDir folder = info.absoluteDir();
    const QString top = QFileInfo(root).absoluteFilePath();
    for (int level = 0; title.name.isEmpty() && level < 3; ++level) {
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

// Why nothing was read, in words that fit what the user chose: a mailbox
// holds mails, not lines that start with a date.
QString noChatIn(const QFileInfo &chosen)
{
    const QString extension = chosen.suffix().toLower();
    if (chosen.isFile() && (extension == QLatin1String("mbox") || extension == QLatin1String("eml")))
        return QStringLiteral("There's no mail in that. A mailbox holds mails one after another, each "
                              "starting with its headers, like “From: Sam <sam@example.com>”.");
    return QStringLiteral("There's no chat in that. Each message should start with a date, a time and "
                          "who sent it, like “1/31/25, 9:41 PM - Sam: hey”.");
}

// A file cut short is read up to the cut; each of its chats says so,
// counting every message the file gave.
void tellEndingEarly(QList<ChatLogReader::Chat> &chats)
{
    if (std::none_of(chats.cbegin(), chats.cend(), [](const auto &chat) { return chat.endsEarly; }))
        return;
    qint64 read = 0;
    for (const ChatLogReader::Chat &chat : chats)
        read += chat.transcript.messages.isEmpty() ? chat.tally.count : chat.transcript.messages.size();
    const QString notice = read == 1
        ? QStringLiteral("This file ends early: 1 message was read.")
        : QStringLiteral("This file ends early: %1 messages were read.").arg(read);
    for (ChatLogReader::Chat &chat : chats)
        chat.notice = notice;
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

// The messages of share into whole, senders matched by name.
void join(ChatLogReader::Chat &whole, ChatLogReader::Chat &share)
{
    QList<int> senders;
    for (const QString &name : share.transcript.participants) {
        qsizetype index = whole.transcript.participants.indexOf(name);
        if (index < 0) {
            whole.transcript.participants.append(name);
            index = whole.transcript.participants.size() - 1;
        }
        senders.append(int(index));
    }
    for (Transcript::Message &message : share.transcript.messages) {
        message.sender = senders.value(message.sender, message.sender);
        whole.transcript.messages.append(std::move(message));
    }
    whole.tally.add(share.tally, senders);
    if (whole.transcript.name.isEmpty())
        whole.transcript.name = share.transcript.name;
    if (!whole.keyName)
        whole.keyName = share.keyName;
    if (whole.owner.isEmpty())
        whole.owner = share.owner;
    if (whole.other.isEmpty())
        whole.other = share.other;
    if (whole.notice.isEmpty())
        whole.notice = share.notice;
    for (const QString &member : share.members) {
        if (!whole.members.contains(member))
            whole.members.append(member);
    }
    for (auto it = share.names.cbegin(); it != share.names.cend(); ++it) {
        if (!whole.names.contains(it.key()))
            whole.names.insert(it.key(), it.value());
    }
}

// Handles become the names they are shown by, once every file is read.
void applyNames(ChatLogReader::Chat &chat)
{
    if (chat.names.isEmpty())
        return;
    const auto nameOf = [&](const QString &handle) { return chat.names.value(handle, handle); };
    for (QString &participant : chat.transcript.participants)
        participant = nameOf(participant);
    for (QString &member : chat.members)
        member = nameOf(member);
    chat.owner = chat.owner.isEmpty() ? QString() : nameOf(chat.owner);
    chat.other = chat.other.isEmpty() ? QString() : nameOf(chat.other);
}

// Downloads that list members but not the owner: the owner one chat of
// the account names is the owner of all; else the one member that every
// chat of the account shares is.
void findOwners(QList<ChatLogReader::Chat> &chats)
{
    QHash<QString, QList<qsizetype>> byAccount;
    for (qsizetype i = 0; i < chats.size(); ++i) {
        if (!chats.at(i).account.isEmpty())
            byAccount[chats.at(i).account].append(i);
    }
    for (const QList<qsizetype> &indexes : std::as_const(byAccount)) {
        QSet<QString> named;
        QList<qsizetype> unowned;
        for (qsizetype i : indexes) {
            if (chats.at(i).owner.isEmpty())
                unowned.append(i);
            else
                named.insert(chats.at(i).owner);
        }
        QString owner = named.size() == 1 ? *named.cbegin() : QString();
        if (named.isEmpty() && unowned.size() >= 2) {
            const QStringList &first = chats.at(unowned.first()).members;
            QSet<QString> shared(first.cbegin(), first.cend());
            for (qsizetype i : unowned) {
                const QStringList &members = chats.at(i).members;
                shared.intersect(QSet<QString>(members.cbegin(), members.cend()));
            }
            if (shared.size() == 1)
                owner = *shared.cbegin();
        }
        if (owner.isEmpty())
            continue;
        for (qsizetype i : unowned) {
            if (chats.at(i).members.contains(owner))
                chats[i].owner = owner;
        }
    }
}

} // namespace

const QList<const ChatLogReader *> &ChatLog::readers()
{
    return ChatLogReaders::all();
}

ChatLog::ChatLog(const QString &path, ChatLogReader::Detail detail)
    : m_detail(detail)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Failure(QStringLiteral("There's no chat file at %1.").arg(path));
    ChatLogReader::Context context;
    context.detail = detail;
    context.root = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    QList<ChatLogReader::Chat> shares;
    if (info.isDir()) {
        QStringList files;
        for (const QString &file : ChatFile::filesUnder(path)) {
            if (hasChatExtension(QFileInfo(file)) && !isHiddenOrJunk(QDir(path).relativeFilePath(file)))
                files.append(file);
        }
        std::optional<Failure> firstFailure;
        QSet<QString> damagedFolders;
        for (const QString &file : files) {
            try {
                shares.append(readFile(file, context));
            } catch (const Failure &failure) {
                // One unreadable file does not spoil the other chats.
                if (!firstFailure)
                    firstFailure = failure;
                damagedFolders.insert(QFileInfo(file).absolutePath());
            }
        }
        add(std::move(shares), damagedFolders);
        if (m_chats.isEmpty() && firstFailure)
            throw *firstFailure;
    } else {
        add(readFile(path, context));
    }
    if (m_chats.isEmpty())
        throw Failure(noChatIn(info));
}

ChatLog::~ChatLog() = default;

QList<ChatLogReader::Chat> ChatLog::readFile(const QString &file, ChatLogReader::Context &context) const
{
    const QByteArray head = ChatFile::head(file, HeadSize);
    for (const ChatLogReader *reader : readers()) {
        if (!reader->recognises(head))
            continue;
        QList<ChatLogReader::Chat> chats = reader->read(file, context);
        const Title title = titleFor(file, context.root);
        for (ChatLogReader::Chat &chat : chats) {
            if (chat.service.isEmpty())
                chat.service = reader->service();
            if (!title.name.isEmpty() && chat.service == QLatin1String("WhatsApp")) {
                chat.keyName = title.key.value_or(chat.transcript.name);
                chat.transcript.name = title.name;
            }
        }
        tellEndingEarly(chats);
        return chats;
    }
    return {};
}

namespace {

void inTimeOrder(QList<Transcript::Message> &messages)
{
    // Most exports are in time order already; others are newest first.
    const auto earlier
        = [](const Transcript::Message &a, const Transcript::Message &b) { return a.at < b.at; };
    if (std::is_sorted(messages.crbegin(), messages.crend(), earlier) && !messages.isEmpty()
        && messages.first().at > messages.last().at)
        std::reverse(messages.begin(), messages.end());
    if (!std::is_sorted(messages.cbegin(), messages.cend(), earlier))
        std::stable_sort(messages.begin(), messages.end(), earlier);
}

// A chat without a name of its own is named by the people in it but the
// user: those who wrote first, in the order they did, then the other
// members the export lists.
QString keyOf(const QStringList &participants, const QStringList &members, const QString &owner)
{
    QStringList others = participants;
    for (const QString &member : members) {
        if (!others.contains(member))
            others.append(member);
    }
    if (others.size() > 1)
        others.removeOne(owner);
    return joinedNames(others);
}

// Who a one-to-one chat is with, where the export says: the one it names,
// else everyone in it but the owner it names, when that is one person.
QString themOf(const ChatLogReader::Chat &chat)
{
    if (!chat.other.isEmpty())
        return chat.other;
    if (chat.owner.isEmpty())
        return {};
    QStringList others;
    for (const QStringList &people : { chat.transcript.participants, chat.members }) {
        for (const QString &person : people) {
            if (person != chat.owner && !others.contains(person))
                others.append(person);
        }
    }
    return others.size() == 1 ? others.first() : QString();
}

// A chat spread over files in a folder where one file could not be read.
bool isIncomplete(const ChatLogReader::Chat &chat, const QSet<QString> &damagedFolders)
{
    const QString folder = chat.joinKey.section(QLatin1Char(':'), 1);
    if (chat.joinKey.isEmpty() || damagedFolders.isEmpty())
        return false;
    return std::any_of(damagedFolders.cbegin(), damagedFolders.cend(), [&](const QString &damaged) {
        return folder == damaged || folder.startsWith(damaged + QLatin1Char('/'));
    });
}

} // namespace

void ChatLog::add(QList<ChatLogReader::Chat> shares, const QSet<QString> &damagedFolders)
{
    // The files of one chat come together in file order.
    QList<ChatLogReader::Chat> chats;
    QHash<QString, qsizetype> keyAt;
    for (ChatLogReader::Chat &chat : shares) {
        if (chat.joinKey.isEmpty()) {
            chats.append(std::move(chat));
            continue;
        }
        const auto first = keyAt.constFind(chat.joinKey);
        if (first == keyAt.constEnd()) {
            keyAt.insert(chat.joinKey, chats.size());
            chats.append(std::move(chat));
        } else {
            join(chats[*first], chat);
        }
    }
    findOwners(chats);
    for (ChatLogReader::Chat &chat : chats)
        applyNames(chat);

    for (ChatLogReader::Chat &found : chats) {
        if (m_detail == ChatLogReader::Detail::Messages)
            found.tally = ChatTally::of(found.transcript);
        if (found.tally.count == 0 || isIncomplete(found, damagedFolders))
            continue;
        Chat chat;
        chat.service = found.service;
        if (found.transcript.participants.size() <= 2 && found.members.size() <= 2)
            chat.them = themOf(found);
        chat.transcript = std::move(found.transcript);
        chat.tally = std::move(found.tally);
        if (chat.transcript.participants.contains(found.owner))
            chat.owner = found.owner;
        chat.members = found.members;
        chat.notice = found.notice;
        inTimeOrder(chat.transcript.messages);
        QString key = found.keyName.value_or(chat.transcript.name);
        if (key.isEmpty())
            key = keyOf(
                chat.transcript.participants, chat.members, chat.owner.isEmpty() ? found.owner : chat.owner);
        // A mailbox holds thousands of chats: keys are looked up, not searched.
        chat.key = key;
        for (int n = 2; m_keys.contains(chat.key); ++n)
            chat.key = QStringLiteral("%1 (%2)").arg(key, QString::number(n));
        m_keys.insert(chat.key);
        m_chats.append(std::move(chat));
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
        conversation.messages = chat.tally.count;
        QList<Conversation::Person> people;
        for (qsizetype i = 0; i < transcript.participants.size(); ++i)
            people.append({ transcript.participants.at(i), chat.tally.perSender.value(i) });
        // The owner leads, so that the app's first guess of who the user is
        // is the one the export names.
        const qsizetype owner = transcript.participants.indexOf(chat.owner);
        if (!chat.owner.isEmpty() && owner > 0)
            people.move(owner, 0);
        conversation.first = chat.tally.first.left(10);
        conversation.last = chat.tally.last.left(10);
        conversation.group = people.size() > 2 || chat.members.size() > 2;
        conversation.people = people;
        conversation.them = chat.them;
        conversation.notice = chat.notice;
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
    Q_ASSERT(m_detail == ChatLogReader::Detail::Messages);
    Transcript transcript = chat->transcript;
    qsizetype me = meIs ? indexOfPerson(transcript.participants, *meIs) : -1;
    if (me < 0 && !chat->owner.isEmpty())
        me = transcript.participants.indexOf(chat->owner);
    if (me >= 0) {
        transcript.participants.removeAt(me);
        for (Transcript::Message &message : transcript.messages) {
            if (message.sender == me)
                message.sender = Transcript::Me;
            else if (message.sender > me)
                --message.sender;
        }
    }
    transcript.group = transcript.participants.size() > 1 || chat->members.size() > 2;
    for (qsizetype i = 0; i < transcript.messages.size(); ++i)
        transcript.messages[i].id = QStringLiteral("m%1").arg(i + 1);
    return transcript;
}

} // namespace Brimlow
