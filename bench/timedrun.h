#pragma once

// Runs a program the way the app runs its helpers, for the benchmarks:
// wall time and the child's peak memory.
#include "model/helpers.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcessEnvironment>
#include <chrono>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace Bench {

struct Run
{
    double seconds = 0;
    double peakMb = 0;
    int status = -1;
};

// Output is thrown away; standard input comes from a file when one is named.
// The message tool runs in the environment the app gives it, so that it
// starts as often here as there.
inline Run timed(const std::vector<QByteArray> &arguments, const QByteArray &input = {})
{
    std::vector<char *> argv;
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    const bool isCore
        = QFileInfo(QFile::decodeName(arguments.front())).fileName() == QLatin1String("brimlow-core");
    QList<QByteArray> variables;
    for (const QString &variable :
        (isCore ? Helpers::coreEnvironment() : QProcessEnvironment::systemEnvironment()).toStringList())
        variables.append(variable.toLocal8Bit());
    std::vector<char *> envp;
    for (const QByteArray &variable : variables)
        envp.push_back(const_cast<char *>(variable.constData()));
    envp.push_back(nullptr);
    // A child's peak counts what it shared with its parent when it began.
    // A spawned child begins in its parent's memory and inherits the most
    // the parent ever held (a bench that wrote a 100 MB export); a forked
    // one starts from what the parent holds now, handed back first.
    malloc_trim(0);
    const auto start = std::chrono::steady_clock::now();
    Run run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(open("/dev/null", O_WRONLY), 1);
        if (!input.isEmpty())
            dup2(open(input.constData(), O_RDONLY), 0);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (pid > 0) {
        int status = 0;
        struct rusage usage = {};
        wait4(pid, &status, 0, &usage);
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.peakMb = usage.ru_maxrss / 1024.0;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

inline Run bestOf(int count, const std::vector<QByteArray> &arguments, const QByteArray &input = {})
{
    Run best;
    for (int i = 0; i < count; ++i) {
        const Run run = timed(arguments, input);
        if (i == 0 || run.seconds < best.seconds)
            best = run;
    }
    return best;
}

} // namespace Bench
