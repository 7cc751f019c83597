#include "textlines.h"

#include "chatfile.h"

#include <cstring>

namespace Brimlow {

TextLines::TextLines(const QByteArray &bytes, Fallback fallback)
    : m_bytes(bytes)
    , m_decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless)
    , m_fallback(fallback)
{
    if (m_bytes.startsWith("\xFF\xFE") || m_bytes.startsWith("\xFE\xFF"))
        m_bytes = ChatFile::decode(m_bytes).toUtf8();
    else if (m_bytes.startsWith("\xEF\xBB\xBF"))
        m_start = 3;
    m_at = m_start;
}

TextLines::TextLines(const QString &text)
    : TextLines(text.toUtf8())
{ }

bool TextLines::next()
{
    const qsizetype size = m_bytes.size();
    if (m_at >= size)
        return false;
    const char *data = m_bytes.constData();
    // Line feeds are found a word at a time; carriage returns are rare.
    const char *feed = static_cast<const char *>(std::memchr(data + m_at, '\n', size_t(size - m_at)));
    qsizetype end = feed ? feed - data : size;
    const char *cr = static_cast<const char *>(std::memchr(data + m_at, '\r', size_t(end - m_at)));
    qsizetype after = feed ? end + 1 : size;
    if (cr) {
        end = cr - data;
        after = end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
    }
    const QByteArrayView bytes(data + m_at, end - m_at);
    m_at = after;
    m_line.resize(bytes.size());
    const QChar *written = m_decoder.appendToBuffer(m_line.data(), bytes);
    m_line.truncate(written - m_line.constData());
    if (m_decoder.hasError()) {
        m_decoder.resetState();
        if (m_fallback == Fallback::Windows1252)
            m_line = ChatFile::fromWindows1252(bytes);
    }
    return true;
}

} // namespace Brimlow
