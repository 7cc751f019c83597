#include "model/scopeddefaults.h"
#include "project/typesetcache.h"
#include "projecttest.h"

#include <QSignalSpy>
#include <atomic>
#include <thread>

using namespace std::chrono_literals;

namespace {

class TypesetTest : public ::testing::Test
{
protected:
    TypesetTest()
    {
        m_project = openExisting(bookOf({ "one", "two", "three", "four", "five", "six" }));
        m_project->setTypesetter(m_typst.typesetter());
    }

    QString folder() const { return m_project->folder(); }
    QString saved() const { return folder() + QStringLiteral("/book.json"); }
    QString output(int generation) const { return folder() + QStringLiteral("/book-%1.pdf").arg(generation); }
    BookFile::Message message(int i) const { return m_project->book().messages.at(i); }

    // The first run, which opening asked for, finished.
    void typesetOnce()
    {
        m_clock.advance(0ms);
        ASSERT_FALSE(m_project->pdf().isEmpty());
    }

    ScopedDefaults m_defaults;
    BooksFolder m_books;
    ManualClock m_clock;
    FakeTypst m_typst;
    std::unique_ptr<Project> m_project;
};

TEST_F(TypesetTest, EditsWithinTheDelayCollapseIntoOneRunOfTheLastSave)
{
    // An edit right after opening replaces the request opening made.
    m_project->addWord(QStringLiteral("one"));
    m_clock.advance(0ms);
    EXPECT_TRUE(m_typst.compiles.isEmpty());

    m_project->addWord(QStringLiteral("two"));
    m_project->addWord(QStringLiteral("three"));
    m_clock.advance(349ms);
    EXPECT_TRUE(m_typst.compiles.isEmpty());
    m_clock.advance(1ms);
    ASSERT_EQ(m_typst.compiles.size(), 1);
    EXPECT_EQ(m_typst.compiles[0].bytes, TestSupport::readFile(saved()));
    EXPECT_EQ(m_project->book().edits.words, QStringList({ "one", "two", "three" }));
    EXPECT_EQ(m_clock.waiting(), 0);
}

TEST_F(TypesetTest, FirstRunIsMovedIntoTheCacheAndARepeatIsAHit)
{
    QSignalSpy pdfs(m_project.get(), &Project::pdfChanged);
    QSignalSpy layouts(m_project.get(), &Project::layoutChanged);
    typesetOnce();
    const QString first = m_project->pdf();
    EXPECT_TRUE(m_typst.compiles[0].out.endsWith(QLatin1String("/book-1.pdf")));
    EXPECT_FALSE(QFile::exists(output(1)));
    EXPECT_EQ(first, folder() + QStringLiteral("/typesets/%1.pdf").arg(*TypesetCache::key(saved(), "novel")));
    EXPECT_EQ(m_project->layout().pageCount, 3);
    EXPECT_EQ(layouts.size(), 1);

    m_project->toggleBold(message(0));
    m_clock.advance(350ms);
    m_project->toggleBold(message(0));
    m_clock.advance(350ms);
    EXPECT_EQ(m_typst.compiles.size(), 2);
    EXPECT_EQ(m_project->pdf(), first);
    EXPECT_FALSE(m_project->isTypesetting());
    EXPECT_FALSE(m_project->error());
    EXPECT_EQ(pdfs.size(), 3);
    // The same layout again, coarsely: nobody is told.
    EXPECT_EQ(layouts.size(), 1);
}

TEST_F(TypesetTest, AnOutdatedRunDeletesItsPdfAndPublishesNothing)
{
    m_typst.hold = true;
    m_clock.advance(0ms);
    m_project->addWord(QStringLiteral("newer"));
    m_clock.advance(350ms);
    ASSERT_EQ(m_typst.layouts, 2);

    m_typst.release(0);
    ASSERT_TRUE(waitFor([&] { return m_typst.compilesDone == 1 && m_typst.layoutsDone == 1; }));
    EXPECT_FALSE(QFile::exists(output(1)));
    EXPECT_TRUE(m_project->pdf().isEmpty());
    EXPECT_TRUE(m_project->isTypesetting());

    m_typst.release(1);
    ASSERT_TRUE(waitFor([&] { return !m_project->isTypesetting(); }));
    EXPECT_TRUE(m_project->pdf().contains(QLatin1String("/typesets/")));
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("/book-2.json")));
}

TEST_F(TypesetTest, BothRunsReadTheBytesTheKeyWasMadeFrom)
{
    m_typst.hold = true;
    const QByteArray before = TestSupport::readFile(saved());
    m_clock.advance(0ms);
    // Saved while typst works, before it has read the book.
    m_project->addWord(QStringLiteral("later"));
    m_typst.release(0);
    ASSERT_TRUE(waitFor([&] { return !m_project->isTypesetting(); }));
    EXPECT_EQ(m_typst.compiles[0].bytes, before);
    EXPECT_EQ(m_project->pdf(),
        folder() + QStringLiteral("/typesets/%1.pdf").arg(TypesetCache::keyOf(before, "novel")));
}

TEST_F(TypesetTest, AFailedCompileWaitsForTheLayoutAndLeavesNoPdf)
{
    typesetOnce();
    const QString pages = m_project->pdf();
    m_typst.hold = true;
    m_typst.compileFailure = QStringLiteral("bad input");
    m_project->addWord(QStringLiteral("x"));
    m_clock.advance(350ms);

    m_typst.release(0, FakeTypst::Part::Compile);
    ASSERT_TRUE(waitFor([&] { return m_typst.compilesDone == 2; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_project->error());
    m_typst.release(0, FakeTypst::Part::Layout);
    ASSERT_TRUE(waitFor([&] { return !m_project->isTypesetting(); }));
    EXPECT_EQ(m_project->error(), QStringLiteral("typst failed (1): bad input"));
    EXPECT_EQ(m_project->pdf(), pages);
    EXPECT_EQ(m_project->layout().pageCount, 3);
    EXPECT_FALSE(QFile::exists(output(2)));
}

TEST_F(TypesetTest, AFailedLayoutLeavesNoPdfAndASuccessClearsTheError)
{
    m_typst.layoutFailure = QStringLiteral("no layout");
    m_clock.advance(0ms);
    EXPECT_EQ(m_project->error(), QStringLiteral("typst failed (1): no layout"));
    EXPECT_FALSE(QFile::exists(output(1)));
    EXPECT_FALSE(QDir(folder() + QStringLiteral("/typesets")).exists());

    m_typst.layoutFailure.reset();
    m_project->addWord(QStringLiteral("again"));
    m_clock.advance(350ms);
    EXPECT_FALSE(m_project->error());
}

// A screen waiting for the book as it is now must hear of the end of every
// request, also when the cache answers with the PDF already shown and no
// property changes, and of a failure.
TEST_F(TypesetTest, EveryRequestTellsItsEndEvenWhenNothingChangesOnScreen)
{
    QSignalSpy ended(m_project.get(), &Project::typesetEnded);
    typesetOnce();
    ASSERT_EQ(ended.size(), 1);
    EXPECT_TRUE(ended.last().at(0).toBool());

    QSignalSpy pdfs(m_project.get(), &Project::pdfChanged);
    QSignalSpy typesetting(m_project.get(), &Project::typesettingChanged);
    m_project->saveAndTypeset();
    m_clock.advance(350ms);
    EXPECT_EQ(pdfs.size(), 0);
    EXPECT_EQ(typesetting.size(), 0);
    ASSERT_EQ(ended.size(), 2);
    EXPECT_TRUE(ended.last().at(0).toBool());

    m_typst.layoutFailure = QStringLiteral("no layout");
    m_project->addWord(QStringLiteral("x"));
    m_clock.advance(350ms);
    ASSERT_TRUE(waitFor([&] { return ended.size() == 3; }));
    EXPECT_FALSE(ended.last().at(0).toBool());
    EXPECT_EQ(m_project->error(), QStringLiteral("typst failed (1): no layout"));
}

TEST_F(TypesetTest, APdfThatDoesNotOpenCountsNoPagesInTheCacheToo)
{
    m_typst.pdf = "not a pdf";
    m_clock.advance(0ms);
    EXPECT_EQ(m_project->layout().pageCount, 0);
    const auto entry = TypesetCache::load(*TypesetCache::key(saved(), "novel"), folder());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->layout.pageCount, 0);
}

TEST_F(TypesetTest, AFailedSaveStaysShownUntilASaveSucceeds)
{
    typesetOnce();
    // A folder where book.json should be: the write can't replace it.
    QFile::remove(saved());
    QDir().mkpath(saved() + QStringLiteral("/in-the-way"));
    m_project->addWord(QStringLiteral("unsaved"));
    ASSERT_TRUE(m_project->error());
    const QString failure = *m_project->error();
    EXPECT_TRUE(failure.startsWith(QLatin1String("The book couldn't be saved")));
    m_clock.advance(350ms);
    EXPECT_EQ(m_project->error(), failure);

    QDir(saved()).removeRecursively();
    m_project->addWord(QStringLiteral("saved"));
    EXPECT_EQ(m_project->error(), failure);
    m_clock.advance(350ms);
    EXPECT_FALSE(m_project->error());
    EXPECT_TRUE(TestSupport::readFile(saved()).contains("unsaved"));
}

TEST_F(TypesetTest, DeletingTheBookRemovesItsFolderAndConsentOnly)
{
    m_defaults.defaults().setString(QStringLiteral("consent:k"), QStringLiteral("2024-01-01"));
    m_defaults.defaults().setString(QStringLiteral("me:k"), QStringLiteral("Pat"));
    m_typst.hold = true;
    m_clock.advance(0ms);
    m_project->deleteEverything();
    EXPECT_FALSE(QFileInfo::exists(folder()));
    EXPECT_FALSE(m_defaults.defaults().string(QStringLiteral("consent:k")));
    EXPECT_TRUE(m_defaults.defaults().string(QStringLiteral("me:k")));

    // The run still under way must not bring the folder back.
    m_typst.release(0);
    ASSERT_TRUE(waitFor([&] { return !m_project->isTypesetting(); }));
    EXPECT_FALSE(QFileInfo::exists(folder()));
}

// Fault mended: a file written into the folder while it was emptied (a
// typst run's pages, a cover's draft) kept it from going; the book stayed,
// and so did its consent.
TEST_F(TypesetTest, DeletingTheBookWhileSomethingWritesIntoItsFolderStillRemovesIt)
{
    m_defaults.defaults().setString(QStringLiteral("consent:k"), QStringLiteral("2024-01-01"));
    std::atomic<bool> stop = false;
    std::atomic<int> written = 0;
    const QString into = folder();
    std::thread writer([&] {
        for (int i = 0; !stop; ++i) {
            QFile page(into + QStringLiteral("/page-%1.png").arg(i));
            if (page.open(QIODevice::WriteOnly))
                ++written;
        }
    });
    while (written < 50)
        std::this_thread::yield();
    EXPECT_NO_THROW(m_project->deleteEverything());
    stop = true;
    writer.join();
    EXPECT_FALSE(QFileInfo::exists(folder()));
    EXPECT_EQ(QDir(m_books.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList());
    EXPECT_FALSE(m_defaults.defaults().string(QStringLiteral("consent:k")));
}

} // namespace
