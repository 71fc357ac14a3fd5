// TR21 Blaney-Criddle consumptive-use rate and the daytime-percentage lookup.
#include <gtest/gtest.h>

#include <vector>

#include "ReferenceET.h"
#include "TestMessages.h"

using namespace quen;
using quen::test::RecordingMessages;

namespace {

DaytimeLookup Constant(double p)
{
    return [p](int, int) { return p; };
}

BlaneyCriddleInputs July75()
{
    BlaneyCriddleInputs in;
    in.month = 7;
    in.t = in.tPrev = in.tNext = 75.0;
    in.latitude = 4000;
    in.inSeason = true;
    in.plantMonth = 4;
    in.plantDay = 15;
    in.harvestMonth = 10;
    in.harvestDay = 15;
    return in;
}

} // namespace

TEST(BlaneyCriddleRate, JulyAt75F)
{
    // kt = 0.0173 x 75 - 0.314 = 0.9835; rate = 0.9835 x 7.5 / 31.
    EXPECT_NEAR(BlaneyCriddleRate(July75(), Constant(10.0)), 0.23794, 0.000005);
}

TEST(BlaneyCriddleRate, ColdMonthUsesFixedCoefficientAndOutOfSeasonIsZero)
{
    BlaneyCriddleInputs in = July75();
    in.t = 30.0;
    EXPECT_NEAR(BlaneyCriddleRate(in, Constant(10.0)), 0.3 * 0.01 * 30.0 * 10.0 / 31.0, 1e-12);
    in.inSeason = false;
    EXPECT_EQ(BlaneyCriddleRate(in, Constant(10.0)), 0.0);
}

TEST(BlaneyCriddleRate, PlantMonthRatedTowardTheMonthBefore)
{
    // Plant day 1 of April (30 days): w = (15 - 0) / 30 = 0.5.
    BlaneyCriddleInputs in = July75();
    in.month = 4;
    in.plantMonth = 4;
    in.plantDay = 1;
    in.t = 50.0;
    in.tPrev = 40.0;
    const DaytimeLookup p = [](int, int m) { return m == 4 ? 9.0 : (m == 3 ? 8.0 : 10.0); };
    const double t = 45.0, pp = 8.5;
    EXPECT_NEAR(BlaneyCriddleRate(in, p), (0.0173 * t - 0.314) * 0.01 * t * pp / 30.0, 1e-12);
}

TEST(BlaneyCriddleRate, PlantAfterMidMonthRatedTowardTheMonthAfter)
{
    // Plant 20 May: N = 11, w = (5 + 20 - 15) / 31.
    BlaneyCriddleInputs in = July75();
    in.month = 5;
    in.plantMonth = 5;
    in.plantDay = 20;
    in.t = 60.0;
    in.tNext = 70.0;
    const double w = 10.0 / 31.0;
    const double t = 60.0 + 10.0 * w;
    EXPECT_NEAR(BlaneyCriddleRate(in, Constant(10.0)), (0.0173 * t - 0.314) * 0.01 * t * 10.0 / 31.0, 1e-12);
}

TEST(BlaneyCriddleRate, HarvestInJanuaryUsesDecemberDays)
{
    // Harvest 10 January: w = (15 - 5) / 31 with December's 31 days.
    BlaneyCriddleInputs in = July75();
    in.month = 1;
    in.plantMonth = 10;
    in.harvestMonth = 1;
    in.harvestDay = 10;
    in.t = 30.0;
    in.tPrev = 40.0;
    const DaytimeLookup p = [](int, int m) { return m == 1 ? 6.0 : (m == 12 ? 7.0 : 8.0); };
    const double w = 10.0 / 31.0;
    const double t = 30.0 + 10.0 * w, pp = 6.0 + 1.0 * w;
    EXPECT_NEAR(BlaneyCriddleRate(in, p), 0.3 * 0.01 * t * pp / 31.0, 1e-12);
}

TEST(BlaneyCriddleRate, ElevationCorrectionAddsTenPercentAt3281Feet)
{
    BlaneyCriddleInputs in = July75();
    const double base = BlaneyCriddleRate(in, Constant(10.0));
    in.elevationFt = 3281;
    in.elevationCorrection = true;
    EXPECT_NEAR(BlaneyCriddleRate(in, Constant(10.0)) / base, 1.100, 0.0005);
}

TEST(DaytimePercent, ReadsDegreesAndMinutes)
{
    std::vector<int> rows;
    const DaytimeLookup p = [&](int deg, int) {
        rows.push_back(deg);
        return static_cast<double>(deg);
    };
    EXPECT_NEAR(DaytimePercent(4119, 7, p), 41.0 + 19.0 / 60.0, 1e-12);
    EXPECT_EQ(rows, (std::vector<int>{41, 42}));
    rows.clear();
    EXPECT_NEAR(DaytimePercent(419, 7, p), 4.0 + 19.0 / 60.0, 1e-12);
    EXPECT_EQ(rows, (std::vector<int>{4, 5}));
    rows.clear();
    EXPECT_NEAR(DaytimePercent(6453, 7, p), 64.0 + 53.0 / 60.0, 1e-12);
    EXPECT_EQ(rows, (std::vector<int>{64, 65}));
}

TEST(DaytimePercent, RejectsMalformedAndOutOfRangeLatitudes)
{
    RecordingMessages msgs;
    const DaytimeLookup p = Constant(8.0);
    EXPECT_EQ(DaytimePercent(41, 7, p), -1.0);
    EXPECT_EQ(DaytimePercent(41190, 7, p), -1.0);
    EXPECT_EQ(msgs.count("FATAL Error: Latitude not correct"), 2);
    EXPECT_EQ(DaytimePercent(6500, 7, p), -1.0);
    EXPECT_EQ(msgs.count("FATAL Error: Latitude not within range (0-64.9deg)"), 1);
}

// Minutes of 60 or more are not a latitude (4160 would otherwise read as 42 degrees).
TEST(DaytimePercent, MinutesOfSixtyOrMoreAreNotALatitude)
{
    RecordingMessages msgs;
    EXPECT_EQ(DaytimePercent(4160, 7, Constant(8.0)), -1.0);
    EXPECT_EQ(DaytimePercent(4199, 7, Constant(8.0)), -1.0);
    EXPECT_EQ(msgs.count("FATAL Error: Latitude not correct"), 2);
    EXPECT_EQ(LatitudeRadians(4160), -1.0);
    EXPECT_EQ(msgs.count("FATAL Error: Latitude not correct"), 3);
    EXPECT_NEAR(LatitudeRadians(4159), (41.0 + 59.0 / 60.0) * 0.017453292519943295, 1e-12);
}

// A bad latitude is reported once per run, not three times per rated month;
// the -1 still enters the formula.
TEST(BlaneyCriddleRate, LatitudeErrorShownOncePerRun)
{
    RecordingMessages msgs;
    RunMessages once;
    BlaneyCriddleInputs in = July75();
    in.latitude = 41;
    double rate = 0;
    for (int m = 1; m <= 12; ++m) {
        in.month = m;
        rate = BlaneyCriddleRate(in, Constant(8.0), &once);
    }
    EXPECT_EQ(msgs.texts, QStringList{"FATAL Error: Latitude not correct"});
    EXPECT_NEAR(rate, 0.9835 * 0.01 * 75.0 * -1.0 / 31.0, 1e-12);

    msgs.texts.clear();
    BlaneyCriddleRate(in, Constant(8.0), nullptr);
    EXPECT_EQ(msgs.texts.size(), 3);
}
