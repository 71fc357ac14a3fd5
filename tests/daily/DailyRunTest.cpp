// The daily balance of a job's crop: cotton at the Maricopa station over the
// 18 AZMET years (seasons, design values beside the monthly method, where
// each input came from), a basal-curve crop taking its Kcb from its daily
// rows, the refusals (no daily weather, a soil or a crop without FAO-56
// values), and quenpm-calc --import-daily / --daily on a saved job.
#include <gtest/gtest.h>

#include <QFileInfo>

#include <QFile>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <cmath>

#include "ComputeCrop.h"
#include "DailyFixture.h"
#include "DailyImport.h"
#include "DailyRun.h"
#include "JobState.h"

using namespace quen;
using namespace quen::test;

namespace {

class DailyRunDb : public DailyDb {
protected:
    void importAzmet()
    {
        Answers yes;
        job::DailyImportRequest r;
        r.filePath = kAzmetFile;
        r.windHeightM = 3.0;
        r.stationName = kMaricopa;
        ASSERT_TRUE(job::ImportDailyWeather(r).imported);
    }

    // Computes the crop as the crop inputs dialog does, then its daily balance.
    job::DailyRun run(const WorkingCrop& c, const QString& soil = QString(), int year = 0,
                      CropRunContext* monthly = nullptr)
    {
        CropRunContext ctx = maricopaJob("Cotton field");
        CropCurveState curves;
        TTable wk("QuenWkCrop.DB");
        wk.emptyTable();
        wk.open();
        appendWorkingCrop(wk, c, ctx.JobName, 1);
        if (!soil.isEmpty()) {
            wk.edit();
            wk.field("Soil").setAsString(soil);
            wk.post();
        }
        ctx.CropName = c.name;
        Answers quiet;
        ComputeCrop(ctx, curves, wk);
        job::DailyRun r = job::RunDailyForCrop(ctx, curves, wk, year);
        wk.close();
        if (monthly)
            *monthly = ctx;
        return r;
    }
};

} // namespace

TEST_F(DailyRunDb, CottonAtMaricopaOverTheEighteenYears)
{
    importAzmet();
    CropRunContext monthly;
    const job::DailyRun r = run(cottonCrop(), QString(), 0, &monthly);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();

    // Seasons April 15 to October 12 of 2003 .. 2020, every one complete.
    ASSERT_EQ(r.result.seasons.size(), 18u);
    for (const SeasonBalance& s : r.result.seasons) {
        SCOPED_TRACE(s.year);
        EXPECT_TRUE(s.complete);
        EXPECT_GT(s.irrigations, 0);
        // Water conserved over the season (depletion rises as storage falls).
        EXPECT_NEAR(s.rain + s.netIrrigation - s.etcAdj - s.deepPercolation, s.initialDr - s.finalDr, 1e-6);
        // A desert summer: the crop uses far more than the rain gives.
        EXPECT_GT(s.etcAdj, 3 * s.rain);
    }
    EXPECT_EQ(r.result.netIrrigation.years, 18);
    EXPECT_LE(r.result.netIrrigation.p50, r.result.netIrrigation.p80);
    EXPECT_LE(r.result.netIrrigation.p80, r.result.netIrrigation.p90);
    EXPECT_LE(r.result.irrigations.p50, r.result.irrigations.p90);
    EXPECT_EQ(r.detailYear, 2020);   // the last complete season
    const SeasonBalance& last = r.result.seasons.back();
    EXPECT_EQ(int(last.rows.size()), 181);   // Apr 15 .. Oct 12
    EXPECT_EQ(int(last.schedule.size()), last.irrigations);
    // A fixed net depth: the crop's 3 in per irrigation.
    for (const IrrigationEvent& e : last.schedule)
        EXPECT_NEAR(e.depthMm, 76.2, 1e-9);

    // The monthly method's figures of the same crop, in mm.
    EXPECT_NEAR(r.monthlyEtcMm, monthly.TotalCropET * 25.4, 1e-9);
    EXPECT_NEAR(r.monthlyNetIrr50Mm, monthly.TotalNetIrrReq50 * 25.4, 1e-9);
    EXPECT_NEAR(r.monthlyNetIrr80Mm, monthly.TotalNetIrrReq80 * 25.4, 1e-9);
    EXPECT_GT(r.monthlyEtcMm, 0);

    // Inputs and where they came from.
    EXPECT_DOUBLE_EQ(r.inputs.rootDepthM, 1.35);
    EXPECT_DOUBLE_EQ(r.inputs.p, 0.65);
    EXPECT_DOUBLE_EQ(r.inputs.heightM, 1.35);
    EXPECT_DOUBLE_EQ(r.inputs.soil.thetaFC, 0.29);
    EXPECT_EQ(r.inputs.rule, IrrigationRule::FixedDepth);
    EXPECT_DOUBLE_EQ(r.inputs.aswPercent, 50);
    const QString notes = r.notes.join('\n');
    EXPECT_TRUE(notes.contains("Table 17")) << notes.toStdString();
    EXPECT_TRUE(notes.contains("T22 cotton"));
    EXPECT_TRUE(notes.contains("Table 19, Silt loam"));
    EXPECT_TRUE(notes.contains("6575 days"));
    // Kcb: 0.15 at planting, the climate-adjusted mid value in mid season
    // (arid Maricopa: above Table 17's 1.125), the day before planting unused.
    EXPECT_DOUBLE_EQ(r.inputs.kcb[105], 0.15);
    EXPECT_GT(r.inputs.kcb[105 + 120], 1.125);
    EXPECT_LT(r.inputs.kcb[105 + 120], 1.3);
    EXPECT_EQ(r.weather.days, 6575);
}

TEST_F(DailyRunDb, DetailYearAndRefillWithoutANetDepth)
{
    importAzmet();
    WorkingCrop c = cottonCrop();
    c.netIrr = 0;
    const job::DailyRun r = run(c, "Sandy Loam", 2010);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.detailYear, 2010);
    EXPECT_EQ(r.inputs.rule, IrrigationRule::Refill);
    for (const SeasonBalance& s : r.result.seasons) {
        EXPECT_EQ(!s.rows.empty(), s.year == 2010);
        // Refilling: each irrigation brings the root zone back to field capacity
        // from at least the allowed depletion.
        for (const IrrigationEvent& e : s.schedule)
            EXPECT_GT(e.depthMm, 0.0);
    }
}

// The runs keep a station's days in memory: a new import is what the next run takes.
TEST_F(DailyRunDb, ANewImportIsWhatTheNextRunTakes)
{
    importAzmet();
    job::DailyRun r = run(cottonCrop());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.weather.days, 6575);
    {
        Answers yes;
        job::DailyImportRequest two;
        two.filePath = writeFile("two.csv", "date,tmax_C,tmin_C\n2021-04-15,30,15\n2021-04-16,31,16\n");
        two.stationName = kMaricopa;
        two.replaceWithoutAsking = true;
        ASSERT_TRUE(job::ImportDailyWeather(two).imported);
    }
    r = run(cottonCrop());
    EXPECT_EQ(r.weather.days, 2);
    EXPECT_EQ(r.result.netIrrigation.years, 0);   // no complete season
    importAzmet();   // asked, answered Yes
    r = run(cottonCrop());
    EXPECT_EQ(r.weather.days, 6575);
    EXPECT_EQ(r.result.netIrrigation.years, 18);
}

TEST_F(DailyRunDb, BasalCurveCropTakesItsDailyRows)
{
    importAzmet();
    const job::DailyRun r = run(nehCrop());   // Potatoes AM, NEH 2 basal curve
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(r.notes.join('\n').contains("ETKc.db"));
    EXPECT_EQ(r.result.netIrrigation.years, 18);
    EXPECT_GT(r.inputs.kcb[200], 0.5);
}

TEST_F(DailyRunDb, RefusedWithoutDailyWeatherOrFao56Values)
{
    job::DailyRun r = run(cottonCrop());
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains("no daily weather")) << r.error.toStdString();

    importAzmet();
    r = run(cottonCrop(), "Clay Loam");
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains("\"Clay Loam\"")) << r.error.toStdString();

    WorkingCrop veg = cottonCrop();
    veg.name = "Vegetables (general)";
    r = run(veg);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains("Vegetables (general)")) << r.error.toStdString();
}

namespace {

struct CalcRun {
    int exitCode = -1;
    QByteArray out, err;
};

CalcRun Calc(const QString& dbPath, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUENPM_DB", dbPath);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUENPM_CALC), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

} // namespace

TEST_F(DailyRunDb, QuenpmCalcImportsAndRunsTheDailyBalance)
{
    // A saved job with the cotton crop at Maricopa.
    {
        Answers quiet;
        CropRunContext ctx = maricopaJob("Cotton field");
        JobState state;
        state.JobSaveState = 1;
        state.CropCounter = 1;
        TTable wk("QuenWkCrop.DB");
        wk.emptyTable();
        wk.open();
        appendWorkingCrop(wk, cottonCrop(), ctx.JobName, 1);
        wk.close();
        ASSERT_EQ(job::SaveJob(ctx, state), job::SaveResult::Appended);
    }
    const QString db = dir.filePath("daily.sqlite");
    Database::close();

    CalcRun c = Calc(db, {"--daily", "--job", "Cotton field"});
    EXPECT_EQ(c.exitCode, 10) << c.err.toStdString();
    EXPECT_TRUE(c.err.contains("no daily weather"));
    const QString pdf = dir.filePath("daily.pdf");
    c = Calc(db, {"--report", "daily", "--job", "Cotton field", "--pdf", pdf});
    EXPECT_EQ(c.exitCode, 10) << c.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));

    c = Calc(db, {"--import-daily", kAzmetFile, "--station", kMaricopa, "--wind-height", "3"});
    ASSERT_EQ(c.exitCode, 0) << c.err.toStdString();
    EXPECT_TRUE(c.out.contains("6575 days"));
    c = Calc(db, {"--import-daily", kAzmetFile, "--station", kMaricopa});
    EXPECT_EQ(c.exitCode, 10);   // already there: only with --replace
    EXPECT_TRUE(c.err.contains("--replace"));
    c = Calc(db, {"--import-daily", kAzmetFile, "--station", kMaricopa, "--wind-height", "3", "--replace"});
    EXPECT_EQ(c.exitCode, 0) << c.err.toStdString();
    c = Calc(db, {"--import-daily", kAzmetFile, "--station", "NOWHERE", "--replace"});
    EXPECT_EQ(c.exitCode, 10);
    c = Calc(db, {"--import-daily", kAzmetFile, "--station", kMaricopa, "--format", "excel"});
    EXPECT_EQ(c.exitCode, 1);

    c = Calc(db, {"--daily", "--job", "Cotton field", "--json"});
    ASSERT_EQ(c.exitCode, 0) << c.err.toStdString();
    QJsonParseError pe;
    const QJsonObject o = QJsonDocument::fromJson(c.out, &pe).object();
    ASSERT_EQ(pe.error, QJsonParseError::NoError) << c.out.left(400).toStdString();
    EXPECT_EQ(o["crop"].toString(), "Cotton");
    EXPECT_EQ(o["days"].toInt(), 6575);
    EXPECT_EQ(o["seasons"].toArray().size(), 18);
    EXPECT_EQ(o["netIrrigationMm"].toObject()["years"].toInt(), 18);
    EXPECT_EQ(o["detailYear"].toInt(), 2020);
    EXPECT_FALSE(o["schedule"].toArray().isEmpty());
    EXPECT_GT(o["monthly"].toObject()["seasonalEtcMm"].toDouble(), 0);
    const double p50 = o["netIrrigationMm"].toObject()["p50"].toDouble();
    const double p80 = o["netIrrigationMm"].toObject()["p80"].toDouble();
    EXPECT_GT(p50, 0);
    EXPECT_LE(p50, p80);

    c = Calc(db, {"--daily", "--job", "Cotton field", "--crop", "Cotton", "--year", "2005"});
    ASSERT_EQ(c.exitCode, 0) << c.err.toStdString();
    EXPECT_TRUE(c.out.contains("Irrigation schedule, season of 2005"));
    EXPECT_TRUE(c.out.contains("Monthly method: seasonal ETc"));
    EXPECT_TRUE(c.out.contains("50 %"));

    c = Calc(db, {"--daily", "--job", "Cotton field", "--year", "2005", "--csv"});
    ASSERT_EQ(c.exitCode, 0) << c.err.toStdString();
    const QList<QByteArray> lines = c.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1 + 181);
    EXPECT_TRUE(lines[0].startsWith("date,ETo_mm,rain_mm,irrigation_mm"));
    EXPECT_TRUE(lines[1].startsWith("2005-04-15,"));

    // The printed report of a season, as the output dialog's page previews it.
    c = Calc(db, {"--report", "daily", "--job", "Cotton field", "--year", "2005", "--pdf", pdf, "--metric"});
    ASSERT_EQ(c.exitCode, 0) << c.err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF-"));
    f.close();
    EXPECT_EQ(Calc(db, {"--report", "daily", "--job", "Cotton field", "--year", "x", "--pdf", pdf}).exitCode, 1);

    EXPECT_EQ(Calc(db, {"--daily", "--job", "No such job"}).exitCode, 4);
    EXPECT_EQ(Calc(db, {"--daily", "--job", "Cotton field", "--crop", "Rice"}).exitCode, 5);
    EXPECT_EQ(Calc(db, {"--daily", "--job", "Cotton field", "--json", "--csv"}).exitCode, 1);
    EXPECT_EQ(Calc(db, {"--daily", "--job", "Cotton field", "--year", "1990"}).exitCode, 10);
    Database::open(db);
}

// NCEI Daily Summaries in standard units through quenpm-calc: stored in deg C,
// mm and m/s at the anemometer height given; a file of metric units read as such.
TEST_F(DailyRunDb, QuenpmCalcImportsNceiDailySummaries)
{
    const QString db = dir.filePath("daily.sqlite");
    const QString standard = writeFile("ncei.csv",
        "\"STATION\",\"NAME\",\"DATE\",\"AWND\",\"PRCP\",\"TMAX\",\"TMIN\"\n"
        "\"USW00023183\",\"PHOENIX AIRPORT, AZ US\",\"2020-07-01\",\"6.93\",\"0.00\",\"109\",\"84\"\n"
        "\"USW00023183\",\"PHOENIX AIRPORT, AZ US\",\"2020-07-02\",\"\",\"0.12\",\"104\",\"86\"\n");
    const QString metric = writeFile("ncei-metric.csv",
        "\"STATION\",\"DATE\",\"PRCP\",\"TMAX\",\"TMIN\",\"AWND\"\n"
        "\"X\",\"2020-01-05\",\"2.3\",\"15.6\",\"3.3\",\"2.1\"\n");
    Database::close();
    CalcRun c = Calc(db, {"--import-daily", standard, "--station", kMaricopa, "--format", "ncei", "--wind-height", "10"});
    ASSERT_EQ(c.exitCode, 0) << c.err.toStdString();
    EXPECT_TRUE(c.out.contains("2 days")) << c.out.toStdString();
    EXPECT_TRUE(c.out.contains("wind taken as 2 m/s: 1")) << c.out.toStdString();
    Database::open(db);
    TTable clim("Climate.DB");
    clim.setIndexName("StaNameIndex");
    clim.open();
    ASSERT_TRUE(clim.findKey({kMaricopa}));
    const QString no = clim.field("Station No").asString();
    clim.close();
    std::vector<DailyWeatherDay> days = job::ReadDailyWeather(kMaricopa, no);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_NEAR(days[0].tmax, (109.0 - 32.0) * 5.0 / 9.0, 1e-9);
    EXPECT_NEAR(days[0].wind, 6.93 * 0.44704, 1e-9);
    EXPECT_DOUBLE_EQ(days[0].windHeightM, 10.0);
    EXPECT_NEAR(days[1].rain, 0.12 * 25.4, 1e-9);
    EXPECT_TRUE(std::isnan(days[1].wind));
    EXPECT_EQ(job::ReadDailyWeatherSet(kMaricopa, no).format, "ncei");
    Database::close();

    c = Calc(db, {"--import-daily", metric, "--station", kMaricopa, "--format", "ncei-metric", "--replace"});
    ASSERT_EQ(c.exitCode, 0) << c.err.toStdString();
    Database::open(db);
    days = job::ReadDailyWeather(kMaricopa, no);
    ASSERT_EQ(days.size(), 1u);
    EXPECT_DOUBLE_EQ(days[0].tmax, 15.6);
    EXPECT_DOUBLE_EQ(days[0].rain, 2.3);
    EXPECT_DOUBLE_EQ(days[0].windHeightM, 2.0);
}
