// RunCrop on hand-made inputs, without a database: the Blaney-Criddle, the
// Penman-Monteith (NEH 2 basal curve) and the FAO-56 paths, the fall-back
// without a wind record, the inputs whose divisors or lookups go empty, a
// season across the new year, a station without rain, the dormant winter of
// year-round alfalfa and the dry year's requirement month by month.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "Calendar.h"
#include "CropRun.h"
#include "EtMethod.h"
#include "ReferenceET.h"
#include "TestMessages.h"

using namespace quen;

namespace {

// A station near 43 deg 30' N at 2 700 ft with a warm, dry summer.
StationRecord Station()
{
    StationRecord s;
    s.present = true;
    s.name = QStringLiteral("Test Station");
    s.latitude = 4330;
    s.elevationFt = 2700;
    const double t[13] = {0, 28, 33, 41, 49, 57, 65, 73, 71, 61, 50, 37, 29};
    const double p[13] = {0, 1.4, 1.1, 1.2, 1.1, 1.2, 0.8, 0.3, 0.3, 0.5, 0.8, 1.4, 1.4};
    for (int m = 1; m <= 12; ++m) {
        s.temp[m] = t[m];
        s.tmin[m] = t[m] - 12;
        s.tmax[m] = t[m] + 12;
        s.precip[m] = p[m];
        s.annualPrecip += p[m];
    }
    return s;
}

WhrRecord Whr()
{
    WhrRecord w;
    w.found = true;
    w.stationType = QStringLiteral("Agrometeorological station");
    w.stationLoc = QStringLiteral("Interior location");
    w.stationHeight = 2;
    const double rs[13] = {0, 160, 250, 370, 480, 580, 640, 670, 570, 440, 290, 170, 130};
    for (int m = 1; m <= 12; ++m) {
        w.rhMin[m] = 35;
        w.rhMax[m] = 80;
        w.u2[m] = 5;
        w.rs[m] = rs[m];
        w.as[m] = 0.25;
        w.bs[m] = 0.5;
        w.n[m] = 10;
        w.cor[m] = 1;
    }
    return w;
}

// TR-21 daytime hours in percent of the year at 43 and 44 deg N.
void DaytimeRows(CropInputs& in)
{
    in.daytimePercents[43] = {0, 6.86, 6.96, 8.35, 8.87, 9.85, 9.87, 10.03, 9.38, 8.36, 7.78, 6.80, 6.61};
    in.daytimePercents[44] = {0, 6.79, 6.92, 8.34, 8.90, 9.92, 9.95, 10.10, 9.43, 8.38, 7.75, 6.72, 6.52};
}

CropInputs Crop(int method, int curveIndex, int pm, int pd, int hm, int hd)
{
    CropInputs in;
    in.station = Station();
    in.whr = Whr();
    in.monthlyPrecip = in.station.precip;
    in.annualPrecip = in.station.annualPrecip;
    in.etMethodIndex = method;
    in.etMethodText = QStringLiteral("job's method");
    in.curveIndex = curveIndex;
    in.plantMonth = pm;
    in.plantDay = pd;
    in.harvestMonth = hm;
    in.harvestDay = hd;
    in.soil = QStringLiteral("Silt Loam");
    in.netIrrDepth = 3;
    in.daysWetDeveloped = 7;
    in.daysWetMature = 14;
    in.wetFactors = {{7, 0.45}, {14, 0.3}};
    // "PcpChance.DB" rows bracketing the 11.5 inches of the station (key 12).
    in.chanceRows[12] = {{12, 0.92, 0.72}, {11, 0.91, 0.70}};
    DaytimeRows(in);
    return in;
}

CropInputs BeansBC()
{
    CropInputs in = Crop(1, 3, 5, 15, 9, 10);
    const double k[22] = {0, 0.20, 0.24, 0.30, 0.36, 0.45, 0.55, 0.68, 0.80, 0.92, 1.02, 1.08,
                          1.10, 1.10, 1.08, 1.02, 0.95, 0.85, 0.72, 0.58, 0.45, 0.32};
    for (int i = 1; i <= 21; ++i)
        in.bcAnnual.K[i] = k[i];
    return in;
}

CropInputs CornNeh()
{
    CropInputs in = Crop(2, 0, 5, 1, 9, 30);
    in.annualBasal = {0.15, 1.15, 0.50, 0.15, 0.45, 0.80};
    return in;
}

CropInputs TomatoFao()
{
    CropInputs in = Crop(3, 5, 4, 15, 9, 30);
    in.fao56 = {0.60, 1.15, 0.80, 0.15, 0.40, 0.80};
    return in;
}

// What every run must hold, whatever its method: finite, never negative
// values; totals that are the sums of their months; effective precipitation
// within the month's precipitation and crop ET; a dry year (80 %) that needs
// at least the water of a normal one (50 %); the metric twins.
void ExpectConsistent(const CropInputs& in, const CropResults& r)
{
    double et = 0, ep50 = 0, ep80 = 0, ir50 = 0, ir80 = 0;
    for (int m = 1; m <= 12; ++m) {
        SCOPED_TRACE(m);
        for (double v : {r.monthlyKc[m], r.dailyRefET[m], r.dailyCropET[m], r.monthlyCropET[m], r.effPrecip50[m],
                         r.effPrecip80[m], r.netIrrReq50[m], r.netIrrReq80[m], r.peakDailyET[m]}) {
            EXPECT_TRUE(std::isfinite(v));
            EXPECT_GE(v, 0.0);
        }
        EXPECT_LE(r.effPrecip50[m], in.monthlyPrecip[m] + 1e-12);
        EXPECT_LE(r.effPrecip50[m], r.monthlyCropET[m] + 1e-12);
        EXPECT_LE(r.effPrecip80[m], r.effPrecip50[m] + 1e-12);
        EXPECT_NEAR(r.dailyCropET[m], r.dailyRefET[m] * r.monthlyKc[m], 1e-12);
        EXPECT_DOUBLE_EQ(r.monthlyCropETcm[m], r.monthlyCropET[m] * 2.54);
        EXPECT_DOUBLE_EQ(r.netIrrReq50cm[m], r.netIrrReq50[m] * 2.54);
        EXPECT_DOUBLE_EQ(r.peakDailyETmm[m], r.peakDailyET[m] * 25.4);
        if (!r.seasonMonthFlags[m]) {
            EXPECT_EQ(r.monthlyCropET[m], 0.0);
            EXPECT_EQ(r.netIrrReq50[m], 0.0);
        }
        et += r.monthlyCropET[m];
        ep50 += r.effPrecip50[m];
        ep80 += r.effPrecip80[m];
        ir50 += r.netIrrReq50[m];
        ir80 += r.netIrrReq80[m];
    }
    EXPECT_DOUBLE_EQ(r.totalCropET, et);
    EXPECT_DOUBLE_EQ(r.totalEffPrecip50, ep50);
    EXPECT_DOUBLE_EQ(r.totalEffPrecip80, ep80);
    EXPECT_DOUBLE_EQ(r.totalNetIrrReq50, ir50);
    EXPECT_DOUBLE_EQ(r.totalNetIrrReq80, ir80);
    EXPECT_GE(r.totalNetIrrReq80, r.totalNetIrrReq50);
    EXPECT_DOUBLE_EQ(r.totalCropETcm, r.totalCropET * 2.54);
    EXPECT_DOUBLE_EQ(r.netIrrDepthCm, in.netIrrDepth * 2.54);
    // The rows "ETKc.db" is filled with are the curve's days.
    for (int i = 0; i < r.daily.size(); ++i)
        EXPECT_EQ(r.daily.kca[i], r.curve.DailyKc[int(r.daily.day[i])]) << "day " << r.daily.day[i];
}

} // namespace

TEST(RunCrop, BlaneyCriddleAnnualCropOverItsSeason)
{
    test::RecordingMessages msgs;
    const CropInputs in = BeansBC();
    const CropResults r = RunCrop(in);
    EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.etMethodIndex, 1);
    EXPECT_EQ(r.etMethodText, QStringLiteral("job's method"));
    ExpectConsistent(in, r);
    for (int m = 1; m <= 12; ++m) {
        SCOPED_TRACE(m);
        const bool season = m >= 5 && m <= 9;
        EXPECT_EQ(r.seasonMonthFlags[m], season);
        EXPECT_EQ(r.dailyRefET[m] > 0.0, season);
        EXPECT_EQ(r.shoulderRefET[m], 0.0);   // Blaney-Criddle has no shoulder months
        EXPECT_DOUBLE_EQ(r.dailyRefETmm[m], r.dailyRefET[m] * 25.4);
    }
    // TR-21: the warmest, longest days give the highest rate; plausible inches a day.
    EXPECT_GT(r.dailyRefET[7], r.dailyRefET[5]);
    EXPECT_GT(r.dailyRefET[7], 0.15);
    EXPECT_LT(r.dailyRefET[7], 0.45);
    EXPECT_GT(r.totalNetIrrReq50, 0.0);
    // Ratios interpolated between the two "PcpChance.DB" rows at 11.5 inches.
    EXPECT_NEAR(r.pctChanceRatio50, 0.915, 1e-12);
    EXPECT_NEAR(r.pctChanceRatio80, 0.71, 1e-12);

    // The daytime percentages of the latitude drive the rate: longer days, more ET.
    CropInputs longer = in;
    for (auto& [deg, row] : longer.daytimePercents)
        for (int m = 1; m <= 12; ++m)
            row[m] *= 1.1;
    EXPECT_GT(RunCrop(longer).dailyRefET[7], r.dailyRefET[7]);
}

TEST(RunCrop, PenmanMonteithWithNehBasalCurve)
{
    test::RecordingMessages msgs;
    const CropInputs in = CornNeh();
    const CropResults r = RunCrop(in);
    EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.etMethodIndex, 2);
    ExpectConsistent(in, r);
    for (int m = 1; m <= 12; ++m) {
        SCOPED_TRACE(m);
        const bool season = m >= 5 && m <= 9;
        EXPECT_EQ(r.dailyRefETmm[m] > 0.0, season);
        EXPECT_NEAR(r.dailyRefET[m], r.dailyRefETmm[m] * 0.03936996, 1e-15);
        // The months either side of the season carry the shoulder ETo, no others.
        EXPECT_EQ(r.shoulderRefETmm[m] > 0.0, m == 4 || m == 10);
    }
    EXPECT_GT(r.dailyRefETmm[7], r.dailyRefETmm[5]);
    EXPECT_GT(r.dailyRefETmm[7], 3.0);
    EXPECT_LT(r.dailyRefETmm[7], 10.0);
    EXPECT_EQ(r.daily.size(), r.curve.SeasonDays + 1);

    // NEH 2: a wetter soil surface raises the Kc of the early season (b < 1).
    CropInputs wetter = in;
    wetter.wetFactors = {{7, 0.9}, {14, 0.8}};
    EXPECT_GT(RunCrop(wetter).monthlyKc[5], r.monthlyKc[5]);

    // An unknown soil is told once for each wetting interval the curve asks.
    CropInputs noSoil = in;
    noSoil.soil = QStringLiteral("Peat");
    msgs.texts.clear();
    const CropResults rs = RunCrop(noSoil);
    EXPECT_EQ(msgs.count(kSoilNotDesignated), 2);
    EXPECT_EQ(rs.monthlyKc, r.monthlyKc);   // the factors gathered for it are used
}

TEST(RunCrop, PenmanMonteithWithoutWindRecordFallsBackToBlaneyCriddle)
{
    test::RecordingMessages msgs;
    CropInputs in = CornNeh();
    in.etMethodIndex = 3;
    in.whr = WhrRecord{};
    const CropResults r = RunCrop(in);
    EXPECT_EQ(msgs.count(kInsufficientClimateData), 1);
    EXPECT_EQ(r.etMethodIndex, 1);
    EXPECT_EQ(r.etMethodText, kBlaneyCriddleText);
    EXPECT_GT(r.dailyRefET[7], 0.0);
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(r.shoulderRefET[m], 0.0);
    ExpectConsistent(in, r);
}

TEST(RunCrop, Fao56StageCurve)
{
    test::RecordingMessages msgs;
    const CropInputs in = TomatoFao();
    const CropResults r = RunCrop(in);
    EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.etMethodIndex, 3);
    ExpectConsistent(in, r);
    // FAO-56 Table 12: July lies wholly in the mid-season stage (Kc mid).
    EXPECT_NEAR(r.monthlyKc[7], 1.15, 1e-12);
    EXPECT_NEAR(r.dailyCropETmm[7], r.dailyRefETmm[7] * 1.15, 1e-9);
    // Initial stage below mid, late season between end and mid.
    EXPECT_LT(r.monthlyKc[4], r.monthlyKc[7]);
    EXPECT_LT(r.monthlyKc[9], r.monthlyKc[7]);
    EXPECT_EQ(r.daily.size(), r.curve.SeasonDays + 1);
    EXPECT_EQ(int(r.daily.day.front()), DayOfYear(4, 15));
    EXPECT_EQ(int(r.daily.day.back()), DayOfYear(9, 30));
}

// The dew point of a well-watered site (FAO-56 eq. 48): Penman-Monteith and the
// FAO-56 eq. 62 RHmin take Tmin + Cor as a record without humidity does; the
// station's own record stays in the context for the outputs and the method note.
TEST(RunCrop, DewPointOfAWellWateredSiteInPlaceOfTheStationsHumidity)
{
    test::RecordingMessages msgs;
    for (CropInputs in : {CornNeh(), TomatoFao()}) {
        in.kcClimate.on = true;
        in.kcClimate.kcMid = 1.15;
        in.kcClimate.kcEnd = 0.80;
        in.kcClimate.heightM = 0.6;
        CropInputs on = in;
        on.referenceDewPoint = true;
        CropInputs noHumidity = in;
        noHumidity.whr.rhMin.fill(0.0);
        noHumidity.whr.rhMax.fill(0.0);
        const CropResults station = RunCrop(in), wellWatered = RunCrop(on), without = RunCrop(noHumidity);
        SCOPED_TRACE(in.etMethodIndex);
        for (int m = 1; m <= 12; ++m) {
            EXPECT_EQ(wellWatered.dailyRefETmm[m], without.dailyRefETmm[m]) << m;
            EXPECT_EQ(wellWatered.monthlyKc[m], without.monthlyKc[m]) << m;
        }
        // RHmin 35 % / RHmax 80 % are drier than a dew point of Tmin + 1 deg C.
        EXPECT_LT(wellWatered.dailyRefETmm[7], station.dailyRefETmm[7]);
        if (in.curveIndex == 5) {
            // July is mid-season: eq. 62 with u2 2.24 m/s and the eq. 63 RHmin of
            // the station's July, 100 e(16.1 + 1) / e(29.4) = 47.6 %, at 0.6 m
            // moves Kc mid 1.15 by less than 0.001 (an RHmin read from 0 F
            // temperatures, 80 %, would take 0.08 off).
            EXPECT_NEAR(wellWatered.monthlyKc[7], 1.15, 0.002);
        }
        CropRunContext ctx;
        CopyResults(on, wellWatered, ctx);
        EXPECT_TRUE(ctx.ReferenceDewPoint);
        EXPECT_EQ(ctx.RHmin[7], 35.0);
        EXPECT_EQ(ctx.RHmax[7], 80.0);
        CopyResults(in, station, ctx);
        EXPECT_FALSE(ctx.ReferenceDewPoint);
    }
    // Blaney-Criddle has no humidity term: the option changes nothing.
    CropInputs bc = CornNeh();
    bc.whr = WhrRecord{};   // falls back to Blaney-Criddle
    CropInputs bcOn = bc;
    bcOn.referenceDewPoint = true;
    const CropResults a = RunCrop(bc), b = RunCrop(bcOn);
    EXPECT_EQ(a.totalCropET, b.totalCropET);
    CropRunContext ctx;
    CopyResults(bcOn, b, ctx);
    EXPECT_FALSE(ctx.ReferenceDewPoint);
}

// Inputs whose lookups or divisors go empty: the run stays finite and says why.
TEST(RunCrop, EmptyLookupsAndRefusedInputs)
{
    {
        // No "PcpChance.DB" rows for the key: equal rows bracket nothing (no
        // division by their zero difference), the ratios are the row's (0).
        test::RecordingMessages msgs;
        CropInputs in = BeansBC();
        in.chanceRows.clear();
        const CropResults r = RunCrop(in);
        EXPECT_EQ(r.pctChanceRatio50, 0.0);
        EXPECT_EQ(r.pctChanceRatio80, 0.0);
        ExpectConsistent(in, r);
        EXPECT_EQ(r.totalEffPrecip50, 0.0);
    }
    {
        // Dry stations need no rows at all.
        CropInputs in = BeansBC();
        in.chanceRows.clear();
        in.annualPrecip = 2.5;
        const CropResults r = RunCrop(in);
        EXPECT_EQ(r.pctChanceRatio50, 0.8);
        EXPECT_EQ(r.pctChanceRatio80, 0.45);
    }
    {
        // A zero net depth (f(D) of the effective-precipitation method) and no carry-over.
        test::RecordingMessages msgs;
        CropInputs in = CornNeh();
        in.netIrrDepth = 0;
        ExpectConsistent(in, RunCrop(in));
    }
    {
        // A latitude beyond the tables: told once, no reference ET (not the
        // error value -1 turned into negative requirements), the curve kept.
        test::RecordingMessages msgs;
        CropInputs in = BeansBC();
        in.station.latitude = 7000;
        const CropResults r = RunCrop(in);
        EXPECT_EQ(msgs.count(kLatitudeNotInRange), 1);
        ExpectConsistent(in, r);
        EXPECT_EQ(r.totalCropET, 0.0);
        EXPECT_EQ(r.totalNetIrrReq50, 0.0);
        EXPECT_GT(r.monthlyKc[7], 0.0);
    }
    {
        // No curve of the index: no Kc, no daily rows, no crop ET.
        test::RecordingMessages msgs;
        CropInputs in = TomatoFao();
        in.curveIndex = 9;
        const CropResults r = RunCrop(in);
        EXPECT_EQ(r.daily.size(), 0);
        EXPECT_EQ(r.totalCropET, 0.0);
        ExpectConsistent(in, r);
    }
}

TEST(RunCrop, CopyResultsLeavesTheContextAsTheRunDid)
{
    test::RecordingMessages msgs;
    const CropInputs in = CornNeh();
    const CropResults r = RunCrop(in);
    CropRunContext ctx;
    ctx.MonthlyPrecip = in.monthlyPrecip;
    CopyResults(in, r, ctx);
    EXPECT_EQ(ctx.ETMethodIndex, 2);
    EXPECT_EQ(ctx.PlantMonth, 5);
    EXPECT_EQ(ctx.HarvestDay, 30);
    EXPECT_EQ(ctx.FirstCuttingText, QStringLiteral("1/1"));
    EXPECT_EQ(ctx.TotalNetIrrReq50, r.totalNetIrrReq50);
    EXPECT_EQ(ctx.TotalCropETcm, r.totalCropET * 2.54);
    EXPECT_EQ(ctx.MonthlyTmax[7], in.station.tmax[7]);
    EXPECT_EQ(ctx.WindU2[7], in.whr.u2[7]);
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(ctx.NetIrrReq50[m], r.netIrrReq50[m]);
}

// The metric reports print the station's values as the context leaves them:
// its cm and deg C twins follow the customary values the context holds.
TEST(RunCrop, CopyResultsSetsTheStationsMetricTwins)
{
    test::RecordingMessages msgs;
    const CropInputs in = BeansBC();
    const CropResults r = RunCrop(in);
    CropRunContext ctx;
    ctx.MonthlyPrecip = in.monthlyPrecip;
    ctx.AnnualPrecip = in.annualPrecip;
    ctx.MonthlyTemp = in.station.temp;
    ctx.MonthlyTemp[1] = 25.0;
    CopyResults(in, r, ctx);
    EXPECT_NEAR(ctx.MonthlyTempC[1], (25.0 - 32.0) * 5.0 / 9.0, 1e-12);
    EXPECT_NEAR(ctx.MonthlyTempC[7], (73.0 - 32.0) * 5.0 / 9.0, 1e-12);
    EXPECT_NEAR(ctx.MonthlyPrecipCm[1], 1.4 * 2.54, 1e-12);
    EXPECT_NEAR(ctx.AnnualPrecipCm, in.annualPrecip * 2.54, 1e-12);
    EXPECT_NEAR(ctx.CarryBegCm, in.carryBeg * 2.54, 1e-12);
    EXPECT_NEAR(ctx.PeakDailyETmm[7], r.peakDailyET[7] * 25.4, 1e-12);
}

// A winter crop planted in October and harvested in May: the season, its
// daily rows and its water budget run on across the new year.
TEST(RunCrop, SeasonAcrossTheNewYear)
{
    const int kIn[] = {10, 11, 12, 1, 2, 3, 4, 5};
    for (const CropInputs& base : {BeansBC(), TomatoFao()}) {
        test::RecordingMessages msgs;
        CropInputs in = base;
        in.plantMonth = 10;
        in.plantDay = 15;
        in.harvestMonth = 5;
        in.harvestDay = 31;
        in.carryBeg = 0.3;   // less than the season's deficit
        const CropResults r = RunCrop(in);
        SCOPED_TRACE(r.etMethodIndex);
        EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join(QLatin1Char('\n')).toStdString();
        ExpectConsistent(in, r);
        for (int m = 1; m <= 12; ++m) {
            SCOPED_TRACE(m);
            const bool season = std::find(std::begin(kIn), std::end(kIn), m) != std::end(kIn);
            EXPECT_EQ(r.seasonMonthFlags[m], season);
            EXPECT_EQ(r.monthlyKc[m] > 0.0, season);
            EXPECT_EQ(r.dailyRefET[m] > 0.0, season);
            if (r.etMethodIndex == 3)   // Penman-Monteith: the months either side of the season
                EXPECT_EQ(r.shoulderRefETmm[m] > 0.0, m == 9 || m == 6);
        }
        EXPECT_GT(r.monthlyCropET[1], 0.0);

        // One row a day from the planting day through 31 December and on from
        // 1 January to the harvest day (the TR-21 annual curve rates the days
        // before it).
        const int last = r.etMethodIndex == 1 ? DayOfYear(5, 30) : DayOfYear(5, 31);
        EXPECT_EQ(r.daily.size(), 365 - DayOfYear(10, 15) + 1 + last);
        ASSERT_GT(r.daily.size(), 0);
        EXPECT_EQ(int(r.daily.day.front()), DayOfYear(10, 15));
        EXPECT_EQ(int(r.daily.day.back()), last);
        for (int i = 1; i < r.daily.size(); ++i) {
            const int prev = int(r.daily.day[i - 1]), day = int(r.daily.day[i]);
            ASSERT_EQ(day, prev == 365 ? 1 : prev + 1) << "row " << i;
        }

        // The carry-over at planting is spent from the planting month on,
        // October to May, not from January: all of it, the months that use
        // some coming first.
        for (const MonthlyValues* used : {&r.carryOverUsed50, &r.carryOverUsed80}) {
            double sum = 0.0;
            bool spent = false;
            for (int m : kIn) {
                if (spent)
                    EXPECT_EQ((*used)[m], 0.0) << m;
                spent = spent || (*used)[m] == 0.0;
                sum += (*used)[m];
            }
            EXPECT_GT((*used)[10], 0.0);
            EXPECT_NEAR(sum, 0.3, 1e-12);
        }
    }
}

// A station without precipitation: no effective precipitation, and the dry
// and the normal year need the same water, the crop ET of each month.
TEST(RunCrop, StationWithoutPrecipitation)
{
    for (CropInputs in : {BeansBC(), CornNeh(), TomatoFao()}) {
        test::RecordingMessages msgs;
        in.monthlyPrecip.fill(0.0);
        in.station.precip.fill(0.0);
        in.annualPrecip = in.station.annualPrecip = 0.0;
        in.chanceRows.clear();
        const CropResults r = RunCrop(in);
        SCOPED_TRACE(r.etMethodIndex);
        EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join(QLatin1Char('\n')).toStdString();
        ExpectConsistent(in, r);
        EXPECT_GT(r.totalCropET, 0.0);
        for (int m = 1; m <= 12; ++m) {
            SCOPED_TRACE(m);
            EXPECT_EQ(r.effPrecip50[m], 0.0);
            EXPECT_EQ(r.effPrecip80[m], 0.0);
            EXPECT_DOUBLE_EQ(r.netIrrReq50[m], r.monthlyCropET[m]);
            EXPECT_DOUBLE_EQ(r.netIrrReq80[m], r.monthlyCropET[m]);
        }
        EXPECT_EQ(r.totalEffPrecip50, 0.0);
        EXPECT_DOUBLE_EQ(r.totalNetIrrReq50, r.totalCropET);
        EXPECT_DOUBLE_EQ(r.totalNetIrrReq80, r.totalCropET);
    }
}

// Year-round alfalfa hay: at a station with 28 F freezes the run takes its
// dormant winter from the station's frost dates (TR-21, NEH 623 Ch. 2); the
// cutting cycles of the summer are those of a station that never freezes.
TEST(RunCrop, ForageDormantOutsideTheStationsFreezes)
{
    auto alfalfa = [](double lowKc, const QString& spring28, const QString& fall28) {
        CropInputs in = Crop(2, 2, 1, 1, 12, 31);
        in.forage.hay = true;
        in.forage.hasPkPctAfter = true;
        in.forage.pkPctAfter = 20;
        in.forage.lowKc = lowKc;
        in.forage.highKc = 1.2;
        in.cuttings = 3;
        in.cut1Month = 6;
        in.cut1Day = 1;
        in.cutEndMonth = 8;
        in.cutEndDay = 30;
        in.station.frost.spring28 = spring28;   // day 105
        in.station.frost.fall28 = fall28;       // day 288
        return in;
    };
    const int kDormant[] = {1, 2, 3, 11, 12};   // wholly before 15 April or after 15 October
    test::RecordingMessages msgs;

    const CropInputs in = alfalfa(0.4, QStringLiteral("04/15"), QStringLiteral("10/15"));
    const CropResults r = RunCrop(in);
    ExpectConsistent(in, r);
    EXPECT_TRUE(r.hayFlag);
    ASSERT_EQ(r.daily.size(), 365);
    for (int i = 0; i < r.daily.size(); ++i) {
        const int day = int(r.daily.day[i]);
        if (day <= 105 || day > 288) {
            EXPECT_EQ(r.daily.kcb[i], 0.4) << "day " << day;
            EXPECT_EQ(r.daily.kca[i], r.daily.kca[0]) << "day " << day;
        }
    }
    for (int m : kDormant)
        EXPECT_DOUBLE_EQ(r.monthlyKc[m], r.daily.kca[0]) << m;

    // Never that cold: the crop regrows through the winter from the last
    // cutting; between the cuttings the two curves are one.
    const CropResults mild = RunCrop(alfalfa(0.4, QStringLiteral("00/00"), QStringLiteral("00/00")));
    EXPECT_GT(mild.monthlyKc[1], r.monthlyKc[1]);
    EXPECT_GT(mild.monthlyKc[12], r.monthlyKc[12]);
    for (int m = 7; m <= 8; ++m)
        EXPECT_EQ(mild.monthlyKc[m], r.monthlyKc[m]) << m;

    // A bare dormant field (Low Kc 0, no wetting): no crop ET, no effective
    // precipitation and no requirement in the dormant months.
    CropInputs bare = alfalfa(0.0, QStringLiteral("04/15"), QStringLiteral("10/15"));
    bare.wetFactors = {{14, 0.0}};
    const CropResults b = RunCrop(bare);
    ExpectConsistent(bare, b);
    for (int m : kDormant) {
        SCOPED_TRACE(m);
        EXPECT_EQ(b.monthlyKc[m], 0.0);
        EXPECT_EQ(b.dailyCropET[m], 0.0);
        EXPECT_EQ(b.monthlyCropET[m], 0.0);
        EXPECT_EQ(b.effPrecip50[m], 0.0);
        EXPECT_EQ(b.netIrrReq50[m], 0.0);
        EXPECT_EQ(b.netIrrReq80[m], 0.0);
    }
    EXPECT_GT(b.monthlyCropET[7], 0.0);
    EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join(QLatin1Char('\n')).toStdString();
}

// The dry year (80 % chance) never needs less water than the normal year
// (50 %) in any month, whatever the carry-over at planting and at harvest.
TEST(RunCrop, DryYearNeedsAtLeastTheNormalYearsWaterEachMonth)
{
    test::RecordingMessages msgs;
    for (const CropInputs& base : {BeansBC(), CornNeh(), TomatoFao()})
        for (double carryBeg : {0.0, 0.5, 2.0, 40.0})
            for (double carryEnd : {0.0, 0.5, 2.0, 40.0}) {
                CropInputs in = base;
                in.carryBeg = carryBeg;
                in.carryEnd = carryEnd;
                const CropResults r = RunCrop(in);
                SCOPED_TRACE(testing::Message() << "method " << r.etMethodIndex << " carry-over " << carryBeg
                                                << " / " << carryEnd);
                ExpectConsistent(in, r);
                EXPECT_GT(r.totalEffPrecip50, r.totalEffPrecip80);   // the station's rain counts
                for (int m = 1; m <= 12; ++m) {
                    EXPECT_GE(r.netIrrReq80[m], r.netIrrReq50[m]) << m;
                    EXPECT_GE(r.carryOverUsed50[m], 0.0) << m;
                    EXPECT_GE(r.carryOverUsed80[m], 0.0) << m;
                }
            }
}
