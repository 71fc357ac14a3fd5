// Daily crop coefficient curves and their monthly means.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Calendar.h"
#include "CropCurves.h"
#include "TestMessages.h"

using namespace quen;
using quen::test::RecordingMessages;

namespace {

struct Row { int day; double kca, kcb; };

struct Rows {
    std::vector<Row> rows;
    DailyRowSink sink() { return [this](int d, double a, double b) { rows.push_back({d, a, b}); }; }
};

WetFactorFn Wet(double w) { return [w](int) { return w; }; }

CropRunContext Crop(int pm, int pd, int hm, int hd)
{
    CropRunContext c;
    c.PlantMonth = pm;
    c.PlantDay = pd;
    c.HarvestMonth = hm;
    c.HarvestDay = hd;
    c.StressFactor = 1.0;
    c.FractionWetted = 1.0;
    return c;
}

// A hay crop: cuts cuttings, the first on m1/d1 and the last on mEnd/dEnd.
CropRunContext HayCrop(CropRunContext c, int cuts, int m1, int d1, int mEnd, int dEnd)
{
    c.Cuttings = cuts;
    c.Cut1Month = m1, c.Cut1Day = d1;
    c.CutEndMonth = mEnd, c.CutEndDay = dEnd;
    return c;
}

// A hay curve from Kc 0.4 after a cutting to 1.2, its peak pkPctAfter % of
// each period after the cutting.
ForageCurve HayCurve(double pkPctAfter)
{
    ForageCurve f;
    f.hay = f.hasPkPctAfter = true;
    f.pkPctAfter = pkPctAfter;
    f.lowKc = 0.4, f.highKc = 1.2;
    return f;
}

void ExpectAllFinite(const CropCurveState& st, const CropRunContext& c)
{
    for (int y = 1; y <= 366; ++y)
        ASSERT_TRUE(std::isfinite(st.DailyKc[y])) << y;
    for (int m = 1; m <= 12; ++m)
        ASSERT_TRUE(std::isfinite(c.MonthlyKc[m])) << m;
}

} // namespace

TEST(AnnualBasalCurve, StageEndsAndShape)
{
    // 1 April to 29 July: n = 119; Fs 0.2 / 0.5 / 0.8 give 24, 60, 95.
    const StageEnds d = StageEndsOf(119, 0.2, 0.5, 0.8);
    EXPECT_EQ(d.d1, 24);
    EXPECT_EQ(d.d2, 60);
    EXPECT_EQ(d.d3, 95);

    CropRunContext c = Crop(4, 1, 7, 29);
    CropCurveState st;
    Rows r;
    const AnnualBasalCurve curve{0.3, 1.1, 0.5, 0.2, 0.5, 0.8};
    ASSERT_TRUE(RunAnnualBasalCurve(c, st, curve, Wet(0.5), r.sink()));
    EXPECT_EQ(st.SeasonDays, 119);
    ASSERT_EQ(r.rows.size(), 120u);
    const int start = DayOfYear(4, 1);
    auto day = [&](int i) { return start + i - 1; };
    EXPECT_NEAR(st.DailyKc[day(1)], 0.3 + 0.7 * 0.5, 1e-12);         // adjusted initial stage
    EXPECT_NEAR(st.DailyBasalKc[day(25)], 0.3, 1e-12);               // day d1 + 1 is Kcb
    EXPECT_NEAR(st.DailyBasalKc[day(26)], 0.3 + 0.8 / 36.0, 1e-12);
    for (int i = 61; i <= 95; ++i)
        EXPECT_DOUBLE_EQ(st.DailyKc[day(i)], 1.1) << i;
    EXPECT_DOUBLE_EQ(st.DailyBasalKc[day(96)], 1.1);                 // the fall starts from Kcp
    EXPECT_NEAR(st.DailyBasalKc[day(97)], 1.1 - 0.6 / 26.0, 1e-12);
    // April is days 91..120.
    double sum = 0;
    for (int y = 91; y <= 120; ++y)
        sum += st.DailyKc[y];
    EXPECT_NEAR(c.MonthlyKc[4], sum / 30.0, 1e-12);
    EXPECT_GT(c.MonthlyKc[7], 0.0);
    EXPECT_EQ(c.MonthlyKc[8], 0.0);
    EXPECT_EQ(c.MonthlyKc[3], 0.0);
}

TEST(AnnualBasalCurve, SeasonAcrossYearEnd)
{
    CropRunContext c = Crop(11, 1, 3, 31);
    CropCurveState st;
    Rows r;
    ASSERT_TRUE(RunAnnualBasalCurve(c, st, {0.3, 1.0, 0.4, 0.2, 0.5, 0.8}, Wet(0.2), r.sink()));
    EXPECT_EQ(st.SeasonDays, 150);
    ASSERT_EQ(r.rows.size(), 151u);
    EXPECT_EQ(r.rows.front().day, 305);
    EXPECT_EQ(r.rows.back().day, 90);
    for (int m : {11, 12, 1, 2, 3})
        EXPECT_GT(c.MonthlyKc[m], 0.0) << m;
    EXPECT_EQ(c.MonthlyKc[4], 0.0);
}

// A development or late stage without days (Fs1 = Fs2, Fs3 past the season)
// has no slope; the curve stays finite.
TEST(AnnualBasalCurve, StagesWithoutDaysStayFinite)
{
    CropRunContext c = Crop(4, 1, 7, 10);
    CropCurveState st;
    Rows r;
    ASSERT_TRUE(RunAnnualBasalCurve(c, st, {0.3, 1.1, 0.5, 0.4, 0.4, 1.02}, Wet(0.3), r.sink()));
    ExpectAllFinite(st, c);
    FAO56Curve f{0.3, 1.1, 0.5, 0.4, 0.4, 1.02};
    c = Crop(4, 1, 7, 10);
    ASSERT_TRUE(RunFAO56Curve(c, st, f, r.sink()));
    ExpectAllFinite(st, c);
    c = Crop(4, 1, 4, 1);   // a one-day season
    ASSERT_TRUE(RunFAO56Curve(c, st, f, r.sink()));
    ExpectAllFinite(st, c);
}

TEST(AdjustedKc, WettingOnlyBelowOne)
{
    EXPECT_DOUBLE_EQ(AdjustedKc(1.05, 0.9, 0.5, 0.3), 1.05);
    EXPECT_NEAR(AdjustedKc(0.2, 0.5, 1.0, 1.0), 0.6, 1e-12);
}

TEST(SoilWettingFactor, UnknownSoilUsesSiltLoam)
{
    EXPECT_EQ(SoilColumn("Sandy Loam"), "Sandy Loam");
    EXPECT_TRUE(SoilColumn("Peat").isEmpty());
}

TEST(PerennialBasalCurve, EmptyMonthsTakeTheSeasonValues)
{
    CropRunContext c = Crop(1, 1, 12, 31);
    CropCurveState st;
    Rows r;
    PerennialBasalCurve p;
    for (int m = 4; m <= 12; ++m)
        p.g[m] = 0.9;
    ASSERT_TRUE(RunPerennialBasalCurve(c, st, p, Wet(0.0), r.sink()));
    ASSERT_EQ(r.rows.size(), 365u);
    for (int m = 1; m <= 12; ++m)
        EXPECT_NEAR(c.MonthlyKc[m], 0.9, 1e-12) << m;

    // Months after the last value take it.
    PerennialBasalCurve q;
    const double vals[13] = {0, 0, 0, 0, 0.5, 0.8, 1.0, 1.0, 0.9, 0.6, 0, 0, 0};
    for (int m = 1; m <= 12; ++m)
        q.g[m] = vals[m];
    c = Crop(1, 1, 12, 31);
    r.rows.clear();
    ASSERT_TRUE(RunPerennialBasalCurve(c, st, q, Wet(0.0), r.sink()));
    EXPECT_NEAR(st.DailyBasalKc[DayOfYear(1, 15)], 0.5, 1e-12);
    EXPECT_NEAR(st.DailyBasalKc[DayOfYear(11, 15)], 0.6, 1e-12);
    EXPECT_NEAR(st.DailyBasalKc[DayOfYear(7, 15)], 1.0, 1e-12);
}

// A season crossing the year end gets defined monthly means in its months.
TEST(PerennialBasalCurve, SeasonAcrossYearEndHasMonthlyMeans)
{
    CropRunContext c = Crop(11, 1, 3, 31);
    CropCurveState st;
    Rows r;
    PerennialBasalCurve p;
    for (int m = 1; m <= 12; ++m)
        p.g[m] = 0.5 + 0.02 * m;
    ASSERT_TRUE(RunPerennialBasalCurve(c, st, p, Wet(0.0), r.sink()));
    for (int m : {11, 12, 1, 2, 3}) {
        double sum = 0;
        for (int d = 1; d <= DaysInMonth(m); ++d)
            sum += st.DailyKc[DayOfYear(m, d)];
        EXPECT_NEAR(c.MonthlyKc[m], sum / DaysInMonth(m), 1e-12) << m;
    }
    for (int m = 4; m <= 10; ++m)
        EXPECT_EQ(c.MonthlyKc[m], 0.0) << m;
}

TEST(ForageCurve, HayCuttingDays)
{
    // 3 cuttings from 1 June to 30 August: interval 45 days, days 152, 197, 242.
    CropRunContext c = HayCrop(Crop(4, 1, 10, 31), 3, 6, 1, 8, 30);
    CropCurveState st;
    Rows r;
    ForageCurve f = HayCurve(20);
    ASSERT_TRUE(RunForageCurve(c, st, f, Wet(0.0), r.sink()));
    EXPECT_TRUE(c.HayFlag);
    EXPECT_EQ(c.Cuttings, 3);
    for (int cut : {152, 197, 242}) {
        EXPECT_DOUBLE_EQ(st.DailyBasalKc[cut], 1.2) << cut;
        EXPECT_DOUBLE_EQ(st.DailyBasalKc[cut + 1], 0.4) << cut;
    }
    // First period: peak halfway from the start (day 91) to the first cutting.
    EXPECT_NEAR(st.DailyBasalKc[100], 0.4 + 9 * 0.8 / 30.0, 1e-12);
    EXPECT_DOUBLE_EQ(st.DailyBasalKc[121], 1.2);
    // After the last cutting the curve stays low.
    EXPECT_DOUBLE_EQ(st.DailyBasalKc[300], 0.4);
    EXPECT_EQ(r.rows.size(), static_cast<size_t>(304 - 91 + 1));
}

TEST(ForageCurve, YearRoundFirstPeriodFromLastCutting)
{
    CropRunContext c = HayCrop(Crop(1, 1, 12, 31), 3, 6, 1, 8, 30);
    CropCurveState st;
    Rows r;
    ForageCurve f = HayCurve(20);
    ASSERT_TRUE(RunForageCurve(c, st, f, Wet(0.0), r.sink()));
    // S0 = 243, O0 = 1 + 151 / 2 = 76, t0 = 0.8 / (76 - 243 + 364).
    const double t0 = 0.8 / 197.0;
    EXPECT_NEAR(st.DailyBasalKc[1], (1 + 364 - 243) * t0 + 0.4, 1e-12);
    EXPECT_DOUBLE_EQ(st.DailyBasalKc[243], 0.4);
    EXPECT_NEAR(st.DailyBasalKc[365], 122 * t0 + 0.4, 1e-12);
}

TEST(ForageCurve, MissingPeakData)
{
    RecordingMessages msgs;
    CropRunContext c = Crop(4, 1, 10, 31);
    CropCurveState st;
    Rows r;
    ForageCurve f;
    f.hay = true;
    EXPECT_FALSE(RunForageCurve(c, st, f, Wet(0.0), r.sink()));
    EXPECT_EQ(msgs.texts, QStringList{"Peak reached data missing in database."});
    EXPECT_TRUE(r.rows.empty());
}

// Cuttings that fall on one day, or a year-round first period whose peak
// meets its start, give periods without days; the slopes stay finite.
TEST(ForageCurve, CuttingPeriodsOfNoLengthStayFinite)
{
    CropRunContext c = HayCrop(Crop(1, 1, 12, 31), 2, 1, 2, 12, 30);
    CropCurveState st;
    Rows r;
    ForageCurve f = HayCurve(0);
    ASSERT_TRUE(RunForageCurve(c, st, f, Wet(0.2), r.sink()));
    ExpectAllFinite(st, c);
    EXPECT_DOUBLE_EQ(st.DailyBasalKc[365], 0.4);

    c = Crop(4, 1, 10, 31);
    c.Cuttings = 3;
    c.Cut1Month = c.CutEndMonth = 6;
    c.Cut1Day = c.CutEndDay = 1;
    ASSERT_TRUE(RunForageCurve(c, st, f, Wet(0.2), r.sink()));
    ExpectAllFinite(st, c);
}

TEST(ForageCurve, SeasonAcrossYearEndHasMonthlyMeans)
{
    CropRunContext c = Crop(10, 1, 3, 31);
    CropCurveState st;
    Rows r;
    ForageCurve f;
    f.hasPkDaysBefore = true;
    f.pkDaysBefore = 10;
    f.lowKc = 0.5;
    f.highKc = 0.9;
    ASSERT_TRUE(RunForageCurve(c, st, f, Wet(0.0), r.sink()));
    for (int m : {10, 11, 12, 1, 2, 3})
        EXPECT_GT(c.MonthlyKc[m], 0.0) << m;
    EXPECT_EQ(c.MonthlyKc[6], 0.0);
    ExpectAllFinite(st, c);
}

namespace {
BCAnnualCurve Ramp()
{
    BCAnnualCurve c;
    for (int i = 1; i <= 21; ++i)
        c.K[i] = 0.2 + 0.05 * i + (i % 3) * 0.01;
    return c;
}
} // namespace

TEST(BCAnnualCurve, BreakpointsEveryFivePercent)
{
    // n = 100 (1 April to 10 July): breakpoints 5, 10, ..., 100.
    CropRunContext c = Crop(4, 1, 7, 10);
    CropCurveState st;
    Rows r;
    const BCAnnualCurve k = Ramp();
    ASSERT_TRUE(RunBCAnnualCurve(c, st, k, r.sink()));
    EXPECT_EQ(st.SeasonDays, 100);
    EXPECT_EQ(r.rows.size(), 100u);
    const int s = DayOfYear(4, 1);
    EXPECT_DOUBLE_EQ(st.DailyKc[s], k.K[1]);
    EXPECT_DOUBLE_EQ(st.DailyKc[s + 4], k.K[2]);
    EXPECT_NEAR(st.DailyKc[s + 5], k.K[2] + (k.K[3] - k.K[2]) / 5.0, 1e-12);
    EXPECT_DOUBLE_EQ(st.DailyKc[s + 99], k.K[21]);
    EXPECT_EQ(r.rows.front().kcb, 0.0);

    // n = 30: B1 = RoundHalfUp(1.5) = 2, so day 2 takes "5% Kc".
    c = Crop(4, 1, 5, 1);
    ASSERT_TRUE(RunBCAnnualCurve(c, st, k, r.sink()));
    EXPECT_DOUBLE_EQ(st.DailyKc[s + 1], k.K[2]);
}

// A very short season rounds breakpoints together (n = 10) or onto day 0
// (n < 10): the curve steps past them and stays within its values.
TEST(BCAnnualCurve, VeryShortSeasonStaysOnTheCurve)
{
    const BCAnnualCurve k = Ramp();
    for (int n : {3, 5, 10, 17}) {
        CropRunContext c = Crop(4, 1, 4, 1 + n);
        CropCurveState st;
        Rows r;
        ASSERT_TRUE(RunBCAnnualCurve(c, st, k, r.sink()));
        ExpectAllFinite(st, c);
        const int s = DayOfYear(4, 1);
        for (int i = 0; i < n; ++i) {
            EXPECT_GE(st.DailyKc[s + i], k.K[1] - 1e-12) << n << " " << i;
            EXPECT_LE(st.DailyKc[s + i], 1.36) << n << " " << i;
        }
        EXPECT_DOUBLE_EQ(st.DailyKc[s + n - 1], k.K[21]) << n;
    }
}

// The harvest day is not rated; harvest on the 1st leaves the last rated days
// in the month before, whose mean they are.
TEST(BCAnnualCurve, HarvestOnTheFirstKeepsTheLastMonth)
{
    CropRunContext c = Crop(6, 1, 8, 1);
    CropCurveState st;
    Rows r;
    ASSERT_TRUE(RunBCAnnualCurve(c, st, Ramp(), r.sink()));
    double sum = 0;
    for (int d = 1; d <= 31; ++d)
        sum += st.DailyKc[DayOfYear(7, d)];
    EXPECT_NEAR(c.MonthlyKc[7], sum / 31.0, 1e-12);
    EXPECT_EQ(c.MonthlyKc[8], 0.0);
}

TEST(BCPerennialCurve, FirstAndFifteenth)
{
    BCPerennialCurve p;
    for (int m = 1; m <= 12; ++m) {
        p.A1[m] = 0.3 + 0.05 * m;
        p.A15[m] = 0.35 + 0.05 * m;
    }
    p.Aend = 0.4;
    CropRunContext c = Crop(3, 1, 10, 31);
    CropCurveState st;
    Rows r;
    ASSERT_TRUE(RunBCPerennialCurve(c, st, p, r.sink()));
    EXPECT_EQ(r.rows.size(), 365u);
    EXPECT_DOUBLE_EQ(st.DailyKc[15], p.A15[1]);
    EXPECT_NEAR(st.DailyKc[31], p.A1[2], 1e-12);
    // December 31 holds "Dec 31 Kc" (no step past it, so a 0 there never
    // turns the last day negative).
    EXPECT_NEAR(st.DailyKc[365], p.Aend, 1e-12);
    BCPerennialCurve zeroEnd = p;
    zeroEnd.Aend = 0.0;
    ASSERT_TRUE(RunBCPerennialCurve(c, st, zeroEnd, r.sink()));
    EXPECT_GE(st.DailyKc[365], 0.0);
    EXPECT_NEAR(st.DailyKc[8], p.A1[1] + 7 * (p.A15[1] - p.A1[1]) / 14.0, 1e-12);
    EXPECT_EQ(c.MonthlyKc[2], 0.0);
    EXPECT_GT(c.MonthlyKc[3], 0.0);

    // Across the year end the season months get their means.
    c = Crop(11, 1, 2, 28);
    ASSERT_TRUE(RunBCPerennialCurve(c, st, p, r.sink()));
    for (int m : {11, 12, 1, 2})
        EXPECT_GT(c.MonthlyKc[m], 0.0) << m;
    double dec = 0;
    for (int d = 1; d <= 31; ++d)
        dec += st.DailyKc[DayOfYear(12, d)];
    EXPECT_NEAR(c.MonthlyKc[12], dec / 31.0, 1e-12);
}

TEST(FAO56Curve, StageEnds)
{
    const StageEnds d = StageEndsOf(120, 0.15, 0.40, 0.75);
    EXPECT_EQ(d.d1, 18);
    EXPECT_EQ(d.d2, 48);
    EXPECT_EQ(d.d3, 90);
    CropRunContext c = Crop(4, 1, 7, 30);
    CropCurveState st;
    Rows r;
    ASSERT_TRUE(RunFAO56Curve(c, st, {0.35, 1.15, 0.6, 0.15, 0.40, 0.75}, r.sink()));
    ASSERT_EQ(r.rows.size(), 121u);
    const int s = DayOfYear(4, 1);
    EXPECT_DOUBLE_EQ(st.DailyKc[s + 17], 0.35);
    EXPECT_DOUBLE_EQ(st.DailyKc[s + 18], 0.35);
    EXPECT_NEAR(st.DailyKc[s + 19], 0.35 + 0.8 / 30.0, 1e-12);
    EXPECT_DOUBLE_EQ(st.DailyKc[s + 89], 1.15);
    EXPECT_DOUBLE_EQ(st.DailyKc[s + 90], 1.15);
    EXPECT_NEAR(st.DailyKc[s + 91], 1.15 - 0.55 / 32.0, 1e-12);
    EXPECT_DOUBLE_EQ(r.rows.front().kcb, 0.35);
}
