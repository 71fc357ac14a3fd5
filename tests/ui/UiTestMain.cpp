// Test runner of the window toolkit: the application object of the programs
// (so that exceptions reaching the event loop are tested as they happen).
#include <gtest/gtest.h>

#include "Application.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    quen::TQuenApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
