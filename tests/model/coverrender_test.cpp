// Cover renders with the real typst and cover template.
#include "model/coverrender.h"
#include "model/helpers.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

BookFile book()
{
    BookFile book;
    book.format = 1;
    book.style = QStringLiteral("novel");
    book.front.title = QStringLiteral("You & Sam");
    book.front.colophon = QStringLiteral("2024");
    book.people = { { QStringLiteral("me"), QStringLiteral("Pat"), true },
        { QStringLiteral("them"), QStringLiteral("Sam"), false } };
    BookFile::Message message;
    message.id = QStringLiteral("m1");
    message.at = QStringLiteral("2024-03-01T12:00:00");
    message.from = QStringLiteral("them");
    message.text = QStringLiteral("hello");
    book.messages = { message };
    return book;
}

QStringList pngsIn(const QString &folder)
{
    return QDir(folder).entryList({ QStringLiteral("*.png") }, QDir::Files, QDir::Name);
}

class CoverRenderTest : public ::testing::Test
{
protected:
    QString folder() const { return m_dir.path(); }
    QTemporaryDir m_dir;
};

TEST_F(CoverRenderTest, ASheetIsDrawnForThePageCountAtItsResolution)
{
    const QString sheet = TestSupport::await(Helpers::renderCoverSheet(book(), 444, 20, folder()));
    EXPECT_EQ(sheet, folder() + "/cover-sheet.png");
    const QImage image(sheet);
    // 1.06 in of spine, two 5 in panels and two eighths of bleed.
    EXPECT_NEAR(image.width(), 11.31 * 20, 1);
    EXPECT_NEAR(image.height(), 8.25 * 20, 1);
    EXPECT_TRUE(QFileInfo::exists(folder() + "/cover-draft.json"));
}

// Every keystroke in the wizard renders a preview and a front; the folder
// once kept them all.
TEST_F(CoverRenderTest, APreviewOrFrontReplacesTheEarlierOnesOfItsKind)
{
    const QString first = TestSupport::await(Helpers::renderCoverPreview(book(), 40, folder()));
    const QString front = TestSupport::await(Helpers::renderCoverFront(book(), 40, 10, folder()));
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo(first).fileName().contains(QRegularExpression("^cover-[0-9A-F]{8}\\.png$")));
    EXPECT_TRUE(QFileInfo(front).fileName().contains(QRegularExpression("^cover-front-[0-9A-F]{8}\\.png$")));
    EXPECT_EQ(QImage(front).size(), QSize(50, 80));

    const QString second = TestSupport::await(Helpers::renderCoverPreview(book(), 40, folder()));
    EXPECT_NE(second, first);
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(front));
    EXPECT_EQ(pngsIn(folder()).size(), 2);
}

TEST_F(CoverRenderTest, AFailedRenderKeepsTheEarlierPreview)
{
    const QString first = TestSupport::await(Helpers::renderCoverPreview(book(), 40, folder()));
    // The template refuses a negative page count.
    EXPECT_TRUE(TestSupport::failureOf(Helpers::renderCoverPreview(book(), -1, folder())));
    EXPECT_TRUE(QFileInfo::exists(first));
}

TEST_F(CoverRenderTest, TheGalleryKeysOnePicturePerDesignAndDropsStalePages)
{
    QDir().mkpath(folder() + "/cover-gallery");
    TestSupport::writeFile(folder() + "/cover-gallery/99.png", "stale");
    const QMap<QString, QString> gallery = TestSupport::await(Helpers::renderCoverGallery(book(), folder()));
    ASSERT_TRUE(gallery.contains("cloth"));
    ASSERT_TRUE(gallery.contains("receipt"));
    const QStringList pages = pngsIn(folder() + "/cover-gallery");
    EXPECT_EQ(pages.size(), gallery.size());
    EXPECT_FALSE(pages.contains("99.png"));
    for (const QString &picture : gallery) {
        const QImage image(picture);
        EXPECT_EQ(image.size(), QSize(180, 288)) << picture.toStdString();
    }
    // Distinct designs, distinct pictures.
    EXPECT_NE(TestSupport::readFile(gallery.value("cloth")), TestSupport::readFile(gallery.value("receipt")));
}

TEST_F(CoverRenderTest, ADraftThatCantBeWrittenFailsBeforeTypst)
{
    const QString missing = folder() + "/missing";
    const std::optional<QString> failure
        = TestSupport::failureOf(Helpers::renderCoverPreview(book(), 40, missing));
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith(Helpers::appName() + " failed (0): ")) << failure->toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST(MakeEbookTest, TheResolvedFileLiesBesideTheEbook)
{
    EXPECT_EQ(Helpers::resolvedEbookFile("/b/Book.epub"), "/b/Book.resolved.json");
    EXPECT_EQ(Helpers::resolvedEbookFile("/b/Book"), "/b/Book.resolved.json");
    EXPECT_EQ(Helpers::resolvedEbookFile("/b/Us - Them.v2.epub"), "/b/Us - Them.v2.resolved.json");
    EXPECT_EQ(Helpers::resolvedEbookFile("/b/.epub"), "/b/.epub.resolved.json");
}

TEST(MakeEbookTest, NoResolvedFileRemainsAfterAFailure)
{
    QTemporaryDir dir;
    const QString to = dir.filePath("Book.epub");
    TestSupport::writeFile(dir.filePath("Book.resolved.json"), "left from before");
    EXPECT_TRUE(
        TestSupport::failureOf(Helpers::makeEbook(dir.filePath("missing.json"), "k", std::nullopt, to)));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("Book.resolved.json")));
    EXPECT_FALSE(QFileInfo::exists(to));
}

} // namespace
