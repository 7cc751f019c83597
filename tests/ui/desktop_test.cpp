// The real desktop's opener: a page counts as opened only when the opener
// says so. Run with xdg-open itself, outside any desktop environment, so
// that it hands the page to the browser named in BROWSER.
#include "testsupport.h"
#include "ui/desktop.h"
#include "uitestsupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RealOpener : public ::testing::Test
{
protected:
    RealOpener()
    {
        // Whatever would have xdg-open hand the page to a desktop's own
        // opener instead of the browser named here.
        for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                 "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID",
                 "LXQT_SESSION_CONFIG", "DBUS_SESSION_BUS_ADDRESS", "BROWSER" }) {
            m_saved.append({ name, qgetenv(name), qEnvironmentVariableIsSet(name) });
            qunsetenv(name);
        }
    }
    ~RealOpener() override
    {
        for (const Saved &saved : m_saved) {
            if (saved.set)
                qputenv(saved.name, saved.value);
            else
                qunsetenv(saved.name);
        }
    }

    // A browser that notes the address it was given and ends with status.
    QString browser(int status)
    {
        const QString path = m_dir.filePath(QStringLiteral("browser-%1").arg(status));
        TestSupport::writeFile(path,
            QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\nexit %2\n")
                .arg(noted(), QString::number(status))
                .toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    QString noted() const { return m_dir.filePath(QStringLiteral("noted.txt")); }

    Desktop desktop;
    QTemporaryDir m_dir;

private:
    struct Saved
    {
        const char *name;
        QByteArray value;
        bool set;
    };
    QList<Saved> m_saved;
};

} // namespace

TEST_F(RealOpener, APageOpensWhenTheBrowserTakesIt)
{
    qputenv("BROWSER", browser(0).toUtf8());
    const QUrl page(QStringLiteral("https://pay.example.com/pay/o1?x=1#frag"));
    EXPECT_TRUE(TestSupport::await(desktop.openUrl(page)));
    EXPECT_EQ(TestSupport::readFile(noted()), page.toEncoded() + '\n');
}

// Without a browser that takes the page, nothing was opened: the old
// answer was true all the same.
TEST_F(RealOpener, APageNobodyOpensIsReportedAsNotOpened)
{
    qputenv("BROWSER", browser(1).toUtf8());
    EXPECT_FALSE(TestSupport::await(desktop.openUrl(QUrl(QStringLiteral("https://pay.example.com/pay/o1")))));
    EXPECT_TRUE(QFileInfo::exists(noted()));

    // No opener on the desktop at all.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", m_dir.path().toUtf8());
    EXPECT_FALSE(TestSupport::await(desktop.openUrl(QUrl(QStringLiteral("https://pay.example.com/")))));
    qputenv("PATH", path);

    // Nothing to open.
    EXPECT_FALSE(TestSupport::await(desktop.openUrl(QUrl())));
    EXPECT_FALSE(TestSupport::await(desktop.openUrl(QUrl(QStringLiteral("no scheme")))));
}

// The file manager selects the files; without one on the session bus their
// folder opens; when neither happens, the caller hears so.
TEST_F(RealOpener, FilesAreShownByTheFileManagerElseTheirFolderOpensElseNotShown)
{
    auto tool = [&](const QString &name, int status) {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        TestSupport::writeFile(path,
            QStringLiteral("#!/bin/sh\nprintf '%1 %s\\n' \"$*\" >> '%2'\nexit %3\n")
                .arg(name, noted(), QString::number(status))
                .toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    const QString file = m_dir.filePath(QStringLiteral("our cards/card 1.png"));
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", m_dir.path().toUtf8());

    tool(QStringLiteral("gdbus"), 0);
    tool(QStringLiteral("xdg-open"), 0);
    EXPECT_TRUE(TestSupport::await(desktop.reveal({ file })));
    QString said = QString::fromUtf8(TestSupport::readFile(noted()));
    EXPECT_TRUE(said.contains(QStringLiteral("org.freedesktop.FileManager1.ShowItems ['file://%1']")
                                  .arg(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded).mid(7))))
        << said.toStdString();
    EXPECT_FALSE(said.contains(QStringLiteral("xdg-open")));

    QFile::remove(noted());
    tool(QStringLiteral("gdbus"), 1);
    EXPECT_TRUE(TestSupport::await(desktop.share({ file })));
    said = QString::fromUtf8(TestSupport::readFile(noted()));
    EXPECT_TRUE(said.contains(QStringLiteral("xdg-open %1").arg(QFileInfo(file).absolutePath())))
        << said.toStdString();

    tool(QStringLiteral("xdg-open"), 3);
    EXPECT_FALSE(TestSupport::await(desktop.reveal({ file })));
    QFile::remove(m_dir.filePath(QStringLiteral("gdbus")));
    QFile::remove(m_dir.filePath(QStringLiteral("xdg-open")));
    EXPECT_FALSE(TestSupport::await(desktop.reveal({ file })));
    EXPECT_FALSE(TestSupport::await(desktop.reveal({})));
    qputenv("PATH", path);
}

// The documents folder where there is one; a home without one is still a
// better start than wherever the app was started from. A panel that names
// no folder of its own (the ebook's, the Wrapped's) opens there too.
TEST(Panels, StartInTheDocumentsFolderElseAtHome)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_FALSE(documents.isEmpty());
    QDir(documents).removeRecursively();
    EXPECT_EQ(Desktop::documentsFolder(), QDir::homePath());
    ASSERT_TRUE(QDir().mkpath(documents));
    EXPECT_EQ(Desktop::documentsFolder(), documents);

    QWidget window;
    window.show();
    Desktop desktop;
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::Save;
    panel.title = QStringLiteral("Save Ebook File");
    QCoro::Task<QStringList> choosing = desktop.choose(&window, panel);
    QFileDialog *dialog = nullptr;
    ASSERT_TRUE(TestSupport::waitUntil([&] {
        dialog = window.findChild<QFileDialog *>();
        return dialog && dialog->isVisible();
    }));
    EXPECT_EQ(dialog->directory().absolutePath(), documents);
    dialog->reject();
    EXPECT_TRUE(TestSupport::waitUntil([&] { return choosing.isReady(); }));
}
