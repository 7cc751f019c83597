#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Instagram's and Facebook Messenger's data downloads: a folder per thread
// with "message_1.json", "message_2.json", …, texts written as the Latin-1
// bytes of their UTF-8 (repaired here), and the newer Messenger download
// with plain texts. The owner is the one participant every thread shares.
// A thread without its header of participants and title is read too, its
// senders taken for the participants.
class MessengerReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    // "Ã©" back to "é": the text's characters taken as bytes and read as
    // UTF-8, when they are that; any other text unchanged.
    static QString repaired(const QString &text);
};

} // namespace Brimlow
