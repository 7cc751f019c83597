// Saving the book's PDF, as the book's page and its pages both ask for it.
#include "ui/pdfexport.h"
#include "uitestsupport.h"

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
