#pragma once

#include "chatlogreader.h"

namespace Brimlow {

class TextLines;

// LINE's text export: a "[LINE] Chat history with …" header, a line per
// day ("2021/01/31(Sun)", "Sun, 01/31/2021") and tab-separated messages
// ("21:41<TAB>Sam<TAB>hey"), a message of several lines in double quotes or,
// in older exports, without them.
class LineReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    static QList<Chat> parse(TextLines &lines, Detail detail = Detail::Messages);
};

} // namespace Brimlow
