#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// Android SMS backups in the XML of the common backup apps ("<smses>"):
// texts and MMS with their text and pictures, one chat per phone number or
// group of numbers. The phone's owner is the user.
class SmsBackupReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;
};

} // namespace Brimlow
