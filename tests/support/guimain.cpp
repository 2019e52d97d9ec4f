// The main of the GUI tests: a QApplication on the platform the environment
// names (CTest gives every test the offscreen one).
#include "tests/support/scratchworld.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the cases, as CTest does before a run, needs no application
    // and so no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    // Before the application, so that nothing it sets up touches a real home.
    nvtest::installScratchWorld();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
