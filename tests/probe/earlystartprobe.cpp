// The launcher with its window and tool named on the command line:
//   quorvel_early_start_probe WINDOW TOOL [ARGUMENT...]
// becomes WINDOW with the arguments, having started TOOL as `quorvel`
// starts the message tool.
#include "earlystart.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: quorvel_early_start_probe WINDOW TOOL [ARGUMENT...]\n");
        return 2;
    }
    const char *window = argv[1];
    const char *tool = argv[2];
    // The window's own arguments: its name, then what follows the tool.
    argv[2] = argv[1];
    return EarlyStart::run(argv + 2, window, tool);
}
