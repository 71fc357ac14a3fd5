#include <gtest/gtest.h>

#include "Calendar.h"
#include "IrrigationTypes.h"

using namespace quen;

TEST(Calendar, DayOfYearAndBack)
{
    EXPECT_EQ(DayOfYear(1, 1), 1);
    EXPECT_EQ(DayOfYear(3, 15), 74);
    EXPECT_EQ(DayOfYear(12, 31), 365);
    EXPECT_EQ(DaysInMonth(2), 28);

    MonthDay d = DayOfYearToMonthDay(32);
    EXPECT_EQ(d.text, "2/1");
    EXPECT_EQ(d.day, 1);
    d = DayOfYearToMonthDay(365);
    EXPECT_EQ(d.text, "12/31");
    EXPECT_EQ(d.day, 31);
    EXPECT_EQ(DayOfYearToMonthDay(74).text, "3/15");
    for (int y = 1; y <= 365; ++y) {
        const MonthDay md = DayOfYearToMonthDay(y);
        EXPECT_EQ(DayOfYear(md.month, md.day), y);
    }
}

TEST(Calendar, RoundHalfUpAndInterpolate)
{
    EXPECT_EQ(RoundHalfUp(1.5), 2);
    EXPECT_EQ(RoundHalfUp(23.8), 24);
    EXPECT_EQ(RoundHalfUp(59.5), 60);
    EXPECT_EQ(RoundHalfUp(95.2), 95);
    EXPECT_EQ(RoundHalfUp(2.49), 2);
    EXPECT_DOUBLE_EQ(Interpolate(0.25, 10.0, 14.0), 11.0);
}

// The three lists write one irrigation type in different spellings; each
// spelling gets the fraction wetted of the type.
TEST(IrrigationTypes, SpellingsOfOneTypeShareTheFractionWetted)
{
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("Furrows- Small application depth"), 0.5);
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("Furrow- Small application depth"), 0.5);
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("Furrows- Every other row irrigated"), 0.5);
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("Furrows- Large application depth"), 1.0);
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("LEPA systems (every other row)"), 0.5);
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("LEPA sysytems (every other row)"), 0.5);
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("Spinklers- above canopy"), 1.0);
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("Trickle irrigation"), 0.25);
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("Rain"), 1.0);
    EXPECT_DOUBLE_EQ(FractionWettedForIrrigationType("Something else"), 1.0);
    EXPECT_TRUE(SameIrrigationType("Spinklers- above canopy", "Sprinklers- above canopy"));
    EXPECT_FALSE(SameIrrigationType("Furrows- Small application depth", "Furrow- Large application depth"));
}
