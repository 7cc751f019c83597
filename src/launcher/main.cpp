#include "earlystart.h"

#include <cstdio>

// `quorvel`: starts the list of the computer's messages, then becomes the
// window's program, installed beside the message tool.
int main(int, char **argv)
{
    const std::string folder = EarlyStart::folderOfThisProgram();
    if (folder.empty()) {
        std::fprintf(stderr, "Quorvel couldn't find where it is installed.\n");
        return 127;
    }
    return EarlyStart::run(
        argv, EarlyStart::windowBeside(folder).c_str(), EarlyStart::toolBeside(folder).c_str());
}
