// The crop rules without windows: which curve a crop gets for the job's
// method, how a new working crop is seeded, the month-day check and the
// defaults password. (The stress pair and the unit twins are driven through
// their dialogs.)
#include <gtest/gtest.h>

#include "CropSetup.h"
#include "MainCropFixture.h"
#include "MainDMod.h"
#include "Table.h"

using namespace quen;
using namespace quen::mainprog;

TEST(CropCurve, FollowsTheJobsMethodAndTheRecordsCurveTypes)
{
    CropRecord r;
    r.basCurve = "Corn AM";
    r.bcCurve = "Corn (TR-21)";
    r.faoCurve = "Corn - FAO-56";

    r.basType = "Field and vegetable crops";
    CurveChoice c = ChooseCropCurve(2, r);
    EXPECT_TRUE(c.available);
    EXPECT_EQ(c.curveIndex, 0);
    EXPECT_EQ(c.curveName, "Corn AM");
    EXPECT_EQ(c.curveType, "Field and vegetable crops");
    EXPECT_EQ(c.cropKind, 1);
    r.basType = "Perennial and specialty crops";
    EXPECT_EQ(ChooseCropCurve(2, r).curveIndex, 1);
    r.basType = "Grasses and forage legumes";
    EXPECT_EQ(ChooseCropCurve(2, r).curveIndex, 2);
    // A basal type none of the three: added, but without curve fields.
    r.basType = "Vines";
    c = ChooseCropCurve(2, r);
    EXPECT_TRUE(c.available);
    EXPECT_EQ(c.curveIndex, -1);
    EXPECT_TRUE(c.curveName.isEmpty());

    r.bcType = "Blaney Criddle Annual Crop";
    c = ChooseCropCurve(1, r);
    EXPECT_EQ(c.curveIndex, 3);
    EXPECT_EQ(c.curveType, "Blaney Criddle Annual Crop");
    EXPECT_EQ(c.cropKind, 2);
    r.bcType = "Something else";
    c = ChooseCropCurve(1, r);
    EXPECT_EQ(c.curveIndex, 4);
    EXPECT_EQ(c.curveType, "Blaney Criddle Perennial Crop");

    c = ChooseCropCurve(3, r);
    EXPECT_EQ(c.curveIndex, 5);
    EXPECT_EQ(c.curveName, "Corn - FAO-56");
    EXPECT_EQ(c.curveType, "FAO 56, Table 12 crops");
    EXPECT_EQ(c.cropKind, 0);

    // The field the method needs is empty, or the method is unknown.
    r.faoCurve.clear();
    EXPECT_FALSE(ChooseCropCurve(3, r).available);
    EXPECT_FALSE(ChooseCropCurve(0, r).available);
    EXPECT_EQ(NoCurveMessage(1), "There is no TR21 curve data avaialble for this crop.");
    EXPECT_EQ(NoCurveMessage(2), "There is no NEH curve data avaialble for this crop.");
    EXPECT_EQ(NoCurveMessage(3), "There is no FAO56 curve data avaialble for this crop.");
}

TEST(MonthDay, CorrectsTheDayToTheMonthsMaximum)
{
    EXPECT_EQ(MaxDayOfMonth(2), 28);
    EXPECT_EQ(MaxDayOfMonth(4), 30);
    EXPECT_EQ(MaxDayOfMonth(12), 31);
    EXPECT_EQ(MaxDayOfMonth(13), 0);
    MonthDayCheck c = CheckMonthDay(2, 30);
    EXPECT_FALSE(c.valid);
    EXPECT_EQ(c.day, 28);
    c = CheckMonthDay(4, 31);
    EXPECT_FALSE(c.valid);
    EXPECT_EQ(c.day, 30);
    c = CheckMonthDay(13, 5);
    EXPECT_FALSE(c.valid);
    EXPECT_EQ(c.day, 5);
    EXPECT_TRUE(CheckMonthDay(7, 31).valid);
    EXPECT_EQ(MonthMaxMessage(2, 28), "Month number 2 has maximum of 28 days.");
}

TEST(Password, StoredOrBuiltIn)
{
    EXPECT_TRUE(PasswordAccepted("", ""));
    EXPECT_TRUE(PasswordAccepted("secret", "secret"));
    EXPECT_TRUE(PasswordAccepted("MarloQTZ", "secret"));
    EXPECT_FALSE(PasswordAccepted("marloqtz", "secret"));
    EXPECT_FALSE(PasswordAccepted("", "secret"));
}

namespace quen::test {

class CropSeeding : public MainCropTest {};

TEST_F(CropSeeding, NewWorkingCropTakesRecordDefaultsAndCurve)
{
    setUpJob(kMaricopa, 3);
    setDefault("LocalDefaults.db", "Net Depth of Irrigation", 2.0);
    setDefault("LocalDefaults.db", "Type of Irrigation", "Trickle irrigation");
    setDefault("SystemDefaults.db", "Spring Carryover %", 50.0);
    setDefault("SystemDefaults.db", "Fall Carryover %", 0.0);
    job().CropCounter = 4;   // a job whose crop 4 was added before (and maybe deleted)

    TDMod& dm = *m_program->dmod;
    dm.tblCreateCrp->open();
    ASSERT_TRUE(dm.tblCreateCrp->locate("Cop Name", "Potatoes"));
    ASSERT_EQ(AddWorkingCrop(ctx(), job(), dm), AddCropResult::Added);
    TTable& w = wk();
    ASSERT_EQ(w.state(), TTable::State::Insert);   // pending until the inputs dialog closes
    auto f = [&w](const char* n) { return w.field(n); };
    EXPECT_EQ(f("Job Name").asString(), "Crop test job");
    EXPECT_EQ(f("Crop Name").asString(), "Potatoes");
    EXPECT_EQ(f("Crop No").asInteger(), 5);
    EXPECT_EQ(job().CropCounter, 5);
    EXPECT_DOUBLE_EQ(f("Net Irr").asFloat(), 2.0);
    EXPECT_DOUBLE_EQ(f("Carry Beg").asFloat(), 1.0);
    EXPECT_DOUBLE_EQ(f("Carry End").asFloat(), 0.0);
    EXPECT_EQ(f("Plant Mo").asInteger(), 4);
    EXPECT_EQ(f("Plant Day").asInteger(), 15);
    EXPECT_EQ(f("Harvest Mo").asInteger(), 9);
    EXPECT_EQ(f("Harvest Day").asInteger(), 27);
    EXPECT_EQ(f("Irrigation Type").asString(), "Trickle irrigation");
    EXPECT_DOUBLE_EQ(f("Fraction Wetted").asFloat(), 0.25);
    EXPECT_EQ(f("Soil").asString(), "Silt Loam");
    EXPECT_EQ(f("Dys Wet Developed").asInteger(), 7);
    EXPECT_EQ(f("Dys Wet Mature").asInteger(), 10);
    EXPECT_EQ(f("Cuttings").asInteger(), 3);
    EXPECT_EQ(f("Cut1Mo").asInteger(), 6);
    EXPECT_EQ(f("Cut1Day").asInteger(), 29);
    EXPECT_EQ(f("CutEndMo").asInteger(), 9);
    EXPECT_EQ(f("CutEndDay").asInteger(), 27);
    EXPECT_DOUBLE_EQ(f("ASW").asFloat(), 50);
    EXPECT_EQ(f("ET Index").asInteger(), 3);
    EXPECT_EQ(f("Curve Index").asInteger(), 5);
    EXPECT_EQ(f("Curve Name").asString(), "Potatoes - FAO-56 T12/T11");
    EXPECT_EQ(f("Crop Curve Type").asString(), "FAO 56, Table 12 crops");
    EXPECT_EQ(job().JobCurveIndex, 5);
    // The crop list now offers FAO 56 crops only.
    EXPECT_EQ(dm.CropKindSelector, 0);
    EXPECT_TRUE(dm.tblCreateCrp->filtered());
    EXPECT_FALSE(dm.tblCreateCrp->isOpen());
    w.cancel();
}

TEST_F(CropSeeding, EverySpellingOfAnIrrigationTypeWetsTheSameFraction)
{
    setUpJob(kMaricopa, 3);
    // The local defaults list writes "Furrows- ..." where the crop dialog
    // writes "Furrow- ...": both are small-depth furrows.
    setDefault("LocalDefaults.db", "Type of Irrigation", "Furrows- Small application depth");
    TDMod& dm = *m_program->dmod;
    dm.tblCreateCrp->open();
    ASSERT_TRUE(dm.tblCreateCrp->locate("Cop Name", "Sugar beets"));
    ASSERT_EQ(AddWorkingCrop(ctx(), job(), dm), AddCropResult::Added);
    EXPECT_DOUBLE_EQ(wk().field("Fraction Wetted").asFloat(), 0.5);
    wk().cancel();
}

TEST_F(CropSeeding, RefusalsLeaveTheJobsCropsAlone)
{
    setUpJob(kKetchum, 1);
    TDMod& dm = *m_program->dmod;
    dm.tblCreateCrp->open();
    ASSERT_TRUE(dm.tblCreateCrp->locate("Cop Name", "Potatoes"));
    ASSERT_EQ(AddWorkingCrop(ctx(), job(), dm), AddCropResult::Added);
    wk().post();

    // The same crop again.
    dm.tblCreateCrp->setFiltered(false);
    dm.tblCreateCrp->open();
    ASSERT_TRUE(dm.tblCreateCrp->locate("Cop Name", "Potatoes"));
    EXPECT_EQ(AddWorkingCrop(ctx(), job(), dm), AddCropResult::AlreadyIncluded);
    EXPECT_EQ(msgs->lastText(), "This crop has already been included. Select another crop");

    // A crop without a Blaney-Criddle curve.
    addCropRecord("Test crop, FAO 56 only", "", "", "Potatoes - FAO-56 T12/T11");
    dm.tblCreateCrp->setFiltered(false);
    dm.tblCreateCrp->open();
    ASSERT_TRUE(dm.tblCreateCrp->locate("Cop Name", "Test crop, FAO 56 only"));
    EXPECT_EQ(AddWorkingCrop(ctx(), job(), dm), AddCropResult::NoCurve);
    EXPECT_EQ(msgs->lastText(), "There is no TR21 curve data avaialble for this crop.");
    EXPECT_FALSE(dm.tblCreateCrp->filtered());
    EXPECT_EQ(job().CropCounter, 1);
    EXPECT_EQ(wk().recordCount(), 1);
}

// The growth-dates tool saves the row's dates and temperatures when it opens
// and puts them back (context and row) on Cancel: each value must come back
// from its own field, the F temperatures apart from their C twins.
TEST_F(CropSeeding, GrowthDatesGoBackToTheirOwnFields)
{
    setUpJob(kMaricopa, 3);
    m_program->dmod->tblCreateCrp->open();
    ASSERT_TRUE(m_program->dmod->tblCreateCrp->locate("Cop Name", "Potatoes"));
    ASSERT_EQ(AddWorkingCrop(ctx(), job(), *m_program->dmod), AddCropResult::Added);
    TTable& w = wk();
    w.post();
    ASSERT_EQ(w.state(), TTable::State::Browse);

    const CropGrowthDates set{3, 21, 10, 2, 50.0, 10.0, 41.0, 5.0};
    set.write(w);
    EXPECT_EQ(w.state(), TTable::State::Edit);
    auto f = [&w](const char* n) { return w.field(n); };
    EXPECT_EQ(f("Plant Mo").asInteger(), 3);
    EXPECT_EQ(f("Plant Day").asInteger(), 21);
    EXPECT_EQ(f("Harvest Mo").asInteger(), 10);
    EXPECT_EQ(f("Harvest Day").asInteger(), 2);
    EXPECT_DOUBLE_EQ(f("StartT").asFloat(), 50.0);
    EXPECT_DOUBLE_EQ(f("StartTM").asFloat(), 10.0);
    EXPECT_DOUBLE_EQ(f("EndT").asFloat(), 41.0);
    EXPECT_DOUBLE_EQ(f("EndTM").asFloat(), 5.0);

    const CropGrowthDates back = CropGrowthDates::read(w);
    CropRunContext c;
    back.setDates(c);
    back.setTemperatures(c);
    EXPECT_EQ(c.PlantMonth, 3);
    EXPECT_EQ(c.PlantDay, 21);
    EXPECT_EQ(c.HarvestMonth, 10);
    EXPECT_EQ(c.HarvestDay, 2);
    EXPECT_DOUBLE_EQ(c.BeginGrowthTemp, 50.0);
    EXPECT_DOUBLE_EQ(c.BeginGrowthTempC, 10.0);
    EXPECT_DOUBLE_EQ(c.EndGrowthTemp, 41.0);
    EXPECT_DOUBLE_EQ(c.EndGrowthTempC, 5.0);
    const CropGrowthDates again = CropGrowthDates::of(c);
    EXPECT_EQ(again.plantDay, 21);
    EXPECT_DOUBLE_EQ(again.endTM, 5.0);
    w.cancel();
}

// What the crop inputs dialog looks up for its growth-dates tool and its
// hay inputs: the job station's monthly means (F) replace the context's, its
// frost dates come back as stored; hay curves and other forage curves apart.
TEST_F(CropSeeding, SiteDataAndForageCurvesComeFromTheirTables)
{
    setUpJob(kMaricopa, 3);
    ctx().WeatherStationName = kMaricopa;
    ctx().MonthlyTemp[1] = -99;
    const StationFrostDates frost = ReadSiteGrowthData(ctx());
    EXPECT_DOUBLE_EQ(ctx().MonthlyTemp[1], 52.1);
    EXPECT_DOUBLE_EQ(ctx().MonthlyTemp[7], 91.7);
    EXPECT_DOUBLE_EQ(ctx().MonthlyTemp[12], 50.8);
    EXPECT_TRUE(frost.spring28.isEmpty());   // not known at this station: not "never that cold"
    EXPECT_FALSE(TooWarmForGrowthDates(frost));
    EXPECT_TRUE(TooWarmForGrowthDates({QStringLiteral("00/00"), QStringLiteral("01/15"), {}, {}}));
    EXPECT_TRUE(TooWarmForGrowthDates({QStringLiteral("01/02"), QStringLiteral("00/00"), {}, {}}));

    EXPECT_TRUE(ForageCurveIsHay(QStringLiteral("Alfalfa hay AM")));
    EXPECT_FALSE(ForageCurveIsHay(QStringLiteral("Pasture, grass AM")));
}

} // namespace quen::test
