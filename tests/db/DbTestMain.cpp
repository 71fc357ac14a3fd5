#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "Database.h"
#include "Table.h"

namespace {

// Child process of the crash test: posts user and scratch rows, then dies
// without closing anything (the scratch rows were never on disk).
[[noreturn]] void crashWriter(const char* path)
{
    quen::Database::open(QString::fromLocal8Bit(path));
    quen::TTable kc("ETKc.db");
    kc.open();
    kc.appendRecord({1, 0.3});
    quen::TTable job("QuenJob.db");
    job.open();
    job.append();
    job.field("JobName").setAsString("Survives a crash");
    job.post();
    kc.appendRecord({2, 0.4});
    std::_Exit(3);
}

// Child process of the read-only test (run as another user): opens the
// database for saving (or for reading) and prints what it was told.
[[noreturn]] void openForSaving(const char* path, bool readOnly)
{
    try {
        if (readOnly)
            quen::Database::openReadOnly(QString::fromLocal8Bit(path));
        else
            quen::Database::open(QString::fromLocal8Bit(path));
        std::printf("opened\n");
    } catch (const quen::DbError& e) {
        std::printf("%s\n", qPrintable(e.message()));
    }
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--crash-writer") == 0)
        crashWriter(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--open-for-saving") == 0)
        openForSaving(argv[2], false);
    if (argc == 3 && std::strcmp(argv[1], "--open-for-reading") == 0)
        openForSaving(argv[2], true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
