// Test program of the climate database program's imports and windows:
// offscreen, a database of its own for each test.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "Application.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath("climdb-test.sqlite").toUtf8());
    quen::TQuenApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
