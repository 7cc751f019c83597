// The real staged typst over the real book template.
#include "model/helpers.h"
#include "model/layout.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using TestSupport::await;

namespace {

const QByteArray pinnedBook = R"({
  "format": 1, "style": "novel",
  "front": {"title": "You & Ben", "colophon": "Our messages", "dedication": []},
  "people": [{"id": "me", "name": "Ann", "me": true}, {"id": "them", "name": "Ben", "me": false}],
  "messages": [
    {"id": "m1", "at": "2024-01-05T10:00:00", "from": "me", "text": "Hello there"},
    {"id": "m2", "at": "2024-01-06T11:30:00", "from": "them", "text": "Hi! 🙂"},
    {"id": "m3", "at": "2024-02-10T09:15:00", "from": "me", "text": "A month later"},
    {"id": "m4", "at": "2024-02-11T21:00:00", "from": "them", "text": "Still here", "media": ["photo"]}
  ],
  "edits": {"pins": [{"id": "m3", "page": 12}]},
  "design": {"font": "pagella", "chapters": "month", "receipt": false,
             "cover": {"style": "cloth", "color": "oxblood"}}
})";

} // namespace

TEST(Typesetter, CompilesABookToPdfAndReportsItsLayout)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/a book XXXXXX"));
    const QString book = dir.filePath(QStringLiteral("book.json"));
    const QString pdf = dir.filePath(QStringLiteral("book-1.pdf"));
    TestSupport::writeFile(book, pinnedBook);

    auto compile = Helpers::typeset(book, QStringLiteral("novel"), pdf);
    auto query = Helpers::layout(book, QStringLiteral("novel"));
    await(std::move(compile));
    const Layout layout = await(std::move(query));

    EXPECT_TRUE(TestSupport::readFile(pdf).startsWith("%PDF"));
    EXPECT_EQ(layout.pageCount, 0);
    EXPECT_EQ(layout.days.size(), 4);
    for (const char *day : { "2024-01-05", "2024-01-06", "2024-02-10", "2024-02-11" })
        EXPECT_TRUE(layout.days.contains(QString::fromLatin1(day))) << day;
    EXPECT_LE(layout.days.value(QStringLiteral("2024-01-05")).index,
        layout.days.value(QStringLiteral("2024-02-10")).index);

    ASSERT_EQ(layout.pins.size(), 1);
    const Layout::PinResult pin = layout.pins.first();
    EXPECT_EQ(pin.id, QStringLiteral("m3"));
    EXPECT_TRUE(pin.ok);
    EXPECT_EQ(pin.page, 12);
    EXPECT_LT(pin.natural, 12);

    ASSERT_EQ(layout.chapterPages.size(), 2);
    EXPECT_LT(layout.chapterPages[0], layout.chapterPages[1]);
}

TEST(Typesetter, ABrokenBookFailsWithTypstsOwnWords)
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("book.json"));
    TestSupport::writeFile(book, "{ not json");
    try {
        await(Helpers::typeset(book, QStringLiteral("novel"), dir.filePath(QStringLiteral("out.pdf"))));
        FAIL() << "a broken book must not typeset";
    } catch (const Helpers::Failure &failure) {
        EXPECT_EQ(failure.tool(), QStringLiteral("typst"));
        EXPECT_NE(failure.status(), 0);
        EXPECT_TRUE(failure.message().contains(QStringLiteral("error"))) << failure.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.pdf"))));
}
