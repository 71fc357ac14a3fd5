// The day's reference and crop ET of a run's daily rows, on hand-made rows
// and monthly rates: the straight lines between the mid-month rates, the
// shoulder months at the season's edges, the first of a month repeating the
// last day of the month before, both unit systems, and which rows of a
// season within a year or across the year end have values.
#include <gtest/gtest.h>

#include "Calendar.h"
#include "DailyET.h"

using namespace quen;

namespace {

// Rows for the days first..last with Kca 0.5 + day / 1000 (out of day order
// when asked, as a curve across the year end gives them).
DailyKcRows Rows(const std::vector<std::pair<int, int>>& stretches)
{
    DailyKcRows r;
    for (const auto& [first, last] : stretches)
        for (int d = first; d <= last; ++d) {
            r.day.push_back(d);
            r.kca.push_back(0.5 + d / 1000.0);
            r.kcb.push_back(0.0);
        }
    return r;
}

// April to September with shoulders in March and October, mm twins x 25.4.
DailyETSeason AprilToSeptember()
{
    DailyETSeason s;
    s.plantMonth = 4;
    s.plantDay = 1;
    s.harvestMonth = 9;
    s.harvestDay = 30;
    const double rate[13] = {0, 0, 0, 0, 0.20, 0.26, 0.31, 0.33, 0.30, 0.22, 0, 0, 0};
    for (int m = 1; m <= 12; ++m) {
        s.refET[m] = rate[m];
        s.refETmm[m] = rate[m] * 25.4;
    }
    s.shoulderRefET[3] = 0.12;
    s.shoulderRefET[10] = 0.15;
    s.shoulderRefETmm[3] = 0.12 * 25.4;
    s.shoulderRefETmm[10] = 0.15 * 25.4;
    return s;
}

int Index(const DailyKcRows& r, int day)
{
    for (int i = 0; i < r.size(); ++i)
        if (int(r.day[i]) == day)
            return i;
    return -1;
}

} // namespace

TEST(DailyET, SeasonWithinAYear)
{
    const DailyETSeason s = AprilToSeptember();
    DailyKcRows r = Rows({{1, 365}});   // a perennial curve's whole year
    SetDailyET(r, s);
    ASSERT_EQ(int(r.eto.size()), 365);
    ASSERT_TRUE(r.hasDailyET());

    // mid-month: the month's rate; March 15 .. April 15 runs from the shoulder rate
    EXPECT_DOUBLE_EQ(r.eto[Index(r, DayOfYear(6, 15))], 0.31);
    const int apr1 = Index(r, DayOfYear(4, 1)), apr15 = Index(r, DayOfYear(4, 15));
    EXPECT_DOUBLE_EQ(r.eto[apr15], 0.20);
    EXPECT_NEAR(r.eto[apr1], 0.12 + (31 - 15) * (0.20 - 0.12) / 31, 1e-15);
    // the first of a month repeats the last day of the month before
    EXPECT_DOUBLE_EQ(r.eto[Index(r, DayOfYear(7, 1))], r.eto[Index(r, DayOfYear(6, 30))]);
    // June 15 .. July 15: a straight line
    const int jun20 = Index(r, DayOfYear(6, 20));
    EXPECT_NEAR(r.eto[jun20], 0.31 + 5 * (0.33 - 0.31) / 30, 1e-15);
    EXPECT_DOUBLE_EQ(r.etc[jun20], r.kca[jun20] * r.eto[jun20]);
    EXPECT_DOUBLE_EQ(r.etcMm[jun20], r.kca[jun20] * r.etoMm[jun20]);
    EXPECT_NEAR(r.etoMm[jun20], r.eto[jun20] * 25.4, 1e-12);
    EXPECT_EQ(r.month[jun20], 6);

    // outside the season: no ET, the month of the day
    for (int day : {1, DayOfYear(3, 31), DayOfYear(10, 1), 365}) {
        const int i = Index(r, day);
        SCOPED_TRACE(day);
        EXPECT_EQ(r.eto[i], 0.0);
        EXPECT_EQ(r.etc[i], 0.0);
        EXPECT_EQ(r.etoMm[i], 0.0);
        EXPECT_EQ(r.etcMm[i], 0.0);
        EXPECT_EQ(r.month[i], MonthOfDayOfYear(day));
    }
    EXPECT_GT(r.eto[Index(r, DayOfYear(9, 30))], 0.0);
}

TEST(DailyET, SeasonAcrossTheYearEndInTheCurvesOrder)
{
    // October 15 to March 31 on the curve's rows: October 15 .. December 31, then January 1 .. March 31
    DailyETSeason s;
    s.plantMonth = 10;
    s.plantDay = 15;
    s.harvestMonth = 3;
    s.harvestDay = 31;
    const double rate[13] = {0, 0.08, 0.10, 0.15, 0, 0, 0, 0, 0, 0, 0.14, 0.10, 0.07};
    for (int m = 1; m <= 12; ++m) {
        s.refET[m] = rate[m];
        s.refETmm[m] = rate[m] * 25.4;
    }
    s.shoulderRefET[4] = 0.2;
    s.shoulderRefET[9] = 0.2;
    const int start = DayOfYear(10, 15), end = DayOfYear(3, 31);
    DailyKcRows r = Rows({{start, 365}, {1, end}});
    SetDailyET(r, s);

    // January 1 continues from December 31 across the year end
    EXPECT_DOUBLE_EQ(r.eto[Index(r, 1)], r.eto[Index(r, 365)]);
    EXPECT_DOUBLE_EQ(r.eto[Index(r, DayOfYear(1, 15))], 0.08);
    EXPECT_DOUBLE_EQ(r.eto[Index(r, DayOfYear(12, 15))], 0.07);
    for (int i = 0; i < r.size(); ++i) {
        SCOPED_TRACE(r.day[i]);
        EXPECT_GT(r.eto[i], 0.0);
        EXPECT_DOUBLE_EQ(r.etc[i], r.kca[i] * r.eto[i]);
        EXPECT_EQ(r.month[i], MonthOfDayOfYear(int(r.day[i])));
    }

    // a perennial's rows between harvest and planting have no ET
    DailyKcRows year = Rows({{1, 365}});
    SetDailyET(year, s);
    EXPECT_EQ(year.eto[Index(year, end + 1)], 0.0);
    EXPECT_EQ(year.eto[Index(year, start - 1)], 0.0);
    EXPECT_GT(year.eto[Index(year, start)], 0.0);
    EXPECT_GT(year.eto[Index(year, end)], 0.0);
}

TEST(DailyET, NoRowsBeforeTheSeasonEndLeavesEverythingZero)
{
    // rows only after the harvest day (a curve that stopped early): nothing in the season
    DailyKcRows r = Rows({{DayOfYear(10, 5), DayOfYear(10, 20)}});
    SetDailyET(r, AprilToSeptember());
    for (int i = 0; i < r.size(); ++i)
        EXPECT_EQ(r.eto[i], 0.0);
    DailyKcRows none;
    SetDailyET(none, AprilToSeptember());
    EXPECT_FALSE(none.hasDailyET());
}
