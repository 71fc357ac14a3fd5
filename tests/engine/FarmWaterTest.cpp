// The farm's water: gross depth, volumes, leaching and system capacity.
#include <gtest/gtest.h>

#include "engine/FarmWater.h"

using namespace quen;

TEST(FarmWater, LeachingRequirementOfFao29)
{
    // FAO-29 eq. 7 with a corn threshold of ECe 1.7 dS/m (Table 4) and ECw 1.0 dS/m:
    // 1.0 / (5 x 1.7 - 1.0) = 0.1333.
    EXPECT_NEAR(LeachingRequirement(1.0, 1.7), 1.0 / 7.5, 1e-12);
    // No water salinity or no published threshold: no leaching.
    EXPECT_DOUBLE_EQ(LeachingRequirement(0.0, 1.7), 0.0);
    EXPECT_DOUBLE_EQ(LeachingRequirement(1.0, 0.0), 0.0);
    // ECw = 2.5 ECe gives LR 1; above it (and at 5 ECe, where the divisor is 0) no finite depth.
    EXPECT_DOUBLE_EQ(LeachingRequirement(2.5, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(LeachingRequirement(5.0, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(LeachingRequirement(7.0, 1.0), 1.0);
}

TEST(FarmWater, CapacityInBothUnitSystems)
{
    // 453 gpm for one acre-inch an hour: 1 acre-inch is 27 154.3 US gallons,
    // over 60 minutes 452.6 gpm (NEH 652 rounds the constant to 453).
    EXPECT_DOUBLE_EQ(CapacityGpm(1.0, 1.0, 1.0, 1.0), 453.0);
    EXPECT_NEAR(CapacityGpm(1.0, 1.0, 1.0, 1.0), 43560.0 / 12.0 * 7.48051948 / 60.0, 0.5);
    // 1 mm on 1 ha over 24 h: 10 m3 a day = 0.11574 l/s.
    EXPECT_NEAR(CapacityLps(1.0, 1.0, 1.0, 24.0), 10000.0 / 86400.0, 1e-12);

    // A quarter section at 0.35 in/day gross, 20 hours a day, both ways.
    const double gpm = CapacityGpm(160.0, 0.35, 1.0, 20.0);
    EXPECT_NEAR(gpm, 453.0 * 160.0 * 0.35 / 20.0, 1e-9);   // 1268.4 gpm
    const double lps = CapacityLps(160.0 * kAcresToHectares, 0.35 * kInchesToMm, 1.0, 20.0);
    EXPECT_NEAR(lps / (gpm * kGpmToLps), 1.0, 1.2e-3);     // within the rounding of 453 (0.095 %)
    EXPECT_NEAR(gpm * kGpmToLps / lps, 1.0, 1.2e-3);
    // The same depth given every 4 days in 4 x the depth needs the same flow.
    EXPECT_NEAR(CapacityGpm(160.0, 1.4, 4.0, 20.0), gpm, 1e-9);

    // Guards: no hours or days, no flow (never a division by zero).
    EXPECT_DOUBLE_EQ(CapacityGpm(160.0, 0.35, 1.0, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(CapacityLps(64.0, 9.0, 0.0, 20.0), 0.0);
}

namespace {

FarmCropInput Crop(const QString& name, double acres, double ea, double ece)
{
    FarmCropInput c;
    c.cropName = name;
    c.areaAcres = acres;
    c.applicationEff = ea;
    c.ecThreshold = ece;
    return c;
}

} // namespace

TEST(FarmWater, ThreeCropsByHand)
{
    FarmJobInput job;
    job.conveyanceEff = 0.9;
    job.hoursPerDay = 20.0;
    job.ecw = 1.0;

    FarmCropInput alfalfa = Crop("Alfalfa hay", 100.0, 0.75, 2.0);   // LR = 1 / 9
    alfalfa.netIrrReq50[6] = 8.0;
    alfalfa.netIrrReq80[6] = 8.5;
    alfalfa.peakDailyET[6] = 0.30;
    alfalfa.netIrrReq50[7] = 9.0;
    alfalfa.netIrrReq80[7] = 9.2;
    alfalfa.peakDailyET[7] = 0.33;
    FarmCropInput corn = Crop("Corn, grain", 50.0, 0.60, 1.7);       // LR = 1 / 7.5
    corn.netIrrReq50[7] = 6.0;
    corn.netIrrReq80[7] = 6.5;
    corn.peakDailyET[7] = 0.36;
    FarmCropInput other = Crop("Pasture", 40.0, 0.70, 0.0);          // no threshold: no leaching
    other.netIrrReq50[6] = 4.2;
    other.netIrrReq80[6] = 4.6;
    other.peakDailyET[6] = 0.25;

    EXPECT_TRUE(FarmInputProblems(job, {alfalfa, corn, other}).isEmpty());
    const FarmWater f = ComputeFarmWater(job, {alfalfa, corn, other});
    ASSERT_TRUE(f.available);
    ASSERT_EQ(f.crops.size(), 3u);
    EXPECT_NEAR(f.areaAcres, 190.0, 1e-12);

    // Alfalfa, July: 9.0 / (0.75 x 8/9) = 13.5 in gross; 13.5 x 100 / 12 = 112.5 acre-ft.
    const FarmCropWater& a = f.crops[0];
    EXPECT_NEAR(a.leachingReq, 1.0 / 9.0, 1e-12);
    EXPECT_NEAR(a.grossDepth50In[7], 13.5, 1e-12);
    EXPECT_NEAR(a.volume50AcFt[7], 112.5, 1e-9);
    EXPECT_NEAR(a.grossDepth50Mm[7], 13.5 * 25.4, 1e-9);
    // m3 = mm x ha x 10 is the acre-feet in cubic metres (1 acre-ft = 1233.48 m3).
    EXPECT_NEAR(a.volume50M3[7], 112.5 * 1233.48183754752, 1e-6);
    EXPECT_NEAR(a.seasonGross50In, (8.0 + 9.0) / (0.75 * 8.0 / 9.0), 1e-12);

    // Corn, July: 6.0 / (0.6 x 6.5/7.5) = 11.538 in; 48.08 acre-ft.
    EXPECT_NEAR(f.crops[1].grossDepth50In[7], 6.0 / (0.6 * 6.5 / 7.5), 1e-12);
    EXPECT_NEAR(f.crops[1].volume50AcFt[7], 6.0 / (0.6 * 6.5 / 7.5) * 50.0 / 12.0, 1e-9);
    EXPECT_NEAR(f.crops[2].leachingReq, 0.0, 0.0);
    EXPECT_NEAR(f.crops[2].grossDepth80In[6], 4.6 / 0.7, 1e-12);

    // Farm, July: (112.5 + 48.077) acre-ft at the fields, / 0.9 at the diversion.
    const double julyField = 112.5 + 6.0 / (0.6 * 6.5 / 7.5) * 50.0 / 12.0;
    EXPECT_NEAR(f.field50AcFt[7], julyField, 1e-9);
    EXPECT_NEAR(f.diversion50AcFt[7], julyField / 0.9, 1e-9);
    EXPECT_NEAR(f.diversion50M3[7], julyField / 0.9 * 1233.48183754752, 1e-5);
    EXPECT_DOUBLE_EQ(f.diversion50AcFt[1], 0.0);
    double season = 0.0;
    for (int m = 1; m <= 12; ++m)
        season += f.diversion80AcFt[m];
    EXPECT_NEAR(f.seasonDiversion80AcFt, season, 1e-9);

    // Peak: June 100 x 0.30 / (2/3) + 40 x 0.25 / 0.7 = 59.29 acre-in/day; July
    // 100 x 0.33 / (2/3) + 50 x 0.36 / 0.52 = 84.12 acre-in/day (the peak).
    const double july = 100.0 * 0.33 / (0.75 * 8.0 / 9.0) + 50.0 * 0.36 / (0.6 * 6.5 / 7.5);
    EXPECT_EQ(f.peakMonth, 7);
    EXPECT_NEAR(f.peakAcreInPerDay, july, 1e-9);
    EXPECT_NEAR(f.capacityGpm, 453.0 * july / 20.0 / 0.9, 1e-9);   // 2117 gpm
    EXPECT_NEAR(f.capacityGpmPerAcre, f.capacityGpm / 190.0, 1e-12);
    EXPECT_NEAR(f.capacityLps / (f.capacityGpm * kGpmToLps), 1.0, 1.2e-3);
    EXPECT_NEAR(f.capacityLpsPerHa, f.capacityLps / (190.0 * kAcresToHectares), 1e-12);
}

TEST(FarmWater, NoAreaIsNotAvailableAndBadInputIsNamed)
{
    FarmJobInput job;
    FarmCropInput c = Crop("Potatoes", 0.0, 0.0, 1.7);
    c.netIrrReq50[6] = 5.0;
    c.peakDailyET[6] = 0.3;
    EXPECT_TRUE(FarmInputProblems(job, {c}).isEmpty());   // no area: nothing to check
    const FarmWater none = ComputeFarmWater(job, {c});
    EXPECT_FALSE(none.available);
    EXPECT_EQ(none.peakMonth, 0);
    EXPECT_DOUBLE_EQ(none.capacityGpm, 0.0);
    EXPECT_DOUBLE_EQ(none.capacityGpmPerAcre, 0.0);     // no division by the area 0
    EXPECT_FALSE(ComputeFarmWater(job, {}).available);

    FarmJobInput bad;
    bad.conveyanceEff = 0.0;
    bad.hoursPerDay = 25.0;
    bad.ecw = -1.0;
    const QStringList p = FarmInputProblems(
        bad, {Crop("Potatoes", -5.0, 0.7, 1.7), Crop("Corn, grain", 10.0, 1.2, 1.7), Crop("Wheat", 10.0, 0.0, 6.0)});
    ASSERT_EQ(p.size(), 6);
    EXPECT_TRUE(p[0].startsWith("Conveyance efficiency (Ec)"));
    EXPECT_TRUE(p[1].startsWith("Operating hours per day"));
    EXPECT_TRUE(p[2].startsWith("Irrigation water salinity (ECw)"));
    EXPECT_EQ(p[3], "Irrigated area of Potatoes cannot be negative.");
    EXPECT_EQ(p[4], "Application efficiency (Ea) of Corn, grain must be above 0 and at most 1.");
    EXPECT_TRUE(p[5].contains("Wheat"));
    job.hoursPerDay = 0.5;
    EXPECT_EQ(FarmInputProblems(job, {}).size(), 1);
    job.hoursPerDay = 1.0;
    EXPECT_TRUE(FarmInputProblems(job, {}).isEmpty());

    // Water too saline for the crop: that crop has no figures, the others keep theirs.
    FarmJobInput salty;
    salty.ecw = 5.0;
    FarmCropInput bean = Crop("Beans, dry", 20.0, 0.7, 1.0);
    bean.netIrrReq50[7] = 5.0;
    FarmCropInput barley = Crop("Barley", 30.0, 0.7, 8.0);
    barley.netIrrReq50[4] = 3.0;
    const FarmWater s = ComputeFarmWater(salty, {bean, barley});
    EXPECT_TRUE(s.available);
    EXPECT_FALSE(s.crops[0].available);
    EXPECT_TRUE(s.crops[0].note.contains("too saline"));
    EXPECT_DOUBLE_EQ(s.crops[0].volume50AcFt[7], 0.0);
    EXPECT_NEAR(s.areaAcres, 30.0, 1e-12);
    EXPECT_NEAR(s.crops[1].grossDepth50In[4], 3.0 / (0.7 * (1.0 - 5.0 / 35.0)), 1e-12);
}
