#pragma once

#include "chatlogreader.h"

namespace Brimlow {

class TextLines;

// WhatsApp's text export, and pasted text in the same line format: the
// bracketed form of the iPhone app ("[31/01/2025, 21:41:02] Sam: hey") and
// the dash form of Android ("1/31/25, 9:41 PM - Sam: hey"), and the rarer
// ones with a colon or only a space after the time, in any language.
// Whether dates are day-month or month-day is worked out from the whole
// file.
class WhatsAppReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    // The chat in the lines; attached files are looked for in folder.
    static QList<Chat> parse(TextLines &lines, const QString &folder, Detail detail);
    // The same for a text, every message kept.
    static Transcript parse(const QString &text, const QString &folder);
};

} // namespace Brimlow
