// Print files: real typst on a book that needs two volumes, and controlled
// runs for the limits of padding, unreadable interiors and re-spining.
#include "model/helpers.h"
#include "project/bookhome.h"
#include "projecttest.h"

#include <QFileInfo>
#include <QPdfDocument>
#include <QProcess>

using namespace std::chrono_literals;

namespace {

QString valueOf(const QStringList &arguments, const QString &key)
{
    for (const QString &argument : arguments)
        if (argument.startsWith(key + QLatin1Char('=')))
            return argument.mid(key.size() + 1);
    return {};
}

QString textOf(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { pdf, "-" });
    pdftotext.waitForFinished(60000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
}

QSizeF pageSize(const QString &pdf)
{
    QPdfDocument document;
    if (document.load(pdf) != QPdfDocument::Error::None)
        return {};
    return document.pagePointSize(0);
}

int pagesOf(const QString &pdf)
{
    QPdfDocument document;
    return document.load(pdf) == QPdfDocument::Error::None ? document.pageCount() : -1;
}

// The real typst on a book of 48 days with one long message each.
class RealPrintTest : public ::testing::Test
{
protected:
    RealPrintTest()
    {
        QStringList texts;
        for (int i = 0; i < 48; ++i)
            texts << QStringLiteral("day%1 ").arg(i, 2, 10, QLatin1Char('0'))
                    + QStringLiteral("we walked along the river and talked about the garden, the weather and "
                                     "the long summer ahead of us. ")
                          .repeated(3);
        m_project = openExisting(bookOf(texts));
        m_clock.advance(0ms);
        EXPECT_TRUE(waitFor([&] { return !m_project->isTypesetting(); }));
        EXPECT_FALSE(m_project->error()) << m_project->error()->toStdString();
    }

    // A limit that splits the book into two volumes.
    int twoVolumeLimit() const
    {
        const Layout layout = m_project->layout();
        const int span = layout.days.last().printed - layout.days.first().printed + 1;
        return span / 2 + VolumePlan::reserved + 2;
    }

    BooksFolder m_books;
    ManualClock m_clock;
    std::unique_ptr<Project> m_project;
};

TEST_F(RealPrintTest, ABookOfTwoVolumesGetsPaddedInteriorsAndCoversOfItsOwnDays)
{
    const int limit = twoVolumeLimit();
    const QList<VolumePlan> plans = m_project->planVolumes(limit);
    ASSERT_EQ(plans.size(), 2);
    TestSupport::writeFile(m_project->folder() + "/print/interior-7.pdf", "stale");

    QList<std::pair<int, int>> progress;
    const QList<Project::PrintFile> files
        = TestSupport::await(m_project->preparePrintFiles(limit, [&](int n, int of) {
              progress.append({ n, of });
          }));
    EXPECT_EQ(progress, (QList<std::pair<int, int>> { { 1, 2 }, { 2, 2 } }));
    EXPECT_FALSE(QFile::exists(m_project->folder() + "/print/interior-7.pdf"));
    ASSERT_EQ(files.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const Project::PrintFile &file = files[i];
        EXPECT_EQ(file.interior, m_project->folder() + QStringLiteral("/print/interior-%1.pdf").arg(i + 1));
        EXPECT_EQ(file.cover, m_project->folder() + QStringLiteral("/print/cover-%1.pdf").arg(i + 1));
        EXPECT_EQ(file.plan, plans[i]);
        EXPECT_EQ(file.pages, pagesOf(file.interior));
        EXPECT_GE(file.pages, 32);
        EXPECT_EQ(file.pages % 2, 0);
        // The cover's spine is drawn for the padded interior.
        const double spine = BookHome::spineWidth(file.pages);
        EXPECT_NEAR(pageSize(file.cover).width(), (10.25 + spine) * 72, 0.5);
    }
    const QString first = textOf(files[0].interior);
    const QString second = textOf(files[1].interior);
    EXPECT_TRUE(first.contains(QLatin1String("day00")));
    EXPECT_FALSE(first.contains(QLatin1String("day47")));
    EXPECT_TRUE(second.contains(QLatin1String("day47")));
    EXPECT_FALSE(second.contains(QLatin1String("day00")));
}

// A pin in the middle of the book's last day puts its blank pages after
// the page on which that day begins: the book is planned by where the
// pinned message landed, not by where its day began.
TEST(RealPrintPinTest, APinnedMessageInTheLastDayIsWhereItsVolumeEnds)
{
    BooksFolder books;
    ManualClock clock;
    BookFile book = bookOf({ "first", "second", "third" });
    book.messages.append(textMessage("late", "2024-03-03T18:00:00", "pinned late in the day"));
    book.edits.pins = QList<Edits::Pin> { { "late", 60 } };
    const std::unique_ptr<Project> project(openExisting(book));
    clock.advance(0ms);
    ASSERT_TRUE(waitFor([&] { return !project->isTypesetting(); }));
    ASSERT_FALSE(project->error()) << project->error()->toStdString();
    ASSERT_EQ(project->layout().pins.size(), 1);
    EXPECT_TRUE(project->layout().pins[0].ok);
    EXPECT_LT(project->layout().days.last().printed, 5);
    EXPECT_GE(project->layout().pageCount, 60);

    const QList<VolumePlan> plans = project->planVolumes(50);
    ASSERT_EQ(plans.size(), 2);
    EXPECT_EQ(plans[0].to, "2024-03-02");
    EXPECT_EQ(plans[1].from, "2024-03-03");
}

TEST_F(RealPrintTest, CoversAreSetAgainWithThePrintersSpineAndWrap)
{
    const int limit = twoVolumeLimit();
    const QList<Project::PrintFile> files = TestSupport::await(m_project->preparePrintFiles(limit, {}));
    ASSERT_EQ(files.size(), 2);
    const QByteArray untouched = TestSupport::readFile(files[1].cover);

    // Volume 1 gets a wider spine and a wrap; volume 2's spine is the one
    // its cover already has, within a thousandth of an inch.
    const double estimate = BookHome::spineWidth(files[1].pages);
    TestSupport::await(
        m_project->respineCovers(files, { 0.75, estimate + 0.0009 }, { 0.5, std::nullopt }, limit));
    const QSizeF respined = pageSize(files[0].cover);
    EXPECT_NEAR(respined.width(), (2 * 0.5 + 10 + 0.75) * 72, 0.5);
    EXPECT_NEAR(respined.height(), (2 * 0.5 + 8) * 72, 0.5);
    EXPECT_EQ(TestSupport::readFile(files[1].cover), untouched);
}

// Controlled runs: a layout the test sets, and print runs that write PDFs of
// the page counts the test asks for.
class PrintTest : public ::testing::Test
{
protected:
    PrintTest()
    {
        m_project = openExisting(bookOf({ "one", "two", "three", "four" }));
        m_project->setTypesetter({ [](QString, QString, QString out) -> QCoro::Task<void> {
                                      TestSupport::writeFile(out, blankPdf(3));
                                      co_return;
                                  },
            [this](QString, QString) -> QCoro::Task<Layout> { co_return m_layout; } });
        m_project->setPrintRunner([this](QStringList arguments) -> QCoro::Task<void> {
            m_runs.append(arguments);
            const QString out = arguments.last();
            if (out.contains(QLatin1String("/interior-"))) {
                const int pad = valueOf(arguments, "pad").toInt();
                TestSupport::writeFile(out, m_interior ? *m_interior : blankPdf(m_pages + pad));
            } else {
                TestSupport::writeFile(out, blankPdf(1));
            }
            co_return;
        });
        setLayout({ 1, 40, 80, 100 });
    }

    // Days 2024-03-01 on, beginning on the given printed pages.
    void setLayout(const QList<int> &pages)
    {
        m_layout = {};
        for (int i = 0; i < pages.size(); ++i)
            m_layout.days.insert(QDate(2024, 3, 1).addDays(i).toString(Qt::ISODate), { pages[i], pages[i] });
        m_project->addWord(QStringLiteral("w%1").arg(++m_edits));
        m_clock.advance(350ms);
        EXPECT_FALSE(m_project->isTypesetting());
    }

    QList<QStringList> coverRuns() const
    {
        QList<QStringList> covers;
        for (const QStringList &run : m_runs)
            if (run.last().contains(QLatin1String("/cover-")))
                covers.append(run);
        return covers;
    }

    BooksFolder m_books;
    ManualClock m_clock;
    std::unique_ptr<Project> m_project;
    Layout m_layout;
    int m_edits = 0;
    int m_pages = 40;
    std::optional<QByteArray> m_interior;
    QList<QStringList> m_runs;
};

TEST_F(PrintTest, InteriorsArePaddedToAnEvenCountOfAtLeast32)
{
    const QList<std::pair<int, int>> cases { { 1, 31 }, { 30, 2 }, { 31, 1 }, { 32, 0 }, { 33, 1 },
        { 40, 0 } };
    for (const auto &[pages, pad] : cases) {
        m_runs.clear();
        m_pages = pages;
        const QList<Project::PrintFile> files = TestSupport::await(m_project->preparePrintFiles(780, {}));
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(files[0].pages, pages + pad) << pages;
        ASSERT_EQ(m_runs.size(), pad > 0 ? 3 : 2) << pages;
        const QStringList cover = m_runs.last();
        EXPECT_EQ(valueOf(cover, "pad"), pad > 0 ? QString::number(pad) : QString()) << pages;
        EXPECT_EQ(valueOf(cover, "pages"), QString::number(pages + pad));
    }
}

TEST_F(PrintTest, TheCommandLinesCarryTheVolumeInputsInOrder)
{
    m_pages = 32;
    const QList<Project::PrintFile> files = TestSupport::await(m_project->preparePrintFiles(40, {}));
    ASSERT_EQ(files.size(), 3);
    const QStringList interior = m_runs[2];
    const QStringList common = Helpers::typstArguments(m_project->folder() + "/book.json", "novel");
    EXPECT_EQ(interior,
        (QStringList { "compile" } + common
            + QStringList { "--input", "volume=2", "--input", "volumes=3", "--input", "first-chapter=1",
                "--input", "from=2024-03-02", "--input", "to=2024-03-02", Helpers::templateFile("novel"),
                files[1].interior }));
    EXPECT_EQ(m_runs[3].mid(common.size() + 12, 3),
        (QStringList { "pages=32", Helpers::resources() + "/templates/novel/cover.typ", files[1].cover }));
}

// An interior that can't be read used to go on as a 0-page volume: unpadded,
// with a cover drawn for no pages.
TEST_F(PrintTest, AnInteriorThatCantBeReadFailsThePrintFiles)
{
    for (const QByteArray &broken : { QByteArray("not a pdf"), blankPdf(0) }) {
        m_runs.clear();
        m_interior = broken;
        const std::optional<QString> failure = TestSupport::failureOf(m_project->preparePrintFiles(780, {}));
        ASSERT_TRUE(failure);
        EXPECT_TRUE(failure->contains(QLatin1String("volume 1"))) << failure->toStdString();
        EXPECT_TRUE(coverRuns().isEmpty());
    }
}

TEST_F(PrintTest, WithoutATypesetLayoutThePrintFolderIsEmptied)
{
    setLayout({});
    TestSupport::writeFile(m_project->folder() + "/print/cover-1.pdf", "old");
    const QList<Project::PrintFile> files = TestSupport::await(m_project->preparePrintFiles(780, {}));
    EXPECT_TRUE(files.isEmpty());
    EXPECT_TRUE(m_runs.isEmpty());
    EXPECT_TRUE(QFileInfo(m_project->folder() + "/print").isDir());
    EXPECT_TRUE(QDir(m_project->folder() + "/print").isEmpty());
}

TEST_F(PrintTest, SpinesMatchingTheEstimateWithoutWrapRunNothing)
{
    m_pages = 44;
    const QList<Project::PrintFile> files = TestSupport::await(m_project->preparePrintFiles(40, {}));
    m_runs.clear();
    const double spine = BookHome::spineWidth(44);
    TestSupport::await(m_project->respineCovers(files, { spine, spine - 0.0009, spine + 0.0005 }, {}, 40));
    EXPECT_TRUE(m_runs.isEmpty());

    // Missing spines or records leave those covers alone; a wrap alone is
    // enough to set a cover again.
    TestSupport::await(
        m_project->respineCovers(files.mid(0, 2), { spine, spine, 0.9 }, { std::nullopt, 0.125 }, 40));
    ASSERT_EQ(m_runs.size(), 1);
    EXPECT_EQ(m_runs[0].last(), files[1].cover);
    EXPECT_EQ(valueOf(m_runs[0], "spine"), QString::number(spine, 'f', 4));
    EXPECT_EQ(valueOf(m_runs[0], "wrap"), "0.1250");
    EXPECT_EQ(valueOf(m_runs[0], "pad"), QString());
}

// The covers once followed a plan made again from the layout of the moment,
// which an edit after the order may have changed.
TEST_F(PrintTest, CoversAreSetAgainForThePlansThatMadeTheInteriors)
{
    const QList<Project::PrintFile> files = TestSupport::await(m_project->preparePrintFiles(40, {}));
    ASSERT_EQ(files.size(), 3);
    setLayout({ 1, 2, 3, 4 });
    ASSERT_EQ(m_project->planVolumes(40).size(), 1);
    m_runs.clear();

    TestSupport::await(m_project->respineCovers(files, { 0.5, 0.5, 0.5 }, {}, 40));
    ASSERT_EQ(m_runs.size(), 3);
    EXPECT_EQ(valueOf(m_runs[2], "volume"), "3");
    EXPECT_EQ(valueOf(m_runs[2], "volumes"), "3");
    EXPECT_EQ(valueOf(m_runs[2], "from"), "2024-03-03");
    EXPECT_EQ(valueOf(m_runs[2], "to"), "2024-03-04");
}

} // namespace
