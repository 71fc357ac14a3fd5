// The crop database program's editor tests run offscreen on a temporary copy
// of the shipped database.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "Application.h"
#include "Database.h"
#include "CropDMod.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath("crop-edit-test.sqlite").toUtf8());
    quen::TQuenApplication app(argc, argv);
    quen::Database::open();
    quen::cropprog::TDMod dmod;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
