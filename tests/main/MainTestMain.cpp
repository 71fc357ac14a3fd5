// Test runner of the main program's windows: a scratch database in a
// temporary folder and the programs' application object.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "Application.h"
#include "Database.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath("main-test.sqlite").toUtf8());
    quen::TQuenApplication app(argc, argv);
    quen::Database::open();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
