#include <QCoreApplication>
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--crash-writer") == 0)
        crashWriter(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
