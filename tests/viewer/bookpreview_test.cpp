#include "ui/style.h"
#include "viewer/bookpreview.h"
#include "viewer/pagecache.h"
#include "viewer/spreadlayout.h"
#include "viewertest.h"

#include <QScrollBar>
#include <QSignalSpy>

namespace {

using TestSupport::waitUntil;

class BookPreviewTest : public ::testing::Test
{
protected:
    BookPreviewTest()
    {
        preview.resize(900, 700);
        preview.show();
    }

    // A PDF of blank pages, a new file each time as typesetting writes them.
    QString blank(int pages)
    {
        const QString path = dir.filePath(QStringLiteral("book-%1.pdf").arg(++written));
        TestSupport::writeFile(path, blankPdf(pages));
        return path;
    }

    bool shows(int pages)
    {
        return waitUntil([&] { return !preview.isLoading() && preview.pageCount() == pages; });
    }

    QTemporaryDir dir;
    int written = 0;
    BookPreview preview;
};

TEST_F(BookPreviewTest, TheReaderKeepsTheirPageAcrossANewPdfClampedToItsEnd)
{
    preview.setUrl(blank(120));
    ASSERT_TRUE(shows(120));
    preview.jump(57);
    EXPECT_EQ(preview.currentPage(), 57);
    EXPECT_FALSE(preview.pendingJump());
    const int place = preview.verticalScrollBar()->value();

    preview.setUrl(blank(100));
    ASSERT_TRUE(shows(100));
    EXPECT_EQ(preview.currentPage(), 57);
    EXPECT_EQ(preview.verticalScrollBar()->value(), place);

    preview.setUrl(blank(40));
    ASSERT_TRUE(shows(40));
    EXPECT_EQ(preview.currentPage(), 39);
    EXPECT_EQ(preview.pageLabel(), "Page 40 of 40");
}

TEST_F(BookPreviewTest, TheSamePathAgainOrNoPathChangesNothing)
{
    const QString path = blank(30);
    preview.setUrl(path);
    ASSERT_TRUE(shows(30));
    preview.jump(9);
    preview.setZoom(2);
    QSignalSpy shown(&preview, &BookPreview::documentShown);
    preview.setUrl(path);
    preview.setUrl(QString());
    QTest::qWait(100);
    EXPECT_EQ(shown.count(), 0);
    EXPECT_FALSE(preview.isLoading());
    EXPECT_EQ(preview.currentPage(), 9);
    EXPECT_EQ(preview.zoom(), 2);
    EXPECT_EQ(preview.url(), path);
}

TEST_F(BookPreviewTest, AJumpBeforeAnyPdfWaitsForOneThatHasThePage)
{
    preview.jump(10);
    EXPECT_EQ(preview.pendingJump(), 10);
    preview.setUrl(blank(200));
    ASSERT_TRUE(shows(200));
    EXPECT_EQ(preview.currentPage(), 9); // the left page of the spread 9–10
    EXPECT_EQ(preview.pageLabel(), "Pages 10\u201311 of 200");
    EXPECT_FALSE(preview.pendingJump());
}

TEST_F(BookPreviewTest, AJumpPastTheEndIsDroppedByTheNextPdfThatLacksItToo)
{
    preview.setUrl(blank(20));
    ASSERT_TRUE(shows(20));
    preview.jump(30);
    EXPECT_EQ(preview.pendingJump(), 30);
    EXPECT_EQ(preview.currentPage(), 0);
    // Not left waiting to fire after some later typesetting.
    preview.setUrl(blank(25));
    ASSERT_TRUE(shows(25));
    EXPECT_FALSE(preview.pendingJump());
    EXPECT_EQ(preview.currentPage(), 0);
    preview.setUrl(blank(40));
    ASSERT_TRUE(shows(40));
    EXPECT_EQ(preview.currentPage(), 0);
}

TEST_F(BookPreviewTest, AFileThatCantBeReadShowsNoPagesAndIsNotRetried)
{
    preview.setUrl(blank(12));
    ASSERT_TRUE(shows(12));
    const QString broken = dir.filePath(QStringLiteral("broken.pdf"));
    TestSupport::writeFile(broken, "%PDF-1.4 not really");
    QSignalSpy shown(&preview, &BookPreview::documentShown);
    preview.setUrl(broken);
    ASSERT_TRUE(waitUntil([&] { return !shown.isEmpty(); }));
    EXPECT_EQ(preview.pageCount(), 0);
    EXPECT_EQ(preview.url(), broken);
    EXPECT_TRUE(preview.pageLabel().isEmpty());
    preview.setUrl(broken);
    EXPECT_FALSE(preview.isLoading());
}

// The book numbers its pages from the first after its front: the label
// names them so, and the front, which shows no number, by none.
TEST_F(BookPreviewTest, PagesAreNamedByTheirNumbersFromPageOne)
{
    preview.setUrl(blank(10));
    ASSERT_TRUE(shows(10));
    preview.setPageOne(2);
    EXPECT_EQ(preview.pageLabel(), "10 pages");
    preview.jump(1);
    EXPECT_EQ(preview.pageLabel(), "Page 1 of 10");
    preview.jump(3);
    EXPECT_EQ(preview.pageLabel(), "Pages 2\u20133 of 10");
    preview.jump(9);
    EXPECT_EQ(preview.pageLabel(), "Page 8 of 10");
    // A front of four pages: the spread before page 1 has no number at all.
    preview.setPageOne(4);
    preview.jump(1);
    EXPECT_EQ(preview.pageLabel(), "10 pages");
    preview.jump(3);
    EXPECT_EQ(preview.pageLabel(), "Page 1 of 10");
    preview.setPageOne(std::nullopt);
    EXPECT_EQ(preview.pageLabel(), "Pages 4\u20135 of 10");
}

TEST_F(BookPreviewTest, KeysPageThroughSpreads)
{
    preview.setUrl(blank(10));
    ASSERT_TRUE(shows(10));
    preview.setFocus();
    EXPECT_EQ(preview.pageLabel(), "Page 1 of 10");
    QTest::keyClick(&preview, Qt::Key_Right);
    EXPECT_EQ(preview.currentPage(), 1);
    EXPECT_EQ(preview.pageLabel(), "Pages 2\u20133 of 10");
    QTest::keyClick(&preview, Qt::Key_PageDown);
    QTest::keyClick(&preview, Qt::Key_Space);
    EXPECT_EQ(preview.currentPage(), 5);
    QTest::keyClick(&preview, Qt::Key_PageUp);
    EXPECT_EQ(preview.currentPage(), 3);
    QTest::keyClick(&preview, Qt::Key_End);
    EXPECT_EQ(preview.currentPage(), 9);
    EXPECT_EQ(preview.pageLabel(), "Page 10 of 10");
    QTest::keyClick(&preview, Qt::Key_Left);
    EXPECT_EQ(preview.currentPage(), 7);
    QTest::keyClick(&preview, Qt::Key_Home);
    EXPECT_EQ(preview.currentPage(), 0);
    QTest::keyClick(&preview, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(preview.zoom(), 1);
    QTest::keyClick(&preview, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(preview.zoom(), 1);
}

TEST_F(BookPreviewTest, ZoomedAllTheWayInTheCacheStaysWithinItsCapacity)
{
    preview.resize(1400, 1000);
    preview.setUrl(blank(60));
    ASSERT_TRUE(shows(60));
    preview.setZoom(BookPreview::largestZoom);
    for (int step = 0; step < 12; ++step) {
        QTest::keyClick(&preview, Qt::Key_PageDown);
        ASSERT_TRUE(waitUntil([&] { return preview.isComplete(); }));
        EXPECT_LE(preview.cacheBytes(), BookPreview::cacheCapacity);
    }
    EXPECT_TRUE(preview.isComplete());
}

TEST(SpreadLayoutTest, TheFirstPageStandsAloneOnTheRightThenPagesFaceEachOther)
{
    const SpreadLayout layout(QList<QSizeF>(5, QSizeF(360, 576)), QSize(1000, 2000), 1);
    ASSERT_EQ(layout.pages(), SpreadLayout::Pages::Facing);
    EXPECT_EQ(layout.rowCount(), 3);
    const int spine = layout.contentSize().width() / 2;
    EXPECT_EQ(layout.pageRect(0).left(), spine);
    EXPECT_EQ(layout.pageRect(1).right() + 1, spine);
    EXPECT_EQ(layout.pageRect(2).left(), spine);
    EXPECT_EQ(layout.pageRect(1).top(), layout.pageRect(2).top());
    EXPECT_EQ(layout.pageRect(3).right() + 1, spine);
    EXPECT_EQ(layout.rowOf(4), 2);
    // Fitted to the width, within the margins, in a tall view; to the
    // height in a wide one.
    EXPECT_EQ(layout.pageRect(1).left(), SpreadLayout::margin);
    const SpreadLayout wide(QList<QSizeF>(5, QSizeF(360, 576)), QSize(1600, 700), 1);
    EXPECT_EQ(wide.pageRect(1).height(), 700 - 2 * SpreadLayout::margin);
    EXPECT_EQ(wide.pageRect(2).left(), wide.contentSize().width() / 2);
    EXPECT_EQ(layout.rowAt(layout.rowRect(1).top() + 5), 1);
    EXPECT_EQ(layout.rowAt(-50), 0);
    EXPECT_EQ(layout.rowAt(1 << 20), 2);

    // Too narrow for two pages: one a row, centred.
    const SpreadLayout narrow(QList<QSizeF>(5, QSizeF(360, 576)), QSize(400, 900), 1);
    EXPECT_EQ(narrow.pages(), SpreadLayout::Pages::Single);
    EXPECT_EQ(narrow.rowCount(), 5);
    EXPECT_EQ(narrow.rowOf(3), 3);
}

// Fitted, a spread never runs a pixel past the view, whatever the width:
// rounding each page up would show a sideways scroll bar.
TEST(SpreadLayoutTest, FittedPagesNeverRunPastTheView)
{
    const QList<QSizeF> pages(9, QSizeF(419.53, 595.28));
    for (int across = 300; across <= 1400; ++across) {
        for (const int down : { 560, 2000 }) {
            const SpreadLayout layout(pages, QSize(across, down), 1);
            ASSERT_EQ(layout.contentSize().width(), across) << across << "x" << down;
            for (int page = 0; page < pages.size(); ++page)
                ASSERT_LE(layout.pageRect(page).right(), across - SpreadLayout::margin)
                    << across << " " << page;
        }
    }
}

TEST(PageCacheTest, TheLeastRecentlyUsedGoFirstButNeverWhatIsKept)
{
    QImage tile(100, 100, QImage::Format_RGB32);
    const qint64 size = PageCache::bytesOf(tile);
    PageCache cache(3 * size);
    const auto key = [](int page) { return PageCache::Key { 1, page, 100, 0, 0 }; };
    cache.insert(key(0), tile);
    cache.insert(key(1), tile);
    cache.insert(key(2), tile);
    EXPECT_FALSE(cache.find(key(0)).isNull()); // 1 is now the oldest
    cache.insert(key(3), tile, { key(1) });
    EXPECT_TRUE(cache.contains(key(1)));
    EXPECT_FALSE(cache.contains(key(2)));
    EXPECT_EQ(cache.bytes(), 3 * size);

    // Stand-ins: the same page at another width or of another document.
    cache.insert({ 2, 1, 100, 0, 0 }, tile, { key(1) });
    cache.insert({ 1, 1, 200, 0, 0 }, tile, { key(1) });
    EXPECT_EQ(cache.others(2, 1, 100).size(), 2);
    EXPECT_LE(cache.bytes(), 3 * size);
}

TEST(PageCacheTest, APageIsCutIntoTilesOnlyWhereItIsWanted)
{
    const QSize page(2500, 3000);
    EXPECT_EQ(PageCache::tilesOf(1, 0, page, QRect(0, 0, 2500, 3000)).size(), 9);
    const QList<PageCache::Key> corner = PageCache::tilesOf(1, 0, page, QRect(2400, 2900, 500, 500));
    ASSERT_EQ(corner.size(), 1);
    EXPECT_EQ(PageCache::tileRect(corner.first(), page), QRect(2048, 2048, 452, 952));
    EXPECT_TRUE(PageCache::tilesOf(1, 0, page, QRect(3000, 0, 10, 10)).isEmpty());
    EXPECT_EQ(PageCache::tilesOf(1, 0, QSize(600, 900), QRect(0, 0, 600, 900)).size(), 1);
}

} // namespace

TEST_F(BookPreviewTest, TheDeskAndItsPageCountStandOutInBothAppearances)
{
    preview.setUrl(blank(40));
    ASSERT_TRUE(shows(40));
    TestSupport::inBothAppearances([&](const QString &name) {
        QTest::qWait(20);
        const QImage image = preview.grab().toImage();
        const QColor desk = image.pixelColor(3, 3);
        // The desk isn't the colour of the panes beside it, and the scroll
        // bar stands on it rather than on a strip of the window.
        EXPECT_GT(TestSupport::contrast(desk, QApplication::palette().color(QPalette::Window)), 1.15)
            << name.toStdString();
        EXPECT_EQ(image.pixelColor(image.width() - 3, image.height() - 30), desk) << name.toStdString();

        // The pill: its fill beside the words stands off the desk, and the
        // words off the fill.
        const QFontMetrics metrics(Style::font(Style::Text::Subheadline, Style::Weight::Medium));
        const QString label = preview.pageLabel();
        const QSize pill(metrics.horizontalAdvance(label) + 20, metrics.height() + 8);
        const int viewportWidth = preview.viewport()->width();
        const int middle = preview.viewport()->height() - 14 - pill.height() / 2;
        const int left = (viewportWidth - pill.width()) / 2;
        const QColor fill = image.pixelColor(left + 5, middle);
        EXPECT_GT(TestSupport::contrast(fill, desk), 1.6) << name.toStdString();
        double words = 1;
        for (int x = left + 10; x < left + pill.width() - 10; ++x) {
            for (int y = middle - 3; y <= middle + 3; ++y)
                words = std::max(words, TestSupport::contrast(image.pixelColor(x, y), fill));
        }
        EXPECT_GT(words, 4.5) << name.toStdString();
    });
}
