#include "typedstreamwriter.h"

#include <QtEndian>

namespace {
constexpr char TagInteger2 = char(0x81);
constexpr char TagInteger4 = char(0x82);
constexpr char TagNew = char(0x84);
constexpr char TagNil = char(0x85);
constexpr char TagEndOfObject = char(0x86);
constexpr qint64 FirstReference = -110;
} // namespace

TypedStreamWriter::TypedStreamWriter()
{
    m_out.append(char(4));
    unsharedString("streamtyped");
    integer(1000);
}

void TypedStreamWriter::integer(qint64 value)
{
    if (value >= FirstReference && value <= 127) {
        m_out.append(char(qint8(value)));
    } else if (value >= -32768 && value <= 65535) {
        m_out.append(TagInteger2);
        char le[2];
        qToLittleEndian<quint16>(quint16(value), le);
        m_out.append(le, 2);
    } else {
        m_out.append(TagInteger4);
        char le[4];
        qToLittleEndian<quint32>(quint32(value), le);
        m_out.append(le, 4);
    }
}

void TypedStreamWriter::unsharedString(const QByteArray &value)
{
    integer(value.size());
    m_out.append(value);
}

void TypedStreamWriter::reference(qsizetype index)
{
    integer(qint64(index) + FirstReference);
}

void TypedStreamWriter::sharedString(const QByteArray &value)
{
    const qsizetype index = m_strings.indexOf(value);
    if (index >= 0) {
        reference(index);
        return;
    }
    m_out.append(TagNew);
    unsharedString(value);
    m_strings.append(value);
}

void TypedStreamWriter::group(const QByteArray &encoding)
{
    sharedString(encoding);
}

void TypedStreamWriter::beginObject(const QByteArrayList &classChain)
{
    m_out.append(TagNew);
    ++m_entries;
    for (const QByteArray &name : classChain) {
        const auto known = m_classes.constFind(name);
        if (known != m_classes.constEnd()) {
            reference(*known);
            return;
        }
        m_out.append(TagNew);
        sharedString(name);
        integer(name == "NSString" ? 1 : 0);
        m_classes.insert(name, m_entries++);
    }
    m_out.append(TagNil);
}

void TypedStreamWriter::endObject()
{
    m_out.append(TagEndOfObject);
}

void TypedStreamWriter::bytes(const QByteArray &value)
{
    unsharedString(value);
}

QByteArray TypedStreamWriter::attributedString(const QString &text)
{
    TypedStreamWriter w;
    w.group("@");
    w.beginObject({ "NSMutableAttributedString", "NSAttributedString", "NSObject" });
    w.group("@");
    w.beginObject({ "NSMutableString", "NSString", "NSObject" });
    w.group("+");
    w.bytes(text.toUtf8());
    w.endObject();
    w.group("iI");
    w.integer(1);
    w.integer(text.size());
    w.group("@");
    w.beginObject({ "NSDictionary", "NSObject" });
    w.group("i");
    w.integer(1);
    w.group("@");
    w.beginObject({ "NSString", "NSObject" });
    w.group("+");
    w.bytes("__kIMMessagePartAttributeName");
    w.endObject();
    w.group("@");
    w.beginObject({ "NSNumber", "NSValue", "NSObject" });
    w.group("*");
    w.sharedString("q");
    w.group("q");
    w.integer(0);
    w.endObject();
    w.endObject();
    w.endObject();
    return w.data();
}
