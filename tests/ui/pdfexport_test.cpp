// Saving the book's PDF, as the book's page and its pages both ask for it.
#include "ui/pdfexport.h"
#include "uitestsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// ".pdf" alone is a hidden file, and a "/" would ask for a folder.
TEST(PdfExport, OffersTheTitleAsOneVisibleFileName)
{
    EXPECT_EQ(PdfExport::suggestedName("You & Sam"), "You & Sam.pdf");
    EXPECT_EQ(PdfExport::suggestedName("Us 2023/2024"), "Us 2023-2024.pdf");
    EXPECT_EQ(PdfExport::suggestedName("/"), "-.pdf");
    EXPECT_EQ(PdfExport::suggestedName(""), "Book.pdf");
    EXPECT_EQ(PdfExport::suggestedName(" \t "), "Book.pdf");
    EXPECT_EQ(PdfExport::suggestedName(".secret"), "secret.pdf");
    EXPECT_EQ(PdfExport::suggestedName(" .. notes"), "notes.pdf");
    EXPECT_EQ(PdfExport::suggestedName("..."), "Book.pdf");
    EXPECT_EQ(PdfExport::suggestedName("Dots. In. It."), "Dots. In. It..pdf");
}

// Fault mended: a title longer than a file name can be was offered whole,
// so the panel suggested a name no folder could hold. It is cut as a book's
// folder is, ".pdf" kept; a title that fits stays whole.
TEST(PdfExport, OffersANameTheFileSystemTakesForAnyTitle)
{
    QTemporaryDir folder;
    const QString fits = QString(251, QLatin1Char('a'));
    EXPECT_EQ(PdfExport::suggestedName(fits), fits + ".pdf");
    for (const QString &title : { QString(400, QLatin1Char('a')), QString(252, QLatin1Char('a')),
             QString(400, QChar(0x00E9)), QStringLiteral("🌊").repeated(200) }) {
        const QString name = PdfExport::suggestedName(title);
        EXPECT_LE(name.toUtf8().size(), 255);
        EXPECT_TRUE(name.endsWith(".pdf"));
        EXPECT_TRUE(title.startsWith(name.left(10)));
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << file.errorString().toStdString();
    }
    // Titles that differ only past the cut keep names of their own.
    EXPECT_NE(PdfExport::suggestedName(QString(400, QLatin1Char('a'))),
        PdfExport::suggestedName(QString(399, QLatin1Char('a')) + "b"));
}
