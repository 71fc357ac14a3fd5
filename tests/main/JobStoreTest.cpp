// The job operations without windows: save and fetch round trip with the
// recomputation, the exact-name rules, a changed job whose row is gone, the
// removal of jobs, all-or-nothing saves under kills, the refused latitude;
// the crop row counter past the range of a short; the tables' own rules
// (one job per name, crop rows of exactly one job) under random sequences
// of new jobs, saves, renames, fetches and deletions.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QDir>
#include <QFile>
#include <QMap>

#include "CalcJob.h"
#include "ComputeCrop.h"
#include "FarmStore.h"
#include "Database.h"
#include "DbInternal.h"
#include "JobFixture.h"
#include "JobStore.h"
#include "OpenJob.h"
#include "MessageService.h"
#include "ReferenceET.h"
#include "Table.h"

using namespace quen;
using namespace quen::test;

namespace {

class Collect : public MessageService {
public:
    Collect() { m_prev = setMessageService(this); }
    ~Collect() override { setMessageService(m_prev); }
    MsgResult show(MsgKind, const QString& text, MsgButtons b, int, const QString&) override
    {
        texts << text;
        return b == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
    }
    QStringList texts;

private:
    MessageService* m_prev;
};

// A fresh database with the shipped tables in a folder of its own.
class JobStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        Database::open(dir.filePath("job.sqlite"));
        QDir::setCurrent(dir.path());
    }
    void TearDown() override
    {
        Database::close();
        QDir::setCurrent(m_cwd);
    }
    const QString m_cwd = QDir::currentPath();

    // A job on the Maricopa station (Penman-Monteith) as the window leaves it;
    // state becomes its job state (a new job, to be saved as new).
    CropRunContext maricopaJob(const QString& name, JobState& state)
    {
        CropRunContext ctx;
        TTable clim("Climate.DB");
        clim.open();
        clim.findNearest({QStringLiteral("MARICOPA AZMET")});
        job::CopyStation(clim, ctx);
        clim.close();
        ctx.JobName = name;
        ctx.JobLocation = "Field 7";
        ctx.JobPlanner = "R. Allen";
        ctx.JobDate = "05/01/26";
        ctx.ETMethodIndex = 2;
        ctx.ETMethodText = "FAO Penman-Monteith,NEH2 Bas crop curves";
        state.reset();
        state.JobSaveState = 1;
        return ctx;
    }

    void fillWorking(const QString& job, const QList<WorkingCrop>& crops)
    {
        TTable wk("QuenWkCrop.DB");
        wk.emptyTable();
        wk.open();
        int no = 0;
        for (const WorkingCrop& c : crops)
            appendWorkingCrop(wk, c, job, ++no);
        wk.close();
    }

    static int cropRowsOf(const QString& job)
    {
        TTable t("QuenJobCrop.DB");
        t.open();
        int n = 0;
        for (t.first(); !t.eof(); t.next())
            n += t.field("JobName").asString() == job;
        t.close();
        return n;
    }

    QTemporaryDir dir;
};

QList<WorkingCrop> threeFamilies()
{
    return {nehCrop(), faoCrop(), bcCrop()};
}

} // namespace

TEST_F(JobStore, SavedJobComesBackWithItsCropsAndTheEngineNumbers)
{
    Collect quiet;
    JobState ctxState;
    CropRunContext ctx = maricopaJob("Round trip", ctxState);
    ctxState.CropCounter = 3;
    fillWorking(ctx.JobName, threeFamilies());
    ASSERT_EQ(job::SaveJob(ctx, ctxState), job::SaveResult::Appended);
    EXPECT_NE(ctxState.JobNumber, 0);
    EXPECT_TRUE(ctxState.JobFromDatabase);
    EXPECT_EQ(cropRowsOf("Round trip"), 3);

    // The engine's own results for each crop, computed on the rows as saved.
    QList<CropRunContext> expected;
    {
        CropRunContext e = ctx;
        CropCurveState st;
        TTable wk("QuenWkCrop.DB");
        wk.open();
        for (wk.first(); !wk.eof(); wk.next()) {
            // The fetch gives each crop the job's method.
            wk.edit();
            wk.field("ET Index").setAsInteger(ctx.ETMethodIndex);
            wk.post();
            e.CropName = wk.field("Crop Name").asString();
            ComputeCrop(e, st, wk);
            expected << e;
        }
        wk.close();
        wk.emptyTable();
    }

    CropRunContext back;
    JobState backState;
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    QList<CropRunContext> got;
    int steps = 0;
    ASSERT_TRUE(job::FetchJob("Round trip", back, backState, st, wk, [&](int s) { steps += s; }));
    EXPECT_EQ(steps, 30 + 3 * 15);
    EXPECT_EQ(back.JobLocation, "Field 7");
    EXPECT_EQ(back.JobPlanner, "R. Allen");
    EXPECT_EQ(back.WeatherStationName, ctx.WeatherStationName);
    EXPECT_DOUBLE_EQ(back.EffPcpFact50, ctx.EffPcpFact50);
    EXPECT_DOUBLE_EQ(back.ElevationM, ctx.Elevation * 0.3048);
    EXPECT_DOUBLE_EQ(back.AnnualPrecip, ctx.AnnualPrecip);
    EXPECT_EQ(backState.CropCounter, 3);
    EXPECT_EQ(backState.JobSaveState, 0);
    EXPECT_TRUE(backState.JobFromDatabase);
    ASSERT_EQ(wk.recordCount(), 3);
    // The last crop computed is in the context; each working row carries its
    // own requirement of the season.
    expectSameResults(back, expected.last(), "last crop in the context");
    int i = 0;
    for (wk.first(); !wk.eof(); wk.next(), ++i) {
        EXPECT_EQ(wk.field("Crop Name").asString(), expected[i].CropName);
        EXPECT_DOUBLE_EQ(wk.field("IR Season").asFloat(), expected[i].TotalNetIrrReq50);
        EXPECT_EQ(wk.field("Harvest Mo").asInteger(), expected[i].HarvestMonth);
        EXPECT_EQ(wk.field("Beg Dat").asString(), expected[i].BeginDateText);
        EXPECT_EQ(wk.field("Irrigation Type").asString(), "Sprinkler");
    }
    wk.close();

    // quenpm-calc fetches through the same code.
    CropRunContext calcCtx;
    ASSERT_TRUE(calc::LoadJob("Round trip", calcCtx));
    const auto crops = calc::ComputeJob(calcCtx);
    ASSERT_EQ(crops.size(), 3);
    for (int k = 0; k < 3; ++k)
        expectSameResults(crops[k].ctx, expected[k], "quenpm-calc");
}

namespace {

int farmRowsOf(const char* table, const QString& job)
{
    TTable t(QString::fromLatin1(table));
    t.open();
    int n = 0;
    for (t.first(); !t.eof(); t.next())
        n += t.field("Job Name").asString() == job;
    t.close();
    return n;
}

// The working crop numbers by name, as the fetch gave them.
QMap<QString, int> workingNumbers()
{
    QMap<QString, int> numbers;
    TTable wk("QuenWkCrop.DB");
    wk.open();
    for (wk.first(); !wk.eof(); wk.next())
        numbers[wk.field("Crop Name").asString()] = wk.field("Crop No").asInteger();
    wk.close();
    return numbers;
}

} // namespace

// The farm values (area, Ea, ECe per crop; Ec, hours, ECw per job) are saved,
// fetched, copied under a new name and deleted with the job; the fetch numbers
// the crops anew, in their saved order, and each keeps its own values.
TEST_F(JobStore, FarmValuesTravelWithTheJobAndItsCrops)
{
    Collect quiet;
    JobState state;
    CropRunContext ctx = maricopaJob("Farm", state);
    state.CropCounter = 3;
    state.Farm = {0.85, 20.0, 1.2};
    fillWorking(ctx.JobName, threeFamilies());   // Potatoes 1, Winter wheat 2, Potatoes BC 3
    const job::FarmCropValues potatoes{40.0, 0.75, 1.7}, bc{25.5, 0.6, 0.0};
    job::SetWorkingFarmCrop("Potatoes", ctx.JobName, 1, potatoes);
    job::SetWorkingFarmCrop("Potatoes BC", ctx.JobName, 3, bc);   // wheat keeps no row of its own
    ASSERT_EQ(job::SaveJob(ctx, state), job::SaveResult::Appended);
    EXPECT_EQ(farmRowsOf("FarmJob.db", "Farm"), 1);
    EXPECT_EQ(farmRowsOf("FarmCrop.db", "Farm"), 3);

    CropRunContext back;
    JobState backState;
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    ASSERT_TRUE(job::FetchJob("Farm", back, backState, st, wk));
    wk.close();
    EXPECT_DOUBLE_EQ(backState.Farm.conveyanceEff, 0.85);
    EXPECT_DOUBLE_EQ(backState.Farm.hoursPerDay, 20.0);
    EXPECT_DOUBLE_EQ(backState.Farm.ecw, 1.2);
    const QMap<QString, int> no = workingNumbers();
    EXPECT_EQ(no.value("Potatoes BC"), 2);   // renumbered in saved (name) order
    EXPECT_EQ(job::WorkingFarmCrop("Potatoes", no.value("Potatoes"), "Sprinkler"), potatoes);
    EXPECT_EQ(job::WorkingFarmCrop("Potatoes BC", no.value("Potatoes BC"), "Sprinkler"), bc);
    EXPECT_DOUBLE_EQ(job::WorkingFarmCrop("Winter wheat", no.value("Winter wheat"), "Sprinkler").areaAcres, 0.0);

    // The farm of the fetched job: two crops with areas, computed from each
    // crop's own months; the context is again the crop the table stood on.
    wk.open();
    wk.last();
    const QString current = wk.field("Crop Name").asString();
    const job::JobFarm farm = job::ComputeWorkingFarm(back, st, wk, backState.Farm);
    EXPECT_TRUE(farm.problems.isEmpty()) << farm.problems.join("; ").toStdString();
    ASSERT_TRUE(farm.water.available);
    EXPECT_DOUBLE_EQ(farm.water.areaAcres, 65.5);
    EXPECT_GT(farm.water.capacityGpm, 0.0);
    EXPECT_EQ(back.CropName, current);
    EXPECT_EQ(wk.field("Crop Name").asString(), current);
    wk.close();

    // Saved under a new name: a copy with its own farm rows.
    back.JobName = "Farm copy";
    backState.JobSaveState = 1;
    ASSERT_EQ(job::SaveJob(back, backState), job::SaveResult::Appended);
    EXPECT_EQ(farmRowsOf("FarmCrop.db", "Farm copy"), 3);
    EXPECT_EQ(job::SavedFarmJob("Farm copy").hoursPerDay, 20.0);

    EXPECT_TRUE(job::DeleteJob(job::FindJob("Farm")));
    EXPECT_EQ(farmRowsOf("FarmJob.db", "Farm"), 0);
    EXPECT_EQ(farmRowsOf("FarmCrop.db", "Farm"), 0);
    EXPECT_EQ(farmRowsOf("FarmCrop.db", "Farm copy"), 3);
    EXPECT_EQ(job::DeleteJobsNamed("Farm copy"), 1);
    EXPECT_EQ(farmRowsOf("FarmJob.db", "Farm copy"), 0);
    EXPECT_EQ(farmRowsOf("FarmCrop.db", "Farm copy"), 0);
}

// A job saved before the farm tables (no farm rows) fetches with the local
// defaults and no areas, and its farm is "not available"; a new job starts
// from the local defaults.
TEST_F(JobStore, JobWithoutFarmRowsHasNoFarmFigures)
{
    Collect quiet;
    job::SetDefaultFarmJob({0.9, 22.0, 0.0});
    JobState state;
    CropRunContext ctx = maricopaJob("Old job", state);
    fillWorking(ctx.JobName, threeFamilies());
    job::SaveJob(ctx, state);
    job::DeleteSavedFarm("Old job");

    CropRunContext back;
    JobState backState;
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    ASSERT_TRUE(job::FetchJob("Old job", back, backState, st, wk));
    EXPECT_DOUBLE_EQ(backState.Farm.conveyanceEff, 0.9);
    EXPECT_DOUBLE_EQ(backState.Farm.hoursPerDay, 22.0);
    const job::JobFarm farm = job::ComputeWorkingFarm(back, st, wk, backState.Farm);
    wk.close();
    EXPECT_TRUE(farm.problems.isEmpty());
    EXPECT_FALSE(farm.water.available);

    JobState fresh;
    CropRunContext freshCtx;
    job::StartJob(freshCtx, fresh, wk);
    EXPECT_DOUBLE_EQ(fresh.Farm.hoursPerDay, 22.0);
    EXPECT_DOUBLE_EQ(job::WorkingFarmCrop("Potatoes", 1, "Sprinkler").areaAcres, 0.0);
}

TEST_F(JobStore, SavingChangesReplacesOnlyTheRowsOfExactlyThatName)
{
    Collect quiet;
    JobState otherState;
    CropRunContext other = maricopaJob("field a", otherState);   // differs only in case
    fillWorking(other.JobName, {nehCrop()});
    job::SaveJob(other, otherState);
    JobState ctxState;
    CropRunContext ctx = maricopaJob("Field A", ctxState);
    fillWorking(ctx.JobName, threeFamilies());
    job::SaveJob(ctx, ctxState);
    EXPECT_EQ(cropRowsOf("Field A"), 3);

    // Delete a crop and save the changes: the crop is gone from the saved rows.
    fillWorking(ctx.JobName, {faoCrop(), bcCrop()});
    ctxState.JobSaveState = 2;
    ctx.JobLocation = "Field 8";
    ASSERT_EQ(job::SaveJob(ctx, ctxState), job::SaveResult::Updated);
    EXPECT_EQ(cropRowsOf("Field A"), 2);
    EXPECT_EQ(cropRowsOf("field a"), 1);
    CropRunContext back;
    JobState backState;
    ASSERT_TRUE(job::LoadJob("Field A", back, backState));
    EXPECT_EQ(back.JobLocation, "Field 8");
    ASSERT_TRUE(job::LoadJob("field a", back, backState));
    EXPECT_EQ(back.JobLocation, "Field 7");
    EXPECT_FALSE(job::LoadJob("Field", back, backState));

    // A job without crops saves its row and no crop rows.
    JobState emptyState;
    CropRunContext empty = maricopaJob("No crops", emptyState);
    fillWorking(empty.JobName, {});
    job::SaveJob(empty, emptyState);
    EXPECT_NE(job::FindJob("No crops"), 0);
    EXPECT_EQ(cropRowsOf("No crops"), 0);
}

TEST_F(JobStore, ChangedJobWhoseRowIsGoneIsAppendedNotWrittenOverItsNeighbour)
{
    Collect quiet;
    JobState neighbourState;
    CropRunContext neighbour = maricopaJob("Bravo", neighbourState);
    fillWorking("Bravo", {nehCrop()});
    job::SaveJob(neighbour, neighbourState);
    JobState ctxState;
    CropRunContext ctx = maricopaJob("Alpha", ctxState);
    fillWorking("Alpha", threeFamilies());
    job::SaveJob(ctx, ctxState);

    // Alpha's row is removed meanwhile (another program, the removal dialog);
    // the open job saves its changes.
    ASSERT_TRUE(job::DeleteJob(job::FindJob("Alpha")));
    ctxState.JobSaveState = 2;
    ctx.JobLocation = "Changed";
    EXPECT_EQ(job::SaveJob(ctx, ctxState), job::SaveResult::Appended);

    CropRunContext back;
    JobState backState;
    ASSERT_TRUE(job::LoadJob("Bravo", back, backState));
    EXPECT_EQ(back.JobLocation, "Field 7");
    EXPECT_EQ(cropRowsOf("Bravo"), 1);
    ASSERT_TRUE(job::LoadJob("Alpha", back, backState));
    EXPECT_EQ(back.JobLocation, "Changed");
    EXPECT_EQ(cropRowsOf("Alpha"), 3);
}

// Get New Climate asks for what the job needs in a fixed order and takes
// nothing into the job while it refuses; another saved job's name is
// refused, the open job's own name is not.
TEST_F(JobStore, StationChoiceNeedsANameALocationAndAPlannerInThatOrder)
{
    Collect quiet;
    JobState savedState;
    CropRunContext saved = maricopaJob("Taken", savedState);
    fillWorking(saved.JobName, {});
    job::SaveJob(saved, savedState);

    auto typed = [](const char* t, bool modified = true) { return job::TypedText{QString::fromLatin1(t), modified}; };
    job::JobEntries e{typed(""), typed(""), typed(""), typed("Land user"), typed("ID 1"), typed("Class"), "05/01/26"};
    CropRunContext ctx;
    JobState state;
    job::EntryRefusal r = job::TakeEntriesForStation(ctx, state, e);
    EXPECT_EQ(r.message, "Please enter a Job Name.");
    EXPECT_EQ(r.entry, job::JobEntry::Name);
    EXPECT_EQ(state.JobSaveState, 2);   // the job counts as changed all the same
    e.name = typed("Taken");
    r = job::TakeEntriesForStation(ctx, state, e);
    EXPECT_EQ(r.message, "Job Name already used. Enter a unique name.");
    EXPECT_EQ(r.entry, job::JobEntry::Name);
    e.name = typed("Fresh");
    r = job::TakeEntriesForStation(ctx, state, e);
    EXPECT_EQ(r.message, "Please enter a Job Location.");
    EXPECT_EQ(r.entry, job::JobEntry::Location);
    e.location = typed("Field 7");
    r = job::TakeEntriesForStation(ctx, state, e);
    EXPECT_EQ(r.message, "Please enter the planner's name.");
    EXPECT_EQ(r.entry, job::JobEntry::Planner);
    EXPECT_TRUE(ctx.JobLocation.isEmpty());
    EXPECT_TRUE(ctx.JobLandUser.isEmpty());

    e.planner = typed("R. Allen");
    e.id = typed("ID 2", false);   // not edited: the job keeps its own
    ctx.JobID = "ID 0";
    EXPECT_FALSE(job::TakeEntriesForStation(ctx, state, e));
    EXPECT_EQ(ctx.JobName, "Fresh");
    EXPECT_EQ(ctx.JobLocation, "Field 7");
    EXPECT_EQ(ctx.JobPlanner, "R. Allen");
    EXPECT_EQ(ctx.JobLandUser, "Land user");
    EXPECT_EQ(ctx.JobID, "ID 0");
    EXPECT_EQ(ctx.JobDate, "05/01/26");

    // The saved job itself, open again: its own name is no refusal.
    e.name = typed("Taken");
    EXPECT_TRUE(job::TakeEntriesForStation(ctx, state, e));
    EXPECT_FALSE(job::TakeEntriesForStation(ctx, savedState, e));
}

TEST_F(JobStore, DeletingAJobTakesItsCropsAndNothingElse)
{
    Collect quiet;
    for (const char* name : {"Keep", "Drop", "Drop "}) {
        JobState cState;
        CropRunContext c = maricopaJob(name, cState);
        fillWorking(name, threeFamilies());
        job::SaveJob(c, cState);
    }
    EXPECT_TRUE(job::DeleteJob(job::FindJob("Drop")));
    EXPECT_FALSE(job::DeleteJob(987654));
    EXPECT_EQ(job::FindJob("Drop"), 0);
    EXPECT_EQ(cropRowsOf("Drop"), 0);
    EXPECT_EQ(cropRowsOf("Drop "), 3);
    EXPECT_EQ(cropRowsOf("Keep"), 3);
    EXPECT_EQ(job::DeleteJobsNamed("Keep"), 1);
    EXPECT_EQ(cropRowsOf("Keep"), 0);
    EXPECT_TRUE(job::HasSavedJobs());

    // Two rows of one name, as older versions could leave them: deleting
    // one leaves the crops to the other.
    TTable jobs("QuenJob.db");
    jobs.open();
    jobs.append();
    jobs.field("JobName").setAsString("Drop ");
    jobs.post();
    const int twin = jobs.field("JobNumber").asInteger();
    jobs.close();
    EXPECT_TRUE(job::DeleteJob(twin));
    EXPECT_EQ(cropRowsOf("Drop "), 3);
    EXPECT_TRUE(job::DeleteJob(job::FindJob("Drop ")));
    EXPECT_EQ(cropRowsOf("Drop "), 0);
}

TEST_F(JobStore, AFailedTransactionLeavesTheSavedJobAsItWas)
{
    Collect quiet;
    JobState ctxState;
    CropRunContext ctx = maricopaJob("Whole", ctxState);
    fillWorking("Whole", threeFamilies());
    job::SaveJob(ctx, ctxState);
    TTable jobs("QuenJob.db");
    jobs.open();   // an open handle sees the rollback
    EXPECT_THROW(Database::transaction(
                     [&] {
                         TTable saved("QuenJobCrop.DB");
                         saved.open();
                         while (!saved.isEmpty()) saved.remove();
                         saved.close();
                         jobs.first();
                         jobs.remove();
                         throw DbError("disk full");
                     },
                     {"QuenJob.db", "QuenJobCrop.DB"}),
                 DbError);
    EXPECT_EQ(jobs.recordCount(), 1);
    jobs.close();
    EXPECT_EQ(cropRowsOf("Whole"), 3);
    // The connection is usable afterwards.
    ctxState.JobSaveState = 2;
    EXPECT_EQ(job::SaveJob(ctx, ctxState), job::SaveResult::Updated);
}

// Sets the auto-increment counter of "QuenJobCrop.DB": the next crop row
// saved gets last + 1 (an office database after many saves).
void setSavedCropCounter(qint64 last)
{
    if (dbi::isServer()) {
        dbi::execSql(QStringLiteral("SELECT setval(pg_get_serial_sequence('\"QuenJobCrop\"', 'Job Crop No'), %1)").arg(last));
    } else {
        dbi::execSql(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'QuenJobCrop'"));
        dbi::execSql(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES ('QuenJobCrop', %1)").arg(last));
    }
}

TEST_F(JobStore, SavedJobOpensWhateverTheCropRowCounterReached)
{
    Collect quiet;
    // Three crops saved with row numbers just below the limit of a short,
    // across it and far past it.
    for (const qint64 last : {32764LL, 32765LL, 32767LL, 100000LL}) {
        SCOPED_TRACE(last);
        JobState ctxState;
        CropRunContext ctx = maricopaJob(QStringLiteral("Counter %1").arg(last), ctxState);
        ctxState.CropCounter = 5;   // crops 1 and 3 of five were deleted
        QList<WorkingCrop> crops = threeFamilies();
        for (WorkingCrop& c : crops) c.etIndex = ctx.ETMethodIndex;
        fillWorking(ctx.JobName, crops);
        setSavedCropCounter(last);
        ASSERT_EQ(job::SaveJob(ctx, ctxState), job::SaveResult::Appended);
        {
            TTable saved("QuenJobCrop.DB");
            saved.open();
            saved.last();
            EXPECT_EQ(saved.field("Job Crop No").asInteger(), last + 3);
            saved.close();
        }

        CropRunContext back;
        JobState backState;
        CropCurveState st;
        TTable wk("QuenWkCrop.DB");
        ASSERT_NO_THROW(ASSERT_TRUE(job::FetchJob(ctx.JobName, back, backState, st, wk)));
        ASSERT_EQ(wk.recordCount(), 3);
        // Numbered 1..3 in the saved order, each crop computed.
        QStringList names;
        int no = 0;
        for (wk.first(); !wk.eof(); wk.next()) {
            EXPECT_EQ(wk.field("Crop No").asInteger(), ++no);
            EXPECT_GT(wk.field("IR Season").asFloat(), 0.0);
            names << wk.field("Crop Name").asString();
        }
        EXPECT_EQ(names, (QStringList{"Potatoes", "Potatoes BC", "Winter wheat"}));
        EXPECT_EQ(backState.CropCounter, 5);
        wk.close();

        // Saved again from the fetch: the crops stay the job's own, and the
        // counter goes on from where it was.
        backState.JobSaveState = 2;
        ASSERT_EQ(job::SaveJob(back, backState), job::SaveResult::Updated);
        EXPECT_EQ(cropRowsOf(ctx.JobName), 3);

        // quenpm-calc opens it too.
        CropRunContext calcCtx;
        ASSERT_TRUE(calc::LoadJob(ctx.JobName, calcCtx));
        QList<calc::CropResult> computed;
        ASSERT_NO_THROW(computed = calc::ComputeJob(calcCtx));
        EXPECT_EQ(computed.size(), 3);
        EXPECT_EQ(job::DeleteJobsNamed(ctx.JobName), 1);
    }

    // A job saved with fewer crops counted than it has: the next crop added
    // after the fetch still gets a number no working crop has.
    JobState ctxState;
    CropRunContext ctx = maricopaJob("Undercounted", ctxState);
    ctxState.CropCounter = 1;
    fillWorking(ctx.JobName, threeFamilies());
    job::SaveJob(ctx, ctxState);
    CropRunContext back;
    JobState backState;
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    ASSERT_TRUE(job::FetchJob(ctx.JobName, back, backState, st, wk));
    EXPECT_EQ(backState.CropCounter, 3);
    wk.close();
}

TEST(DefaultRatios, FromTheAnnualPrecipitation)
{
    EXPECT_NEAR(job::DefaultRatio50(0), 0.774261, 1e-9);
    EXPECT_NEAR(job::DefaultRatio80(0), 0.415008, 1e-9);
    EXPECT_NEAR(job::DefaultRatio50(10), 0.912569, 1e-6);
    EXPECT_NEAR(job::DefaultRatio80(10), 0.641681, 1e-6);
    EXPECT_NEAR(job::DefaultRatio50(20), 0.965787, 1e-6);
    EXPECT_NEAR(job::DefaultRatio80(20), 0.761487, 1e-6);
}

// A Penman-Monteith job saved at a station without a wind, humidity and
// radiation record (MT WASHINGTON; a station chosen again for a job with
// crops kept the job's method) says so when it is fetched and is computed by
// Blaney-Criddle, in the window's fetch and in quenpm-calc alike; the wind of
// ABERDEEN, SD, the row a nearest search on the empty location lands on,
// never reaches it.
// A station taken into a job that already ran on another station: the metric
// station values an output draws before the next run are the new station's.
TEST_F(JobStore, StationTakenIntoAJobBringsItsMetricTwins)
{
    JobState ctxState;
    CropRunContext ctx = maricopaJob("Twins", ctxState);
    const double maricopaJanC = ctx.MonthlyTempC[1];
    for (int m = 1; m <= 12; ++m) {   // as a run on Maricopa leaves them
        ctx.MonthlyPrecipCm[m] = ctx.MonthlyPrecip[m] * 2.54;
        ctx.MonthlyTempC[m] = (ctx.MonthlyTemp[m] - 32.0) * 5.0 / 9.0;
    }
    ctx.AnnualPrecipCm = ctx.AnnualPrecip * 2.54;
    {
        TTable clim("Climate.DB");
        clim.open();
        ASSERT_TRUE(clim.locate("Station Name", QStringLiteral("MT WASHINGTON")));
        job::CopyStation(clim, ctx);
        clim.close();
    }
    ASSERT_EQ(ctx.WeatherStationName, QStringLiteral("MT WASHINGTON"));
    for (int m = 1; m <= 12; ++m) {
        EXPECT_DOUBLE_EQ(ctx.MonthlyPrecipCm[m], ctx.MonthlyPrecip[m] * 2.54) << "month " << m;
        EXPECT_DOUBLE_EQ(ctx.MonthlyTempC[m], (ctx.MonthlyTemp[m] - 32.0) * 5.0 / 9.0) << "month " << m;
    }
    EXPECT_DOUBLE_EQ(ctx.AnnualPrecipCm, ctx.AnnualPrecip * 2.54);
    EXPECT_NE(ctx.MonthlyTempC[1], maricopaJanC);
}

TEST_F(JobStore, FetchedPenmanMonteithJobAtAStationWithoutWindDataFallsBack)
{
    const QString insufficient = QStringLiteral(
        "There is insufficient climatic data for Penman-Monteith method.  Will use Blaney Criddle (TR21) method.");
    JobState ctxState;
    CropRunContext ctx = maricopaJob("Summit", ctxState);
    {
        TTable clim("Climate.DB");
        clim.open();
        ASSERT_TRUE(clim.locate("Station Name", QStringLiteral("MT WASHINGTON")));
        ASSERT_TRUE(clim.field("WHRLocation").asString().isEmpty());
        job::CopyStation(clim, ctx);
        clim.close();
    }
    ctxState.CropCounter = 2;
    fillWorking(ctx.JobName, {nehCrop(), faoCrop()});
    {
        Collect quiet;
        ASSERT_EQ(job::SaveJob(ctx, ctxState), job::SaveResult::Appended);
    }
    auto setAberdeenJulyWind = [](double mph) {
        TTable whr("ClimWHR.DB");
        whr.open();
        ASSERT_TRUE(whr.locate("WHRLocation", QStringLiteral("ABERDEEN, SD")));
        whr.edit();
        whr.field("U27").setAsFloat(mph);
        whr.post();
        whr.close();
    };

    // The Blaney-Criddle results of the same crops.
    QList<CropRunContext> expected;
    {
        Collect msgs;
        CropRunContext e = ctx;
        e.ETMethodIndex = 1;
        CropCurveState st;
        TTable wk("QuenWkCrop.DB");
        wk.open();
        for (wk.first(); !wk.eof(); wk.next()) {
            wk.edit();
            wk.field("ET Index").setAsInteger(1);
            wk.post();
            e.CropName = wk.field("Crop Name").asString();
            ComputeCrop(e, st, wk);
            expected << e;
        }
        wk.close();
        wk.emptyTable();
        EXPECT_TRUE(msgs.texts.isEmpty());
        ASSERT_GT(expected[0].TotalCropET, 0.0);
    }

    for (double julyWind : {0.0, 30.0}) {
        SCOPED_TRACE(julyWind);
        if (julyWind > 0)
            setAberdeenJulyWind(julyWind);
        Collect msgs;
        CropRunContext back;
        JobState backState;
        CropCurveState st;
        TTable wk("QuenWkCrop.DB");
        QList<CropRunContext> got;
        ASSERT_TRUE(job::FetchJob("Summit", back, backState, st, wk));
        EXPECT_EQ(msgs.texts, QStringList{insufficient});   // once for the job
        EXPECT_EQ(back.ETMethodIndex, 1);
        EXPECT_EQ(back.ETMethodText, "Blaney Criddle (TR21)");
        expectSameResults(back, expected.last(), "fetch");
        int i = 0;
        for (wk.first(); !wk.eof(); wk.next(), ++i) {
            EXPECT_EQ(wk.field("ET Index").asInteger(), 1);
            EXPECT_DOUBLE_EQ(wk.field("IR Season").asFloat(), expected[i].TotalNetIrrReq50);
        }
        wk.close();

        CropRunContext calcCtx;
        ASSERT_TRUE(calc::LoadJob("Summit", calcCtx));
        const auto crops = calc::ComputeJob(calcCtx);
        ASSERT_EQ(crops.size(), 2);
        EXPECT_EQ(crops[0].messages, QStringList{insufficient});
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(crops[k].ctx.ETMethodIndex, 1);
            expectSameResults(crops[k].ctx, expected[k], "quenpm-calc");
        }
    }
}

// A refused latitude: the message once, no numbers, never negative ET.
TEST_F(JobStore, RefusedLatitudeLeavesTheCropsResultsEmpty)
{
    // A copy of the Maricopa station whose latitude has only two digits.
    {
        TTable clim("Climate.DB");
        clim.open();
        clim.findNearest({QStringLiteral("MARICOPA AZMET")});
        QVariantList row = clim.rowValues();
        row[clim.field("Station Name").index()] = QStringLiteral("BAD LATITUDE");
        row[clim.field("Latitude").index()] = 60;
        clim.appendRecord(row);
        clim.close();
    }
    for (const WorkingCrop& c : {nehCrop(), bcCrop()}) {
        SCOPED_TRACE(c.etIndex);
        Collect msgs;
        JobState ctxState;
        CropRunContext ctx = maricopaJob("Bad latitude", ctxState);
        ctx.WeatherStationName = "BAD LATITUDE";
        ctx.ETMethodIndex = c.etIndex;
        fillWorking(ctx.JobName, {c});
        CropCurveState st;
        TTable wk("QuenWkCrop.DB");
        wk.open();
        ctx.CropName = c.name;
        ComputeCrop(ctx, st, wk);
        EXPECT_EQ(msgs.texts.count(kLatitudeNotCorrect), 1);
        for (int m = 1; m <= 12; ++m) {
            EXPECT_EQ(ctx.MonthlyCropET[m], 0.0) << m;
            EXPECT_EQ(ctx.NetIrrReq50[m], 0.0) << m;
            EXPECT_EQ(ctx.NetIrrReq80[m], 0.0) << m;
            EXPECT_EQ(ctx.DailyRefET[m], 0.0) << m;
            EXPECT_EQ(ctx.EffPrecip50[m], 0.0) << m;
            EXPECT_EQ(wk.field(QStringLiteral("IR ") + kMonthAbbrev[m]).asFloat(), 0.0);
        }
        EXPECT_EQ(ctx.TotalCropET, 0.0);
        EXPECT_EQ(ctx.TotalNetIrrReq50, 0.0);
        EXPECT_GT(ctx.MonthlyKc[6], 0.0);   // the crop curve is still there
        wk.close();

        // quenpm-calc says so in its messages.
        ctxState.JobSaveState = 1;
        job::SaveJob(ctx, ctxState);
        CropRunContext calcCtx;
        ASSERT_TRUE(calc::LoadJob("Bad latitude", calcCtx));
        const auto crops = calc::ComputeJob(calcCtx);
        ASSERT_EQ(crops.size(), 1);
        EXPECT_EQ(crops[0].messages, QStringList{kLatitudeNotCorrect});
        EXPECT_TRUE(calc::JobText("Bad latitude", crops).contains("No results: the station's latitude was refused."));
        EXPECT_EQ(crops[0].ctx.TotalCropET, 0.0);
        job::DeleteJobsNamed("Bad latitude");
    }
}

// ---- one job per name, crop rows of exactly one job -------------------------------

namespace {

// What the two saved tables hold: each job row (name and location) by its
// number, and the row numbers and crop names of the crop rows by job name.
struct Tables {
    QMap<int, QPair<QString, QString>> jobs;
    QMap<QString, QList<int>> cropRows;
    QMap<QString, QStringList> cropNames;
    QStringList jobNames;   // one per job row, duplicates included

    static Tables read()
    {
        Tables t;
        TTable jobs("QuenJob.db");
        jobs.open();
        for (jobs.first(); !jobs.eof(); jobs.next()) {
            const QString name = jobs.field("JobName").asString();
            t.jobs.insert(jobs.field("JobNumber").asInteger(), {name, jobs.field("Location").asString()});
            t.jobNames << name;
        }
        jobs.close();
        TTable saved("QuenJobCrop.DB");
        saved.open();
        for (saved.first(); !saved.eof(); saved.next()) {
            const QString name = saved.field("JobName").asString();
            t.cropRows[name] << saved.field("Job Crop No").asInteger();
            t.cropNames[name] << saved.field("Crop Name").asString();
        }
        saved.close();
        for (QStringList& l : t.cropNames) l.sort();
        return t;
    }

    // The rules every sequence of saves and deletions must keep.
    void expectSound(const std::string& where) const
    {
        SCOPED_TRACE(where);
        QStringList sorted = jobNames;
        sorted.sort();
        for (int i = 1; i < sorted.size(); ++i)
            EXPECT_NE(sorted[i], sorted[i - 1]) << "two jobs share a name";
        EXPECT_EQ(jobs.size(), jobNames.size()) << "two jobs share a number";
        for (auto it = cropRows.begin(); it != cropRows.end(); ++it)
            EXPECT_EQ(jobNames.count(it.key()), 1)
                << "crop rows of \"" << it.key().toStdString() << "\" belong to " << jobNames.count(it.key()) << " jobs";
        for (const QString& name : jobNames)
            EXPECT_LE(name.size(), job::JobNameWidth());
    }

    // Crop rows of every job name but except are as in before.
    void expectCropsKept(const Tables& before, const QString& except, const std::string& where) const
    {
        SCOPED_TRACE(where);
        for (auto it = before.cropRows.begin(); it != before.cropRows.end(); ++it)
            if (it.key() != except)
                EXPECT_EQ(cropRows.value(it.key()), it.value()) << "crops of \"" << it.key().toStdString() << "\" changed";
        for (auto it = cropRows.begin(); it != cropRows.end(); ++it)
            if (it.key() != except)
                EXPECT_TRUE(before.cropRows.contains(it.key())) << "crops appeared for \"" << it.key().toStdString() << '"';
    }
};

} // namespace

TEST_F(JobStore, SavesRenamesAndDeletionsNeverLetTwoJobsShareANameOrCropRows)
{
    Collect quiet;
    // Names that meet at the edges: case, a trailing blank, the width of
    // "JobName" and longer names whose first 50 characters are those of
    // another name.
    const QString p50 = QStringLiteral("Lower river bottom, pivots 1 to 4, north of ditch ").left(50);
    ASSERT_EQ(p50.size(), 50);
    const QStringList names = {"Alpha", "alpha", "Alpha ", "Bravo", p50.left(49), p50,
                               p50.left(49) + "Z", p50 + "1", p50 + "0123456789"};
    const QList<WorkingCrop> crops = threeFamilies();
    int saves = 0, refusals = 0, fetches = 0, deletions = 0;

    for (const quint32 seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        QRandomGenerator rng(seed);
        for (const int n : Tables::read().jobs.keys()) job::DeleteJob(n);   // nothing left from the last seed

        CropRunContext ctx;   // the open job
        JobState ctxState;
        QStringList working;  // its working crops
        auto fill = [&] {
            QList<WorkingCrop> pick;
            for (const WorkingCrop& c : crops)
                if (rng.bounded(2)) pick << c;
            fillWorking(ctx.JobName, pick);
            working.clear();
            for (const WorkingCrop& c : pick) working << c.name;
            working.sort();
        };
        auto anyName = [&] { return names[rng.bounded(int(names.size()))]; };

        for (int step = 0; step < 150; ++step) {
            const Tables before = Tables::read();
            const QList<int> numbers = before.jobs.keys();
            const int op = rng.bounded(7);
            std::string what;
            if (op == 0) {   // New Job
                ctx = maricopaJob(anyName(), ctxState);
                fill();
                what = "new " + ctx.JobName.toStdString();
            } else if (op == 1) {   // a renamed job, saved as new or with its changes
                ctx.JobName = anyName();
                ctxState.JobSaveState = 1 + rng.bounded(2);
                what = "rename to " + ctx.JobName.toStdString();
            } else if (op == 2) {   // crops added or deleted
                fill();
                if (ctxState.JobSaveState == 0) ctxState.JobSaveState = 2;
                what = "crops changed";
            } else if (op == 3 && !numbers.isEmpty()) {   // Get Prev Job
                const QString name = before.jobs.value(numbers[rng.bounded(int(numbers.size()))]).first;
                CropCurveState st;
                TTable wk("QuenWkCrop.DB");
                ASSERT_TRUE(job::FetchJob(name, ctx, ctxState, st, wk));
                wk.close();
                ++fetches;
                EXPECT_EQ(ctx.JobName, name);
                working = before.cropNames.value(name);
                what = "fetch " + name.toStdString();
            } else if (op == 4 && (ctxState.JobSaveState == 1 || ctxState.JobSaveState == 2)) {   // Save Job
                what = "save " + ctx.JobName.toStdString() + " state " + std::to_string(ctxState.JobSaveState);
                const int numberBefore = ctxState.JobFromDatabase ? ctxState.JobNumber : 0;
                ctx.JobLocation = QStringLiteral("step %1").arg(step);
                bool refused = false;
                try {
                    job::SaveJob(ctx, ctxState);
                    ctxState.JobSaveState = 0;
                } catch (const DbError&) {
                    refused = true;
                }
                ++(refused ? refusals : saves);
                const Tables after = Tables::read();
                if (ctx.JobName.size() > job::JobNameWidth())
                    EXPECT_TRUE(refused) << what;
                if (refused) {
                    EXPECT_EQ(after.jobs, before.jobs) << what;
                    EXPECT_EQ(after.cropRows, before.cropRows) << what;
                } else {
                    // Written: the open job's own row or a new one, nothing else.
                    const int saved = ctxState.JobNumber;
                    EXPECT_TRUE(!before.jobs.contains(saved) || saved == numberBefore) << what;
                    EXPECT_EQ(after.jobs.value(saved).first, ctx.JobName) << what;
                    for (const int n : numbers)
                        if (n != saved) EXPECT_EQ(after.jobs.value(n), before.jobs.value(n)) << what;
                    EXPECT_EQ(after.cropNames.value(ctx.JobName), working) << what;
                    after.expectCropsKept(before, ctx.JobName, what);
                }
            } else if (op == 5 && !numbers.isEmpty()) {   // the job removal dialog
                const int n = numbers[rng.bounded(int(numbers.size()))];
                const QString name = before.jobs.value(n).first;
                what = "delete " + name.toStdString();
                EXPECT_TRUE(job::DeleteJob(n));
                ++deletions;
                const Tables after = Tables::read();
                EXPECT_FALSE(after.jobs.contains(n));
                EXPECT_FALSE(after.cropRows.contains(name)) << what;
                after.expectCropsKept(before, name, what);
                if (ctxState.JobFromDatabase && ctxState.JobNumber == n) {   // the open job stays open, unsaved
                    ctxState.JobFromDatabase = false;
                    ctxState.JobNumber = 0;
                    ctxState.JobSaveState = 1;
                }
            } else if (op == 6) {   // the job name check's replace
                const QString name = anyName();
                what = "replace " + name.toStdString();
                job::DeleteJobsNamed(name);
                const Tables after = Tables::read();
                EXPECT_FALSE(after.jobNames.contains(name));
                after.expectCropsKept(before, name, what);
            }
            Tables::read().expectSound("step " + std::to_string(step) + ": " + what);
            if (HasFailure()) return;
        }
    }
    std::printf("saves %d, refused %d, fetches %d, deletions %d\n", saves, refusals, fetches, deletions);
    EXPECT_GT(saves, 20);
    EXPECT_GT(refusals, 5);
}

TEST_F(JobStore, NameLongerThanTheFieldIsRefusedNotCut)
{
    Collect quiet;
    const QString p50 = QString(50, QLatin1Char('x'));
    JobState firstState;
    CropRunContext first = maricopaJob(p50, firstState);
    fillWorking(p50, {nehCrop()});
    job::SaveJob(first, firstState);

    JobState ctxState;
    CropRunContext ctx = maricopaJob(p50 + "y", ctxState);
    fillWorking(ctx.JobName, threeFamilies());
    try {
        job::SaveJob(ctx, ctxState);
        ADD_FAILURE() << "a 51-character name was saved";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "The job name \"" + ctx.JobName + "\" has 51 characters; a job name has at most 50.");
    }
    EXPECT_EQ(cropRowsOf(p50), 1);
    EXPECT_EQ(job::FindJob(ctx.JobName), 0);
    EXPECT_FALSE(ctxState.JobFromDatabase);
    TTable jobs("QuenJob.db");
    jobs.open();
    EXPECT_EQ(jobs.recordCount(), 1);
    jobs.close();
    EXPECT_EQ(job::JobNameProblem(p50), QString());
    EXPECT_EQ(job::JobNameProblem(QString()), "Please enter a Job Name.");
}

// ---- all or nothing under kills -----------------------------------------------------

namespace {

const char* const kKillJob = "Kill job";

// The child: saves the 20-crop job over and over, alternating two versions
// (location "A"/"B", every crop's irrigation type the same letter and a
// different number of crops), until it is killed.
int runSaveChild(const QString& path)
{
    Collect quiet;
    Database::open(path);
    CropRunContext ctx;
    JobState ctxState;
    if (!job::LoadJob(kKillJob, ctx, ctxState))
        return 3;
    std::printf("ready\n");
    std::fflush(stdout);
    TTable wk("QuenWkCrop.DB");
    for (int round = 0;; ++round) {
        const QString v = round % 2 ? QStringLiteral("A") : QStringLiteral("B");
        const int n = round % 2 ? 20 : 19;
        wk.emptyTable();
        wk.open();
        for (int i = 0; i < n; ++i) {
            WorkingCrop c = i % 3 == 0 ? nehCrop() : i % 3 == 1 ? faoCrop() : bcCrop();
            c.name += QString::number(i);
            c.irrigationType = v;
            appendWorkingCrop(wk, c, kKillJob, i + 1);
        }
        wk.close();
        ctx.JobLocation = v;
        ctxState.JobSaveState = 2;
        job::SaveJob(ctx, ctxState);
    }
}

} // namespace

int maybeRunJobTestChild()
{
    const QByteArray path = qgetenv("QUEN_JOB_SAVE_CHILD");
    if (path.isEmpty())
        return -1;
    return runSaveChild(QString::fromLocal8Bit(path));
}

TEST(JobSaveKill, SavedJobIsTheOldOrTheNewOneWholeAfterAKill)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kill.sqlite");
    {
        Collect quiet;
        Database::open(path);
        CropRunContext ctx;
        JobState ctxState;
        ctx.JobName = kKillJob;
        ctx.JobLocation = "A";
        ctxState.JobSaveState = 1;
        TTable wk("QuenWkCrop.DB");
        wk.emptyTable();
        wk.open();
        for (int i = 0; i < 20; ++i) {
            WorkingCrop c = nehCrop();
            c.name += QString::number(i);
            c.irrigationType = "A";
            appendWorkingCrop(wk, c, kKillJob, i + 1);
        }
        wk.close();
        job::SaveJob(ctx, ctxState);
        Database::close();
    }

    auto* rng = QRandomGenerator::global();
    int sawA = 0, sawB = 0;
    const int kills = 40;
    for (int k = 0; k < kills; ++k) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUEN_JOB_SAVE_CHILD", path);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(20000))
            << "child never got ready: exit " << child.exitCode() << " " << child.readAllStandardError().toStdString();
        // Somewhere within the next few saves.
        QThread::usleep(rng->bounded(500, 40000));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));

        Database::open(path);
        TTable jobs("QuenJob.db");
        jobs.open();
        ASSERT_EQ(jobs.recordCount(), 1) << "kill " << k;
        const QString v = jobs.field("Location").asString();
        jobs.close();
        TTable saved("QuenJobCrop.DB");
        saved.open();
        int n = 0, same = 0;
        for (saved.first(); !saved.eof(); saved.next()) {
            ++n;
            same += saved.field("Irrigation Type").asString() == v;
        }
        saved.close();
        Database::close();
        ASSERT_TRUE(v == "A" || v == "B") << "kill " << k;
        EXPECT_EQ(n, v == "A" ? 20 : 19) << "kill " << k << ": version " << v.toStdString();
        EXPECT_EQ(same, n) << "kill " << k;
        (v == "A" ? sawA : sawB)++;
    }
    // The kills landed in different saves, not all before the first.
    EXPECT_GT(sawA + sawB, 0);
    std::printf("kills: %d, saved job found as version A %d times, B %d times\n", kills, sawA, sawB);
}

// The details file is rewritten in place: a shorter second run leaves no tail
// of the first.
TEST_F(JobStore, DetailsFileHoldsOnlyTheLastRun)
{
    Collect quiet;
    JobState ctxState;
    CropRunContext ctx = maricopaJob("Details", ctxState);
    fillWorking(ctx.JobName, {faoCrop(), nehCrop()});
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    wk.open();
    wk.last();   // "Winter wheat", then the shorter "Potatoes"
    ComputeCrop(ctx, st, wk);
    wk.first();
    ComputeCrop(ctx, st, wk);
    wk.close();
    QFile f("FAO56.txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(),
              "\nPenman-Monteith ETo COMPUTATIONS DETAILS\n\nCrop: Potatoes,  Job: Details\n\n");
}
