#include "pdfcolourspaces.h"

#include <QRegularExpression>
#include <QtEndian>

namespace PdfColourSpaces {

namespace {

// At most this much of a profile is inflated: sRGB profiles are a few
// kilobytes; anything larger is something else and stays.
constexpr qsizetype largestProfile = 64 * 1024;

// The bytes of object `number`'s stream, inflated when typst deflated it;
// empty when it isn't a stream of the shape typst writes.
QByteArray streamOf(const QByteArray &pdf, const QByteArray &number)
{
    const QByteArray opening = '\n' + number + " 0 obj\n<<";
    const qsizetype start = pdf.indexOf(opening);
    if (start < 0)
        return {};
    const qsizetype end = pdf.indexOf(">>\nstream\n", start);
    if (end < 0)
        return {};
    const QByteArray dictionary = pdf.mid(start, end - start);
    static const QRegularExpression lengthIs(QStringLiteral("/Length (\\d+)"));
    const QRegularExpressionMatch length = lengthIs.match(QString::fromLatin1(dictionary));
    if (!length.hasMatch())
        return {};
    const qsizetype size = length.captured(1).toLongLong();
    const qsizetype data = end + 10;
    if (size <= 0 || size > largestProfile || data + size > pdf.size())
        return {};
    const QByteArray stream = pdf.mid(data, size);
    if (!dictionary.contains("/Filter"))
        return stream;
    if (!dictionary.contains("/Filter /FlateDecode"))
        return {};
    // qUncompress wants the inflated size first; it grows past a low guess.
    QByteArray sized(4, '\0');
    qToBigEndian<quint32>(quint32(largestProfile), sized.data());
    return qUncompress(sized + stream);
}

// Whether an ICC profile is an RGB one that calls itself sRGB in its
// description, in ASCII or in UTF-16 as newer profiles write it.
bool isSRgb(const QByteArray &profile)
{
    if (profile.size() < 132 || profile.mid(16, 4) != "RGB " || profile.mid(36, 4) != "acsp")
        return false;
    const quint32 count = qFromBigEndian<quint32>(profile.constData() + 128);
    for (quint32 tag = 0; tag < count && 144 + 12 * qsizetype(tag) <= profile.size(); ++tag) {
        const char *entry = profile.constData() + 132 + 12 * tag;
        if (QByteArray(entry, 4) != "desc")
            continue;
        const quint32 offset = qFromBigEndian<quint32>(entry + 4);
        const quint32 size = qFromBigEndian<quint32>(entry + 8);
        if (qsizetype(offset) + qsizetype(size) > profile.size())
            return false;
        const QByteArray description = profile.mid(offset, size);
        return description.contains("sRGB") || description.contains(QByteArray("\0s\0R\0G\0B", 8));
    }
    return false;
}

} // namespace

QByteArray sRgbAsDevice(QByteArray pdf)
{
    // typst writes each colour space as an object of its own, a one-line array.
    static const QRegularExpression spaces(
        QStringLiteral("\n(\\d+) 0 obj\n(\\[/ICCBased (\\d+) 0 R\\])\nendobj"));
    const QString text = QString::fromLatin1(pdf);
    for (QRegularExpressionMatchIterator it = spaces.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch space = it.next();
        if (!isSRgb(streamOf(pdf, space.captured(3).toLatin1())))
            continue;
        const QByteArray device = QByteArray("/DeviceRGB").leftJustified(space.capturedLength(2), ' ');
        pdf.replace(space.capturedStart(2), device.size(), device);
    }
    return pdf;
}

} // namespace PdfColourSpaces
