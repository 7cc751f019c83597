#pragma once

#include "chatlogreader.h"
#include "conversationsource.h"

#include <QList>
#include <QSet>

namespace Brimlow {

// Chat exports and pasted chats: one file, or a folder searched at any
// depth (dot files and "__MACOSX" left out). Each file is offered to every
// reader, and the first that recognises its content reads it. A file may
// hold many chats (a whole account), and a chat may span many files (a
// page or a day per file).
class ChatLog : public ConversationSource
{
public:
    // Reads every chat under path; throws Failure when there is none. Read
    // for Counts, the chats can be listed but give no transcript.
    explicit ChatLog(const QString &path, ChatLogReader::Detail detail = ChatLogReader::Detail::Messages);
    ~ChatLog() override;

    QList<Conversation> conversations() override;
    Transcript transcript(const QString &key, const std::optional<QString> &meIs) override;

    // Every format the tool reads, one reader each, most particular first.
    static const QList<const ChatLogReader *> &readers();

private:
    struct Chat
    {
        QString key;
        QString service;
        QString owner; // empty when the export does not say who the user is
        QString them; // who a one-to-one chat is with, when the export says
        QStringList members; // everyone in the chat, where the export lists them
        QString notice; // how it was read, when not whole
        Transcript transcript; // participants include the user; no messages when counting
        ChatTally tally;
    };

    QList<ChatLogReader::Chat> readFile(const QString &file, ChatLogReader::Context &context) const;
    // damagedFolders: where a file could not be read; chats with files
    // there are left out rather than listed with messages missing.
    void add(QList<ChatLogReader::Chat> shares, const QSet<QString> &damagedFolders = {});

    ChatLogReader::Detail m_detail;
    QList<Chat> m_chats;
    QSet<QString> m_keys;
};

} // namespace Brimlow
