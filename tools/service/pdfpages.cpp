#include "pdfpages.h"

#include <QList>
#include <QRegularExpression>
#include <QtEndian>

namespace PdfPages {

namespace {

struct Tally
{
    int pages = 0;
    int largestCount = 0;

    void add(const QByteArray &text)
    {
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
        static const QRegularExpression tree(QStringLiteral("/Type\\s*/Pages\\b"));
        static const QRegularExpression count(QStringLiteral("/Count\\s+(\\d+)"));
        const QString latin = QString::fromLatin1(text);
        for (auto it = page.globalMatch(latin); it.hasNext(); it.next())
            ++pages;
        if (latin.contains(tree)) {
            for (auto it = count.globalMatch(latin); it.hasNext();)
                largestCount = std::max(largestCount, it.next().captured(1).toInt());
        }
    }
};

// zlib data as Qt's qUncompress wants it: a four-byte size hint first.
QByteArray inflate(const QByteArray &deflated)
{
    QByteArray framed(4, '\0');
    qToBigEndian<quint32>(quint32(std::min<qsizetype>(deflated.size() * 8, 64 << 20)), framed.data());
    return qUncompress(framed + deflated);
}

// The contents of every compressed object stream.
QList<QByteArray> objectStreams(const QByteArray &pdf)
{
    QList<QByteArray> streams;
    qsizetype at = 0;
    while ((at = pdf.indexOf("/ObjStm", at)) >= 0) {
        const qsizetype start = pdf.indexOf("stream", at);
        if (start < 0)
            break;
        qsizetype data = start + 6;
        if (pdf.mid(data, 2) == "\r\n")
            data += 2;
        else if (pdf.mid(data, 1) == "\n")
            data += 1;
        const qsizetype end = pdf.indexOf("endstream", data);
        if (end < 0)
            break;
        const QByteArray inflated = inflate(pdf.mid(data, end - data));
        if (!inflated.isEmpty())
            streams.append(inflated);
        at = end;
    }
    return streams;
}

} // namespace

int count(const QByteArray &pdf)
{
    Tally tally;
    tally.add(pdf);
    for (const QByteArray &stream : objectStreams(pdf))
        tally.add(stream);
    return tally.pages > 0 ? tally.pages : tally.largestCount;
}

} // namespace PdfPages
