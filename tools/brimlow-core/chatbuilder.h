#pragma once

#include "chatlogreader.h"

#include <QHash>
#include <QMap>

namespace Brimlow {

// Collects one chat as a reader meets its messages: senders become
// participants in the order they first write, and messages without a time
// or without anything in them are left out. For Counts, messages are only
// counted.
class ChatBuilder
{
public:
    explicit ChatBuilder(ChatLogReader::Detail detail);

    // The participant of that name, added when new.
    int sender(const QString &name);

    // A message; false when it was left out.
    bool add(const QString &at, const QString &sender, const QString &text,
        const QList<Transcript::Attachment> &attachments = {});

    ChatLogReader::Chat &chat() { return m_chat; }
    bool isEmpty() const { return m_chat.transcript.messages.isEmpty() && m_chat.tally.count == 0; }
    ChatLogReader::Detail detail() const { return m_detail; }

    // The chat, when it has at least one message.
    void takeInto(QList<ChatLogReader::Chat> &chats);
    // What a one-to-one chat's name is, where the file gives one.
    enum class OneToOne {
        // Nothing to go by (a file's name): the chat is named by its people.
        NamedByItsPeople,
        // The other person's name, as the user saved them: the chat keeps
        // it, and the key it had when it was named by its people.
        NamedAfterThePerson,
    };

    // The file's one chat, when it has messages. Groups keep a name of
    // their own; a one-to-one chat's is as naming says.
    QList<ChatLogReader::Chat> takeAsOnlyChat(OneToOne naming = OneToOne::NamedByItsPeople);

    // The builder under key in builders, made when new; for readers that
    // meet the messages of many chats mixed.
    static ChatBuilder &in(
        QMap<QString, ChatBuilder> &builders, const QString &key, ChatLogReader::Detail detail);

private:
    ChatLogReader::Detail m_detail;
    ChatLogReader::Chat m_chat;
    QHash<QString, int> m_senders;
};

} // namespace Brimlow
