// QUORVEL_MODE through the app as it starts: each case runs the window on
// the sample as a demo book, in a home of its own, with the book's consent
// and the book already made.
#include "app/probe.h"
#include "uitestsupport.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A probe whose demo book has its look chosen and its consent given.
Probe madeBook(const char *mode)
{
    Probe probe;
    const QString sample = TestSupport::sourceDir() + QStringLiteral("/samples/sample-book.json");
    probe.set(QStringLiteral("QUORVEL_DEMO"), sample);
    probe.set(QStringLiteral("QUORVEL_OPEN"), QStringLiteral("demo:maya"));
    if (mode)
        probe.set(QStringLiteral("QUORVEL_MODE"), QString::fromLatin1(mode));
    QDir().mkpath(QFileInfo(probe.defaultsFile()).absolutePath());
    TestSupport::writeFile(probe.defaultsFile(),
        QJsonDocument(QJsonObject { { QStringLiteral("consent:demo:maya"), QStringLiteral("2024-06-01") } })
            .toJson());
    QJsonObject book = QJsonDocument::fromJson(TestSupport::readFile(sample)).object();
    book.insert(QStringLiteral("design"),
        QJsonObject { { QStringLiteral("font"), QStringLiteral("garamond") },
            { QStringLiteral("chapters"), QStringLiteral("month") }, { QStringLiteral("receipt"), true },
            { QStringLiteral("cover"),
                QJsonObject { { QStringLiteral("style"), QStringLiteral("cloth") },
                    { QStringLiteral("color"), QStringLiteral("oxblood") } } } });
    const QString folder = probe.home() + QStringLiteral("/.local/share/Quorvel/Books/demo-maya");
    QDir().mkpath(folder);
    TestSupport::writeFile(folder + QStringLiteral("/book.json"), QJsonDocument(book).toJson());
    return probe;
}

} // namespace

TEST(FlowEnvironment, AMadeBookOpensOnItsPageUnlessTheModeSaysOtherwise)
{
    for (const char *mode : { static_cast<const char *>(nullptr), "home", "Pages" }) {
        Probe probe = madeBook(mode);
        const ProbeRun run = probe.run({ "--until", "Make it yours" }, 120000);
        EXPECT_EQ(run.status, 0) << (mode ? mode : "unset") << ": " << run.texts.join(" | ").toStdString();
    }
}

TEST(FlowEnvironment, TheModeOpensThePagesOrTheWrapped)
{
    {
        Probe probe = madeBook("pages");
        // The pages, with the way back to the book's page.
        const ProbeRun run = probe.run({ "--until", "Back to the Book" }, 120000);
        EXPECT_EQ(run.status, 0) << run.texts.join(" | ").toStdString();
        EXPECT_FALSE(run.texts.contains("Make it yours"));
    }
    {
        Probe probe = madeBook("wrapped");
        const ProbeRun run = probe.run({ "--until", "Make It a Book" }, 120000);
        EXPECT_EQ(run.status, 0) << run.texts.join(" | ").toStdString();
        EXPECT_EQ(run.title, "Wrapped");
    }
}
