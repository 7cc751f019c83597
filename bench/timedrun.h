#pragma once

// Runs a program the way the app runs its helpers, for the benchmarks:
// wall time and the child's peak memory.
#include <QByteArray>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace Bench {

struct Run
{
    double seconds = 0;
    double peakMb = 0;
    int status = -1;
};

// Output is thrown away; standard input comes from a file when one is named.
inline Run timed(const std::vector<QByteArray> &arguments, const QByteArray &input = {})
{
    std::vector<char *> argv;
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (!input.isEmpty())
        posix_spawn_file_actions_addopen(&actions, 0, input.constData(), O_RDONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Run run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        struct rusage usage = {};
        wait4(pid, &status, 0, &usage);
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.peakMb = usage.ru_maxrss / 1024.0;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
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
