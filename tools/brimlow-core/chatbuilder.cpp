#include "chatbuilder.h"

namespace Brimlow {

ChatBuilder::ChatBuilder(ChatLogReader::Detail detail)
    : m_detail(detail)
{ }

int ChatBuilder::sender(const QString &name)
{
    const auto found = m_senders.constFind(name);
    if (found != m_senders.constEnd())
        return *found;
    const int index = int(m_chat.transcript.participants.size());
    m_chat.transcript.participants.append(name);
    m_senders.insert(name, index);
    return index;
}

bool ChatBuilder::add(const QString &at, const QString &senderName, const QString &text,
    const QList<Transcript::Attachment> &attachments)
{
    // Only texts with space at their ends are copied; reading them through
    // a non-const QString would copy every one.
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    qsizetype start = 0;
    while (start < end && (text.at(start) == QLatin1Char('\n') || text.at(start) == QLatin1Char('\r')))
        ++start;
    const QString name = senderName.trimmed();
    if (at.isEmpty() || name.isEmpty() || (start >= end && attachments.isEmpty()))
        return false;
    if (m_detail == ChatLogReader::Detail::Counts) {
        m_chat.tally.add(at, sender(name));
        return true;
    }
    const QString body = start == 0 && end == text.size() ? text : text.mid(start, end - start);
    Transcript::Message message;
    message.at = at;
    message.sender = sender(name);
    message.text = body;
    message.attachments = attachments;
    m_chat.transcript.messages.append(std::move(message));
    return true;
}

ChatBuilder &ChatBuilder::in(
    QMap<QString, ChatBuilder> &builders, const QString &key, ChatLogReader::Detail detail)
{
    auto found = builders.find(key);
    if (found == builders.end())
        found = builders.insert(key, ChatBuilder(detail));
    return *found;
}

void ChatBuilder::takeInto(QList<ChatLogReader::Chat> &chats)
{
    if (!isEmpty())
        chats.append(std::move(m_chat));
    m_chat = ChatLogReader::Chat();
    m_senders.clear();
}

QList<ChatLogReader::Chat> ChatBuilder::takeAsOnlyChat(OneToOne naming)
{
    if (m_chat.transcript.participants.size() <= 2) {
        if (naming == OneToOne::NamedAfterThePerson)
            m_chat.keyName = QString();
        else
            m_chat.transcript.name.clear();
    }
    QList<ChatLogReader::Chat> chats;
    takeInto(chats);
    return chats;
}

} // namespace Brimlow
