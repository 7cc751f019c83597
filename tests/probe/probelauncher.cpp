// The window probe as the app is started: the launcher starts the message
// tool's list, then becomes the probe's body beside it.
#include "earlystart.h"

#include <cstdio>

int main(int, char **argv)
{
    const std::string folder = EarlyStart::folderOfThisProgram();
    if (folder.empty()) {
        std::fprintf(stderr, "no folder\n");
        return 127;
    }
    return EarlyStart::run(argv, (folder + "/quorvel_window_probe_body").c_str(),
        QUORVEL_TEST_STAGE "/libexec/quorvel/brimlow-core");
}
