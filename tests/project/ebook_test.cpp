// Making the ebook of an open book with the real typst and message tool.
#include "model/helpers.h"
#include "projecttest.h"

#include <QFileInfo>
#include <QImage>

namespace {

class EbookTest : public ::testing::Test
{
protected:
    EbookTest()
    {
        BookFile book = bookOf({ "one", "two", "three" });
        book.front.title = QStringLiteral("Us / Them");
        m_project = openExisting(book);
    }

    QString ebookFolder() const { return m_project->folder() + "/ebook"; }

    BooksFolder m_books;
    ManualClock m_clock;
    std::unique_ptr<Project> m_project;
};

TEST_F(EbookTest, TheCoverIsTheFrontOfASheetOfAtLeastFortyPages)
{
    // Not typeset yet: a page count of 0 is drawn as 40 pages.
    TestSupport::failureOf(m_project->makeEbook());
    const QImage cover(ebookFolder() + "/cover.png");
    // At 320 ppi the sheet is (40 / 444 + 10.31) in wide; the front is what
    // lies after back panel, spine and bleed, less the outer bleed: 5 × 8 in
    // and a pixel the truncation leaves.
    EXPECT_EQ(cover.size(), QSize(1601, 2560));
    EXPECT_TRUE(QFileInfo::exists(m_project->folder() + "/cover-sheet.png"));
}

TEST_F(EbookTest, AnEbookFolderThatCantBeMadeFailsBeforeAnythingIsRendered)
{
    TestSupport::writeFile(ebookFolder(), "a file in the way");
    const std::optional<QString> failure = TestSupport::failureOf(m_project->makeEbook());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(ebookFolder())) << failure->toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_project->folder() + "/cover-sheet.png"));
}

TEST_F(EbookTest, TheEbookIsNamedByTheTitleAndMadeAgainInPlace)
{
    ASSERT_TRUE(QFileInfo::exists(Helpers::resources() + "/templates/ebook/resolved.typ"))
        << "the ebook template is not staged";
    const QString epub = TestSupport::await(m_project->makeEbook());
    EXPECT_EQ(epub, ebookFolder() + "/Us - Them.epub");
    EXPECT_TRUE(QFileInfo(epub).size() > 0);
    EXPECT_FALSE(QFileInfo::exists(ebookFolder() + "/Us - Them.resolved.json"));
    EXPECT_EQ(TestSupport::await(m_project->makeEbook()), epub);
    EXPECT_EQ(QDir(ebookFolder()).entryList(QDir::Files).size(), 2);
}

// "File name too long" for a 300-character title: the ebook and the files
// made beside it are named by the title cut as the PDF's name is.
TEST_F(EbookTest, ATitleLongerThanAFileNameStillMakesTheEbook)
{
    for (const QString &title : { QString(300, u'A'), QString(200, QChar(0x00E9)) }) {
        BookFile book = m_project->book();
        book.front.title = title;
        m_project->setBook(book);
        m_project->saveAndTypeset();
        const QString epub = TestSupport::await(m_project->makeEbook());
        EXPECT_EQ(QFileInfo(epub).absolutePath(), ebookFolder());
        EXPECT_TRUE(QFileInfo(epub).fileName().endsWith(QStringLiteral(".epub")));
        EXPECT_LE(QFileInfo(epub).fileName().toUtf8().size(), 255);
        EXPECT_TRUE(QFileInfo(epub).fileName().startsWith(title.left(100)));
        EXPECT_GT(QFileInfo(epub).size(), 0);
        EXPECT_EQ(QDir(ebookFolder()).entryList({ QStringLiteral("*.json") }, QDir::Files), QStringList());
    }
}

} // namespace
