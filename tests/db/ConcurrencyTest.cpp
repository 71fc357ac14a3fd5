// Two programs on one database at once: job saves from their own working
// crops, one station edited by both. Nothing may be lost; an edit over a row
// the other program changed since it was read is refused with its message and
// the row reloaded; neither program sees the other's working crops.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

#include "Database.h"
#include "Table.h"

using namespace quen;

namespace {

const char* const kStation = "Concurrency Station";
constexpr int kRounds = 40;
constexpr int kCrops = 3;

// Adds one to the station's elevation; returns how many times the edit was
// refused as a conflict before it went through.
int bumpStation()
{
    TTable clim("Climate.DB");
    clim.setIndexName("StaNameIndex");
    clim.open();
    for (int refused = 0;; ++refused) {
        if (!clim.findKey({QString::fromLatin1(kStation)}))
            throw DbError(QStringLiteral("station is gone"));
        clim.edit();
        clim.field("Elevation").setAsFloat(clim.field("Elevation").asFloat() + 1);
        try {
            clim.post();
            return refused;
        } catch (const DbError& e) {
            if (e.message() != QLatin1String("This record was changed by another user."))
                throw;
            if (clim.state() != TTable::State::Browse)
                throw DbError(QStringLiteral("a refused edit left the row in edit"));
        }
    }
}

// As the main program: the job's crops are worked on in "QuenWkCrop.DB",
// then saved from it; the working table is emptied for the next job. Throws
// when the working table holds rows this program did not write.
void saveJob(const QString& name)
{
    TTable wk("QuenWkCrop.DB");
    wk.open();
    wk.emptyTable();
    for (int c = 0; c < kCrops; ++c)
        wk.appendRecord({QStringLiteral("Crop %1").arg(c), name, c + 1});
    Database::transaction([&] {
        TTable job("QuenJob.db");
        job.open();
        job.append();
        job.field("JobName").setAsString(name);
        job.field("No of Crops").setAsInteger(kCrops);
        job.post();
        TTable crops("QuenJobCrop.DB");
        crops.open();
        int n = 0;
        for (wk.first(); !wk.eof(); wk.next(), ++n) {
            if (wk.field("Job Name").asString() != name)
                throw DbError(QStringLiteral("a working crop of another program: ") + wk.field("Job Name").asString());
            crops.append();
            crops.field("JobName").setAsString(name);
            crops.field("Crop Name").setAsString(wk.field("Crop Name").asString());
            crops.field("Net Irr").setAsFloat(10.5 + n);
            crops.post();
        }
        if (n != kCrops)
            throw DbError(QStringLiteral("%1 working crops instead of %2").arg(n).arg(kCrops));
    }, {"QuenJob.db", "QuenJobCrop.DB"});
}

// One program: saves its jobs and edits the shared station, interleaved.
int worker(const QString& path, const QString& tag)
{
    try {
        Database::open(path);
        int refused = 0;
        for (int i = 0; i < kRounds; ++i) {
            saveJob(QStringLiteral("%1 job %2").arg(tag).arg(i));
            refused += bumpStation();
        }
        Database::close();
        std::printf("refused %d\n", refused);
        return 0;
    } catch (const DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}

int oneEdit(const QString& path, double value)
{
    Database::open(path);
    TTable clim("Climate.DB");
    clim.setIndexName("StaNameIndex");
    clim.open();
    if (!clim.findKey({QString::fromLatin1(kStation)}))
        return 1;
    clim.edit();
    clim.field("Elevation").setAsFloat(value);
    clim.post();
    Database::close();
    return 0;
}

QString g_path;

class Concurrency : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Database::setDataDirectory(QStringLiteral(QUEN_DB_FIXTURES));
        path = dir.filePath(QStringLiteral("shared.sqlite"));
        Database::open(path);
        TTable clim("Climate.DB");
        clim.open();
        clim.append();
        clim.field("Station Name").setAsString(QString::fromLatin1(kStation));
        clim.field("Station No").setAsString("9999999");
        clim.field("Elevation").setAsFloat(1000);
        clim.post();
    }
    void TearDown() override { Database::close(); }
    QProcess* start(const QStringList& args)
    {
        auto* p = new QProcess;
        p->start(QCoreApplication::applicationFilePath(), args);
        return p;
    }
    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_F(Concurrency, EditOverARowChangedSinceItWasReadIsRefusedAndReloaded)
{
    TTable clim("Climate.DB");
    clim.setIndexName("StaNameIndex");
    clim.open();
    ASSERT_TRUE(clim.findKey({QString::fromLatin1(kStation)}));
    EXPECT_EQ(clim.field("Elevation").asFloat(), 1000.0);   // read
    clim.edit();
    clim.field("Elevation").setAsFloat(1111);

    // Meanwhile another program changes the same row.
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {"--one-edit", path, "2222"});
    ASSERT_TRUE(other.waitForFinished(60000));
    ASSERT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();

    try {
        clim.post();
        FAIL() << "the other program's change was overwritten";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "This record was changed by another user.");
    }
    EXPECT_EQ(clim.state(), TTable::State::Browse);
    EXPECT_EQ(clim.field("Station Name").asString(), kStation);
    EXPECT_EQ(clim.field("Elevation").asFloat(), 2222.0);   // reloaded

    // Edited again from the reloaded row, it goes through.
    clim.edit();
    clim.field("Elevation").setAsFloat(3333);
    EXPECT_NO_THROW(clim.post());

    // A row removed by the other program cannot be edited back either.
    clim.edit();
    clim.field("Elevation").setAsFloat(4444);
    {
        TTable gone("Climate.DB");
        gone.setIndexName("StaNameIndex");
        gone.open();
        ASSERT_TRUE(gone.findKey({QString::fromLatin1(kStation)}));
        gone.remove();
    }
    EXPECT_THROW(clim.post(), DbError);
    TTable check("Climate.DB");
    check.setIndexName("StaNameIndex");
    check.open();
    EXPECT_FALSE(check.findKey({QString::fromLatin1(kStation)}));
}

TEST_F(Concurrency, TwoProgramsSaveJobsAndEditOneStationWithoutLosingAnything)
{
    Database::close();
    std::unique_ptr<QProcess> a(start({"--worker", path, "A"}));
    std::unique_ptr<QProcess> b(start({"--worker", path, "B"}));
    ASSERT_TRUE(a->waitForFinished(240000));
    ASSERT_TRUE(b->waitForFinished(240000));
    EXPECT_EQ(a->exitCode(), 0) << a->readAllStandardError().toStdString();
    EXPECT_EQ(b->exitCode(), 0) << b->readAllStandardError().toStdString();
    std::printf("program A %sprogram B %s", a->readAllStandardOutput().constData(), b->readAllStandardOutput().constData());

    Database::open(path);
    TTable job("QuenJob.db");
    job.open();
    EXPECT_EQ(job.recordCount(), 2 * kRounds);
    TTable crops("QuenJobCrop.DB");
    crops.setIndexName("JobNameIndex");
    crops.open();
    EXPECT_EQ(crops.recordCount(), 2 * kRounds * kCrops);
    for (const char* tag : {"A", "B"})
        for (int i = 0; i < kRounds; ++i) {
            const QString name = QStringLiteral("%1 job %2").arg(tag).arg(i);
            crops.setRange({name}, {name});
            EXPECT_EQ(crops.recordCount(), kCrops) << qPrintable(name);
        }
    crops.cancelRange();
    TTable clim("Climate.DB");
    clim.setIndexName("StaNameIndex");
    clim.open();
    ASSERT_TRUE(clim.findKey({QString::fromLatin1(kStation)}));
    EXPECT_EQ(clim.field("Elevation").asFloat(), 1000.0 + 2 * kRounds);   // no edit lost
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--worker") == 0) {
        Database::setDataDirectory(QStringLiteral(QUEN_DB_FIXTURES));
        return worker(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    if (argc == 4 && std::strcmp(argv[1], "--one-edit") == 0)
        return oneEdit(QString::fromLocal8Bit(argv[2]), std::atof(argv[3]));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
