// Every QUORVEL_ switch of the window, through the app as it starts: each
// case runs the app in a home of its own with the variables set.
#include "probe.h"
#include "project/messagesfixture.h"
#include "uitestsupport.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString sample()
{
    return TestSupport::sourceDir() + QStringLiteral("/samples/sample-book.json");
}

void writeDefaults(const Probe &probe, const QJsonObject &values)
{
    QDir().mkpath(QFileInfo(probe.defaultsFile()).absolutePath());
    TestSupport::writeFile(probe.defaultsFile(), QJsonDocument(values).toJson());
}

// The sources the probed app saved, as its defaults keep them.
QJsonArray savedSources(const Probe &probe)
{
    const QJsonObject saved = QJsonDocument::fromJson(TestSupport::readFile(probe.defaultsFile()))
                                  .object()
                                  .value("backups")
                                  .toObject();
    return QJsonDocument::fromJson(QByteArray::fromBase64(saved.value("data").toString().toLatin1())).array();
}

// How light the window's detail pane is, from the screen the probe saved.
double detailLightness(const ProbeRun &run)
{
    const QImage screen(run.screen);
    return screen.pixelColor(screen.width() - 20, screen.height() / 2).lightnessF();
}

} // namespace

TEST(Environment, DemoBooksAloneAreListedAndOpenNamesOne)
{
    Probe probe;
    probe.set("QUORVEL_DEMO", sample());
    probe.set("QUORVEL_OPEN", "demo:maya");
    const ProbeRun run = probe.run({ "--until", "Read Our Messages", "--rows", "1" });
    ASSERT_EQ(run.status, 0) << run.texts.join(" | ").toStdString();
    EXPECT_EQ(run.title, "Maya");
    EXPECT_TRUE(run.texts.contains("Make a book with Maya"));
    EXPECT_TRUE(
        run.texts.contains("To make it, Quorvel reads your messages with Maya: 2,004 of them, going back to "
                           "January 1, 2024. It reads them here, on this computer. Nothing is sent "
                           "anywhere until you order, and then only the finished book."));
}

TEST(Environment, ADemoBookWithConsentOpensAndIsTypeset)
{
    Probe probe;
    probe.set("QUORVEL_DEMO", sample());
    probe.set("QUORVEL_OPEN", "demo:maya");
    writeDefaults(probe, { { "consent:demo:maya", "2024-06-01" } });
    // A book without a look yet opens in its wizard.
    const ProbeRun run = probe.run({ "--until", "Here's what we found" }, 120000);
    ASSERT_EQ(run.status, 0) << run.texts.join(" | ").toStdString();
    EXPECT_TRUE(QFileInfo::exists(probe.home() + "/.local/share/Quorvel/Books/demo-maya/book.json"));
}

TEST(Environment, TheAppearanceIsDarkOnlyForTheWordDark)
{
    for (const auto &[value, dark] : { std::pair { "dark", true }, { "Dark", false }, { "", false } }) {
        Probe probe;
        probe.set("QUORVEL_DEMO", sample());
        probe.set("QUORVEL_APPEARANCE", value);
        const ProbeRun run = probe.run({ "--until", "Choose someone" });
        ASSERT_EQ(run.status, 0) << value;
        EXPECT_EQ(detailLightness(run) < 0.5, dark) << value;
    }
}

TEST(Environment, ADatabaseNamedInTheEnvironmentIsRead)
{
    Probe probe;
    const QString store = probe.home() + "/store/chat.db";
    QDir().mkpath(probe.home() + "/store");
    writeStore(store, { { QDate(2024, 5, 1), false, "hi" }, { QDate(2024, 5, 2), true, "hello" } });
    probe.set("QUORVEL_DB", store);
    probe.set("QUORVEL_OPEN", "+15550100");
    const ProbeRun run = probe.run({ "--until", "Make a book with +15550100" });
    ASSERT_EQ(run.status, 0) << run.texts.join(" | ").toStdString();
    EXPECT_EQ(run.rows, (QStringList { "This Computer", "+15550100 | 2 messages since May 2024" }));

    // Named but missing: nothing can be read, and the access screen shows.
    Probe missing;
    missing.set("QUORVEL_DB", missing.home() + "/nowhere/chat.db");
    const ProbeRun denied = missing.run({ "--until", "Quorvel needs to read your messages" });
    EXPECT_EQ(denied.status, 0) << denied.texts.join(" | ").toStdString();
}

// Not only demo books: the Wrapped screen of whatever conversation the
// window opens makes the site's files, and the app ends after them.
TEST(Environment, TheSiteExportRunsOnTheWrappedOfTheConversationOpened)
{
    Probe probe;
    const QString store = probe.home() + "/store/chat.db";
    QDir().mkpath(probe.home() + "/store");
    QList<StoreMessage> messages;
    for (int i = 0; i < 120; ++i) {
        messages.append({ QDate(2024, 1, 1).addDays(i / 3), i % 2 == 0,
            i % 7 == 0 ? QStringLiteral("love you, see you soon") : QStringLiteral("dinner at eight?") });
    }
    writeStore(store, messages);
    const QString folder = probe.home() + "/site";
    QDir().mkpath(folder);
    writeDefaults(probe, { { "consent-wrapped:+15550100", "2024-06-01" } });
    probe.set("QUORVEL_DB", store);
    probe.set("QUORVEL_OPEN", "+15550100");
    probe.set("QUORVEL_MODE", "wrapped");
    probe.set("QUORVEL_WRAPPED_EXPORT", folder);
    probe.set("QUORVEL_API", "http://127.0.0.1:9/api");
    const ProbeRun run = probe.runApp();
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();

    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    EXPECT_TRUE(files.contains("+15550100-01-cover-story.png")) << files.join(", ").toStdString();
    EXPECT_TRUE(files.contains("+15550100-01-cover-post.png"));
    EXPECT_GT(QFileInfo(folder + "/+15550100.mp4").size(), 0);
}

// Nobody watches the site's export: where the Wrapped it runs on can't
// show, the app used to wait for ever.
TEST(Environment, TheSiteExportEndsWithASentenceWhereTheWrappedCantShow)
{
    const auto exporting = [](Probe &probe, const QString &open) {
        const QString store = probe.home() + "/store/chat.db";
        QDir().mkpath(probe.home() + "/store");
        writeStore(store, { { QDate(2024, 5, 1), false, "hi" }, { QDate(2024, 5, 2), true, "hello" } });
        QDir().mkpath(probe.home() + "/site");
        probe.set("QUORVEL_DB", store);
        probe.set("QUORVEL_OPEN", open);
        probe.set("QUORVEL_WRAPPED_EXPORT", probe.home() + "/site");
        probe.set("QUORVEL_API", "http://127.0.0.1:9/api");
        return probe.runApp(60000);
    };

    Probe unagreed;
    unagreed.set("QUORVEL_MODE", "wrapped");
    const ProbeRun waiting = exporting(unagreed, "+15550100");
    EXPECT_EQ(waiting.status, 1);
    EXPECT_TRUE(waiting.errors.contains(
        "The Wrapped of +15550100 can't show: reading it hasn't been agreed to. Open it in Quorvel and agree "
        "first."))
        << waiting.errors.toStdString();

    Probe nobody;
    nobody.set("QUORVEL_MODE", "wrapped");
    const ProbeRun missing = exporting(nobody, "+15559999");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.errors.contains("QUORVEL_OPEN names no conversation Quorvel lists: +15559999."))
        << missing.errors.toStdString();

    // Agreed to for the book, which opens in its wizard.
    Probe elsewhere;
    writeDefaults(elsewhere, { { "consent:+15550100", "2024-06-01" } });
    const ProbeRun wizard = exporting(elsewhere, "+15550100");
    EXPECT_EQ(wizard.status, 1);
    EXPECT_TRUE(wizard.errors.contains(
        "The Wrapped of +15550100 doesn't show when its book opens: set QUORVEL_MODE=wrapped."))
        << wizard.errors.toStdString();
    EXPECT_TRUE(QDir(elsewhere.home() + "/site").isEmpty());
}

TEST(Environment, AChatFileNamedInTheEnvironmentIsAddedOnce)
{
    Probe probe;
    const QString chat = probe.home() + "/WhatsApp Chat with Sam.txt";
    TestSupport::writeFile(chat, "1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Robin: hi there\n");
    probe.set("QUORVEL_FILE", chat);
    const ProbeRun first = probe.run({ "--rows", "1" });
    ASSERT_EQ(first.status, 0) << first.texts.join(" | ").toStdString();
    EXPECT_EQ(first.title, "Quorvel");
    EXPECT_EQ(first.rows, (QStringList { "WhatsApp Chat with Sam", "Sam | 2 messages since Jan 2025" }));
    const QJsonArray saved = savedSources(probe);
    ASSERT_EQ(saved.size(), 1);
    const QString id = saved.first().toObject().value("id").toString();
    EXPECT_EQ(saved.first().toObject().value("name").toString(), "WhatsApp Chat with Sam");

    // The next start finds it saved, adds nothing more, and can open its chat.
    probe.set("QUORVEL_OPEN", id + ":Sam");
    const ProbeRun second = probe.run({ "--until", "Make a book with Sam" });
    ASSERT_EQ(second.status, 0) << second.texts.join(" | ").toStdString();
    EXPECT_EQ(second.title, "Sam");
    EXPECT_EQ(savedSources(probe).size(), 1);
}
