// The app started for the site's export: the real executable on a demo
// book, writing the cards and the film into the folder it is given, and
// ending with the status and the sentence a script can act on.
#include "service/standin.h"
#include "uitestsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Ended
{
    int status = -1;
    QString errors;
};

// Runs the app as a site's script would: no display, the demo book, the folder.
Ended runApp(const QString &folder, const QString &demo, const QString &api)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : { u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s })
        environment.remove(name);
    environment.insert(u"QUORVEL_WRAPPED_EXPORT"_s, folder);
    if (!demo.isEmpty())
        environment.insert(u"QUORVEL_DEMO"_s, demo);
    environment.insert(u"QUORVEL_API"_s, api);
    QProcess app;
    app.setProcessEnvironment(environment);
    app.start(TestSupport::stage() + u"/bin/quorvel"_s, QStringList());
    if (!app.waitForFinished(240000)) {
        app.kill();
        app.waitForFinished();
        return { -2, QString::fromUtf8(app.readAllStandardError()) };
    }
    // The offscreen platform's note about window size hints is Qt's own.
    QStringList errors = QString::fromUtf8(app.readAllStandardError()).split(u'\n');
    errors.removeIf([](const QString &line) { return line.contains(u"propagateSizeHints"_s); });
    return { app.exitStatus() == QProcess::NormalExit ? app.exitCode() : -3, errors.join(u'\n') };
}

QString sampleBook()
{
    return TestSupport::sourceDir() + u"/samples/sample-book.json"_s;
}

} // namespace

TEST(SiteExportRun, WritesEveryCardInBothShapesAndTheFilmThenQuits)
{
    StandIn service;
    QTemporaryDir out;
    const QString folder = out.filePath(u"site/maya"_s);
    const Ended ended = runApp(folder, sampleBook(), service.origin());
    ASSERT_EQ(ended.status, 0) << ended.errors.toStdString();
    EXPECT_TRUE(ended.errors.isEmpty()) << ended.errors.toStdString();

    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    const QStringList stories = files.filter(QRegularExpression(u"^maya-\\d\\d-.+-story\\.png$"_s));
    const QStringList posts = files.filter(QRegularExpression(u"^maya-\\d\\d-.+-post\\.png$"_s));
    EXPECT_GE(stories.size(), 6) << files.join(u", "_s).toStdString();
    EXPECT_EQ(posts.size(), stories.size());
    EXPECT_TRUE(files.contains(u"maya-01-cover-story.png"_s));
    EXPECT_EQ(QImage(QDir(folder).filePath(u"maya-01-cover-post.png"_s)).size(), QSize(1080, 1080));
    EXPECT_GT(QFileInfo(QDir(folder).filePath(u"maya.mp4"_s)).size(), 100000);
    EXPECT_EQ(files.size(), stories.size() + posts.size() + 1);
    // The screen showed: it told the service, as it always does.
    EXPECT_FALSE(service.requests(u"/api/events$"_s).isEmpty());
}

TEST(SiteExportRun, AFailureQuitsWithItsSentence)
{
    QTemporaryDir out;
    const QString blocked = out.filePath(u"taken"_s);
    TestSupport::writeFile(blocked, "a file");
    // No service to be had: the cards carry the demo code all the same.
    const Ended ended = runApp(blocked + u"/site"_s, sampleBook(), u"http://127.0.0.1:9"_s);
    EXPECT_EQ(ended.status, 1);
    EXPECT_EQ(ended.errors, u"The folder %1/site can't be made.\n"_s.arg(blocked))
        << ended.errors.toStdString();

    const Ended nothing = runApp(out.filePath(u"site"_s), QString(), u"http://127.0.0.1:9"_s);
    EXPECT_EQ(nothing.status, 1);
    EXPECT_TRUE(nothing.errors.startsWith(u"The site's export needs a demo book"_s))
        << nothing.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out.filePath(u"site"_s)));
}
