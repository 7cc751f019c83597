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

TEST(ColorHex, GivesBackEveryChannelValueFromHex)
{
    for (int n = 0; n < 256; ++n) {
        const QString text = QStringLiteral("#%1%2%3")
                                 .arg(n, 2, 16, QLatin1Char('0'))
                                 .arg(255 - n, 2, 16, QLatin1Char('0'))
                                 .arg(n / 2, 2, 16, QLatin1Char('0'));
        EXPECT_EQ(Color::hex(*Color::fromHex(text)), text);
    }
    EXPECT_EQ(Color::hex(*Color::fromHex(QStringLiteral("#6B1F24"))), QStringLiteral("#6b1f24"));
}

TEST(ColorHex, TruncatesAndConvertsOtherSpecsToRgb)
{
    // 0.5 * 255 = 127.5 truncates to 7f, not 80.
    EXPECT_EQ(Color::hex(QColor::fromRgbF(0.5f, 0.0f, 1.0f)), QStringLiteral("#7f00ff"));
    EXPECT_EQ(Color::hex(QColor::fromHsv(0, 255, 255)), QStringLiteral("#ff0000"));
    EXPECT_EQ(Color::hex(QColor::fromCmyk(0, 0, 0, 255)), QStringLiteral("#000000"));
    EXPECT_EQ(Color::hex(QColor()), QStringLiteral("#000000"));
}
