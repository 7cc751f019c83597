// The cover photo cut to the front's bleed box before a fast cover render.
#include "model/photocut.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A photo whose left, middle and right thirds are red, green and blue.
QString writePhoto(const QString &path, QSize size, const char *format = "JPEG")
{
    QImage photo(size, QImage::Format_RGB32);
    QPainter painter(&photo);
    const int third = size.width() / 3;
    painter.fillRect(0, 0, third, size.height(), Qt::red);
    painter.fillRect(third, 0, third, size.height(), Qt::green);
    painter.fillRect(2 * third, 0, size.width() - 2 * third, size.height(), Qt::blue);
    painter.end();
    EXPECT_TRUE(photo.save(path, format, 95));
    return path;
}

BookFile bookWith(const QString &photo, const QString &style = QStringLiteral("photo"),
    std::optional<QString> fit = std::nullopt)
{
    BookFile book;
    book.design = Design();
    book.design->cover.style = style;
    book.design->cover.fit = fit;
    book.design->cover.image = photo;
    return book;
}

QStringList cutsIn(const QString &folder)
{
    return QDir(folder).entryList({ QStringLiteral("cover-photo-*") }, QDir::Files);
}

TEST(PhotoCutTest, ThePartCoveredIsCentredAndHasTheBoxesShape)
{
    // Wider than the box: the sides go.
    EXPECT_EQ(PhotoCut::coveredPart(QSize(4032, 3024), QSize(1640, 2640)), QRect(1076, 0, 1879, 3024));
    // Taller than the box: top and bottom go.
    EXPECT_EQ(PhotoCut::coveredPart(QSize(1000, 4000), QSize(500, 500)), QRect(0, 1500, 1000, 1000));
    // The box's own shape: all of it.
    EXPECT_EQ(PhotoCut::coveredPart(QSize(3280, 5280), QSize(1640, 2640)), QRect(0, 0, 3280, 5280));
    EXPECT_EQ(PhotoCut::coveredPart(QSize(0, 10), QSize(10, 10)), QRect());
    EXPECT_EQ(PhotoCut::bleedBox(320), QSize(1640, 2640));
}

TEST(PhotoCutTest, ABleedingPhotoIsCutToTheBoxAndTheCutIsFoundAgain)
{
    QTemporaryDir dir;
    const QString photo = writePhoto(dir.filePath("photo.jpg"), QSize(3000, 1000));
    const QSize box(300, 400);
    for (const auto &[style, fit] : { std::pair { "photo", std::optional<QString>() },
             std::pair { "custom", std::optional<QString>("bleed") } }) {
        const BookFile cut
            = TestSupport::await(PhotoCut::withPhotoCut(bookWith(photo, style, fit), box, dir.path()));
        ASSERT_NE(cut.design->cover.image, photo) << style;
        const QImage picture(*cut.design->cover.image);
        EXPECT_EQ(picture.size(), box);
        // The middle third alone lies under a box this narrow.
        const QColor left = picture.pixelColor(2, 200), right = picture.pixelColor(297, 200);
        EXPECT_GT(left.green(), 200) << style;
        EXPECT_LT(left.red(), 60) << style;
        EXPECT_GT(right.green(), 200) << style;
    }
    EXPECT_EQ(cutsIn(dir.path()).size(), 1);
}

// The cut is named by what the photo holds: a photo replaced under the same
// name is cut again, and the old cut goes.
TEST(PhotoCutTest, APhotoChangedInPlaceIsCutAgain)
{
    QTemporaryDir dir;
    const QString photo = writePhoto(dir.filePath("photo.jpg"), QSize(3000, 1000));
    const QString first
        = *TestSupport::await(PhotoCut::withPhotoCut(bookWith(photo), QSize(300, 400), dir.path()))
               .design->cover.image;
    QImage changed(3000, 1000, QImage::Format_RGB32);
    changed.fill(Qt::yellow);
    ASSERT_TRUE(changed.save(photo, "JPEG", 95));
    const QString second
        = *TestSupport::await(PhotoCut::withPhotoCut(bookWith(photo), QSize(300, 400), dir.path()))
               .design->cover.image;
    EXPECT_NE(second, first);
    EXPECT_FALSE(QFileInfo::exists(first));
    const QColor middle = QImage(second).pixelColor(150, 200);
    EXPECT_GT(middle.red(), 200);
    EXPECT_GT(middle.green(), 200);
    EXPECT_EQ(cutsIn(dir.path()), QStringList { QFileInfo(second).fileName() });
}

// Where a cut would change the cover or gain nothing, the book stays as it is.
TEST(PhotoCutTest, PhotosThatNeedNoCutAreLeftAsTheyAre)
{
    QTemporaryDir dir;
    const QString big = writePhoto(dir.filePath("big.jpg"), QSize(3000, 1000));
    const QString small = writePhoto(dir.filePath("small.jpg"), QSize(200, 100));
    // typst doesn't read BMP: the cover goes without the photo, as it must.
    const QString bmp = writePhoto(dir.filePath("photo.bmp"), QSize(3000, 1000), "BMP");
    const QSize box(300, 400);
    const QList<BookFile> books { bookWith(big, QStringLiteral("photo"), QStringLiteral("framed")),
        bookWith(big, QStringLiteral("custom")), bookWith(big, QStringLiteral("cloth")), bookWith(small),
        bookWith(bmp), bookWith(dir.filePath("missing.jpg")), bookWith(QString()) };
    for (const BookFile &book : books) {
        const BookFile after = TestSupport::await(PhotoCut::withPhotoCut(book, box, dir.path()));
        EXPECT_EQ(after.design->cover.image, book.design->cover.image);
    }
    EXPECT_EQ(cutsIn(dir.path()), QStringList());
}

} // namespace
