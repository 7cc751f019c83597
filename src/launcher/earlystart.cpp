#include "earlystart.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace EarlyStart {

namespace {

std::string variable(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

// Where the app reads the computer's messages from; as Helpers::database().
std::string database()
{
    if (std::getenv("QUORVEL_DB"))
        return variable("QUORVEL_DB");
    std::string home = variable("HOME");
    if (home.empty()) {
        if (const passwd *user = getpwuid(getuid()))
            home = user->pw_dir;
    }
    return home + "/Library/Messages/chat.db";
}

bool readable(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

// A folder only this user can read, as the app makes for each run.
std::string workingFolder()
{
    std::string base = variable("TMPDIR");
    if (base.empty())
        base = "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    std::string path = base + "/quorvel-XXXXXX";
    return mkdtemp(path.data()) ? path : std::string();
}

void removeFolder(const std::string &folder)
{
    unlink((folder + "/out").c_str());
    unlink((folder + "/err").c_str());
    rmdir(folder.c_str());
}

} // namespace

Started start(const char *tool, const std::vector<std::string> &arguments)
{
    Started started;
    started.folder = workingFolder();
    if (started.folder.empty())
        return {};
    const int out = open((started.folder + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = open((started.folder + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, null, 0);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);

    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(tool));
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    // As the app runs the tool: told of glibc's huge pages, so that it
    // doesn't start itself again to ask for them.
    std::vector<char *> environment;
    bool tunables = false;
    for (char **entry = environ; *entry; ++entry) {
        tunables = tunables || std::strncmp(*entry, "GLIBC_TUNABLES=", 15) == 0;
        environment.push_back(*entry);
    }
    char hugePages[] = "GLIBC_TUNABLES=glibc.malloc.hugetlb=1";
    if (!tunables)
        environment.push_back(hugePages);
    environment.push_back(nullptr);

    const bool opened = out >= 0 && err >= 0 && null >= 0;
    pid_t pid = -1;
    if (opened && posix_spawn(&pid, tool, &actions, nullptr, argv.data(), environment.data()) == 0)
        started.pid = pid;
    posix_spawn_file_actions_destroy(&actions);
    for (const int fd : { out, err, null }) {
        if (fd >= 0)
            close(fd);
    }
    if (started.pid < 0) {
        removeFolder(started.folder);
        return {};
    }
    return started;
}

std::string describe(const Started &started, const char *tool, const std::vector<std::string> &arguments)
{
    std::string said = std::to_string(started.pid) + '\n' + started.folder + '\n' + tool;
    for (const std::string &argument : arguments)
        said += '\n' + argument;
    return said;
}

int run(char **argv, const char *window, const char *tool)
{
    Started started;
    const std::string db = database();
    if (variable("QUORVEL_DEMO").empty() && db.find('\n') == std::string::npos && readable(db)) {
        const std::vector<std::string> arguments { "--db", db, "chats", "--limit", "300" };
        started = start(tool, arguments);
        if (started.pid > 0)
            setenv(Variable, describe(started, tool, arguments).c_str(), 1);
    }
    execv(window, argv);

    const int error = errno;
    if (started.pid > 0) {
        kill(started.pid, SIGKILL);
        waitpid(started.pid, nullptr, 0);
        removeFolder(started.folder);
    }
    std::fprintf(stderr, "Quorvel couldn't start its window (%s): %s.\n", window, std::strerror(error));
    return 127;
}

namespace {

// As the app finds its root: the prefix is bin/'s parent, written without
// "..", so that the tool's path is the very one the app asks for.
std::string libexecBeside(const std::string &folder)
{
    const size_t slash = folder.rfind('/');
    const std::string prefix = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    return prefix + "/libexec/quorvel/";
}

} // namespace

std::string windowBeside(const std::string &folder)
{
    return libexecBeside(folder) + "quorvel-window";
}

std::string toolBeside(const std::string &folder)
{
    return libexecBeside(folder) + "brimlow-core";
}

std::string folderOfThisProgram()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0)
        return {};
    path.resize(size_t(length));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace EarlyStart
