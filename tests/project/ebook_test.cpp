// Making the ebook of an open book with the real typst and message tool.
#include "model/coverrender.h"
#include "model/helpers.h"
#include "model/ziparchive.h"
#include "project/bookhome.h"
#include "projecttest.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

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
    // Only the front was drawn, and nothing of its drawing stays behind.
    EXPECT_EQ(QDir(m_project->folder()).entryList({ QStringLiteral("cover*") }, QDir::Files), QStringList());
}

TEST_F(EbookTest, AnEbookFolderThatCantBeMadeFailsBeforeAnythingIsRendered)
{
    TestSupport::writeFile(ebookFolder(), "a file in the way");
    const std::optional<QString> failure = TestSupport::failureOf(m_project->makeEbook());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(ebookFolder())) << failure->toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_project->folder() + "/cover-sheet.png"));
}

// The cover is drawn while the book is resolved beside it: a cover that
// can't be saved still ends the ebook, after both, with nothing left over.
TEST_F(EbookTest, ACoverThatCantBeSavedFailsTheEbookAndLeavesNothing)
{
    ASSERT_TRUE(QDir().mkpath(ebookFolder() + "/cover.png/in the way"));
    const std::optional<QString> failure = TestSupport::failureOf(m_project->makeEbook());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(ebookFolder() + "/cover.png")) << failure->toStdString();
    EXPECT_EQ(QDir(ebookFolder()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(QDir(m_project->folder()).entryList({ QStringLiteral("cover*") }, QDir::Files), QStringList());
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

// The files of an EPUB by name, with the moment it was written left out.
QMap<QString, QByteArray> entriesOf(const QString &epub)
{
    QTemporaryDir dir;
    ZipArchive::extract(epub, dir.path());
    static const QRegularExpression modified(
        QStringLiteral("<meta property=\"dcterms:modified\">[^<]*</meta>"));
    QMap<QString, QByteArray> entries;
    QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        entries.insert(QDir(dir.path()).relativeFilePath(file.fileName()),
            QString::fromUtf8(file.readAll()).remove(modified).toUtf8());
    }
    return entries;
}

// How far two pictures of one size lie apart: the mean difference of a
// colour channel, and the share of pixels with a channel off by more than 8.
struct Apart
{
    double mean = 0;
    double farShare = 0;
};

Apart apart(const QImage &a, const QImage &b)
{
    qint64 sum = 0, far = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *lineA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *lineB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int dr = std::abs(qRed(lineA[x]) - qRed(lineB[x]));
            const int dg = std::abs(qGreen(lineA[x]) - qGreen(lineB[x]));
            const int db = std::abs(qBlue(lineA[x]) - qBlue(lineB[x]));
            sum += dr + dg + db;
            far += std::max({ dr, dg, db }) > 8;
        }
    }
    const double pixels = double(a.width()) * a.height();
    return { sum / (3 * pixels), far / pixels };
}

// The cover drawn alone is the front that cutting the whole sheet gives,
// over a photo and under the title: pixel for pixel when the photo is
// drawn as it is, and within resampling's rounding when a photo larger
// than the cover needs is cut and scaled first; and the ebook around it is
// the same, word for word.
TEST_F(EbookTest, TheCoverDrawnAloneIsTheFrontCutFromTheWholeSheet)
{
    for (const QSize size : { QSize(1200, 900), QSize(4000, 3000) }) {
        const bool cut = size.width() > 2000;
        QImage photo(size, QImage::Format_RGB32);
        QPainter painter(&photo);
        painter.scale(size.width() / 1200.0, size.height() / 900.0);
        QLinearGradient sky(0, 0, 0, 900);
        sky.setColorAt(0, QColor(60, 100, 170));
        sky.setColorAt(1, QColor(230, 170, 120));
        painter.fillRect(QRect(0, 0, 1200, 900), sky);
        painter.fillRect(QRect(650, 250, 260, 260), QColor(250, 220, 60));
        painter.end();
        const QString picture = m_project->folder() + "/photo.jpg";
        ASSERT_TRUE(photo.save(picture, "JPEG", 90));
        BookFile book = m_project->book();
        book.design = Design();
        book.design->cover.style = QStringLiteral("photo");
        book.design->cover.fit = QStringLiteral("bleed");
        book.design->cover.image = picture;
        m_project->setBook(book);
        m_project->saveAndTypeset();

        const QString epub = TestSupport::await(m_project->makeEbook());
        const QImage fast = QImage(ebookFolder() + "/cover.png").convertToFormat(QImage::Format_RGB32);
        QTemporaryDir reference;
        const std::optional<QImage> cutFromSheet = BookHome::frontPanel(
            TestSupport::await(Helpers::renderCoverSheet(m_project->book(), 40, 320, reference.path())), 40);
        ASSERT_TRUE(cutFromSheet);
        const QImage slow = cutFromSheet->convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(fast.size(), slow.size());
        if (!cut) {
            EXPECT_TRUE(fast == slow);
        } else {
            const Apart away = apart(fast, slow);
            EXPECT_LT(away.mean, 1.0);
            EXPECT_LT(away.farShare, 0.005);
            // Drawn over the cut, which stays for the next ebook.
            EXPECT_EQ(QDir(m_project->folder()).entryList({ QStringLiteral("cover-photo-*.jpg") }).size(), 1);
        }
        const QString slowCover = reference.filePath("cover.png");
        ASSERT_TRUE(slow.save(slowCover));
        const QString slowEpub = reference.filePath("book.epub");
        TestSupport::await(Helpers::makeEbook(
            m_project->folder() + "/book.json", m_project->conversation().id(), slowCover, slowEpub));
        QMap<QString, QByteArray> made = entriesOf(epub);
        QMap<QString, QByteArray> wanted = entriesOf(slowEpub);
        ASSERT_TRUE(made.contains("OEBPS/cover.png"));
        made.remove("OEBPS/cover.png");
        wanted.remove("OEBPS/cover.png");
        EXPECT_EQ(made, wanted);
    }
}

} // namespace
