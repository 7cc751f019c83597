// Every screen test binary starts here: widgets run for real on the
// offscreen platform (see TestSupport::runScreenTests).
#include "uitestsupport.h"

int main(int argc, char **argv)
{
    return TestSupport::runScreenTests(argc, argv, "offscreen");
}
