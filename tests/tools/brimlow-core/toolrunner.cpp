#include "toolrunner.h"

#include "testsupport.h"

#include <QProcess>

QString ToolRun::lastErrorLine() const
{
    const QStringList lines = QString::fromUtf8(err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
}

QString toolPath()
{
    return TestSupport::stage() + QStringLiteral("/libexec/quorvel/brimlow-core");
}

ToolRun runTool(const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    process.setProcessEnvironment(environment);
    process.start(toolPath(), arguments);
    ToolRun run;
    if (!process.waitForStarted())
        return run;
    if (!input.isNull())
        process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
