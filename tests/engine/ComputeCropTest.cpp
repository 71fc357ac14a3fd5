// ComputeCrop end to end on a small database built by the test.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "Calendar.h"
#include "ComputeCrop.h"
#include "EngineFixture.h"
#include "EtMethod.h"
#include "GrowthDates.h"
#include "ReferenceET.h"
#include "TestMessages.h"
#include "db/Table.h"

using namespace quen;
using quen::test::CropRow;
using quen::test::EngineDatabase;
using quen::test::RecordingMessages;

namespace {

class ComputeCropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<EngineDatabase>();
        previousDir = QDir::currentPath();
        QDir::setCurrent(db->dir());
        wk = std::make_unique<TTable>(QStringLiteral("QuenWkCrop.DB"));
        wk->open();
        setStation("Test Station", EngineDatabase::kPrecip);
    }
    void TearDown() override
    {
        wk->close();
        wk.reset();
        QDir::setCurrent(previousDir);
        db.reset();
    }

    void setStation(const QString& name, const double* precip)
    {
        ctx.WeatherStationName = name;
        ctx.JobName = "Test job";
        ctx.AnnualPrecip = 0;
        for (int m = 1; m <= 12; ++m) {
            ctx.MonthlyPrecip[m] = precip[m];
            ctx.MonthlyTemp[m] = EngineDatabase::kTemp[m];
            ctx.AnnualPrecip += precip[m];
        }
    }

    void append(const CropRow& r)
    {
        quen::test::appendWorkingCrop(*wk, r, ++cropNo);
        ctx.CropName = r.name;
    }

    void compute(const CropRow& r)
    {
        append(r);
        ComputeCrop(ctx, state, *wk);
    }

    void expectFinite()
    {
        for (int m = 1; m <= 12; ++m) {
            for (const MonthlyValues* a : {&ctx.DailyRefET, &ctx.DailyCropET, &ctx.MonthlyKc, &ctx.MonthlyCropET,
                                           &ctx.EffPrecip50, &ctx.EffPrecip80, &ctx.NetIrrReq50, &ctx.NetIrrReq80,
                                           &ctx.CarryOverUsed50, &ctx.CarryOverUsed80, &ctx.PeakDailyET,
                                           &ctx.ShoulderRefET})
                ASSERT_TRUE(std::isfinite((*a)[m])) << m;
        }
        ASSERT_TRUE(std::isfinite(ctx.TotalNetIrrReq50));
    }

    std::unique_ptr<EngineDatabase> db;
    std::unique_ptr<TTable> wk;
    QString previousDir;
    CropRunContext ctx;
    CropCurveState state;
    int cropNo = 0;
};

QString ReadFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    return QString::fromUtf8(f.readAll());
}

} // namespace

TEST_F(ComputeCropTest, BlaneyCriddleAnnualEndToEnd)
{
    RecordingMessages msgs;
    compute(CropRow{});
    EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join("|").toStdString();

    // Season 15 April to 15 October.
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(ctx.SeasonMonthFlags[m], m >= 4 && m <= 10) << m;
        EXPECT_EQ(ctx.ShoulderRefET[m], 0.0) << m;
        if (!ctx.SeasonMonthFlags[m]) {
            EXPECT_EQ(ctx.DailyRefET[m], 0.0) << m;
            EXPECT_EQ(ctx.MonthlyKc[m], 0.0) << m;
            EXPECT_EQ(ctx.MonthlyCropET[m], 0.0) << m;
            EXPECT_EQ(ctx.EffPrecip50[m], 0.0) << m;
            EXPECT_EQ(ctx.NetIrrReq50[m], 0.0) << m;
        } else {
            EXPECT_GT(ctx.MonthlyKc[m], 0.0) << m;
        }
    }
    // July: the TR21 rate of the station's temperatures and daytime hours.
    BlaneyCriddleInputs in;
    in.month = 7;
    in.t = 73;
    in.tPrev = 67;
    in.tNext = 71;
    in.latitude = 4119;
    in.elevationFt = 4000;
    in.inSeason = true;
    in.plantMonth = 4;
    in.plantDay = 15;
    in.harvestMonth = 10;
    in.harvestDay = 15;
    const double july = BlaneyCriddleRate(in, [](int, int m) { return EngineDatabase::kPctDay[m]; });
    EXPECT_NEAR(ctx.DailyRefET[7], july, 1e-12);
    EXPECT_NEAR(ctx.DailyCropET[7], july * ctx.MonthlyKc[7], 1e-12);
    EXPECT_NEAR(ctx.DailyRefETmm[7], july * 25.4, 1e-10);
    EXPECT_NEAR(ctx.MonthlyCropET[7], 31 * ctx.DailyCropET[7], 1e-12);
    EXPECT_NEAR(ctx.MonthlyCropET[4], 15 * ctx.DailyCropET[4], 1e-12);
    EXPECT_NEAR(ctx.MonthlyCropET[10], 15 * ctx.DailyCropET[10], 1e-12);

    // Annual precipitation 12.4 in: rows 13 and 12 of the ratio table.
    EXPECT_NEAR(ctx.PctChanceRatio50, 0.8 + 0.002 * 12.4, 1e-12);
    EXPECT_NEAR(ctx.PctChanceRatio80, 0.45 + 0.005 * 12.4, 1e-12);

    EXPECT_EQ(ctx.PeakDailyET[4], 0.0);
    EXPECT_EQ(ctx.PeakDailyET[10], 0.0);
    EXPECT_GT(ctx.PeakDailyET[7], ctx.DailyCropET[7]);

    double total = 0, nir = 0;
    for (int m = 1; m <= 12; ++m) {
        total += ctx.MonthlyCropET[m];
        nir += ctx.NetIrrReq50[m];
    }
    EXPECT_NEAR(ctx.TotalCropET, total, 1e-12);
    EXPECT_NEAR(ctx.TotalNetIrrReq50, nir, 1e-12);
    EXPECT_GT(ctx.TotalCropET, 10.0);
    EXPECT_LT(ctx.TotalCropET, 40.0);

    // Written back into the working-crop row.
    EXPECT_NEAR(wk->field("IR Jul").asFloat(), ctx.NetIrrReq50[7], 1e-12);
    EXPECT_NEAR(wk->field("Pk Aug").asFloat(), ctx.PeakDailyET[8], 1e-12);
    EXPECT_NEAR(wk->field("IR Season").asFloat(), ctx.TotalNetIrrReq50, 1e-12);
    EXPECT_FALSE(wk->field("Hay").asBoolean());

    // One daily row per rated season day, in day order.
    TTable etkc("ETKc.db");
    etkc.open();
    EXPECT_EQ(etkc.recordCount(), DayOfYear(10, 15) - DayOfYear(4, 15));
    etkc.first();
    EXPECT_EQ(etkc.field("JDate").asInteger(), DayOfYear(4, 15));
    EXPECT_EQ(etkc.field("Kcb").asFloat(), 0.0);
    // the day's reference ET as the run stores it: April 15 has April's rate
    EXPECT_DOUBLE_EQ(etkc.field("ETo").asFloat(), ctx.DailyRefET[4]);
    EXPECT_DOUBLE_EQ(etkc.field("EToM").asFloat(), ctx.DailyRefETmm[4]);
    EXPECT_EQ(etkc.field("Mo").asInteger(), 4);
    etkc.close();

    EXPECT_EQ(ReadFile("FAO56.txt"), "\nPenman-Monteith ETo COMPUTATIONS DETAILS\n\nCrop: Beans,  Job: Test job\n\n");
}

TEST_F(ComputeCropTest, PenmanMonteithBasalAnnualWithShoulderMonths)
{
    CropRow r;
    r.name = "Corn";
    r.curveIndex = 0;
    r.curveName = "Corn AM";
    r.pm = 1;
    r.pd = 10;
    r.hm = 10;
    r.hd = 20;
    r.etIndex = 2;
    compute(r);
    expectFinite();
    for (int m = 1; m <= 12; ++m) {
        if (m == 12 || m == 11) {
            EXPECT_GT(ctx.ShoulderRefETmm[m], 0.0) << m;
            EXPECT_NEAR(ctx.ShoulderRefET[m], ctx.ShoulderRefETmm[m] * 0.03936996, 1e-12);
        } else {
            EXPECT_EQ(ctx.ShoulderRefET[m], 0.0) << m;
        }
    }
    EXPECT_GT(ctx.DailyRefETmm[7], 4.0);
    EXPECT_LT(ctx.DailyRefETmm[7], 10.0);
    EXPECT_NEAR(ctx.DailyCropET[7], ctx.DailyRefETmm[7] * ctx.MonthlyKc[7] * 0.03936996, 1e-12);
    EXPECT_EQ(ctx.DailyRefET[11], 0.0);

    TTable etkc("ETKc.db");
    etkc.open();
    EXPECT_EQ(etkc.recordCount(), DayOfYear(10, 20) - DayOfYear(1, 10) + 1);
    etkc.first();
    EXPECT_DOUBLE_EQ(etkc.field("Kcb").asFloat(), 0.25);
    etkc.close();
}

// The hay flag of a forage crop does not pass to the crop computed after it.
TEST_F(ComputeCropTest, HayFlagBelongsToTheCropComputed)
{
    CropRow hay;
    hay.name = "Alfalfa";
    hay.curveIndex = 2;
    hay.curveName = "Alfalfa AM";
    hay.etIndex = 2;
    compute(hay);
    EXPECT_TRUE(ctx.HayFlag);
    EXPECT_TRUE(wk->field("Hay").asBoolean());
    EXPECT_EQ(ctx.Cuttings, 3);

    CropRow beans;
    beans.etIndex = 2;
    beans.curveIndex = 0;
    beans.curveName = "Corn AM";
    beans.name = "Corn";
    compute(beans);
    EXPECT_FALSE(ctx.HayFlag);
    EXPECT_FALSE(wk->field("Hay").asBoolean());
}

// The FAO-56 curve is found by its name on "CropCurveName".
TEST_F(ComputeCropTest, FaoCurveByName)
{
    CropRow r;
    r.name = "Tomato";
    r.curveIndex = 5;
    r.curveName = "Tomato FAO";
    r.etIndex = 3;
    compute(r);
    expectFinite();
    TTable etkc("ETKc.db");
    etkc.open();
    etkc.first();
    EXPECT_DOUBLE_EQ(etkc.field("Kcb").asFloat(), 0.6);
    EXPECT_DOUBLE_EQ(etkc.field("Kca").asFloat(), 0.6);
    etkc.close();
    EXPECT_GT(ctx.TotalCropET, 0.0);
}

// A dry station: no negative effective precipitation anywhere.
TEST_F(ComputeCropTest, DryStationHasNoNegativeEffectivePrecipitation)
{
    double dry[13];
    for (double& d : dry)
        d = 0.05;
    setStation("Dry Station", dry);
    compute(CropRow{});
    expectFinite();
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(ctx.EffPrecip50[m], 0.0) << m;
        EXPECT_EQ(ctx.EffPrecip80[m], 0.0) << m;
        EXPECT_NEAR(ctx.NetIrrReq50[m], ctx.MonthlyCropET[m], 1e-12) << m;
    }
    EXPECT_EQ(ctx.TotalEffPrecip50, 0.0);
}

TEST_F(ComputeCropTest, LatitudeErrorOncePerRun)
{
    RecordingMessages msgs;
    setStation("Bad Latitude", EngineDatabase::kPrecip);
    compute(CropRow{});
    EXPECT_EQ(msgs.count("FATAL Error: Latitude not correct"), 1);
    expectFinite();
    CropRow pm;
    pm.name = "Corn";
    pm.curveIndex = 0;
    pm.curveName = "Corn AM";
    pm.etIndex = 2;
    compute(pm);
    EXPECT_EQ(msgs.count("FATAL Error: Latitude not correct"), 2);
    expectFinite();
}

TEST_F(ComputeCropTest, PerennialSeasonAcrossYearEnd)
{
    CropRow r;
    r.name = "Orchard";
    r.curveIndex = 1;
    r.curveName = "Orchard AM";
    r.etIndex = 2;
    r.pm = 11;
    r.pd = 1;
    r.hm = 3;
    r.hd = 31;
    compute(r);
    expectFinite();
    for (int m : {11, 12, 1, 2, 3}) {
        EXPECT_GT(ctx.MonthlyKc[m], 0.0) << m;
        EXPECT_NE(ctx.MonthlyCropET[m], 0.0) << m;
    }
    TTable etkc("ETKc.db");
    etkc.open();
    EXPECT_EQ(etkc.recordCount(), 365);
    etkc.close();
}

TEST_F(ComputeCropTest, ForageWithoutPeakDataGoesOn)
{
    RecordingMessages msgs;
    CropRow r;
    r.name = "Pasture";
    r.curveIndex = 2;
    r.curveName = "Pasture AM";
    r.etIndex = 2;
    compute(r);
    EXPECT_EQ(msgs.texts, QStringList{"Peak reached data missing in database."});
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(ctx.MonthlyKc[m], 0.0);
        EXPECT_EQ(ctx.NetIrrReq50[m], 0.0);
    }
    EXPECT_EQ(wk->state(), TTable::State::Browse);
}

TEST_F(ComputeCropTest, UnknownCurveIndexAndSecondRunReplaceResults)
{
    compute(CropRow{});
    EXPECT_GT(ctx.TotalCropET, 0.0);
    CropRow none;
    none.name = "Nothing";
    none.curveIndex = 7;
    compute(none);
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(ctx.MonthlyKc[m], 0.0);
        EXPECT_EQ(ctx.MonthlyCropET[m], 0.0);
        EXPECT_EQ(ctx.NetIrrReq50[m], 0.0);
    }
    EXPECT_EQ(ctx.TotalCropET, 0.0);
    EXPECT_EQ(ReadFile("FAO56.txt"), "\nPenman-Monteith ETo COMPUTATIONS DETAILS\n\nCrop: Nothing,  Job: Test job\n\n");
}

TEST_F(ComputeCropTest, DetailsFileIsNeverWrittenThroughALinkPutInItsPlace)
{
    const QByteArray usersText(50000, 'u');
    const QString lines = "\nPenman-Monteith ETo COMPUTATIONS DETAILS\n\nCrop: Beans,  Job: Test job\n\n";
    auto plant = [&](const char* kind) {
        QFile::remove("FAO56.txt");
        QFile user("users-file.txt");
        ASSERT_TRUE(user.open(QIODevice::WriteOnly));
        user.write(usersText);
        user.close();
        if (std::strcmp(kind, "symbolic") == 0)
            ASSERT_TRUE(QFile::link("users-file.txt", "FAO56.txt"));
        else if (std::strcmp(kind, "hard") == 0)
            ASSERT_EQ(::link("users-file.txt", "FAO56.txt"), 0);
        else
            ASSERT_TRUE(QFile::link("no-such-file.txt", "FAO56.txt"));   // dangling
    };
    for (const char* kind : {"symbolic", "hard", "dangling"}) {
        plant(kind);
        compute(CropRow{});
        QFile user("users-file.txt");
        ASSERT_TRUE(user.open(QIODevice::ReadOnly));
        EXPECT_TRUE(user.readAll() == usersText) << kind;
        EXPECT_FALSE(QFile::exists("no-such-file.txt")) << kind;
        struct stat st {};
        ASSERT_EQ(::lstat("FAO56.txt", &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << kind;
        EXPECT_EQ(st.st_nlink, 1u) << kind;
        EXPECT_EQ(ReadFile("FAO56.txt"), lines) << kind;
        // the next run rewrites the file it made, in place
        const ino_t made = st.st_ino;
        compute(CropRow{});
        ASSERT_EQ(::lstat("FAO56.txt", &st), 0);
        EXPECT_EQ(st.st_ino, made) << kind;
        EXPECT_EQ(ReadFile("FAO56.txt"), lines) << kind;
    }
    // no file of the making is left beside it
    const QStringList left = QDir().entryList({"FAO56.txt*"}, QDir::Files | QDir::System);
    EXPECT_EQ(left, QStringList{"FAO56.txt"});

    // a link to the database itself is neither written through nor replaced
    // (looked at by name only: nothing but SQLite opens the database file);
    // a database on a server has no file here
    if (!qgetenv("QUENPM_TEST_SERVER").isEmpty())
        return;
    QFile::remove("FAO56.txt");
    const QByteArray db = QFile::encodeName(this->db->dbPath());
    ASSERT_EQ(::link(db.constData(), "FAO56.txt"), 0);
    struct stat before {};
    ASSERT_EQ(::stat(db.constData(), &before), 0);
    compute(CropRow{});
    struct stat named {};
    ASSERT_EQ(::lstat("FAO56.txt", &named), 0);
    EXPECT_EQ(named.st_ino, before.st_ino);
    EXPECT_GT(ctx.TotalCropET, 0.0);
    compute(CropRow{});   // the database still answers
    EXPECT_GT(ctx.TotalCropET, 0.0);
}

TEST_F(ComputeCropTest, MetricTwins)
{
    // ComputeCrop leaves them; the outputs only read
    compute(CropRow{});
    EXPECT_NEAR(ctx.NetIrrReq50cm[7], ctx.NetIrrReq50[7] * 2.54, 1e-12);
    EXPECT_NEAR(ctx.PeakDailyETmm[7], ctx.PeakDailyET[7] * 25.4, 1e-12);
    EXPECT_NEAR(ctx.TotalCropETcm, ctx.TotalCropET * 2.54, 1e-12);
    EXPECT_NEAR(ctx.MonthlyTempC[1], (25.0 - 32.0) * 5.0 / 9.0, 1e-12);
    EXPECT_NEAR(ctx.NetIrrDepthCm, 3.0 * 2.54, 1e-12);
}

// The grow-day fields of the crop record are "Min Grow Days" and "Max Grow Days".
TEST_F(ComputeCropTest, GrowDayLimits)
{
    GrowDayLimits g = ReadGrowDayLimits(3, "BC Beans", "Beans");
    EXPECT_EQ(g.minDays, 90);
    EXPECT_EQ(g.maxDays, 120);
    g = ReadGrowDayLimits(4, "BC Alfalfa", "Grapes");
    EXPECT_EQ(g.minDays, 1);
    EXPECT_EQ(g.maxDays, 1);
    g = ReadGrowDayLimits(0, "Corn AM", "Corn");
    EXPECT_EQ(g.minDays, 100);
    EXPECT_EQ(g.maxDays, 140);
}

TEST_F(ComputeCropTest, ChooseETMethodFromTables)
{
    class Pick : public EtMethodChooser {
    public:
        std::optional<int> chooseEtMethod(const QString&, int) override { return 3; }
    } pick;
    ChooseETMethod(ctx, &pick);   // system default "ANY", July wind 7 mph
    EXPECT_EQ(ctx.ETMethodIndex, 3);
    EXPECT_EQ(ctx.ETMethodText, "FAO Penman-Monteith,FAO56, Table12");
    setStation("Dry Station", EngineDatabase::kPrecip);   // no wind record
    ChooseETMethod(ctx, &pick);
    EXPECT_EQ(ctx.ETMethodIndex, 1);
}

// A station without a wind, humidity and radiation record of its own (none
// named, or a name no row has) is never computed by Penman-Monteith from the
// row the nearest search lands on: the station choice and a Penman-Monteith
// run both fall back to Blaney-Criddle with the message, and the other
// location's wind does not reach the result.
TEST_F(ComputeCropTest, StationWithoutWindRecordFallsBackToBlaneyCriddle)
{
    class Pick : public EtMethodChooser {
    public:
        std::optional<int> chooseEtMethod(const QString&, int) override { return 2; }
    } pick;
    auto setWhrLocation = [](const QString& location) {
        TTable clim("Climate.DB");
        clim.open();
        ASSERT_TRUE(clim.locate("Station Name", QStringLiteral("Dry Station")));
        clim.edit();
        clim.field("WHRLocation").setAsString(location);
        clim.post();
        clim.close();
    };
    auto setJulyWind = [](double mph) {
        TTable whr("ClimWHR.DB");
        whr.open();
        ASSERT_TRUE(whr.locate("WHRLocation", QStringLiteral("Test WHR")));
        whr.edit();
        whr.field("U27").setAsFloat(mph);
        whr.post();
        whr.close();
    };
    int n = 0;
    auto run = [&](int etIndex) {
        CropRow r;
        r.name = QStringLiteral("Corn %1").arg(++n);
        r.curveIndex = 0;
        r.curveName = "Corn AM";
        r.etIndex = etIndex;
        compute(r);
        return ctx;
    };
    for (const QString& location : {QString(), QStringLiteral("Gone WHR")}) {
        SCOPED_TRACE(location.toStdString());
        setWhrLocation(location);
        setJulyWind(7);
        setStation("Dry Station", EngineDatabase::kPrecip);
        {
            RecordingMessages msgs;
            ctx.ETMethodIndex = 0;
            ChooseETMethod(ctx, &pick);   // system default "ANY"
            EXPECT_EQ(ctx.ETMethodIndex, 1);
            EXPECT_EQ(ctx.ETMethodText, "Blaney Criddle (TR21)");
            EXPECT_EQ(msgs.texts, QStringList{kInsufficientClimateData});
        }
        RecordingMessages msgs;
        const CropRunContext bc = run(1);
        EXPECT_TRUE(msgs.texts.isEmpty());
        const CropRunContext pm = run(2);
        EXPECT_EQ(msgs.texts, QStringList{kInsufficientClimateData});
        EXPECT_EQ(pm.ETMethodIndex, 1);
        EXPECT_EQ(pm.ETMethodText, "Blaney Criddle (TR21)");
        setJulyWind(20);
        const CropRunContext windier = run(2);
        for (int m = 1; m <= 12; ++m) {
            EXPECT_DOUBLE_EQ(pm.DailyRefET[m], bc.DailyRefET[m]) << m;
            EXPECT_DOUBLE_EQ(windier.DailyRefET[m], bc.DailyRefET[m]) << m;
            EXPECT_EQ(pm.WindU2[m], 0.0) << m;   // no other location's values shown as the station's
        }
        EXPECT_GT(bc.DailyRefET[7], 0.0);
        EXPECT_DOUBLE_EQ(windier.TotalNetIrrReq50, bc.TotalNetIrrReq50);
    }
    // The station with its record keeps Penman-Monteith, and its wind counts.
    setJulyWind(7);
    setStation("Test Station", EngineDatabase::kPrecip);
    const double calm = run(2).DailyRefETmm[7];
    setJulyWind(20);
    EXPECT_EQ(ctx.ETMethodIndex, 2);
    EXPECT_GT(run(2).DailyRefETmm[7], calm);
}

TEST_F(ComputeCropTest, UnknownSoilUsesSiltLoamWithMessage)
{
    CropRow r;
    r.name = "Corn";
    r.curveIndex = 0;
    r.curveName = "Corn AM";
    r.etIndex = 2;
    compute(r);
    const MonthlyValues siltLoam = ctx.MonthlyKc;
    RecordingMessages msgs;
    r.name = "Corn 2";
    r.soil = "Peat";
    compute(r);
    EXPECT_EQ(msgs.count("Error: Soil not designated, will use Silt Loam"), 2);   // developed and mature intervals
    for (int m = 1; m <= 12; ++m)
        EXPECT_DOUBLE_EQ(ctx.MonthlyKc[m], siltLoam[m]) << m;
}

namespace {

QList<QVariantList> DailyTableRows()
{
    TTable t(QStringLiteral("ETKc.db"));
    t.open();
    QList<QVariantList> rows;
    for (t.first(); !t.eof(); t.next())
        rows << t.rowValues();
    t.close();
    return rows;
}

} // namespace

// Runs one after another (a fetched job's crops) leave "ETKc.db" with the
// last crop's rows only, also for a crop without curve (an emptied table),
// and the same results as a run of that crop alone.
TEST_F(ComputeCropTest, RunsInARowLeaveTheLastCropsDailyRows)
{
    CropRow orchard;
    orchard.name = "Orchard";
    orchard.curveIndex = 1;
    orchard.curveName = "Orchard AM";
    orchard.etIndex = 2;
    CropRow beans;   // BC Beans, TR21

    compute(beans);
    const QList<QVariantList> beansRows = DailyTableRows();
    const double beansTotal = ctx.TotalNetIrrReq50;
    ASSERT_GT(beansRows.size(), 100);
    compute(orchard);
    const QList<QVariantList> orchardRows = DailyTableRows();
    ASSERT_EQ(orchardRows.size(), 365);

    append(beans);
    ComputeCrop(ctx, state, *wk);
    EXPECT_EQ(ctx.TotalNetIrrReq50, beansTotal);
    EXPECT_EQ(DailyTableRows(), beansRows);

    CropRow none;
    none.name = "Nothing";
    none.curveIndex = 7;
    append(none);
    ComputeCrop(ctx, state, *wk);
    EXPECT_TRUE(DailyTableRows().isEmpty());

    compute(beans);
    EXPECT_EQ(DailyTableRows(), beansRows);
}
