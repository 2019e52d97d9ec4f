// The main of the tests without windows.
#include "tests/support/scratchworld.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    nvtest::installScratchWorld();
    return RUN_ALL_TESTS();
}
