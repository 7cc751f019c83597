#include "model/helpers.h"
#include "testsupport.h"
#include "ui/style.h"
#include "uitestsupport.h"
#include "wizard/bookfonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(BookFonts, TheShippedFacesAreKnownToTheAppsOwnDrawing)
{
    const QStringList families = QFontDatabase::families();
    for (const char *family :
        { "EB Garamond", "Libertinus Serif", "TeX Gyre Pagella", "Instrument Serif", "Instrument Sans" })
        EXPECT_TRUE(families.contains(QLatin1String(family))) << family;
    // Drawn in the face asked for, not a fallback.
    EXPECT_EQ(QFontInfo(Style::bookFont(QStringLiteral("EB Garamond"), 17)).family(), "EB Garamond");
}

TEST(BookFonts, OnlyOpenTypeAndTrueTypeFilesButNoEmojiFontAreRegistered)
{
    QTemporaryDir dir;
    const QString fonts = Helpers::fonts();
    const auto copy = [&](const QString &from, const QString &to) {
        ASSERT_TRUE(QFile::copy(fonts + QLatin1Char('/') + from, dir.filePath(to)));
    };
    copy("EBGaramond12-Regular.otf", "Face.otf");
    copy("LibertinusSerif_400Regular.ttf", "Other.TTF");
    copy("InstrumentSans_400Regular.ttf", "NotoColorEmoji.ttf");
    copy("InstrumentSerif_400Regular.ttf", "noto-emoji.ttf");
    copy("texgyrepagella-regular.otf", ".hidden.otf");
    copy("InstrumentSans_700Bold.ttf", "Face.woff");
    TestSupport::writeFile(dir.filePath("notes.txt"), "not a font");
    TestSupport::writeFile(dir.filePath("broken.otf"), "not a font either");

    EXPECT_EQ(BookFonts::registerFonts(dir.path()),
        (QStringList { ".hidden.otf", "Face.otf", "Other.TTF", "noto-emoji.ttf" }));
    // No folder: nothing registered, nothing else happens.
    EXPECT_EQ(BookFonts::registerFonts(dir.filePath("missing")), QStringList());
}
