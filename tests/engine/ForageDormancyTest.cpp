// A year-round forage crop at a station that freezes is dormant outside the
// 28 F freezes instead of regrowing through the winter.
#include <gtest/gtest.h>

#include "CropCurves.h"
#include "ForageDormancy.h"

using namespace quen;

namespace {

CropRunContext YearRoundHay()
{
    CropRunContext c;
    c.PlantMonth = 1;
    c.PlantDay = 1;
    c.HarvestMonth = 12;
    c.HarvestDay = 31;
    c.StressFactor = 1.0;
    c.FractionWetted = 1.0;
    c.Cuttings = 3;
    c.Cut1Month = 6;
    c.Cut1Day = 1;
    c.CutEndMonth = 8;
    c.CutEndDay = 30;
    return c;
}

ForageCurve Alfalfa()
{
    ForageCurve f;
    f.hay = true;
    f.hasPkPctAfter = true;
    f.pkPctAfter = 20;
    f.lowKc = 0.4;
    f.highKc = 1.2;
    return f;
}

const DailyRowSink kNoRows = [](int, double, double) {};
const WetFactorFn kDry = [](int) { return 0.0; };

} // namespace

TEST(ForageDormancy, FreezeDaysFromTheStationsDates)
{
    ForageCurve f;
    SetForageFreezeDays(f, {QStringLiteral("04/15"), QStringLiteral("05/01"), QStringLiteral("10/15"),
                            QStringLiteral("10/01")});
    EXPECT_EQ(f.springFreezeDay, 105);
    EXPECT_EQ(f.fallFreezeDay, 288);
    // Never that cold, or not known: no dormant season.
    for (const char* none : {"00/00", "", "--/--"}) {
        SetForageFreezeDays(f, {QString::fromLatin1(none), QString(), QStringLiteral("10/15"), QString()});
        EXPECT_EQ(f.springFreezeDay, 0) << none;
        EXPECT_EQ(f.fallFreezeDay, 0) << none;
    }
}

TEST(ForageDormancy, DormantOutsideTheFreezesGrowthFromTheSpringFreeze)
{
    CropRunContext c = YearRoundHay();
    CropCurveState st;
    ForageCurve f = Alfalfa();
    f.springFreezeDay = 105;   // 15 April
    f.fallFreezeDay = 288;     // 15 October
    ASSERT_TRUE(RunForageCurve(c, st, f, kDry, kNoRows));
    // January to the spring freeze: dormant at Low Kc (was regrowth from the
    // last cutting of the year before, 1.0-1.2 by April).
    for (int y : {1, 60, 105})
        EXPECT_DOUBLE_EQ(st.DailyBasalKc[y], 0.4) << y;
    // S0 = 106, O0 = 106 + 46 / 2 = 129, t0 = 0.8 / 23.
    const double t0 = 0.8 / 23.0;
    EXPECT_NEAR(st.DailyBasalKc[120], 14 * t0 + 0.4, 1e-12);
    EXPECT_DOUBLE_EQ(st.DailyBasalKc[140], 1.2);
    // Regrowth after the last cutting (30 August) until the fall freeze.
    EXPECT_NEAR(st.DailyBasalKc[250], 7 * t0 + 0.4, 1e-12);
    EXPECT_DOUBLE_EQ(st.DailyBasalKc[289], 0.4);
    EXPECT_DOUBLE_EQ(st.DailyBasalKc[365], 0.4);
    EXPECT_DOUBLE_EQ(c.MonthlyKc[2], 0.4);

    // A fall freeze in the next January (day 10) before the spring freeze (day 40).
    f.springFreezeDay = 40;
    f.fallFreezeDay = 10;
    CropCurveState st2;
    ASSERT_TRUE(RunForageCurve(c, st2, f, kDry, kNoRows));
    EXPECT_DOUBLE_EQ(st2.DailyBasalKc[20], 0.4);
    EXPECT_GT(st2.DailyBasalKc[5], 0.4);   // the regrowth of the fall goes on until the freeze
    EXPECT_LE(st2.DailyBasalKc[5], 1.2);
    EXPECT_GT(st2.DailyBasalKc[300], 0.4);

    // A planted season (not 1 January) ignores the freeze days.
    CropRunContext p = YearRoundHay();
    p.PlantMonth = 4;
    p.PlantDay = 1;
    CropCurveState a, b;
    ForageCurve plain = Alfalfa();
    ASSERT_TRUE(RunForageCurve(p, a, plain, kDry, kNoRows));
    plain.springFreezeDay = 105;
    plain.fallFreezeDay = 288;
    ASSERT_TRUE(RunForageCurve(p, b, plain, kDry, kNoRows));
    EXPECT_EQ(a.DailyBasalKc, b.DailyBasalKc);
}
