#include "typedstream.h"

#include <QList>

namespace Brimlow::TypedStream {

namespace {

// Tags of the stream; every other byte is a small integer.
constexpr qint8 TagInteger2 = -127;
constexpr qint8 TagInteger4 = -126;
constexpr qint8 TagFloat = -125;
constexpr qint8 TagNew = -124;
constexpr qint8 TagNil = -123;
constexpr qint8 TagEndOfObject = -122;
constexpr qint8 FirstReference = -110;

// Garbage can nest objects without end; real attributed strings are shallow.
constexpr int MaxDepth = 200;

struct Malformed
{
};

// Reads the stream far enough to find the first string inside an NSString.
// Each read checks its bounds and throws Malformed, so no garbled archive can
// read past its end.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes)
        : m_data(reinterpret_cast<const uchar *>(bytes.constData()))
        , m_end(m_data + bytes.size())
    { }

    std::optional<QString> text()
    {
        readHeader();
        while (m_data < m_end && !m_found)
            readGroup();
        return m_found;
    }

private:
    struct Entry
    {
        QByteArray className; // of a class entry; empty for objects
    };

    uchar byte()
    {
        if (m_data >= m_end)
            throw Malformed();
        return *m_data++;
    }

    qint8 peek() const
    {
        if (m_data >= m_end)
            throw Malformed();
        return qint8(*m_data);
    }

    quint64 fixed(int size)
    {
        if (m_end - m_data < size)
            throw Malformed();
        quint64 value = 0;
        for (int i = 0; i < size; ++i) {
            const int shift = m_bigEndian ? (size - 1 - i) * 8 : i * 8;
            value |= quint64(m_data[i]) << shift;
        }
        m_data += size;
        return value;
    }

    qint64 integer(qint8 head, bool isSigned)
    {
        if (head == TagInteger2)
            return isSigned ? qint64(qint16(fixed(2))) : qint64(quint16(fixed(2)));
        if (head == TagInteger4)
            return isSigned ? qint64(qint32(fixed(4))) : qint64(quint32(fixed(4)));
        if (head >= -128 && head < FirstReference)
            throw Malformed();
        return isSigned ? qint64(head) : qint64(quint8(head));
    }

    qint64 integer(bool isSigned) { return integer(qint8(byte()), isSigned); }

    std::optional<QByteArray> unsharedString(qint8 head)
    {
        if (head == TagNil)
            return std::nullopt;
        const qint64 length = integer(head, false);
        if (length < 0 || length > m_end - m_data)
            throw Malformed();
        QByteArray bytes(reinterpret_cast<const char *>(m_data), length);
        m_data += length;
        return bytes;
    }

    qsizetype reference(qint8 head, qsizetype tableSize)
    {
        const qint64 index = integer(head, true) - FirstReference;
        if (index < 0 || index >= tableSize)
            throw Malformed();
        return qsizetype(index);
    }

    std::optional<QByteArray> sharedString()
    {
        const qint8 head = qint8(byte());
        if (head == TagNil)
            return std::nullopt;
        if (head == TagNew) {
            auto string = unsharedString(qint8(byte()));
            if (!string)
                throw Malformed();
            m_strings.append(*string);
            return string;
        }
        return m_strings.at(reference(head, m_strings.size()));
    }

    void readHeader()
    {
        const qint64 version = integer(false);
        const auto signature = unsharedString(qint8(byte()));
        if (version < 3 || !signature)
            throw Malformed();
        if (*signature == "streamtyped")
            m_bigEndian = false;
        else if (*signature == "typedstream")
            m_bigEndian = true;
        else
            throw Malformed();
        integer(false); // the archiving system's version
    }

    // A class and its superclasses; returns the class's table index, or -1.
    qsizetype readClass()
    {
        qsizetype first = -1;
        for (;;) {
            const qint8 head = qint8(byte());
            if (head == TagNil)
                return first;
            if (head != TagNew) {
                const qsizetype index = reference(head, m_entries.size());
                return first >= 0 ? first : index;
            }
            const auto name = sharedString();
            if (!name)
                throw Malformed();
            integer(true); // class version
            m_entries.append(Entry { *name });
            if (first < 0)
                first = m_entries.size() - 1;
        }
    }

    void readObject()
    {
        const qint8 head = qint8(byte());
        if (head == TagNil)
            return;
        if (head != TagNew) {
            reference(head, m_entries.size());
            return;
        }
        if (++m_depth > MaxDepth)
            throw Malformed();
        m_entries.append(Entry {});
        const qsizetype classIndex = readClass();
        const QByteArray className = classIndex >= 0 ? m_entries.at(classIndex).className : QByteArray();
        const QByteArray outer = m_class;
        m_class = className;
        while (!m_found && peek() != TagEndOfObject)
            readGroup();
        if (!m_found)
            byte(); // end of object
        m_class = outer;
        --m_depth;
    }

    // One typed group: an encoding string, then one value per type in it.
    void readGroup()
    {
        const auto encoding = sharedString();
        if (!encoding || encoding->isEmpty())
            throw Malformed();
        qsizetype position = 0;
        while (position < encoding->size() && !m_found)
            readValue(*encoding, position);
    }

    void readValue(const QByteArray &encoding, qsizetype &position)
    {
        if (++m_depth > MaxDepth)
            throw Malformed();
        readTypedValue(encoding, position);
        --m_depth;
    }

    void readTypedValue(const QByteArray &encoding, qsizetype &position)
    {
        const char type = encoding.at(position++);
        switch (type) {
        case '@':
            readObject();
            return;
        case '#':
            readClass();
            return;
        case ':':
        case '*':
        case '%':
            sharedString();
            return;
        case '+': {
            const auto bytes = unsharedString(qint8(byte()));
            if (bytes && m_class.endsWith("String") && !m_class.contains("Attributed"))
                m_found = QString::fromUtf8(*bytes);
            return;
        }
        case 'c':
        case 's':
        case 'i':
        case 'l':
        case 'q':
            integer(true);
            return;
        case 'C':
        case 'S':
        case 'I':
        case 'L':
        case 'Q':
            integer(false);
            return;
        case 'f':
        case 'd': {
            const qint8 head = qint8(byte());
            if (head == TagFloat)
                fixed(type == 'f' ? 4 : 8);
            else
                integer(head, true);
            return;
        }
        case '[':
            readArray(encoding, position);
            return;
        case '{':
            readStruct(encoding, position);
            return;
        default:
            throw Malformed();
        }
    }

    void readArray(const QByteArray &encoding, qsizetype &position)
    {
        qint64 count = 0;
        while (position < encoding.size() && encoding.at(position) >= '0' && encoding.at(position) <= '9') {
            count = count * 10 + (encoding.at(position++) - '0');
            if (count > m_end - m_data)
                throw Malformed();
        }
        if (position >= encoding.size())
            throw Malformed();
        const char element = encoding.at(position);
        if (element == 'c' || element == 'C') {
            ++position;
            if (count > m_end - m_data)
                throw Malformed();
            m_data += count; // arrays of bytes are stored raw
        } else {
            const qsizetype elementStart = position;
            for (qint64 i = 0; i < count && !m_found; ++i) {
                position = elementStart;
                readValue(encoding, position);
            }
            if (count == 0)
                skipType(encoding, position);
        }
        if (position >= encoding.size() || encoding.at(position) != ']')
            throw Malformed();
        ++position;
    }

    void readStruct(const QByteArray &encoding, qsizetype &position)
    {
        while (position < encoding.size() && encoding.at(position) != '=' && encoding.at(position) != '}')
            ++position;
        if (position < encoding.size() && encoding.at(position) == '=')
            ++position;
        while (position < encoding.size() && encoding.at(position) != '}' && !m_found)
            readValue(encoding, position);
        if (m_found)
            return;
        if (position >= encoding.size())
            throw Malformed();
        ++position;
    }

    // Steps over one type in an encoding without reading a value.
    void skipType(const QByteArray &encoding, qsizetype &position)
    {
        int nesting = 0;
        do {
            if (position >= encoding.size())
                throw Malformed();
            const char c = encoding.at(position++);
            if (c == '[' || c == '{')
                ++nesting;
            else if (c == ']' || c == '}')
                --nesting;
        } while (nesting > 0);
    }

    const uchar *m_data;
    const uchar *m_end;
    bool m_bigEndian = false;
    QList<QByteArray> m_strings;
    QList<Entry> m_entries;
    QByteArray m_class; // class of the object being read
    int m_depth = 0;
    std::optional<QString> m_found;
};

} // namespace

std::optional<QString> attributedText(const QByteArray &archive)
{
    try {
        return Reader(archive).text();
    } catch (const Malformed &) {
        return std::nullopt;
    }
}

} // namespace Brimlow::TypedStream
