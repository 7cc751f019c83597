#pragma once

#include "conversationsource.h"

#include <QList>

namespace Brimlow {

class ChatLogReader;

// Chat exports and pasted chats: one file, or a folder searched at any
// depth (dot files and "__MACOSX" left out). Each file is offered to every
// reader, and the first that recognises its content reads it; a chat file
// holds one conversation.
class ChatLog : public ConversationSource
{
public:
    // Reads every chat under path; throws Failure when there is none.
    explicit ChatLog(const QString &path);
    ~ChatLog() override;

    QList<Conversation> conversations() override;
    Transcript transcript(const QString &key, const std::optional<QString> &meIs) override;

    // Every format the tool reads, one reader each.
    static const QList<const ChatLogReader *> &readers();

private:
    struct Chat
    {
        QString key;
        QString service;
        Transcript transcript; // participants include the user
    };

    void readFile(const QString &file, const QString &root);

    QList<Chat> m_chats;
};

} // namespace Brimlow
