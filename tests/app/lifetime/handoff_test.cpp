// Handing a conversation to the website exports all of it for a moment:
// the app, ended with SIGKILL at moments of that export, leaves nothing of
// it once it has started again, in the temporary folder or anywhere but
// the copy of the chat the user added.
#include "longchat.h"
#include "uitestsupport.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

using LongChat::phrase;

class HandoffTest : public ::testing::Test
{
protected:
    HandoffTest()
    {
        LongChat::add(app);
        app.set(QStringLiteral("QUORVEL_OPEN"), QStringLiteral("file-0000aaaa:Robin Roe"));
        // Nothing answers there: a hand-off that got so far fails at once.
        app.set(QStringLiteral("QUORVEL_HANDOFF_ORIGIN"), QStringLiteral("http://127.0.0.1:9"));
    }

    // The app on the chat's consent screen, its hand-off started and held
    // where the message tool's export begins: the tool and the app stopped.
    pid_t heldExport()
    {
        app.start(QStringLiteral(QUORVEL_WINDOW_PROBE),
            { QStringLiteral("--until"), button, QStringLiteral("--press"), button });
        const std::optional<pid_t> tool
            = app.waitForChild(QStringLiteral("brimlow-core"), QStringLiteral("export"));
        EXPECT_TRUE(tool.has_value()) << app.output().toStdString();
        if (!tool)
            return 0;
        ::kill(*tool, SIGSTOP);
        app.signal(SIGSTOP);
        return *tool;
    }

    // Files under the temporary folder that hold the export, whole or in part.
    QStringList exports() const
    {
        QStringList found;
        for (const QString &file : RunningApp::filesUnder(app.temp())) {
            if (QFileInfo(file).fileName().startsWith(QLatin1String("book.json")))
                found.append(file);
        }
        return found;
    }

    void kill()
    {
        app.signal(SIGKILL);
        ASSERT_TRUE(app.waitForEnd());
    }

    // What holds the chat's messages after the app has started again, on its
    // consent screen, ready to hand it off again: anything left in the
    // temporary folder, and whatever file in the home holds the phrase
    // besides the chat's own copy.
    QStringList leftAfterTheNextStart()
    {
        EXPECT_TRUE(app.startAgain({ QStringLiteral("--until"), button }));
        return LongChat::leftBy(app);
    }

    const QString button = QStringLiteral("Make It on 127.0.0.1:9");
    RunningApp app;
};

} // namespace

// The folder of the export is made, the tool not yet under way: the
// hand-off's folder stayed behind, named so that no sweep knew it.
TEST_F(HandoffTest, KilledAsTheExportStartsLeavesNothing)
{
    ASSERT_NE(heldExport(), 0);
    kill();
    EXPECT_EQ(listed(leftAfterTheNextStart()), "");
}

// The tool is done and the whole conversation lies in the export while the
// app reads it and writes the log: the app left the 24 MB of a long chat
// there for good.
TEST_F(HandoffTest, KilledWhileTheAppReadsTheExportLeavesNothing)
{
    const pid_t tool = heldExport();
    ASSERT_NE(tool, 0);
    ::kill(tool, SIGCONT);
    ASSERT_TRUE(QTest::qWaitFor([&] { return RunningApp::hasEnded(tool); }, 30000));
    const QStringList written = exports();
    ASSERT_EQ(written.size(), 1);
    EXPECT_TRUE(TestSupport::readFile(app.temp() + QLatin1Char('/') + written.first()).contains(phrase));
    kill();
    EXPECT_EQ(listed(leftAfterTheNextStart()), "");
}
