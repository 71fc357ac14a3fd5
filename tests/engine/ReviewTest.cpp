// Table lookups of a crop run on reference tables whose rows differ from
// each other, so that a wrong row (not the nearest match, not the row
// before it) shows in the results.
#include <gtest/gtest.h>

#include <QDir>
#include <cmath>

#include "Calendar.h"
#include "ComputeCrop.h"
#include "ReferenceET.h"
#include "EngineFixture.h"
#include "TestMessages.h"
#include "db/Table.h"

using namespace quen;
using quen::test::CropRow;
using quen::test::EngineDatabase;
using quen::test::RecordingMessages;

namespace {

QString NonLinearPcpChance()
{
    QString s = QStringLiteral("AnPcp,Pct50,Pct80\n");
    for (int a = 3; a <= 90; ++a)
        s += QStringLiteral("%1,%2,%3\n").arg(a).arg(0.5 + 0.0001 * a * a, 0, 'g', 12).arg(0.3 + 0.00005 * a * a, 0, 'g', 12);
    return s;
}

// Daytime percent that differs by latitude row and month: lat / 10 + month.
QString DistinctMoPctDay()
{
    QString s = QStringLiteral("Latitude N,Jan,Feb,Mar,Apr,May,Jun,Jul,Aug,Sep,Oct,Nov,Dec\n");
    for (int lat = 0; lat <= 65; ++lat) {
        s += QString::number(lat);
        for (int m = 1; m <= 12; ++m)
            s += QLatin1Char(',') + QString::number(lat / 10.0 + m, 'g', 12);
        s += QLatin1Char('\n');
    }
    return s;
}

// Wetting factors only at 1, 5, 10 and 20 days: a lookup of 7 days lands on 10.
QString SparseWetSoil()
{
    return QStringLiteral("Interval Days,Clay,Clay Loam,Silt Loam,Sandy Loam,Loamy Sand,Sand\n"
                          "1,0.9,0.9,0.9,0.9,0.9,0.9\n"
                          "5,0.7,0.7,0.7,0.7,0.7,0.7\n"
                          "10,0.5,0.5,0.4,0.5,0.5,0.5\n"
                          "20,0.3,0.3,0.2,0.3,0.3,0.3\n");
}

class ReviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<EngineDatabase>(QMap<QString, QString>{
            {QStringLiteral("PcpChance.DB"), NonLinearPcpChance()},
            {QStringLiteral("MoPctDay.db"), DistinctMoPctDay()},
            {QStringLiteral("WetSoil.db"), SparseWetSoil()},
        });
        previousDir = QDir::currentPath();
        QDir::setCurrent(db->dir());
        wk = std::make_unique<TTable>(QStringLiteral("QuenWkCrop.DB"));
        wk->open();
        ctx.WeatherStationName = "Test Station";
        ctx.JobName = "Test job";
        ctx.AnnualPrecip = 0;
        for (int m = 1; m <= 12; ++m) {
            ctx.MonthlyPrecip[m] = EngineDatabase::kPrecip[m];
            ctx.MonthlyTemp[m] = EngineDatabase::kTemp[m];
            ctx.AnnualPrecip += EngineDatabase::kPrecip[m];
        }
    }
    void TearDown() override
    {
        wk->close();
        wk.reset();
        QDir::setCurrent(previousDir);
        db.reset();
    }

    void compute(const CropRow& r)
    {
        quen::test::appendWorkingCrop(*wk, r, ++cropNo);
        ctx.CropName = r.name;
        ComputeCrop(ctx, state, *wk);
    }

    std::unique_ptr<EngineDatabase> db;
    std::unique_ptr<TTable> wk;
    QString previousDir;
    CropRunContext ctx;
    CropCurveState state;
    int cropNo = 0;
};

double Pct50(double a) { return 0.5 + 0.0001 * a * a; }
double Pct80(double a) { return 0.3 + 0.00005 * a * a; }

} // namespace

// "PcpChance.DB" is read at the first row at or above trunc(A + 1) and the
// row before it; the ratio is interpolated between them.
TEST_F(ReviewTest, ChanceRatiosFromTheBracketingRows)
{
    RecordingMessages msgs;
    struct Case { double a; int lower; };
    for (const Case c : {Case{14.6, 14}, Case{15.0, 15}, Case{3.2, 3}, Case{89.5, 89}}) {
        ctx.AnnualPrecip = c.a;
        compute({});
        const double g = c.a - c.lower;
        EXPECT_NEAR(ctx.PctChanceRatio50, Pct50(c.lower) + (Pct50(c.lower + 1) - Pct50(c.lower)) * g, 1e-12) << c.a;
        EXPECT_NEAR(ctx.PctChanceRatio80, Pct80(c.lower) + (Pct80(c.lower + 1) - Pct80(c.lower)) * g, 1e-12) << c.a;
    }
}

// TR21 daytime percent of latitude 41 deg 19 min: rows 41 and 42 of
// "MoPctDay.db", interpolated by 19/60; July away from the planting and
// harvest months is rated at its own temperature.
TEST_F(ReviewTest, DaytimePercentRowsThroughARun)
{
    RecordingMessages msgs;
    compute({});
    const double p = (4.1 + 7) + (4.2 + 7 - 4.1 - 7) * 19.0 / 60.0;
    const double t = EngineDatabase::kTemp[7];
    const double kt = 0.0173 * t - 0.314;
    EXPECT_NEAR(ctx.DailyRefET[7], kt * 0.01 * t * p / 31.0, 1e-12);
    EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join('|').toStdString();
}

// "WetSoil.db" by nearest match: 7 days lands on the 10-day row, 14 on the
// 20-day row (Silt Loam 0.4 and 0.2).
TEST_F(ReviewTest, WettingFactorByNearestMatch)
{
    RecordingMessages msgs;
    CropRow r;
    r.curveIndex = 0;
    r.curveName = "Corn AM";
    r.etIndex = 2;
    compute(r);
    const int start = DayOfYear(4, 15);
    const int end = DayOfYear(10, 15);
    const double kcb = 0.25, kcp = 1.05, kcm = 0.45;
    EXPECT_NEAR(state.DailyKc[start], kcb + (1 - kcb) * 0.4, 1e-12);
    const int n = end - start;
    const int d3 = RoundHalfUp(n * 0.8);
    const double s2 = (kcm - kcp) / (n - d3 + 2);
    const double bLast = kcp + (n + 1 - (d3 + 1)) * s2;
    EXPECT_NEAR(state.DailyKc[end], bLast + (1 - bLast) * 0.2, 1e-9);
}

// The driver hands each month's station values to the Penman-Monteith
// routine: sunshine hours (no radiation), Angstrom coefficients that differ
// by month, dew point from Tmin + "Cor" (no humidity), the wind instrument
// height, and the station elevation.
TEST_F(ReviewTest, PenmanMonteithInputsOfEachMonth)
{
    QString whr = QStringLiteral("WHRLocation");
    for (const char* f : {"RHmin", "RHmax", "Cor", "U2", "Rs", "As", "Bs", "N"})
        for (int m = 1; m <= 12; ++m)
            whr += QStringLiteral(",%1%2").arg(QLatin1String(f)).arg(m);
    whr += QStringLiteral(",StationType,StationHeight,StationLoc\nTest WHR");
    auto row = [&](auto value) {
        for (int m = 1; m <= 12; ++m)
            whr += QLatin1Char(',') + QString::number(value(m), 'g', 12);
    };
    row([](int) { return 0.0; });                 // RHmin
    row([](int) { return 0.0; });                 // RHmax
    row([](int m) { return -1.0 - 0.25 * m; });   // Cor
    row([](int m) { return 3.0 + 0.5 * m; });     // U2, mph
    row([](int) { return 0.0; });                 // Rs
    row([](int m) { return 0.20 + 0.01 * m; });   // As
    row([](int m) { return 0.45 + 0.02 * m; });   // Bs
    row([](int m) { return 6.0 + 0.3 * m; });     // N
    whr += QStringLiteral(",Other type station,10,Coastal location\n");

    wk->close();
    wk.reset();
    db.reset();
    db = std::make_unique<EngineDatabase>(QMap<QString, QString>{{QStringLiteral("ClimWHR.DB"), whr}});
    QDir::setCurrent(db->dir());
    wk = std::make_unique<TTable>(QStringLiteral("QuenWkCrop.DB"));
    wk->open();

    RecordingMessages msgs;
    CropRow r;
    r.curveIndex = 5;
    r.curveName = "Tomato FAO";
    r.etIndex = 3;
    compute(r);

    MonthlyValues tmin{}, tmax{};
    for (int m = 1; m <= 12; ++m) {
        tmin[m] = EngineDatabase::kTemp[m] - 14;
        tmax[m] = EngineDatabase::kTemp[m] + 14;
    }
    const MonthlyValues meanC = MonthlyMeanTempC(tmin, tmax);
    const double phi = (41 + 19 / 60.0) * 0.017453292519943295;
    for (int m = 4; m <= 10; ++m) {
        PenmanMonteithInputs in;
        in.tminF = tmin[m];
        in.tmaxF = tmax[m];
        in.elevationFt = 4000;
        in.windMph = 3.0 + 0.5 * m;
        in.cor = -1.0 - 0.25 * m;
        in.as = 0.20 + 0.01 * m;
        in.bs = 0.45 + 0.02 * m;
        in.sunshineHours = 6.0 + 0.3 * m;
        in.stationType = "Other type station";
        in.stationHeightM = 10;
        in.stationLoc = "Coastal location";
        const double eto = PenmanMonteithETo(m, phi, meanC, in);
        EXPECT_NEAR(ctx.DailyRefETmm[m], eto, 1e-12) << m;
        EXPECT_NEAR(ctx.DailyRefET[m], eto * 0.03936996, 1e-12) << m;
    }
    // Shoulder months of a 15 April - 15 October season: March and November.
    EXPECT_GT(ctx.ShoulderRefET[3], 0.0);
    EXPECT_GT(ctx.ShoulderRefET[11], 0.0);
    EXPECT_EQ(ctx.ShoulderRefET[2], 0.0);
    EXPECT_EQ(ctx.ShoulderRefET[12], 0.0);
}
