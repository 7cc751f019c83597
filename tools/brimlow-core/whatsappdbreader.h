#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// WhatsApp's Android database, msgstore.db (the schema of "message", "chat"
// and "jid" since 2022, the older "messages", or both in a store of the
// years between), opened read-only, with wa.db beside it for contact
// names. Its encrypted backups (crypt14, crypt15) are recognised and
// refused: their key is not something the user can type.
class WhatsAppDbReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    // 14 or 15 for the header of an encrypted backup, else 0.
    static int encryptedVersion(const QByteArray &head);
};

} // namespace Brimlow
