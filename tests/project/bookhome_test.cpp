#include "project/bookhome.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(BookHomeTest, TheFrontPanelIsCutAfterSpineAndBleed)
{
    // 444 pages: a spine of 1.06 in on a spread of 11.31 in.
    QImage sheet(3620, 2800, QImage::Format_RGB32);
    sheet.fill(Qt::blue);
    QPainter(&sheet).fillRect(QRect(1979, 40, 1601, 2720), Qt::red);
    QTemporaryDir dir;
    const QString path = dir.filePath("cover-sheet.png");
    ASSERT_TRUE(sheet.save(path));

    const std::optional<QImage> front = BookHome::frontPanel(path, 444);
    ASSERT_TRUE(front);
    EXPECT_EQ(front->size(), QSize(1601, 2720));
    EXPECT_EQ(front->pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(front->pixelColor(1600, 2719), QColor(Qt::red));
}

TEST(BookHomeTest, NoPanelFromAPictureThatCantBeRead)
{
    QTemporaryDir dir;
    EXPECT_FALSE(BookHome::frontPanel(dir.filePath("missing.png"), 40));
    QFile file(dir.filePath("broken.png"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG broken");
    file.close();
    EXPECT_FALSE(BookHome::frontPanel(file.fileName(), 40));
}

} // namespace
