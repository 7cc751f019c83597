// Installed like a desktop app: `cmake --install` puts the desktop entry,
// the icon in the hicolor theme and the AppStream metainfo where desktops
// look, they pass the validators desktops and software centres use, and the
// running app names its entry and shows its icon.
#include "app/app.h"
#include "shelltest.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

using namespace Shell;

namespace {

struct Ran
{
    int status = -1;
    QString said;
};

Ran run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAll()) };
}

const QString id = QStringLiteral("app.quorvel.Quorvel");

class DesktopEntryTest : public ShellTest
{
};

} // namespace

TEST_F(DesktopEntryTest, AnInstallHasTheEntryTheIconAndTheMetainfoAndTheyValidate)
{
    QTemporaryDir prefix;
    const QString build = QDir::cleanPath(TestSupport::stage() + QStringLiteral("/.."));
    const Ran installed = run(QStringLiteral("cmake"),
        { QStringLiteral("--install"), build, QStringLiteral("--prefix"), prefix.path() });
    ASSERT_EQ(installed.status, 0) << installed.said.toStdString();
    const QString share = prefix.path() + QStringLiteral("/share/");
    EXPECT_TRUE(QFileInfo(prefix.path() + QStringLiteral("/bin/quorvel")).isExecutable());

    const QString entry = share + QStringLiteral("applications/") + id + QStringLiteral(".desktop");
    const Ran entryChecked = run(QStringLiteral("desktop-file-validate"), { entry });
    EXPECT_EQ(entryChecked.status, 0) << entryChecked.said.toStdString();
    EXPECT_EQ(entryChecked.said.trimmed(), QString()) << "hints and warnings too";
    const QString entryText = QString::fromUtf8(TestSupport::readFile(entry));
    EXPECT_TRUE(entryText.contains(QStringLiteral("\nExec=quorvel\n")));
    EXPECT_TRUE(entryText.contains(QStringLiteral("\nIcon=") + id + QLatin1Char('\n')));

    const QString metainfo = share + QStringLiteral("metainfo/") + id + QStringLiteral(".metainfo.xml");
    const Ran metainfoChecked = run(
        QStringLiteral("appstreamcli"), { QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo });
    EXPECT_EQ(metainfoChecked.status, 0) << metainfoChecked.said.toStdString();
    const QString metainfoText = QString::fromUtf8(TestSupport::readFile(metainfo));
    EXPECT_TRUE(metainfoText.contains(
        QStringLiteral("<launchable type=\"desktop-id\">") + id + QStringLiteral(".desktop</launchable>")));
    EXPECT_GE(metainfoText.count(QStringLiteral("<caption>")), 3);

    const QString icons = share + QStringLiteral("icons/hicolor/");
    EXPECT_TRUE(QFileInfo::exists(icons + QStringLiteral("scalable/apps/") + id + QStringLiteral(".svg")));
    for (const int size : { 256, 128, 64, 48 }) {
        const QImage png(icons + QStringLiteral("%1x%1/apps/").arg(size) + id + QStringLiteral(".png"));
        EXPECT_EQ(png.size(), QSize(size, size)) << size;
        // The brand-coloured tile, and the see-through corners of its rounding.
        EXPECT_EQ(png.pixelColor(0, 0).alpha(), 0) << size;
        const QColor edge = png.pixelColor(size / 8, size / 2);
        EXPECT_GT(edge.red(), 2 * edge.green()) << size;
    }
}

TEST_F(DesktopEntryTest, TheAppNamesItsEntryAndShowsItsIcon)
{
    App app(App::Options { QString() });
    EXPECT_EQ(QGuiApplication::desktopFileName(), id);
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    // The app's own icon, from the theme folder it is installed with, not a symbol.
    const QImage drawn = icon.pixmap(48, 48).toImage();
    EXPECT_EQ(drawn.pixelColor(0, 0).alpha(), 0);
    const QColor tile = drawn.pixelColor(6, 24);
    EXPECT_GT(tile.red(), 2 * tile.green());
    EXPECT_EQ(icon.pixmap(256, 256).size(), QSize(256, 256));
}
