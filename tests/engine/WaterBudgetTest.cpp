// Effective precipitation, probability ratios, carry-over, requirement, peak use.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TestMessages.h"
#include "WaterBudget.h"

using namespace quen;

namespace {

// Nearest match on "AnPcp" over rows in "AnPrecip" order and the row before it.
PcpChanceLookup TableOf(std::vector<PcpChanceRow> rows)
{
    return [rows](int key) {
        size_t i = 0;
        while (i + 1 < rows.size() && rows[i].anPcp < key)
            ++i;
        const size_t lower = i > 0 ? i - 1 : i;
        return std::make_pair(rows[i], rows[lower]);
    };
}

CropRunContext Season(int pm, int pd, int hm, int hd)
{
    CropRunContext c;
    c.PlantMonth = pm;
    c.PlantDay = pd;
    c.HarvestMonth = hm;
    c.HarvestDay = hd;
    c.SeasonMonthFlags = SeasonMonths(pm, hm);
    c.PctChanceRatio50 = 0.9;
    c.PctChanceRatio80 = 0.7;
    c.NetIrrDepth = 3.0;
    return c;
}

} // namespace

TEST(PctChanceRatios, ClampsAndInterpolates)
{
    const PcpChanceLookup table = TableOf({{13, 0.60, 0.40}, {14, 0.62, 0.42}, {15, 0.64, 0.45}, {16, 0.66, 0.47}});
    auto r = PctChanceRatios(2.5, table);
    EXPECT_DOUBLE_EQ(r.ratio50, 0.8);
    EXPECT_DOUBLE_EQ(r.ratio80, 0.45);
    r = PctChanceRatios(3.0, table);
    EXPECT_DOUBLE_EQ(r.ratio50, 0.8);
    EXPECT_DOUBLE_EQ(r.ratio80, 0.45);
    r = PctChanceRatios(95, table);
    EXPECT_DOUBLE_EQ(r.ratio50, 0.99);
    EXPECT_DOUBLE_EQ(r.ratio80, 0.9);
    r = PctChanceRatios(90.0, table);
    EXPECT_DOUBLE_EQ(r.ratio50, 0.99);
    EXPECT_DOUBLE_EQ(r.ratio80, 0.9);
    // 14.6: key 15, rows 15 and 14, g = 0.6.
    r = PctChanceRatios(14.6, table);
    EXPECT_NEAR(r.ratio50, 0.62 + 0.02 * 0.6, 1e-12);
    EXPECT_NEAR(r.ratio80, 0.42 + 0.03 * 0.6, 1e-12);
}

// On the first row of the table there is no row before: the bracket has no
// width, and the first row's ratios hold instead of a division by zero.
TEST(PctChanceRatios, FirstRowOfTheTableStaysFinite)
{
    const PcpChanceLookup table = TableOf({{5, 0.70, 0.50}, {6, 0.72, 0.52}});
    const auto r = PctChanceRatios(3.5, table);
    EXPECT_DOUBLE_EQ(r.ratio50, 0.70);
    EXPECT_DOUBLE_EQ(r.ratio80, 0.50);
}

TEST(DefaultEffPrecipRatios, CurveFitValues)
{
    auto r = DefaultEffPrecipRatios(0);
    EXPECT_DOUBLE_EQ(r.ratio50, 0.774261);
    EXPECT_DOUBLE_EQ(r.ratio80, 0.415008);
    r = DefaultEffPrecipRatios(10);
    EXPECT_NEAR(r.ratio50, 0.912569, 5e-7);
    EXPECT_NEAR(r.ratio80, 0.641681, 5e-7);
    r = DefaultEffPrecipRatios(20);
    EXPECT_NEAR(r.ratio50, 0.965787, 5e-6);
    EXPECT_NEAR(r.ratio80, 0.761487, 5e-6);
}

TEST(MonthlyEffectivePrecip, PublishedFigures)
{
    EXPECT_NEAR(NetDepthFactor(3.0), 1.000674, 5e-7);
    EXPECT_NEAR(MonthlyEffectivePrecip(3, 6, 3), 2.2921, 5e-5);
    // The formula gives 0.6108, above ET: Pe = ET.
    EXPECT_DOUBLE_EQ(MonthlyEffectivePrecip(1, 0.5, 3), 0.5);
}

// Small precipitation makes the fit negative; Pe is held at 0.
TEST(MonthlyEffectivePrecip, NeverNegative)
{
    EXPECT_EQ(MonthlyEffectivePrecip(0.0, 5.0, 3.0), 0.0);
    EXPECT_EQ(MonthlyEffectivePrecip(0.1, 5.0, 3.0), 0.0);
    EXPECT_EQ(MonthlyEffectivePrecip(0.1, 0.0, 3.0), 0.0);
    EXPECT_GT(MonthlyEffectivePrecip(0.3, 5.0, 3.0), 0.0);

    // In a budget: a dry station puts no effective precipitation anywhere.
    CropRunContext c = Season(4, 15, 10, 15);
    c.MonthlyPrecip.fill(0.05);
    for (int m = 4; m <= 10; ++m)
        c.DailyCropET[m] = 0.2;
    RunWaterBudget(c, 0);
    for (int m = 1; m <= 12; ++m) {
        EXPECT_GE(c.EffPrecip50[m], 0.0) << m;
        EXPECT_GE(c.EffPrecip80[m], 0.0) << m;
        if (!c.SeasonMonthFlags[m])
            EXPECT_EQ(c.EffPrecip50[m], 0.0) << m;
        else
            EXPECT_NEAR(c.NetIrrReq50[m], c.MonthlyCropET[m], 1e-12) << m;
    }
}

// A net depth of 0 or less: f(D) takes D = 0 and the peak is the average daily ET.
TEST(MonthlyEffectivePrecip, NetDepthOfZeroOrLess)
{
    EXPECT_DOUBLE_EQ(NetDepthFactor(0.0), 0.531747);
    EXPECT_DOUBLE_EQ(NetDepthFactor(-2.0), 0.531747);
    EXPECT_NEAR(MonthlyEffectivePrecip(3, 6, -1), MonthlyEffectivePrecip(3, 6, 0), 1e-15);

    CropRunContext c = Season(4, 15, 10, 15);
    c.MonthlyCropET[6] = 8.0;
    c.DailyCropET[6] = 0.25;
    for (double d : {0.0, -1.0}) {
        c.NetIrrDepth = d;
        for (int method = 0; method <= 5; ++method) {
            const double p = PeakDailyCropET(c, 6, method);
            EXPECT_TRUE(std::isfinite(p));
            EXPECT_DOUBLE_EQ(p, 0.25);
        }
    }
}

TEST(PeakDailyCropET, MethodsAndSeasonEnds)
{
    CropRunContext c = Season(4, 15, 10, 15);
    c.MonthlyCropET[6] = 8.0;
    c.DailyCropET[6] = 8.0 / 30.0;
    EXPECT_NEAR(PeakDailyCropET(c, 6, 0), 0.29710, 5e-6);
    EXPECT_NEAR(PeakDailyCropET(c, 6, 1), PeakRatio(1, 3.0) * 8.0 / 30.0, 1e-12);
    EXPECT_NEAR(PeakRatio(1, 0.0), 1.28111, 1e-12);
    EXPECT_NEAR(PeakDailyCropET(c, 6, 9), 0.034 * std::pow(8.0 / 30.0, 1.09) * std::pow(3.0, -0.09), 1e-12);
    c.MonthlyCropET[4] = c.MonthlyCropET[10] = c.MonthlyCropET[12] = 8.0;
    EXPECT_EQ(PeakDailyCropET(c, 4, 0), 0.0);
    EXPECT_EQ(PeakDailyCropET(c, 10, 0), 0.0);
    EXPECT_EQ(PeakDailyCropET(c, 12, 0), 0.0);
}

// A month of little water use: the TR-21 fit gives 0.01766 in/day, below the
// month's mean of 0.02; the peak is the mean. At 8 in the fit stands.
TEST(PeakDailyCropET, Tr21PeakNeverBelowTheMonthsMean)
{
    CropRunContext c = Season(4, 15, 10, 15);
    c.DailyCropET[6] = 0.02;
    c.DailyCropET[7] = 8.0 / 31.0;
    RunWaterBudget(c, 0);
    EXPECT_NEAR(0.034 * std::pow(c.MonthlyCropET[6], 1.09) * std::pow(3.0, -0.09), 0.01766, 5e-5);
    EXPECT_DOUBLE_EQ(c.PeakDailyET[6], 0.02);
    EXPECT_NEAR(c.PeakDailyET[7], 0.29710, 5e-6);
    EXPECT_GT(c.PeakDailyET[7], c.DailyCropET[7]);
}

// A winter month of negative reference ET (Alaska) uses no water: crop ET,
// requirement and peak are 0, the other months as before, and a warning says so.
TEST(WaterBudget, NegativeCropETTakenAsZero)
{
    test::RecordingMessages msgs;
    CropRunContext c = Season(11, 15, 4, 15);
    c.DailyCropET[1] = -0.02;
    c.DailyCropETmm[1] = -0.508;
    c.DailyCropET[2] = 0.01;
    c.DailyCropETmm[2] = 0.254;
    c.DailyCropET[12] = -0.01;
    c.DailyCropETmm[12] = -0.254;
    RunWaterBudget(c, 0);
    EXPECT_EQ(c.DailyCropET[1], 0.0);
    EXPECT_EQ(c.DailyCropETmm[1], 0.0);
    EXPECT_EQ(c.MonthlyCropET[1], 0.0);
    EXPECT_EQ(c.NetIrrReq50[1], 0.0);
    EXPECT_EQ(c.NetIrrReq80[1], 0.0);
    EXPECT_EQ(c.PeakDailyET[1], 0.0);
    EXPECT_NEAR(c.MonthlyCropET[2], 0.28, 1e-12);
    EXPECT_EQ(c.MonthlyCropET[12], 0.0);
    // One warning for the run, naming every clipped month in season order.
    ASSERT_EQ(msgs.texts.size(), 1);
    EXPECT_EQ(msgs.texts.first(), "Reference ET below 0 in December, January: crop ET taken as 0");
    EXPECT_EQ(msgs.kinds.first(), MsgKind::Warning);
}

TEST(WaterBudget, SeasonMonthsAndOrder)
{
    MonthlyFlags f = SeasonMonths(4, 10);
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(f[m], m >= 4 && m <= 10) << m;
    f = SeasonMonths(11, 3);
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(f[m], m >= 11 || m <= 3) << m;
    f = SeasonMonths(3, 3);
    for (int m = 1; m <= 12; ++m)
        EXPECT_TRUE(f[m]);
    const std::array<int, 12> o = BudgetMonthOrder(11);
    EXPECT_EQ(o[0], 11);
    EXPECT_EQ(o[1], 12);
    EXPECT_EQ(o[2], 1);
    EXPECT_EQ(o[11], 10);
}

TEST(WaterBudget, BeginCarryOverWalk)
{
    // Cb = 2 in; deficits 1.5, 3 and 4 in (no rain) in April, May and June.
    CropRunContext c = Season(4, 15, 9, 30);
    c.CarryBeg = 2.0;
    c.DailyCropET[4] = 1.5 / 15.0;
    c.DailyCropET[5] = 3.0 / 31.0;
    c.DailyCropET[6] = 4.0 / 30.0;
    RunWaterBudget(c, 0);
    EXPECT_NEAR(c.NetIrrReq50[4], 0.0, 1e-12);
    EXPECT_NEAR(c.NetIrrReq50[5], 2.5, 1e-12);
    EXPECT_NEAR(c.NetIrrReq50[6], 4.0, 1e-12);
    EXPECT_NEAR(c.CarryOverUsed50[4], 1.5, 1e-12);
    EXPECT_NEAR(c.CarryOverUsed50[5], 0.5, 1e-12);
    EXPECT_NEAR(c.CarryOverUsed50[6], 0.0, 1e-12);
    EXPECT_NEAR(c.NetIrrReq80[5], 2.5, 1e-12);
    EXPECT_EQ(c.PeakDailyET[4], 0.0);
}

TEST(WaterBudget, EndCarryOverWalksBackward)
{
    // Ce = 1 in; harvest-month deficit 0.6 in, the month before 3 in.
    CropRunContext c = Season(4, 15, 9, 15);
    c.CarryEnd = 1.0;
    c.DailyCropET[8] = 3.0 / 31.0;
    c.DailyCropET[9] = 0.6 / 15.0;
    RunWaterBudget(c, 0);
    EXPECT_NEAR(c.NetIrrReq50[9], 0.0, 1e-12);
    EXPECT_NEAR(c.CarryOverUsed50[9], 0.6, 1e-12);
    EXPECT_NEAR(c.NetIrrReq50[8], 2.6, 1e-12);
    EXPECT_NEAR(c.CarryOverUsed50[8], 0.4, 1e-12);
    EXPECT_NEAR(c.NetIrrReq80[8], 2.6, 1e-12);
}

TEST(WaterBudget, EndCarryOverThroughZeroDeficitMonth)
{
    // A month with no deficit ends the carry-over; the next month with a
    // deficit of 0 or more ends the walk.
    CropRunContext c = Season(4, 15, 9, 15);
    c.CarryEnd = 2.0;
    c.DailyCropET[9] = 0.6 / 15.0;
    c.DailyCropET[8] = 0.0;
    c.DailyCropET[7] = 3.0 / 31.0;
    RunWaterBudget(c, 0);
    EXPECT_NEAR(c.CarryOverUsed50[9], 0.6, 1e-12);
    EXPECT_NEAR(c.CarryOverUsed50[8], 0.0, 1e-12);
    EXPECT_NEAR(c.NetIrrReq50[7], 3.0, 1e-12);
    EXPECT_NEAR(c.CarryOverUsed50[7], 0.0, 1e-12);
}
