#include "painter.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(Painter, PaintsAPngOfItsSizeThatFollowsTheWords)
{
    const QByteArray rain
        = Painter::paint(QStringLiteral("Walking in the rain"), QStringLiteral("watercolour"));
    const QImage image = QImage::fromData(rain, "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(Painter::width, Painter::height));
    EXPECT_EQ(Painter::paint(QStringLiteral("Walking in the rain"), QStringLiteral("watercolour")), rain);
    EXPECT_NE(Painter::paint(QStringLiteral("Two phones on a table"), QStringLiteral("watercolour")), rain);
    EXPECT_NE(Painter::paint(QStringLiteral("Walking in the rain"), QStringLiteral("risograph")), rain);
    // A picture of another size is a whole PNG of that size.
    const QImage small = QImage::fromData(
        Painter::paint(QStringLiteral("Walking in the rain"), QStringLiteral("watercolour"), QSize(24, 32)),
        "PNG");
    EXPECT_EQ(small.size(), QSize(24, 32));
}
