#include <cstdio>

int main()
{
    std::fputs("Error: not ready yet.\n", stderr);
    return 1;
}
