#pragma once

#include "chatlogreader.h"

namespace Brimlow {

// WhatsApp's text export, and pasted text in the same line format: the
// bracketed form of the iPhone app ("[31/01/2025, 21:41:02] Sam: hey") and
// the dash form of Android ("1/31/25, 9:41 PM - Sam: hey"). Whether dates
// are day-month or month-day is worked out from the whole file.
class WhatsAppReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    // The chat in a text; attached files are looked for in folder.
    static Transcript parse(const QString &text, const QString &folder);

    // Text of a chat file: UTF-8, or UTF-16 with a byte-order mark.
    static QString decode(const QByteArray &bytes);
};

} // namespace Brimlow
