// The main of the GUI tests: a QApplication, on the offscreen platform unless
// the environment names another (test discovery runs without CTest's one).
#include "tests/support/scratchworld.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Before the application, so that nothing it sets up touches a real home.
    nvtest::installScratchWorld();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
