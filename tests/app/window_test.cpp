// The application object and its window: size, title, menus, the updater,
// the look, and what happens without a display.
#include "app/app.h"
#include "app/contentview.h"
#include "app/mainwindow.h"
#include "app/updater.h"
#include "shelltest.h"
#include "ui/appstyle.h"
#include "ui/style.h"
#include "ui/windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QProcess>
#include <QSignalSpy>

using namespace Shell;

namespace {

class WindowTest : public ShellTest
{
};

QList<QAction *> helpMenu(MainWindow &window)
{
    for (QAction *menu : window.menuBar()->actions()) {
        if (menu->text() == QStringLiteral("&Help"))
            return menu->menu()->actions();
    }
    return {};
}

} // namespace

TEST_F(WindowTest, OpensAtItsDefaultSizeAndNeverGetsSmaller)
{
    App app(App::Options { QString() });
    // What can be read is asked before the window first shows.
    EXPECT_NE(app.library()->access(), Library::Access::Unknown);
    MainWindow *window = app.window();
    window->show();
    EXPECT_EQ(window->windowTitle(), "Quorvel");
    EXPECT_EQ(window->size(), QSize(1280, 820));
    window->resize(400, 300);
    QApplication::processEvents();
    EXPECT_GE(window->width(), 980);
    EXPECT_GE(window->height(), 640);
    EXPECT_GE(window->content()->width(), 980);
    EXPECT_GE(window->content()->height(), 640);
    // Nothing for the toolbar yet: no empty strip over the screens.
    EXPECT_FALSE(window->toolbar()->isVisible());
}

TEST_F(WindowTest, CheckForUpdatesFollowsAboutAndNeedsAKey)
{
    {
        App app(App::Options { QString() });
        const QList<QAction *> help = helpMenu(*app.window());
        ASSERT_EQ(help.size(), 2);
        EXPECT_EQ(help[0]->text(), "About Quorvel");
        EXPECT_EQ(help[1]->text(), "Check for Updates…");
        EXPECT_FALSE(help[1]->isEnabled());
        EXPECT_FALSE(app.updater()->isStarted());
        QSignalSpy checks(app.updater(), &Updater::checkRequested);
        help[1]->trigger();
        EXPECT_EQ(checks.size(), 0);
        // This build carries no key.
        EXPECT_EQ(Updater::buildKey(), QString());
    }
    {
        App app(App::Options { QStringLiteral("c2lnbmluZyBrZXk=") });
        const QList<QAction *> help = helpMenu(*app.window());
        ASSERT_EQ(help.size(), 2);
        EXPECT_TRUE(help[1]->isEnabled());
        EXPECT_TRUE(app.updater()->isStarted());
        QSignalSpy checks(app.updater(), &Updater::checkRequested);
        help[1]->trigger();
        EXPECT_EQ(checks.size(), 1);
    }
}

TEST_F(WindowTest, TheTitleIsTheSelectedConversations)
{
    setDatabase(true);
    App app(App::Options { QString() });
    app.library()->setRunner(tool.runner());
    tool.answers.insert(QStringLiteral("mac"), chats({ { "kim@example.com" } }));
    app.window()->show();
    TestSupport::await(app.library()->load());
    app.window()->content()->setSelection(QStringLiteral("kim@example.com"));
    EXPECT_EQ(app.window()->windowTitle(), "kim@example.com");
    app.window()->content()->setSelection(std::nullopt);
    EXPECT_EQ(app.window()->windowTitle(), "Quorvel");
}

TEST_F(WindowTest, TheEnvironmentPicksTheLook)
{
    const QPalette before = QApplication::palette();
    qputenv("QUORVEL_APPEARANCE", "dark");
    {
        App app(App::Options { QString() });
    }
    EXPECT_EQ(Style::appearance(), Color::Appearance::Dark);
    qputenv("QUORVEL_APPEARANCE", "Dark");
    {
        App app(App::Options { QString() });
    }
    EXPECT_EQ(Style::appearance(), Color::Appearance::Light);
    qunsetenv("QUORVEL_APPEARANCE");
    QApplication::setPalette(before);
    Style::apply();
}

TEST(Display, WithoutOneTheAppSaysSoInOneSentenceAndFails)
{
    QProcess app;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QString::fromLatin1(name));
    app.setProcessEnvironment(environment);
    app.start(TestSupport::stage() + QStringLiteral("/bin/quorvel"), {});
    ASSERT_TRUE(app.waitForFinished(30000));
    EXPECT_NE(app.exitCode(), 0);
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    const QString said = QString::fromUtf8(app.readAllStandardError());
    EXPECT_EQ(said,
        "Quorvel needs a display to open its window: start it from a desktop session, or under "
        "xvfb-run.\n");
}

TEST_F(WindowTest, EveryWindowIsDrawnByTheAppsOwnStyle)
{
    App app(App::Options { QString() });
    app.window()->show();
    // The About box opens as its own window, like every alert.
    helpMenu(*app.window()).first()->trigger();
    QApplication::processEvents();
    int windows = 0;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        ++windows;
        EXPECT_NE(qobject_cast<AppStyle *>(window->style()), nullptr) << window->metaObject()->className();
        EXPECT_TRUE(window->styleSheet().isEmpty()) << window->metaObject()->className();
    }
    EXPECT_GE(windows, 2);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}
