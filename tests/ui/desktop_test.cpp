// The real desktop's opener: a page counts as opened only when the opener
// says so. Run with xdg-open itself, outside any desktop environment, so
// that it hands the page to the browser named in BROWSER.
#include "testsupport.h"
#include "ui/desktop.h"
#include "uitestsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
