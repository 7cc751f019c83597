// A first export killed or failed left the whole conversation in the book's
// folder, with no book beside it to delete: the start's sweep and
// forgetting a source remove such folders, never a book nor an export
// another window is writing.
#include "messagesfixture.h"
#include "model/folderlock.h"
#include "model/scopeddefaults.h"
#include "project/fileerror.h"
#include "project/unfinishedbooks.h"
#include "projecttest.h"

namespace {

class UnfinishedBooksTest : public ::testing::Test
{
protected:
    QString folder(const QString &name) const { return m_books.path() + QLatin1Char('/') + name; }

    // A book's folder holding the given files.
    QString made(const QString &name, const QStringList &files)
    {
        QDir().mkpath(folder(name));
        for (const QString &file : files) {
            const QString path = folder(name) + QLatin1Char('/') + file;
            QDir().mkpath(QFileInfo(path).path());
            TestSupport::writeFile(path, "{\"messages\": []}");
        }
        return folder(name);
    }

    // What the books folder holds, in order.
    std::string left() const
    {
        QStringList names
            = QDir(m_books.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        names.sort();
        return names.join(QStringLiteral(", ")).toStdString();
    }

    static Source chatFile(const QString &id)
    {
        Source source;
        source.id = id;
        source.name = QStringLiteral("chat");
        source.log = QStringLiteral("/nowhere/chat.txt");
        return source;
    }

    ScopedDefaults m_defaults;
    BooksFolder m_books;
    ManualClock m_clock;
};

// Notes when the opening has ended; the parameters live in the frame.
QCoro::Task<void> openedInto(QCoro::Task<std::unique_ptr<Project>> opening, bool *opened)
{
    co_await std::move(opening);
    *opened = true;
}

} // namespace

TEST_F(UnfinishedBooksTest, TheSweepTakesExportsThatNeverBecameABookAndNothingElse)
{
    made("-15550100", { "book.json", "book.json.part", "names.json" });
    made("file-0000aaaa-Robin-Roe", { "book.json.part" });
    made("file-0000aaaa-Sam", { "book.json.part.Xb3kQz", "photos/IMG_0001.jpg" });
    made("file-0000bbbb-Jo", {});
    const QString writing = made("file-0000cccc-Kim", { "book.json.part.Ab12Cd" });
    TestSupport::writeFile(folder("notes.txt"), "not a folder");
    // A link to a folder without a book, somewhere else, is nobody's export.
    QTemporaryDir elsewhere;
    QFile::link(elsewhere.path(), folder("linked"));
    // Another window's export under way.
    FolderLock claim = FolderLock::claim(writing);
    ASSERT_TRUE(claim.isHeld());

    UnfinishedBooks::sweep();
    EXPECT_EQ(left(), "-15550100, file-0000cccc-Kim, linked, notes.txt");
    EXPECT_TRUE(QFile::exists(folder("-15550100/book.json.part")));
    EXPECT_TRUE(QFile::exists(writing + "/book.json.part.Ab12Cd"));
    EXPECT_TRUE(QFileInfo(elsewhere.path()).isDir());

    // Once that window is gone, what it left goes with the next sweep.
    claim.release();
    UnfinishedBooks::sweep();
    EXPECT_EQ(left(), "-15550100, linked, notes.txt");

    // Without a books folder there is nothing to sweep.
    Project::setBooksFolder(m_books.path() + "/nowhere");
    UnfinishedBooks::sweep();
    EXPECT_FALSE(QFile::exists(m_books.path() + "/nowhere"));
}

TEST_F(UnfinishedBooksTest, ForgettingASourceTakesItsUnfinishedBooksButKeepsItsBooks)
{
    made(Project::folderName("file-0000aaaa:Robin Roe"), { "book.json.part" });
    made(Project::folderName("file-0000aaaa:Sam"), { "book.json" });
    made(Project::folderName("file-0000aaaa0:Jo"), { "book.json.part" });
    made(Project::folderName("file-0000bbbb:Kim"), { "book.json.part" });
    made(Project::folderName("+15550100"), {});

    UnfinishedBooks::forget(chatFile("file-0000aaaa"));
    EXPECT_EQ(left(), "-15550100, file-0000aaaa-Sam, file-0000aaaa0-Jo, file-0000bbbb-Kim");
    // The computer's own source keys its books by their bare keys.
    UnfinishedBooks::forget(Source::mac());
    EXPECT_EQ(left(), "-15550100, file-0000aaaa-Sam, file-0000aaaa0-Jo, file-0000bbbb-Kim");
}

// Opening a conversation exports it under a claim, which another window's
// sweep respects, and lets go of it however the export ends. An export of
// the same conversation under way, in another window or this one when the
// user came back to it, is waited for rather than written over.
TEST_F(UnfinishedBooksTest, AnExportWaitsForAnotherOfTheSameConversationAndLeavesNoClaim)
{
    const QString store = m_books.path() + QStringLiteral("/chat.db");
    writeStore(store, { { QDate(2024, 5, 1), false, "hi" } });
    const Conversation sam = samIn(store);
    const QString samFolder = folder(Project::folderName(sam.id()));

    QDir().mkpath(samFolder);
    FolderLock other = FolderLock::claim(samFolder);
    ASSERT_TRUE(other.isHeld());
    bool opened = false;
    QCoro::Task<void> opening = openedInto(Project::open(sam, QStringLiteral("Sam")), &opened);
    QTest::qWait(400);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(QFile::exists(samFolder + "/book.json"));
    EXPECT_FALSE(QFile::exists(samFolder + "/book.json.part"));

    other.releaseAndUnlink();
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 30000));
    EXPECT_EQ(QDir(samFolder).entryList(QDir::Files | QDir::Hidden), QStringList { "book.json" });
    EXPECT_TRUE(FolderLock::claim(samFolder).isHeld());
}
