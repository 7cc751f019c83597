#include "jsonwriter.h"

#include <QIODevice>
#include <QLocale>
#include <cmath>

namespace {
constexpr qsizetype FlushSize = 1 << 16;
}

JsonWriter::JsonWriter(QIODevice *device)
    : m_device(device)
{
    m_buffer.reserve(FlushSize + 1024);
}

JsonWriter::~JsonWriter()
{
    flush();
}

void JsonWriter::separate()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_first.isEmpty())
        return;
    if (m_first.last())
        m_first.last() = false;
    else
        m_buffer.append(',');
}

void JsonWriter::beginObject()
{
    separate();
    m_buffer.append('{');
    m_first.append(true);
}

void JsonWriter::endObject()
{
    m_buffer.append('}');
    m_first.removeLast();
    flushWhenFull();
}

void JsonWriter::beginArray()
{
    separate();
    m_buffer.append('[');
    m_first.append(true);
}

void JsonWriter::endArray()
{
    m_buffer.append(']');
    m_first.removeLast();
    flushWhenFull();
}

void JsonWriter::key(const char *name)
{
    separate();
    // Keys are the writers' own plain names, thousands to a document: they
    // go straight in, without a text made of each.
    const char *end = name;
    while (*end >= 0x20 && *end != '"' && *end != '\\')
        ++end;
    if (*end == '\0') {
        m_buffer.append('"').append(name, end - name).append('"');
    } else {
        appendString(QString::fromUtf8(name));
    }
    m_buffer.append(':');
    m_afterKey = true;
}

void JsonWriter::value(const QString &text)
{
    separate();
    appendString(text);
}

void JsonWriter::value(qint64 number)
{
    separate();
    m_buffer.append(QByteArray::number(number));
}

void JsonWriter::value(double number)
{
    separate();
    if (!std::isfinite(number))
        number = 0;
    m_buffer.append(QByteArray::number(number, 'g', QLocale::FloatingPointShortest));
}

void JsonWriter::value(bool flag)
{
    separate();
    m_buffer.append(flag ? "true" : "false");
}

void JsonWriter::value(const QStringList &texts)
{
    beginArray();
    for (const QString &text : texts)
        value(text);
    endArray();
}

void JsonWriter::member(const char *name, const QString &text)
{
    key(name);
    value(text);
}

void JsonWriter::member(const char *name, qint64 number)
{
    key(name);
    value(number);
}

void JsonWriter::member(const char *name, double number)
{
    key(name);
    value(number);
}

void JsonWriter::member(const char *name, bool flag)
{
    key(name);
    value(flag);
}

void JsonWriter::member(const char *name, const QStringList &texts)
{
    key(name);
    value(texts);
}

void JsonWriter::appendString(const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    m_buffer.append('"');
    // Most of a book is plain ASCII; only the rest goes through UTF-8.
    qsizetype plain = 0;
    const QChar *chars = text.constData();
    while (plain < text.size() && chars[plain].unicode() >= 0x20 && chars[plain].unicode() < 0x80
        && chars[plain] != QLatin1Char('"') && chars[plain] != QLatin1Char('\\'))
        ++plain;
    const qsizetype start = m_buffer.size();
    m_buffer.resize(start + plain);
    char *out = m_buffer.data() + start;
    for (qsizetype i = 0; i < plain; ++i)
        out[i] = char(chars[i].unicode());
    if (plain < text.size()) {
        const QByteArray utf8 = QStringView(text).mid(plain).toUtf8();
        for (const char c : utf8) {
            const auto byte = static_cast<unsigned char>(c);
            switch (byte) {
            case '"':
                m_buffer.append("\\\"");
                break;
            case '\\':
                m_buffer.append("\\\\");
                break;
            case '\n':
                m_buffer.append("\\n");
                break;
            case '\r':
                m_buffer.append("\\r");
                break;
            case '\t':
                m_buffer.append("\\t");
                break;
            default:
                if (byte < 0x20) {
                    m_buffer.append("\\u00");
                    m_buffer.append(hex[byte >> 4]);
                    m_buffer.append(hex[byte & 0xf]);
                } else {
                    m_buffer.append(c);
                }
            }
        }
    }
    m_buffer.append('"');
}

void JsonWriter::flushWhenFull()
{
    if (m_buffer.size() >= FlushSize)
        flush();
}

bool JsonWriter::flush()
{
    if (!m_buffer.isEmpty() && !m_failed) {
        if (m_device->write(m_buffer) != m_buffer.size())
            m_failed = true;
    }
    m_buffer.clear();
    return !m_failed;
}
