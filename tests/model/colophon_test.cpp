// The line under the title while the user has written none: the years of
// the range, told apart from a line the user wrote in books of every age.
#include "model/colophon.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

const QString dash = QString(QChar(0x2013));

// Messages on 2019-06-01 and 2022-08-01, the line as given, no range.
BookFile bookOf(const QString &line)
{
    BookFile book;
    book.front.title = QStringLiteral("You & Sam");
    book.front.colophon = line;
    for (const char *at : { "2019-06-01T10:00:00", "2022-08-01T10:00:00" }) {
        BookFile::Message message;
        message.id = QString::fromLatin1(at);
        message.at = QString::fromLatin1(at);
        message.from = QStringLiteral("me");
        message.text = QStringLiteral("hi");
        book.messages.append(message);
    }
    return book;
}

} // namespace

TEST(Colophon, YearsAreOneYearOrTwoJoinedByAnEnDash)
{
    EXPECT_EQ(Colophon::years("2022-01-01", "2022-12-31"), "2022");
    EXPECT_EQ(Colophon::years("2019-06-01", "2022-08-01"), "2019" + dash + "2022");
    EXPECT_EQ(Colophon::years(QString(), QString()), QString());
}

TEST(Colophon, TheRangesYearsComeFromItsStoredEndsElseTheMessages)
{
    BookFile book = bookOf(QString());
    EXPECT_EQ(Colophon::ofRange(book), "2019" + dash + "2022");
    book.edits.range = Edits::DayRange { QStringLiteral("2022-01-01"), std::nullopt };
    EXPECT_EQ(Colophon::ofRange(book), "2022");
    book.edits.range = Edits::DayRange { std::nullopt, QStringLiteral("2020-03-01") };
    EXPECT_EQ(Colophon::ofRange(book), "2019" + dash + "2020");
}

// Books saved before the app kept track hold the whole conversation's years
// or the range's; anything else is the user's, and so is anything marked.
TEST(Colophon, OnlyALineTheAppWroteFollowsTheRange)
{
    BookFile book = bookOf("2019" + dash + "2022");
    book.edits.range = Edits::DayRange { QStringLiteral("2022-01-01"), std::nullopt };
    EXPECT_TRUE(Colophon::followsRange(book));
    book.front.colophon = QStringLiteral("2022");
    EXPECT_TRUE(Colophon::followsRange(book));

    for (const QString &own : { QStringLiteral("Our story"), QString(), QStringLiteral("2021") }) {
        book.front.colophon = own;
        EXPECT_FALSE(Colophon::followsRange(book)) << own.toStdString();
    }
    book.front.colophon = QStringLiteral("2022");
    book.front.colophonTyped = true;
    EXPECT_FALSE(Colophon::followsRange(book));
}

TEST(Colophon, MendingPutsTheRangesYearsInALineThatFollowsIt)
{
    BookFile book = bookOf("2019" + dash + "2022");
    book.edits.range = Edits::DayRange { QStringLiteral("2022-01-01"), std::nullopt };
    EXPECT_TRUE(Colophon::mend(book));
    EXPECT_EQ(book.front.colophon, "2022");
    EXPECT_FALSE(Colophon::mend(book));

    book.front.colophon = QStringLiteral("Our story");
    EXPECT_FALSE(Colophon::mend(book));
    EXPECT_EQ(book.front.colophon, "Our story");
}

// The mark is written only when the user wrote the line, so books the app
// made read as they did, and an older book without it reads as unmarked.
TEST(Colophon, TheTypedMarkIsStoredOnlyWhenSet)
{
    BookFile::Front front { QStringLiteral("You & Sam"), QStringLiteral("2022"), {} };
    EXPECT_FALSE(front.toJson().contains(QStringLiteral("colophonTyped")));
    front.colophonTyped = true;
    const QJsonObject written = front.toJson();
    EXPECT_EQ(written.value(QStringLiteral("colophonTyped")), QJsonValue(true));
    EXPECT_TRUE(BookFile::Front::fromJson(written).colophonTyped);

    const QJsonObject older
        = QJsonDocument::fromJson(R"({"title": "You & Sam", "colophon": "2019–2022", "dedication": []})")
              .object();
    EXPECT_FALSE(BookFile::Front::fromJson(older).colophonTyped);
}
