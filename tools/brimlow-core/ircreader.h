#pragma once

#include "chatlogreader.h"

#include <QDate>

namespace Brimlow {

class TextLines;

// IRC logs: irssi's ("21:41 <@sam> hey", "--- Day changed …"), weechat's
// ("2021-01-31 21:41:02<TAB>sam<TAB>hey"), the common bracketed styles
// ("[21:41] <sam> hey", "[2021-01-31 21:41:02] <sam> hey") and ISO times
// ("2021-01-31T21:41:02  <sam> hey") and dircproxy's ("[31 Jan 21:41]
// <sam!~sam@example.com> hey"). Joins, parts, quits and nick changes are
// left out. A log that only has times, or days without their year, takes
// its day from its headers or its file name, else ends on the day the file
// was last written. A line that isn't UTF-8 is read as Windows-1252.
class IrcReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    // lastDay: the day of the last line when nothing in the log says which
    // day it starts on.
    static QList<Chat> parse(
        TextLines &lines, const QString &fileName, const QDate &lastDay, Detail detail = Detail::Messages);
};

} // namespace Brimlow
