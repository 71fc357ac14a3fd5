// Planting and harvest dates from mean monthly temperatures.
#include <gtest/gtest.h>

#include "GrowthDates.h"
#include "TestMessages.h"

using namespace quen;
using quen::test::RecordingMessages;

namespace {

// A temperate station: rising to July, falling after.
MonthlyValues Temperate()
{
    const double t[13] = {0, 25, 30, 38, 48, 58, 67, 73, 71, 61, 50, 37, 28};
    MonthlyValues a{};
    for (int m = 1; m <= 12; ++m)
        a[m] = t[m];
    return a;
}

StationFrostDates Frost() { return {"04/12", "05/02", "10/20", "10/01"}; }

} // namespace

TEST(SpringDate, InterpolatesBetweenMidMonths)
{
    // T4 = 48, T5 = 58, 50 F: p = 5, s = 10 / 30, k = 24, April 30 - 24 + 15.
    const GrowthDate d = SpringDate(50, Temperate(), Frost());
    EXPECT_EQ(d.month, 4);
    EXPECT_EQ(d.day, 21);
    const GrowthDate e = SpringDate(57, Temperate(), Frost());
    EXPECT_EQ(e.month, 5);
    EXPECT_EQ(e.day, 12);    // k = RoundHalfUp(1 / (10/30)) = 3
}

TEST(SpringDate, FrostDateFields)
{
    GrowthDate d = SpringDate(28, Temperate(), Frost());
    EXPECT_EQ(d.month, 4);
    EXPECT_EQ(d.day, 12);
    d = FallDate(32, Temperate(), Frost());
    EXPECT_EQ(d.month, 10);
    EXPECT_EQ(d.day, 1);
    StationFrostDates never = Frost();
    never.spring28 = "00/00";
    EXPECT_EQ(SpringDate(28, Temperate(), never).month, 0);
}

// A January no warmer than December (T1 <= T12) has no rising slope: the
// procedure does not work (the literal formula gives "January 46").
TEST(SpringDate, NonRisingPairDoesNotWork)
{
    MonthlyValues t = Temperate();
    t[1] = 40;
    t[12] = 45;
    EXPECT_EQ(SpringDate(35, t, Frost()).month, 0);
    t[12] = 40;
    EXPECT_EQ(SpringDate(35, t, Frost()).month, 0);
}

TEST(FallDate, InterpolatesAndFailsWithoutFallingPair)
{
    // 55 F: first month below is October (50); s = (61 - 50) / 30, k = 14.
    GrowthDate d = FallDate(55, Temperate(), Frost());
    EXPECT_EQ(d.month, 10);
    EXPECT_EQ(d.day, 1);
    // July warmer than June: no falling slope ("July 60" by the formula).
    MonthlyValues t = Temperate();
    t[6] = 60;
    t[7] = 62;
    EXPECT_EQ(FallDate(65, t, Frost()).month, 0);
    // June itself already below the temperature: no date in the search months.
    t[6] = 62;
    t[7] = 60;
    EXPECT_EQ(FallDate(65, t, Frost()).month, 0);
    // December no warmer than January: no slope.
    t = Temperate();
    t[12] = 25;
    t[1] = 25;
    EXPECT_EQ(FallDate(26, t, Frost()).month, 0);
}

TEST(FallDate, DecemberHeldToTheThirtyFirst)
{
    MonthlyValues t = Temperate();
    t[11] = 40;
    t[12] = 30;
    t[1] = 25;
    for (double x : {31.0, 35.0}) {
        const GrowthDate d = FallDate(x, t, Frost());
        EXPECT_EQ(d.month, 12) << x;
        EXPECT_EQ(d.day, 31) << x;
    }
    // January warmer than December: the formula's "December 34" (46 - 12)
    // comes from a rising pair, which gives no date.
    t[1] = 35;
    EXPECT_EQ(FallDate(33, t, Frost()).month, 0);
}

TEST(ComputeGrowthDates, RequiredGrowDaysAndFallDate)
{
    RecordingMessages msgs;
    CropRunContext ctx;
    ctx.MonthlyTemp = Temperate();
    GrowthDatesInput in;
    in.minGrowDays = 100;
    in.growDaysEntered = 120;
    in.beginTemp = 50;
    in.endTemp = 55;
    GrowthDatesResult r = ComputeGrowthDates(ctx, in, Frost());
    EXPECT_EQ(r.status, GrowthDatesResult::Status::Ok);
    EXPECT_EQ(r.spring.month, 4);
    EXPECT_EQ(r.spring.day, 21);
    EXPECT_EQ(r.harvest.month, 8);   // day 111 + 120 = 231
    EXPECT_EQ(r.harvest.day, 19);
    EXPECT_EQ(r.availableDays, 274 - 111);
    EXPECT_DOUBLE_EQ(ctx.BeginGrowthTempC, 10.0);
    EXPECT_TRUE(msgs.texts.isEmpty());

    // No minimum grow days: the harvest is the temperature-based fall date.
    in.minGrowDays = 1;
    r = ComputeGrowthDates(ctx, in, Frost());
    EXPECT_EQ(r.harvest.month, 10);
    EXPECT_EQ(r.harvest.day, 1);

    // More days required than available.
    in.minGrowDays = 100;
    in.growDaysEntered = 200;
    r = ComputeGrowthDates(ctx, in, Frost());
    EXPECT_TRUE(r.tooLong);
    EXPECT_EQ(msgs.count("Growing period too long for temperatures used."), 1);
}

TEST(ComputeGrowthDates, MetricZeroUsesFallFrostDate)
{
    CropRunContext ctx;
    ctx.MonthlyTemp = Temperate();
    GrowthDatesInput in;
    in.metricUnits = true;
    in.beginTemp = 10.0;
    in.endTemp = 0.0;
    const GrowthDatesResult r = ComputeGrowthDates(ctx, in, Frost());
    EXPECT_DOUBLE_EQ(r.endF, 32.0);
    EXPECT_DOUBLE_EQ(r.beginF, 50.0);
    EXPECT_EQ(r.fall.month, 10);
    EXPECT_EQ(r.fall.day, 1);
}

TEST(ComputeGrowthDates, WarningsForImpossibleTemperatures)
{
    RecordingMessages msgs;
    CropRunContext ctx;
    ctx.MonthlyTemp = Temperate();
    ctx.MonthlyTemp[1] = 40;
    ctx.MonthlyTemp[12] = 45;
    GrowthDatesInput in;
    in.beginTemp = 35;
    in.endTemp = 55;
    GrowthDatesResult r = ComputeGrowthDates(ctx, in, Frost());
    EXPECT_EQ(r.status, GrowthDatesResult::Status::BeginFails);
    EXPECT_EQ(msgs.texts, QStringList{"This procedure will not work for given begin growth temperature. Enter dates directly"});

    ctx.MonthlyTemp = Temperate();
    in.beginTemp = 50;
    in.endTemp = 80;   // never that warm in the fall months
    r = ComputeGrowthDates(ctx, in, Frost());
    EXPECT_EQ(r.status, GrowthDatesResult::Status::EndFails);
    EXPECT_EQ(msgs.texts.last(), "This procedure will not work for given end growth temperature. Enter dates directly");
}

TEST(ComputeGrowthDates, HarvestPastTheYearEndHeldToDecemberThirtyFirst)
{
    CropRunContext ctx;
    ctx.MonthlyTemp = Temperate();
    GrowthDatesInput in;
    in.minGrowDays = 100;
    in.growDaysEntered = 300;
    in.beginTemp = 50;
    in.endTemp = 55;
    RecordingMessages msgs;
    const GrowthDatesResult r = ComputeGrowthDates(ctx, in, Frost());
    EXPECT_EQ(r.harvest.month, 12);
    EXPECT_EQ(r.harvest.day, 31);
}

// A 28 or 32 F temperature reads the station's frost date. A date that is not
// known (empty field, or "--/--" as the station files write it) is told as
// such, while "00/00" (never that low) keeps the procedure's own warning.
TEST(ComputeGrowthDates, UnknownFrostDateIsToldAsUnknown)
{
    RecordingMessages msgs;
    CropRunContext ctx;
    ctx.MonthlyTemp = Temperate();
    StationFrostDates frost = Frost();
    frost.spring28.clear();
    frost.fall28 = "--/--";
    EXPECT_TRUE(SpringDate(28, Temperate(), frost).frostDateUnknown);
    EXPECT_TRUE(FallDate(28, Temperate(), frost).frostDateUnknown);
    EXPECT_FALSE(SpringDate(32, Temperate(), frost).frostDateUnknown);
    EXPECT_EQ(SpringDate(32, Temperate(), frost).month, 5);

    GrowthDatesInput in;
    in.beginTemp = 28;
    in.endTemp = 32;
    GrowthDatesResult r = ComputeGrowthDates(ctx, in, frost);
    EXPECT_EQ(r.status, GrowthDatesResult::Status::BeginFails);
    EXPECT_TRUE(r.frostDateUnknown);
    ASSERT_EQ(msgs.texts.size(), 1);
    EXPECT_EQ(msgs.texts.last(), FrostDateUnknownText(true, 28));
    EXPECT_TRUE(msgs.texts.last().contains("last spring 28 F (-2.2 C) frost date of this station is not known"));

    // Metric: 0 C is the 32 F date; an unknown fall 32 F date.
    frost = Frost();
    frost.fall32.clear();
    in.metricUnits = true;
    in.beginTemp = 10;
    in.endTemp = 0;
    r = ComputeGrowthDates(ctx, in, frost);
    EXPECT_EQ(r.status, GrowthDatesResult::Status::EndFails);
    EXPECT_TRUE(msgs.texts.last().contains("first fall 32 F (0.0 C) frost date"));

    // "00/00": never that low, the temperature does not work.
    frost.fall32 = "00/00";
    r = ComputeGrowthDates(ctx, in, frost);
    EXPECT_FALSE(r.frostDateUnknown);
    EXPECT_EQ(msgs.texts.last(), kEndTempFails);
}
