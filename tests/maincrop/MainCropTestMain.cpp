// Test runner of the crop and defaults dialogs: a fresh database filled
// with the shipped data in a temporary folder, which is also the working
// folder (the crop computation writes "FAO56.txt" there).
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "Application.h"
#include "Database.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath("maincrop-test.sqlite").toUtf8());
    QDir::setCurrent(dir.path());
    quen::TQuenApplication app(argc, argv);
    quen::Database::open();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
