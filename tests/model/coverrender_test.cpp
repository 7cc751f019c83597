// Cover renders with the real typst and cover template.
#include "heicwriter.h"
#include "model/coverrender.h"
#include "model/design.h"
#include "model/helpers.h"
#include "service/coverart.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
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
    // Its draft was its own and went with the render.
    EXPECT_TRUE(QDir(folder()).entryList({ QStringLiteral("*.json") }, QDir::Files).isEmpty());
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

    // Kept: the caller tracks what it shows.
    const QString third
        = TestSupport::await(Helpers::renderCoverPreview(book(), 40, folder(), Helpers::Earlier::Kept));
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_TRUE(QFileInfo::exists(third));
}

// The wizard draws the cover while the ebook draws its sheet: they once
// shared one draft file, and either could print the other's book.
TEST_F(CoverRenderTest, RendersAtOnceInOneFolderEachDrawTheirOwnBook)
{
    BookFile other = book();
    other.front.title = QStringLiteral("Another Title Entirely");
    QCoro::Task<QString> sheet = Helpers::renderCoverSheet(book(), 40, 20, folder());
    QCoro::Task<QString> preview = Helpers::renderCoverPreview(other, 40, folder(), Helpers::Earlier::Kept);
    const QImage sheetTogether(TestSupport::await(std::move(sheet)));
    const QImage previewTogether(TestSupport::await(std::move(preview)));
    // Each is what it is when drawn alone.
    EXPECT_EQ(sheetTogether, QImage(TestSupport::await(Helpers::renderCoverSheet(book(), 40, 20, folder()))));
    EXPECT_EQ(previewTogether,
        QImage(TestSupport::await(Helpers::renderCoverPreview(other, 40, folder(), Helpers::Earlier::Kept))));
}

// typst can't place a HEIC: a phone's photo reaches the cover as the JPEG
// copy brought into the book, and it shows there.
TEST_F(CoverRenderTest, AHeicPhotoBroughtInIsPlacedOnTheCover)
{
    QImage red(240, 360, QImage::Format_RGB32);
    red.fill(QColor(200, 30, 40));
    const QString heic = m_dir.filePath(QStringLiteral("IMG_0007.HEIC"));
    ASSERT_TRUE(TestSupport::writeHeic(heic, red));
    BookFile covered = book();
    covered.design = Design();
    covered.design->cover.style = QStringLiteral("photo");
    covered.design->cover.fit = QStringLiteral("bleed");
    covered.design->cover.image = CoverArt::bring(heic, CoverArt::mine(folder()));
    EXPECT_TRUE(covered.design->cover.image->endsWith(QStringLiteral(".jpg")));

    const QImage preview(TestSupport::await(Helpers::renderCoverPreview(covered, 40, folder())));
    ASSERT_FALSE(preview.isNull());
    int reddish = 0;
    for (int y = 0; y < preview.height(); y += 4) {
        for (int x = 0; x < preview.width(); x += 4) {
            const QColor seen = preview.pixelColor(x, y);
            reddish += seen.red() > 160 && seen.green() < 80 && seen.blue() < 90;
        }
    }
    // Most of the front is the photo.
    EXPECT_GT(reddish, (preview.width() / 4) * (preview.height() / 4) / 3);
}

TEST_F(CoverRenderTest, AFailedRenderKeepsTheEarlierPreview)
{
    const QString first = TestSupport::await(Helpers::renderCoverPreview(book(), 40, folder()));
    // The template refuses a negative page count.
    EXPECT_TRUE(TestSupport::failureOf(Helpers::renderCoverPreview(book(), -1, folder())));
    EXPECT_TRUE(QFileInfo::exists(first));
}

TEST_F(CoverRenderTest, TheGalleryKeysOnePicturePerDesignInAFolderOfItsOwn)
{
    const QMap<QString, QString> gallery = TestSupport::await(Helpers::renderCoverGallery(book(), folder()));
    ASSERT_EQ(gallery.keys(),
        QStringList({ "bubble", "calendar", "cloth", "minimal", "monogram", "paper", "photo", "receipt",
            "split", "typewriter" }));
    const QString own = QFileInfo(gallery.first()).absolutePath();
    EXPECT_TRUE(QFileInfo(own).fileName().contains(QRegularExpression("^cover-gallery-[0-9A-F]{8}$")));
    EXPECT_EQ(pngsIn(own).size(), gallery.size());
    EXPECT_EQ(QDir(own).entryList(QDir::Files).size(), gallery.size());
    for (const QString &picture : gallery) {
        const QImage image(picture);
        EXPECT_EQ(image.size(), QSize(180, 288)) << picture.toStdString();
    }
    // Distinct designs, distinct pictures.
    EXPECT_NE(TestSupport::readFile(gallery.value("cloth")), TestSupport::readFile(gallery.value("receipt")));

    Helpers::removeCoverGallery(gallery);
    EXPECT_FALSE(QFileInfo::exists(own));
}

// Two titles typed one after the other drew two galleries into one folder,
// emptying and refilling it under each other.
TEST_F(CoverRenderTest, TwoGalleriesAtOnceKeepTheirOwnPictures)
{
    BookFile other = book();
    other.front.title = QStringLiteral("Another Title Entirely");
    QCoro::Task<QMap<QString, QString>> first = Helpers::renderCoverGallery(book(), folder());
    QCoro::Task<QMap<QString, QString>> second = Helpers::renderCoverGallery(other, folder());
    const QMap<QString, QString> a = TestSupport::await(std::move(first));
    const QMap<QString, QString> b = TestSupport::await(std::move(second));
    ASSERT_EQ(a.size(), 10);
    ASSERT_EQ(b.size(), 10);
    for (const QString &key : a.keys()) {
        EXPECT_TRUE(QFileInfo::exists(a.value(key)));
        EXPECT_NE(a.value(key), b.value(key));
    }
    EXPECT_NE(QImage(a.value("cloth")), QImage(b.value("cloth")));
}

TEST_F(CoverRenderTest, AFailedGalleryLeavesNothingBehind)
{
    BookFile broken = book();
    broken.design = Design();
    broken.design->cover.image = folder() + QStringLiteral("/gone.jpg");
    EXPECT_TRUE(TestSupport::failureOf(Helpers::renderCoverGallery(broken, folder())));
    EXPECT_TRUE(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST(CoverGalleryRemoval, RemovesOnlyAGalleryFolder)
{
    QTemporaryDir dir;
    const QString keep = dir.filePath("cover-gallery");
    QDir().mkpath(keep);
    TestSupport::writeFile(keep + "/1.png", "x");
    Helpers::removeCoverGallery({ { "cloth", keep + "/1.png" } });
    Helpers::removeCoverGallery({ { "cloth", dir.filePath("1.png") } });
    EXPECT_TRUE(QFileInfo::exists(keep + "/1.png"));
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
