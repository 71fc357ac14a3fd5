// The program's hold on its database file. Other programs that open and
// close the file never remove the -wal and -shm files under it and see each
// of its writes; a program that lost its hold (simulated here by opening and
// closing the files outside SQLite, which drops the process's POSIX locks)
// refuses every write with its message, keeps the refused row pending, and
// leaves what others wrote intact when it closes.
#include <functional>

#include "DbFixture.h"
#include "DbHold.h"
#include "MarkQuery.h"

using namespace quen;
using quentest::peer;

namespace {

QString refusal(const std::function<void()>& write)
{
    try {
        write();
    } catch (const DbError& e) {
        return e.message();
    }
    return QStringLiteral("(written)");
}

const QString kIntegrity = QStringLiteral("PRAGMA integrity_check");
const QString kJobNames = QStringLiteral("SELECT JobName FROM QuenJob ORDER BY JobName");

} // namespace

TEST_F(DbTest, OtherProgramsSeeEveryWriteAndNeverRemoveTheSideFiles)
{
    if (onServer())
        GTEST_SKIP() << "a file database only";
    ASSERT_TRUE(quentest::holdsDatabaseLocks(dbPath));
    TTable job("QuenJob.db");
    job.open();
    for (int i = 1; i <= 3; ++i) {
        job.append();
        job.field("JobName").setAsString(QStringLiteral("Job %1").arg(i));
        job.post();
        // Another program reads and closes: it is not the last user.
        EXPECT_EQ(peer(dbPath, {kJobNames}).size(), i);
        EXPECT_TRUE(quentest::deletedDatabaseFiles(dbPath).isEmpty());
        EXPECT_TRUE(quentest::holdsDatabaseLocks(dbPath));
    }
    Database::transaction([&] {
        job.append();
        job.field("JobName").setAsString("Job 4");
        job.post();
    }, {"QuenJob.db"});
    EXPECT_EQ(peer(dbPath, {kJobNames, kIntegrity}),
              QStringList({"Job 1", "Job 2", "Job 3", "Job 4", "ok"}));
}

TEST_F(DbTest, ADetachedProgramRefusesEveryWriteAndKeepsWhatOthersWrote)
{
    if (onServer())
        GTEST_SKIP() << "a file database only";
    TTable job("QuenJob.db");
    job.open();
    job.append();
    job.field("JobName").setAsString("Saved before");
    job.post();

    // The hold is lost as a file dialog's type lookup loses it.
    quentest::openAndCloseOutsideSqlite(dbPath + "-shm");
    quentest::openAndCloseOutsideSqlite(dbPath);
    ASSERT_FALSE(quentest::holdsDatabaseLocks(dbPath));

    // Every kind of write is refused, nothing is written, the row stays pending.
    job.append();
    job.field("JobName").setAsString("Typed after");
    const QString text = refusal([&] { job.post(); });
    EXPECT_TRUE(text.startsWith("The database " + QDir::toNativeSeparators(dbPath) + " was detached from this program"))
        << qPrintable(text);
    EXPECT_TRUE(text.contains("The change was not saved")) << qPrintable(text);
    EXPECT_EQ(job.state(), TTable::State::Insert);
    EXPECT_EQ(job.field("JobName").asString(), "Typed after");
    job.cancel();
    bool ran = false;
    EXPECT_EQ(refusal([&] { Database::transaction([&] { ran = true; }, {"QuenJob.db"}); }), text);
    EXPECT_FALSE(ran);
    EXPECT_EQ(refusal([&] { Database::execMarkStatement("Update Climate\nSet Marked = :NewValue", "T"); }), text);
    EXPECT_EQ(refusal([&] { TTable("QuenJobCrop.DB").emptyTable(); }), text);
    job.first();
    EXPECT_EQ(refusal([&] { job.remove(); }), text);
    EXPECT_EQ(refusal([&] { job.appendRows({{"Bulk"}}); }), text);
    // The private working tables are not the shared file: still written.
    TTable wk("QuenWkCrop.DB");
    wk.open();
    EXPECT_NO_THROW(wk.appendRecord({"Corn", "Saved before", 1}));

    // Another program finds itself the last user: it removes the side files
    // (this program's are now deleted files), then another one writes.
    EXPECT_EQ(peer(dbPath, {kJobNames, kIntegrity}), QStringList({"Saved before", "ok"}));
    EXPECT_EQ(peer(dbPath, {"INSERT INTO QuenJob (JobName) VALUES ('Written by another program')"}), QStringList());
    EXPECT_EQ(refusal([&] { job.remove(); }), text);   // still refused

    // Closing does not copy this program's stale pages over the file.
    Database::close();
    EXPECT_EQ(peer(dbPath, {kJobNames, kIntegrity}),
              QStringList({"Saved before", "Written by another program", "ok"}));

    // Opened again, the program holds the file and writes as before.
    Database::open(dbPath);
    TTable again("QuenJob.db");
    again.open();
    again.append();
    again.field("JobName").setAsString("After a restart");
    EXPECT_NO_THROW(again.post());
    EXPECT_EQ(peer(dbPath, {kJobNames}).size(), 3);
}
