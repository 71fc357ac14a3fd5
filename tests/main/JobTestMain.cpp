// Test runner of the job operations. Run with QUEN_JOB_SAVE_CHILD set, the
// program is instead the child process of the kill test, which saves a job
// over and over until it is killed.
#include <gtest/gtest.h>

#include <QCoreApplication>

int maybeRunJobTestChild();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int child = maybeRunJobTestChild();
    if (child >= 0)
        return child;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
