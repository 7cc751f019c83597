// Opening a new conversation has the message tool export all of it into
// the book's folder: the app, ended with SIGKILL during that first export,
// left the whole conversation there ("book.json.part", with no book beside
// it for the user to delete) after every later start. The next start
// removes it, and leaves alone an export another window is still writing.
#include "longchat.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

using LongChat::phrase;
const QString bookFolder = QStringLiteral(".local/share/Quorvel/Books/file-0000aaaa-Robin-Roe");

class FirstExportTest : public ::testing::Test
{
protected:
    FirstExportTest()
    {
        // Read before: the app opens the book at once.
        LongChat::add(app,
            { { "consent:file-0000aaaa:Robin Roe", "2024-04-01" },
                { "me:file-0000aaaa:Robin Roe", "Sam Lee" } });
        app.set(QStringLiteral("QUORVEL_OPEN"), QStringLiteral("file-0000aaaa:Robin Roe"));
    }

    QString book() const { return app.home() + QLatin1Char('/') + bookFolder; }

    // The app opening the conversation, held where the message tool's
    // export begins: the tool and the app stopped.
    pid_t heldExport()
    {
        app.start();
        const std::optional<pid_t> tool
            = app.waitForChild(QStringLiteral("brimlow-core"), QStringLiteral("export"));
        EXPECT_TRUE(tool.has_value()) << app.output().toStdString();
        if (!tool)
            return 0;
        ::kill(*tool, SIGSTOP);
        app.signal(SIGSTOP);
        return *tool;
    }

    // The tool let go to write the whole book, which the stopped app can't
    // put in place.
    void exportWritten(pid_t tool)
    {
        ::kill(tool, SIGCONT);
        ASSERT_TRUE(QTest::qWaitFor([&] { return RunningApp::hasEnded(tool); }, 30000));
        EXPECT_TRUE(TestSupport::readFile(book() + QStringLiteral("/book.json.part")).contains(phrase));
    }

    void kill()
    {
        app.signal(SIGKILL);
        ASSERT_TRUE(app.waitForEnd());
    }

    // Whatever holds the chat's messages after the app has started again
    // on its list, besides the chat's own copy, and what is in the
    // temporary folder.
    QStringList leftAfterTheNextStart()
    {
        app.set(QStringLiteral("QUORVEL_OPEN"), QString());
        EXPECT_TRUE(app.startAgain());
        QStringList left = LongChat::leftBy(app);
        if (QFileInfo::exists(book()))
            left.append(bookFolder);
        return left;
    }

    RunningApp app;
};

} // namespace

TEST_F(FirstExportTest, KilledAsTheExportStartsLeavesNoBookFolder)
{
    ASSERT_NE(heldExport(), 0);
    kill();
    EXPECT_EQ(listed(leftAfterTheNextStart()), "");
}

// The tool is done and the whole conversation lies in "book.json.part",
// not yet the book.
TEST_F(FirstExportTest, KilledBeforeTheExportBecomesTheBookLeavesNoConversation)
{
    const pid_t tool = heldExport();
    ASSERT_NE(tool, 0);
    exportWritten(tool);
    kill();
    EXPECT_EQ(listed(leftAfterTheNextStart()), "");
}

TEST_F(FirstExportTest, ASecondWindowLeavesTheFirstsExportAlone)
{
    const pid_t tool = heldExport();
    ASSERT_NE(tool, 0);
    app.set(QStringLiteral("QUORVEL_OPEN"), QString());
    EXPECT_TRUE(app.startAgain());
    EXPECT_TRUE(QFileInfo(book()).isDir());

    exportWritten(tool);
    app.signal(SIGCONT);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QFileInfo::exists(book() + QStringLiteral("/book.json")); }, 30000));
    EXPECT_FALSE(QFileInfo::exists(book() + QStringLiteral("/book.json.part")));
    EXPECT_TRUE(TestSupport::readFile(book() + QStringLiteral("/book.json")).contains(phrase));
}
