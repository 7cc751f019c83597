#include "project/typesetcache.h"
#include "projecttest.h"

#include <QRegularExpression>

using namespace std::chrono_literals;

namespace {

class TypesetCacheTest : public ::testing::Test
{
protected:
    QString folder() const { return m_dir.path(); }
    QString typesets(const QString &name) const { return m_dir.filePath("typesets/" + name); }

    // Stores a PDF under key with a modification date minutes ago.
    void storeAged(const QString &key, int minutes)
    {
        const QString out = m_dir.filePath("out.pdf");
        TestSupport::writeFile(out, "pdf " + key.toUtf8());
        Layout layout;
        layout.pageCount = minutes;
        ASSERT_TRUE(TypesetCache::store(key, out, layout, folder()));
        QFile pdf(typesets(key + ".pdf"));
        pdf.open(QIODevice::ReadOnly);
        pdf.setFileTime(m_clock.now().addSecs(-60 * minutes), QFileDevice::FileModificationTime);
    }

    QTemporaryDir m_dir;
    ManualClock m_clock;
};

TEST_F(TypesetCacheTest, KeysFollowBytesAndStyle)
{
    const QString book = m_dir.filePath("book.json");
    TestSupport::writeFile(book, "{}");
    const QString key = *TypesetCache::key(book, "novel");
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]{32}$").match(key).hasMatch());
    EXPECT_EQ(key, TypesetCache::keyOf("{}", "novel"));
    EXPECT_NE(key, TypesetCache::keyOf("{}", "ebook"));
    EXPECT_NE(key, TypesetCache::keyOf("{ }", "novel"));
    EXPECT_FALSE(TypesetCache::key(m_dir.filePath("missing.json"), "novel"));
    EXPECT_EQ(TypesetCache::toolkit().size(), 64);
}

TEST_F(TypesetCacheTest, TheToolkitDigestSeesEveryFileAndTheEmojiFolder)
{
    const QString root = m_dir.filePath("fonts");
    QDir().mkpath(root + "/.hidden");
    TestSupport::writeFile(root + "/.hidden/a.ttf", "a");
    const QString plain = TypesetCache::digestOf({ root }, std::nullopt);
    EXPECT_NE(plain, TypesetCache::digestOf({ root }, QStringLiteral("/emoji")));
    TestSupport::writeFile(root + "/.hidden/a.ttf", "b");
    EXPECT_NE(plain, TypesetCache::digestOf({ root }, std::nullopt));
    QDir().mkpath(root + "/empty");
    EXPECT_NE(plain, TypesetCache::digestOf({ root }, std::nullopt));
}

TEST_F(TypesetCacheTest, AnEntryNeedsItsPdfAndAWholeRecord)
{
    Layout layout;
    layout.days.insert("2024-03-05", { 1, 2 });
    layout.pins = { { "m1", 4, 3, true } };
    layout.pageCount = 7;
    layout.chapterPages = { 1, 5 };
    TestSupport::writeFile(m_dir.filePath("book-1.pdf"), "pdf");
    ASSERT_EQ(TypesetCache::store("k", m_dir.filePath("book-1.pdf"), layout, folder()), typesets("k.pdf"));
    EXPECT_FALSE(QFile::exists(m_dir.filePath("book-1.pdf")));
    const auto entry = TypesetCache::load("k", folder());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->layout, layout);
    EXPECT_EQ(entry->layout.days, layout.days);
    EXPECT_EQ(entry->layout.chapterPages, layout.chapterPages);

    TestSupport::writeFile(typesets("k.json"),
        R"({"days": {"2024-03-05": [3], "2024-03-06": [1, 2, 3], "2024-03-07": [4, 5]}, "pins": [],
            "pageCount": 9, "chapterPages": []})");
    EXPECT_EQ(TypesetCache::load("k", folder())->layout.days.keys(), QStringList { "2024-03-07" });
    TestSupport::writeFile(typesets("k.json"), R"({"days": {}, "pins": [], "pageCount": 9})");
    EXPECT_FALSE(TypesetCache::load("k", folder()));
    QFile::remove(typesets("k.json"));
    EXPECT_FALSE(TypesetCache::load("k", folder()));

    // A failed move reports nothing stored and leaves no old PDF of the key.
    EXPECT_FALSE(TypesetCache::store("k", m_dir.filePath("gone.pdf"), layout, folder()));
    EXPECT_FALSE(QFile::exists(typesets("k.pdf")));
}

TEST_F(TypesetCacheTest, PruningKeepsTheTwelveMostRecentlyUsed)
{
    for (int i = 0; i < 12; ++i)
        storeAged(QStringLiteral("e%1").arg(i), 100 - i);
    TestSupport::writeFile(typesets("stray.json"), "{}");
    EXPECT_EQ(QDir(typesets("")).entryList({ "*.pdf" }).size(), 12);

    // The oldest entry is used again, so the next oldest goes.
    ASSERT_TRUE(TypesetCache::load("e0", folder()));
    storeAged("e12", 0);
    EXPECT_TRUE(QFile::exists(typesets("e0.pdf")));
    EXPECT_FALSE(QFile::exists(typesets("e1.pdf")));
    EXPECT_FALSE(QFile::exists(typesets("e1.json")));
    EXPECT_TRUE(QFile::exists(typesets("stray.json")));
    EXPECT_EQ(QDir(typesets("")).entryList({ "*.pdf" }).size(), 12);
}

} // namespace
