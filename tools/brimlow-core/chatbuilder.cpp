#include "chatbuilder.h"

namespace Brimlow {

ChatBuilder::ChatBuilder(const QString &service)
{
    m_chat.service = service;
}

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
    QString body = text;
    while (!body.isEmpty() && body.back().isSpace())
        body.chop(1);
    while (!body.isEmpty() && (body.front() == QLatin1Char('\n') || body.front() == QLatin1Char('\r')))
        body.remove(0, 1);
    const QString name = senderName.trimmed();
    if (at.isEmpty() || name.isEmpty() || (body.isEmpty() && attachments.isEmpty()))
        return false;
    Transcript::Message message;
    message.at = at;
    message.sender = sender(name);
    message.text = body;
    message.attachments = attachments;
    m_chat.transcript.messages.append(std::move(message));
    return true;
}

void ChatBuilder::takeInto(QList<ChatLogReader::Chat> &chats)
{
    const QString service = m_chat.service;
    if (!isEmpty())
        chats.append(std::move(m_chat));
    m_chat = ChatLogReader::Chat();
    m_chat.service = service;
    m_senders.clear();
}

} // namespace Brimlow
