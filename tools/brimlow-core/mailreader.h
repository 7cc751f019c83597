#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Mailboxes (mbox) and single e-mails (eml): the mails between the same
// people are one chat, across all the files given. The user is the sender
// of mail Gmail marks "Sent", else the one person every chat shares.
class MailReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    // The mails of an mbox file, or the one mail of an eml file; they share
    // the memory of bytes, which must outlive them.
    static QList<QByteArray> split(const QByteArray &bytes);
};

} // namespace Brimlow
