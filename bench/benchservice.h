#pragma once

// The stand-in service for the benchmarks that talk to it, and waiting on
// the event loop the way the app does.
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <functional>

namespace Bench {

// Starts the stand-in on a free port; its address, or empty when it did not
// start.
inline QString startService(QProcess &service, const QString &data)
{
    service.start(QStringLiteral(QUORVEL_BENCH_STAGE) + QStringLiteral("/libexec/quorvel/quorvel-service"),
        { QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), data,
            QStringLiteral("--mode"), QStringLiteral("stripe") });
    QByteArray said;
    while (!said.contains('\n') && service.waitForReadyRead(5000))
        said += service.readAllStandardOutput();
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("listening on (http://\\S+)")).match(QString::fromUtf8(said));
    return match.hasMatch() ? match.captured(1) : QString();
}

// Ends the stand-in however the bench that started it returns.
struct ServiceStop
{
    QProcess &service;
    ~ServiceStop()
    {
        service.terminate();
        service.waitForFinished(5000);
    }
};

inline void waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace Bench
