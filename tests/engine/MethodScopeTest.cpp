// The line that says a run's ET method is used outside where it was developed.
#include <gtest/gtest.h>

#include "engine/MethodScope.h"

using namespace quen;

namespace {

CropRunContext Season(int method, std::initializer_list<int> months)
{
    CropRunContext c;
    c.ETMethodIndex = method;
    for (int m = 1; m <= 12; ++m) {
        c.MonthlyTemp[m] = 70.0;
        c.MonthlyTmin[m] = 68.0;   // 20 C
        c.MonthlyTmax[m] = 95.0;   // 35 C
    }
    for (int m : months)
        c.SeasonMonthFlags[m] = true;
    return c;
}

void Humidity(CropRunContext& c, double rhMin, double rhMax)
{
    for (int m = 1; m <= 12; ++m) {
        c.RHmin[m] = rhMin;
        c.RHmax[m] = rhMax;
    }
}

} // namespace

TEST(MethodScope, Tr21WinterSeasonOfALowDesert)
{
    // Small grains planted in November at a low-desert station: January 55 F.
    CropRunContext c = Season(1, {11, 12, 1, 2, 3, 4});
    c.MonthlyTemp[12] = 54.0;
    c.MonthlyTemp[1] = 55.0;
    c.MonthlyTemp[2] = 58.0;
    EXPECT_TRUE(Tr21WinterSeason(c));
    EXPECT_TRUE(MethodScopeNote(c).contains(QLatin1String("TR-21")));

    // The same months where winter is below the TR-21 coefficient's 36 F.
    c.MonthlyTemp[12] = c.MonthlyTemp[1] = c.MonthlyTemp[2] = 30.0;
    EXPECT_FALSE(Tr21WinterSeason(c));
    EXPECT_TRUE(MethodScopeNote(c).isEmpty());
    c.MonthlyTemp[2] = 36.0;   // the coefficient's lowest temperature counts
    EXPECT_TRUE(Tr21WinterSeason(c));

    // A summer season, and a winter season computed with Penman-Monteith.
    EXPECT_TRUE(MethodScopeNote(Season(1, {4, 5, 6, 7, 8, 9})).isEmpty());
    EXPECT_TRUE(MethodScopeNote(Season(3, {12, 1, 2})).isEmpty());
}

TEST(MethodScope, PenmanMonteithOnAridWeather)
{
    // RHmax alone 100 %: ea = e(Tmin), dew point = Tmin (FAO-56 eq. 18).
    CropRunContext c = Season(3, {5, 6, 7});
    Humidity(c, 0.0, 100.0);
    double d = -1.0;
    ASSERT_TRUE(SeasonDewPointDepression(c, d));
    EXPECT_NEAR(d, 0.0, 1e-9);
    EXPECT_TRUE(MethodScopeNote(c).isEmpty());

    // Desert airport: RHmax 40 %, RHmin 10 % with Tmin 20 C, Tmax 35 C gives
    // ea = (2.338 x 0.40 + 5.623 x 0.10) / 2 = 0.7488 kPa, dew point 2.83 C.
    Humidity(c, 10.0, 40.0);
    ASSERT_TRUE(SeasonDewPointDepression(c, d));
    EXPECT_NEAR(d, 20.0 - 2.83, 0.01);
    EXPECT_TRUE(PenmanMonteithAridWeather(c));
    EXPECT_TRUE(MethodScopeNote(c).contains(QLatin1String("17.2 C")));
    // Customary reports give the same gap in deg F.
    EXPECT_TRUE(MethodScopeNote(c, false).contains(QLatin1String("30.9 F")));
    EXPECT_TRUE(MethodScopeNote(c).contains(QLatin1String("may be overstated")));
    // With the dew point of a well-watered site the line says what the run
    // took and that the dry site's temperatures still raise ETo.
    c.ReferenceDewPoint = true;
    EXPECT_TRUE(MethodScopeNote(c).contains(QLatin1String("17.2 C")));
    EXPECT_TRUE(MethodScopeNote(c).contains(QLatin1String("dew point of a well-watered site (FAO-56 eq. 48)")));
    EXPECT_TRUE(MethodScopeNote(c).contains(QLatin1String("may still be overstated")));
    c.ReferenceDewPoint = false;
    c.ETMethodIndex = 2;
    EXPECT_FALSE(MethodScopeNote(c).isEmpty());
    c.ETMethodIndex = 1;   // Blaney-Criddle does not read humidity
    EXPECT_TRUE(MethodScopeNote(c).isEmpty());

    // Humid well-watered site: RHmax 95 %, RHmin 60 % keeps Tdew near Tmin.
    c.ETMethodIndex = 3;
    Humidity(c, 60.0, 95.0);
    ASSERT_TRUE(SeasonDewPointDepression(c, d));
    EXPECT_LT(d, kAridDewPointDepressionC);
    EXPECT_TRUE(MethodScopeNote(c).isEmpty());

    // No humidity record in the season: nothing to judge, no line.
    Humidity(c, 0.0, 0.0);
    EXPECT_FALSE(SeasonDewPointDepression(c, d));
    EXPECT_TRUE(MethodScopeNote(c).isEmpty());
}
