#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <qcorotask.h>
#include <qcorotimer.h>

#include <exception>
#include <optional>
#include <utility>

namespace TestSupport {

// The staged install tree in the build folder (bin/, libexec/, share/).
QString stage();
// The source tree, for templates and samples.
QString sourceDir();
// Test data files checked in under tests/data.
QString dataDir();

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// Runs a coroutine to its end on the test's event loop. Tests only: the app
// never blocks on a task.
template<typename T>
T await(QCoro::Task<T> task)
{
    return QCoro::waitFor(std::move(task));
}

inline void await(QCoro::Task<void> task)
{
    QCoro::waitFor(std::move(task));
}

// The what() of the exception a task ends with, or nullopt when it succeeds.
template<typename T>
std::optional<QString> failureOf(QCoro::Task<T> task)
{
    try {
        await(std::move(task));
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return std::nullopt;
}

} // namespace TestSupport
