#pragma once

// Runs the app as it starts for the user (the window probe), with the
// QUORVEL_ variables of a case, in a home of its own, and reads back what
// the window showed.
#include "testsupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct ProbeRun
{
    int status = -1;
    QString title;
    QStringList texts;
    // The sidebar's sections and conversations, in order ("name | detail").
    QStringList rows;
    QString screen;
    QString errors;
};

class Probe
{
public:
    Probe()
    {
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_environment.insert(QStringLiteral("HOME"), m_home.path());
        m_environment.insert(
            QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral(".local/share")));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
        m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral(".cache")));
    }

    QString home() const { return m_home.path(); }
    // The user's defaults file of the probed app.
    QString defaultsFile() const { return m_home.filePath(QStringLiteral(".config/Quorvel/defaults.json")); }
    void set(const QString &name, const QString &value) { m_environment.insert(name, value); }

    ProbeRun run(const QStringList &arguments, int timeoutMs = 60000)
    {
        QProcess probe;
        probe.setProcessEnvironment(m_environment);
        ProbeRun result;
        result.screen = m_home.filePath(QStringLiteral("screen.png"));
        probe.start(QStringLiteral(QUORVEL_WINDOW_PROBE),
            arguments
                + QStringList { QStringLiteral("--screen"), result.screen, QStringLiteral("--timeout"),
                    QString::number(timeoutMs) });
        probe.waitForFinished(timeoutMs + 30000);
        result.status = probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
        result.errors = QString::fromUtf8(probe.readAllStandardError());
        for (const QString &line : QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n')) {
            if (line.startsWith(QLatin1String("title: ")))
                result.title = line.mid(7);
            else if (line.startsWith(QLatin1String("text: ")))
                result.texts.append(line.mid(6));
            else if (line.startsWith(QLatin1String("row: ")))
                result.rows.append(line.mid(5));
        }
        return result;
    }

    // The app itself, as `quorvel` starts, to its own end: its status and
    // standard error.
    ProbeRun runApp(int timeoutMs = 240000)
    {
        QProcess app;
        app.setProcessEnvironment(m_environment);
        app.start(TestSupport::stage() + QStringLiteral("/bin/quorvel"), QStringList());
        ProbeRun result;
        if (!app.waitForFinished(timeoutMs)) {
            app.kill();
            app.waitForFinished();
        }
        result.status = app.exitStatus() == QProcess::NormalExit ? app.exitCode() : -1;
        result.errors = QString::fromUtf8(app.readAllStandardError());
        return result;
    }

private:
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
};
