#pragma once

// The first thing `quorvel` does, before the window's program and its
// libraries are loaded: loading those takes a good part of the app's start,
// so the message tool starts on the list of the computer's Messages first
// and runs meanwhile. The window's program takes that run over as its own
// (EarlyRun) instead of starting the tool again.
//
// No Qt here: this runs before any of it is loaded.
#include <string>
#include <vector>

namespace EarlyStart {

// The environment variable that tells the window's program of the run:
// the tool's process id, its working folder (holding "out" and "err"),
// then the tool and each of its arguments, one a line.
inline constexpr const char *Variable = "QUORVEL_EARLY_RUN";

// Starts `tool --db DATABASE chats --limit 300` where the Messages database
// can be read (QUORVEL_DB, else ~/Library/Messages/chat.db; never for the
// demo), then replaces this process with window, with the same arguments.
// Returns only when window can't be started: the status to exit with,
// having said why on stderr and ended the run.
int run(char **argv, const char *window, const char *tool);

struct Started
{
    // -1 when the tool didn't start.
    int pid = -1;
    // Holds the run's "out" and "err".
    std::string folder;
};

// Starts tool with arguments, its output and errors into a new working
// folder, told of glibc's huge pages as the app tells it.
Started start(const char *tool, const std::vector<std::string> &arguments);

// What the variable says of a started run.
std::string describe(const Started &started, const char *tool, const std::vector<std::string> &arguments);

// The programs installed beside `quorvel` in folder (its bin/): the
// window's and the message tool, under libexec/quorvel/ of the same prefix.
std::string windowBeside(const std::string &folder);
std::string toolBeside(const std::string &folder);

// The folder of the running program, without a trailing "/"; empty when
// the system doesn't say.
std::string folderOfThisProgram();

} // namespace EarlyStart
