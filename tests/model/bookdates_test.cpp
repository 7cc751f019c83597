#include "model/bookdates.h"
#include "testsupport.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using TestSupport::ScopedLocale;

namespace {

BookFile emptyBook()
{
    return BookFile::fromJson(QJsonDocument::fromJson(R"({"format": 1, "style": "novel",
        "front": {"title": "T", "colophon": "", "dedication": []}, "people": [], "messages": [],
        "edits": {}})")
                                  .object());
}

} // namespace

TEST(BookDates, FollowTheOrderAndClockOfTheUsersLocale)
{
    {
        const ScopedLocale british(QLocale(QLocale::English, QLocale::UnitedKingdom));
        const BookFile::Dates dates = BookDates::ofLocale();
        // As British books print it: "Tuesday 14 June".
        EXPECT_EQ(dates.day, "EEEE d MMMM");
        EXPECT_EQ(dates.date, "d MMMM y");
        EXPECT_EQ(dates.month, "MMMM y");
        EXPECT_EQ(dates.time, "HH:mm");
    }
    {
        // What the book printed before it followed the locale.
        const ScopedLocale american(QLocale(QLocale::English, QLocale::UnitedStates));
        const BookFile::Dates dates = BookDates::ofLocale();
        EXPECT_EQ(dates.day, "EEEE, MMMM d");
        EXPECT_EQ(dates.date, "MMMM d, y");
        EXPECT_EQ(dates.month, "MMMM y");
        // Newer locale data puts a narrow no-break space before the "a".
        EXPECT_TRUE(dates.time == "h:mm a" || dates.time == QStringLiteral("h:mm\u202Fa"))
            << dates.time.toStdString();
    }
    {
        const ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(BookDates::ofLocale().day, "EEEE, d. MMMM");
        EXPECT_EQ(BookDates::ofLocale().date, "d. MMMM y");
        EXPECT_EQ(BookDates::ofLocale().time, "HH:mm");
    }
}

TEST(BookDates, MendChangesTheBookOnlyWhenTheLocaleWritesOtherwise)
{
    const ScopedLocale british(QLocale(QLocale::English, QLocale::UnitedKingdom));
    BookFile book = emptyBook();
    EXPECT_TRUE(BookDates::mend(book));
    ASSERT_TRUE(book.dates);
    EXPECT_EQ(book.dates->date, "d MMMM y");
    EXPECT_FALSE(BookDates::mend(book));

    const ScopedLocale american(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(BookDates::mend(book));
    EXPECT_EQ(book.dates->date, "MMMM d, y");
}
