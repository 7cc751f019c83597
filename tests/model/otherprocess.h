#pragma once

// Another window's process, as far as the user's defaults go: this test
// binary started again to run one test that plays that window's part, on
// the defaults file the parent names. The part is a test that does its
// work only when the variable DefaultsVariable is set, and is skipped
// otherwise.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <memory>

namespace OtherProcess {

inline constexpr const char *DefaultsVariable = "QUORVEL_OTHER_PROCESS_DEFAULTS";
inline constexpr const char *ArgumentVariable = "QUORVEL_OTHER_PROCESS_ARGUMENT";

// Starts the test named test (Suite.Name) in a process of its own.
inline std::unique_ptr<QProcess> start(
    const QString &test, const QString &defaults, const QString &argument = QString())
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(DefaultsVariable), defaults);
    environment.insert(QString::fromLatin1(ArgumentVariable), argument);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(QCoreApplication::applicationFilePath(), { QStringLiteral("--gtest_filter=") + test });
    return process;
}

// Whether the process ran its part and passed.
inline bool finished(QProcess &process)
{
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

inline bool run(const QString &test, const QString &defaults, const QString &argument = QString())
{
    const std::unique_ptr<QProcess> process = start(test, defaults, argument);
    return finished(*process);
}

// In the child: the defaults file, when this process plays another's part.
inline QString defaults()
{
    return qEnvironmentVariable(DefaultsVariable);
}

inline QString argument()
{
    return qEnvironmentVariable(ArgumentVariable);
}

} // namespace OtherProcess
