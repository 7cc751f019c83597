#include "model/color.h"

#include <gtest/gtest.h>

TEST(ColorFromHex, ReadsHashAndSixDigitsInEitherCase)
{
    EXPECT_EQ(Color::fromHex(QStringLiteral("#6b1f24")), QColor(107, 31, 36));
    EXPECT_EQ(Color::fromHex(QStringLiteral("#6B1F24")), QColor(107, 31, 36));
    EXPECT_EQ(Color::fromHex(QStringLiteral("#000000")), QColor(0, 0, 0));
}

TEST(ColorFromHex, RefusesAnythingElse)
{
    for (const char *text : { "6b1f24", "#6b1f2", "#6b1f244", "#6b1g24", "#+12345", "# 12345", "" })
        EXPECT_EQ(Color::fromHex(QString::fromLatin1(text)), std::nullopt) << text;
}

TEST(ColorBrand, DarkAppearanceGetsTheDarkVariantOthersTheLight)
{
    const QColor dark = QColor::fromRgbF(0.9f, 0.7f, 0.68f);
    const QColor light = QColor::fromRgbF(0.42f, 0.12f, 0.14f);
    EXPECT_EQ(Color::brand(Color::Appearance::Dark), dark);
    EXPECT_EQ(Color::brand(Color::Appearance::Light), light);
    EXPECT_EQ(Color::brand(Color::Appearance::Unknown), light);
}
