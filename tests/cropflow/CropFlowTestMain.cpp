// A fresh database filled with the shipped data in a temporary folder (also
// the working folder), with the crop program's data module alongside the
// main program's.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "Application.h"
#include "Database.h"
#include "CropDMod.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath("cropflow-test.sqlite").toUtf8());
    QDir::setCurrent(dir.path());
    quen::TQuenApplication app(argc, argv);
    quen::Database::open();
    quen::cropprog::TDMod dmod;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
