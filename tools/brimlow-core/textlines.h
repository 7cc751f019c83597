#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

namespace Brimlow {

// The lines of a chat file, each decoded only when it is reached: a
// 100 MB export is never held whole as text. Lines end at a line feed, a
// carriage return and line feed, or a lone carriage return (old Mac files).
class TextLines
{
public:
    // What a line that is no UTF-8 is read as: with U+FFFD in place of what
    // isn't, or, for logs that older Windows programs wrote into, as
    // Windows-1252.
    enum class Fallback { Replacement, Windows1252 };

    // UTF-8, with or without a byte-order mark, or UTF-16 with one.
    explicit TextLines(const QByteArray &bytes, Fallback fallback = Fallback::Replacement);
    explicit TextLines(const QString &text);

    // Moves to the next line; false after the last.
    bool next();
    // The current line without its line break; valid until the next call.
    QStringView line() const { return m_line; }
    // Back before the first line, for a second pass.
    void rewind() { m_at = m_start; }

private:
    QByteArray m_bytes;
    qsizetype m_start = 0;
    qsizetype m_at = 0;
    QString m_line;
    QStringDecoder m_decoder;
    Fallback m_fallback;
};

} // namespace Brimlow
