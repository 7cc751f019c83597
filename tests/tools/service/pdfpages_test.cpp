#include "pdfpages.h"
#include "standin.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// A PDF whose page objects sit in a compressed object stream, as PDF 1.5
// writers pack them.
QByteArray packedPdf(int pages)
{
    QByteArray objects;
    for (int i = 0; i < pages; ++i)
        objects += "<< /Type /Page /Parent 2 0 R >> ";
    const QByteArray deflated = qCompress(objects).mid(4);
    return "%PDF-1.7\n1 0 obj\n<< /Type /ObjStm /N " + QByteArray::number(pages)
        + " /Filter /FlateDecode /Length " + QByteArray::number(deflated.size()) + " >>\nstream\n" + deflated
        + "\nendstream\nendobj\n%%EOF\n";
}

} // namespace

TEST(PdfPages, CountsPageObjectsNotThePageTree)
{
    EXPECT_EQ(PdfPages::count(pdfOfPages(1)), 1);
    EXPECT_EQ(PdfPages::count(pdfOfPages(37)), 37);
    EXPECT_EQ(PdfPages::count("%PDF-1.4\nnothing here\n"), 0);
}

TEST(PdfPages, CountsPagesInsideCompressedObjectStreams)
{
    EXPECT_EQ(PdfPages::count(packedPdf(12)), 12);
}

TEST(PdfPages, CountsAPdfTheTypesetterMade)
{
    QTemporaryDir folder;
    TestSupport::writeFile(folder.filePath(QStringLiteral("three.typ")),
        "#set page(width: 4in, height: 4in)\nOne\n#pagebreak()\nTwo\n#pagebreak()\nThree\n");
    QProcess typst;
    typst.setWorkingDirectory(folder.path());
    typst.start(TestSupport::stage() + QStringLiteral("/libexec/quorvel/typst"),
        { QStringLiteral("compile"), QStringLiteral("three.typ"), QStringLiteral("three.pdf") });
    ASSERT_TRUE(typst.waitForFinished(120000));
    ASSERT_EQ(typst.exitCode(), 0) << typst.readAllStandardError().toStdString();
    EXPECT_EQ(PdfPages::count(TestSupport::readFile(folder.filePath(QStringLiteral("three.pdf")))), 3);
}
