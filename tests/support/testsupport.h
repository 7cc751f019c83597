#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>
#include <exception>
#include <optional>
#include <qcorotask.h>
#include <qcorotimer.h>
#include <utility>

namespace TestSupport {

// Sets the default locale, which the app takes for the user's, for one
// test.
class ScopedLocale
{
public:
    explicit ScopedLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(m_old); }
    ScopedLocale(const ScopedLocale &) = delete;
    ScopedLocale &operator=(const ScopedLocale &) = delete;

private:
    QLocale m_old;
};

// The staged install tree in the build folder (bin/, libexec/, share/).
QString stage();
// The source tree, for templates and samples.
QString sourceDir();
// Test data files checked in under tests/data.
QString dataDir();

QByteArray readFile(const QString &path);
// What epubcheck finds in an EPUB at the level of an error or worse; empty
// when it finds nothing of the kind.
QString epubcheckErrors(const QString &epub);
void writeFile(const QString &path, const QByteArray &bytes);

// Runs the tests and returns the status to exit with. In the sanitized
// build the helpers a test starts (the message tool, the stand-in, the test
// binary itself) are sanitized too, and a finding of theirs ends them with
// a status a test may well expect ("Error: ...", status 1); so their
// reports go to files under home, and any report fails the run.
int runAllTests(const QString &home);

// Runs a coroutine to its end on the test's event loop and hands back its
// value or rethrows its exception. Tests only: the app never blocks on a
// task. (QCoro::waitFor alone never returns when the task throws.)
template<typename T> T await(QCoro::Task<T> task)
{
    std::optional<T> result;
    std::exception_ptr error;
    QCoro::waitFor(
        [](QCoro::Task<T> inner, std::optional<T> &out, std::exception_ptr &fault) -> QCoro::Task<void> {
            try {
                out.emplace(co_await std::move(inner));
            } catch (...) {
                fault = std::current_exception();
            }
        }(std::move(task), result, error));
    if (error)
        std::rethrow_exception(error);
    return std::move(*result);
}

inline void await(QCoro::Task<void> task)
{
    std::exception_ptr error;
    QCoro::waitFor([](QCoro::Task<void> inner, std::exception_ptr &fault) -> QCoro::Task<void> {
        try {
            co_await std::move(inner);
        } catch (...) {
            fault = std::current_exception();
        }
    }(std::move(task), error));
    if (error)
        std::rethrow_exception(error);
}

// The what() of the exception a task ends with, or nullopt when it succeeds.
template<typename T> std::optional<QString> failureOf(QCoro::Task<T> task)
{
    try {
        await(std::move(task));
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return std::nullopt;
}

} // namespace TestSupport
