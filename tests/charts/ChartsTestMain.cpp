// Test runner of the job summary, climate details and chart tests: offscreen
// windows, a fresh database from the shipped data in a temporary folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "Database.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath(QStringLiteral("charts-test.sqlite")).toUtf8());
    QApplication app(argc, argv);
    quen::Database::setDataDirectory(QStringLiteral(QUEN_DATA_DIR) + QStringLiteral("/tables"));
    quen::Database::open();
    QDir::setCurrent(dir.path());   // FAO56.txt goes here
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    quen::Database::close();
    return rc;
}
