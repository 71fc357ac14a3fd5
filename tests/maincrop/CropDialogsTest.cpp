// Adding and editing crops through the windows: the crop name dialog with its
// groups coloured by the job's method, the refusals and Cancel; the crop
// inputs dialog with its checks; closing it computes the crop exactly as the
// engine does; the date calculator.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QApplication>
#include <QTest>

#include "Calendar.h"
#include "CompPHDatesDlg.h"
#include "DBControls.h"
#include "CropCompDlg.h"
#include "GetCropNamDlg.h"
#include "DBGrid.h"
#include "FarmStore.h"
#include "GrowthDates.h"
#include "MainCropFixture.h"
#include "MainDMod.h"
#include "MainForm.h"
#include "ModalRun.h"
#include "NumEdit.h"
#include "Table.h"

using namespace quen;
using namespace quen::mainprog;

namespace quen::test {

namespace {

void expectSameResults(const CropRunContext& shown, const CropRunContext& engine)
{
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(shown.SeasonMonthFlags[m], engine.SeasonMonthFlags[m]) << "month " << m;
        EXPECT_DOUBLE_EQ(shown.MonthlyCropET[m], engine.MonthlyCropET[m]) << "month " << m;
        EXPECT_DOUBLE_EQ(shown.MonthlyKc[m], engine.MonthlyKc[m]) << "month " << m;
        EXPECT_DOUBLE_EQ(shown.EffPrecip50[m], engine.EffPrecip50[m]) << "month " << m;
        EXPECT_DOUBLE_EQ(shown.NetIrrReq50[m], engine.NetIrrReq50[m]) << "month " << m;
        EXPECT_DOUBLE_EQ(shown.NetIrrReq80[m], engine.NetIrrReq80[m]) << "month " << m;
        EXPECT_DOUBLE_EQ(shown.PeakDailyET[m], engine.PeakDailyET[m]) << "month " << m;
    }
    EXPECT_DOUBLE_EQ(shown.TotalCropET, engine.TotalCropET);
    EXPECT_DOUBLE_EQ(shown.TotalNetIrrReq50, engine.TotalNetIrrReq50);
    EXPECT_DOUBLE_EQ(shown.TotalNetIrrReq80, engine.TotalNetIrrReq80);
}

QStringList gridTexts(TDBGrid* g)
{
    QStringList out;
    for (int r = 0; r < g->model()->rowCount(); ++r) out << g->model()->data(g->model()->index(r, 0)).toString();
    return out;
}

// Picks crop in the crop name dialog and presses OK.
void pickCrop(const QString& crop)
{
    TModal<TGetCropNamDlg>::hook = [crop](TGetCropNamDlg& d) {
        ASSERT_TRUE(clickGridRow(d.DBGrid1, crop)) << crop.toStdString();
        EXPECT_EQ(d.CropNameText->text(), crop);
        QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    };
}

} // namespace

struct Family {
    const char* station;
    int method;
    const char* crop;
    int curveIndex;
    const char* methodText;
    bool hay, avgKc;
};

class CropOfEachFamily : public MainCropTest, public ::testing::WithParamInterface<Family> {};

TEST_P(CropOfEachFamily, PickedCropIsSeededEditedAndComputedAsTheEngineDoes)
{
    const Family fam = GetParam();
    setUpJob(fam.station, fam.method);
    job().JobSaveState = 0;   // a saved job

    TModal<TGetCropNamDlg>::hook = [&](TGetCropNamDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Get Crop Name");
        EXPECT_EQ(d.ETMethLbl->text(), fam.methodText);
        QGroupBox* own = fam.method == 1 ? d.BCGroup : fam.method == 2 ? d.BasGroup : d.FAOGroup;
        for (QGroupBox* g : {d.BasGroup, d.FAOGroup, d.BCGroup})
            EXPECT_TRUE(g->styleSheet().contains(g == own ? "blue" : "gray")) << g->title().toStdString();
        ASSERT_TRUE(clickGridRow(d.DBGrid1, fam.crop));
        EXPECT_EQ(d.CropNameText->text(), fam.crop);
        QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    };
    TModal<TCropCompDlg>::hook = [&](TCropCompDlg& d) {
        ASSERT_TRUE(activate(&d));
        EXPECT_EQ(d.windowTitle(), "Job Crop Compute");
        EXPECT_EQ(d.CropNameText->text(), fam.crop);
        EXPECT_EQ(d.StationPanel->text(), "Climate Station: " + QString(fam.station));
        EXPECT_EQ(d.MethodPanel->text(), "ET Method: " + ctx().ETMethodText);
        EXPECT_EQ(d.HayGroup->isVisible(), fam.hay);
        EXPECT_EQ(d.AvgKcGroup->isVisible(), fam.avgKc);
        EXPECT_EQ(wk().state(), TTable::State::Insert);   // not posted before the dialog closes
        EXPECT_EQ(d.NetIrrLbl->text(), "inches");
        typeInto(d.NetDepthEdit, "2.5");
        typeInto(d.CaryBegEdit, "0.5");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    form().AddCropBtnClick();

    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(job().JobSaveState, 2);
    EXPECT_TRUE(form().SaveJobBtn->isEnabled());
    for (QWidget* w : {static_cast<QWidget*>(form().EdCropBtn), static_cast<QWidget*>(form().DisplayButton),
                       static_cast<QWidget*>(form().DeleteCropBtn), static_cast<QWidget*>(form().JobCropDBGrid)})
        EXPECT_TRUE(w->isEnabled());
    ASSERT_EQ(wk().state(), TTable::State::Browse);
    EXPECT_EQ(wk().field("Crop Name").asString(), fam.crop);
    EXPECT_EQ(wk().field("Curve Index").asInteger(), fam.curveIndex);
    EXPECT_DOUBLE_EQ(wk().field("Net Irr").asFloat(), 2.5);
    EXPECT_DOUBLE_EQ(wk().field("Carry Beg").asFloat(), 0.5);
    EXPECT_EQ(wk().field("Beg Dat").asString(),
              wk().field("Plant Mo").asString() + "/" + wk().field("Plant Day").asString());
    EXPECT_EQ(gridTexts(form().JobCropDBGrid), QStringList{fam.crop});

    const CropRunContext engine = recompute(ctx(), fam.crop);
    EXPECT_GT(engine.TotalCropET, 0.0);
    expectSameResults(outputs[0], engine);
    EXPECT_DOUBLE_EQ(wk().field("IR Season").asFloat(), engine.TotalNetIrrReq50);
}

INSTANTIATE_TEST_SUITE_P(
    Families, CropOfEachFamily,
    ::testing::Values(
        Family{"KETCHUM RS", 1, "Spring grain (barley, oats, wheat)", 3, "Blaney Criddle (TR21) curves", false, false},
        Family{"MARICOPA AZMET", 2, "Corn, grain", 0, "FAO Penman-Monteith, NEH2 curves", false, true},
        Family{"MARICOPA AZMET", 2, "Alfalfa hay", 2, "FAO Penman-Monteith, NEH2 curves", true, true},
        Family{"MARICOPA AZMET", 2, "Grapes, wine", 1, "FAO Penman-Monteith, NEH2 curves", false, true},
        Family{"MARICOPA AZMET", 3, "Sugar beets", 5, "FAO Penman-Monteith, FAO 56 curves", false, false}));

class CropChoice : public MainCropTest {};

TEST_F(CropChoice, CancelOnAFreshJobLeavesNothingToSave)
{
    setUpJob(kMaricopa, 3);
    job().JobSaveState = 0;
    TModal<TGetCropNamDlg>::hook = [](TGetCropNamDlg& d) { QTest::mouseClick(d.CancelBtn, Qt::LeftButton); };
    form().AddCropBtnClick();
    EXPECT_EQ(job().JobSaveState, 0);
    EXPECT_FALSE(form().SaveJobBtn->isEnabled());
    EXPECT_TRUE(form().AddCropBtn->isEnabled());
    for (QWidget* w : {static_cast<QWidget*>(form().EdCropBtn), static_cast<QWidget*>(form().DisplayButton),
                       static_cast<QWidget*>(form().DeleteCropBtn), static_cast<QWidget*>(form().JobCropDBGrid)})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_FALSE(m_program->dmod->tblCreateCrp->isOpen());
    EXPECT_FALSE(m_program->dmod->tblLocDef->isOpen());
    EXPECT_FALSE(m_program->dmod->tblSysDef->isOpen());
    EXPECT_TRUE(outputs.empty());
}

TEST_F(CropChoice, CancelOnAJobWithNothingToSaveTurnsSaveJobOff)
{
    setUpJob(kMaricopa, 3);
    job().JobSaveState = 0;   // a fetched job, unchanged
    form().SaveJobBtn->setEnabled(false);
    form().Norm50EditExit();   // tabbing through a ratio edit turns Save Job on
    ASSERT_TRUE(form().SaveJobBtn->isEnabled());
    TModal<TGetCropNamDlg>::hook = [](TGetCropNamDlg& d) { QTest::mouseClick(d.CancelBtn, Qt::LeftButton); };
    form().AddCropBtnClick();
    EXPECT_EQ(job().JobSaveState, 0);
    EXPECT_FALSE(form().SaveJobBtn->isEnabled());
    EXPECT_TRUE(form().AddCropBtn->isEnabled());
}

TEST_F(CropChoice, CancelKeepsTheUnsavedChangesOfAJobWithCrops)
{
    setUpJob(kMaricopa, 3);
    job().JobSaveState = 0;
    pickCrop("Sugar beets");
    TModal<TCropCompDlg>::hook = [](TCropCompDlg& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); };
    form().AddCropBtnClick();
    ASSERT_EQ(job().JobSaveState, 2);

    TModal<TGetCropNamDlg>::hook = [](TGetCropNamDlg& d) { QTest::mouseClick(d.CancelBtn, Qt::LeftButton); };
    form().AddCropBtnClick();
    // The job still has its unsaved crop: the save prompt must still come.
    EXPECT_EQ(job().JobSaveState, 2);
    EXPECT_TRUE(form().SaveJobBtn->isEnabled());
    EXPECT_TRUE(form().EdCropBtn->isEnabled());
    EXPECT_EQ(wk().recordCount(), 1);
}

TEST_F(CropChoice, CancelKeepsANewJobToBeSaved)
{
    setUpJob(kMaricopa, 3);   // a new job: "save as a new job"
    form().SaveJobBtn->setEnabled(true);
    TModal<TGetCropNamDlg>::hook = [](TGetCropNamDlg& d) { d.close(); };   // the close box acts as Cancel
    form().AddCropBtnClick();
    EXPECT_EQ(job().JobSaveState, 1);
    EXPECT_TRUE(form().SaveJobBtn->isEnabled());
    EXPECT_FALSE(form().EdCropBtn->isEnabled());
}

TEST_F(CropChoice, RefusedCropsAddNothingAndTheListFollowsTheMethodsKind)
{
    setUpJob(kKetchum, 1);
    // A refusal on a job without crops leaves the window as it was.
    addCropRecord("Test crop, FAO 56 only", "", "", "Potatoes - FAO-56 T12/T11");
    form().SaveJobBtn->setEnabled(false);
    job().JobSaveState = 0;
    pickCrop("Test crop, FAO 56 only");
    form().AddCropBtnClick();
    EXPECT_EQ(msgs->lastText(), "There is no TR21 curve data avaialble for this crop.");
    EXPECT_EQ(job().JobSaveState, 0);
    EXPECT_FALSE(form().SaveJobBtn->isEnabled());
    EXPECT_FALSE(form().EdCropBtn->isEnabled());
    EXPECT_FALSE(form().DisplayButton->isEnabled());
    EXPECT_TRUE(form().AddCropBtn->isEnabled());

    pickCrop("Potatoes");
    TModal<TCropCompDlg>::hook = [](TCropCompDlg& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); };
    form().AddCropBtnClick();
    ASSERT_EQ(wk().recordCount(), 1);

    // The list now holds only crops with a Blaney-Criddle curve; Potatoes again is refused.
    QStringList bcCrops;
    {
        TTable crops("QuenCrop.DB");
        crops.open();
        for (crops.first(); !crops.eof(); crops.next())
            if (!crops.field("BC Crop Type").asString().isEmpty()) bcCrops << crops.field("Cop Name").asString();
    }
    bool compShown = false;
    TModal<TCropCompDlg>::hook = [&](TCropCompDlg& d) { compShown = true; d.close(); };
    TModal<TGetCropNamDlg>::hook = [&](TGetCropNamDlg& d) {
        EXPECT_EQ(gridTexts(d.DBGrid1), bcCrops);
        EXPECT_FALSE(gridTexts(d.DBGrid1).contains("Test crop, FAO 56 only"));
        ASSERT_TRUE(clickGridRow(d.DBGrid1, "Potatoes"));
        QTest::mouseDClick(d.DBGrid1->viewport(), Qt::LeftButton, {},
                           d.DBGrid1->visualRect(d.DBGrid1->currentIndex()).center());
    };
    form().AddCropBtnClick();
    EXPECT_FALSE(compShown);
    EXPECT_EQ(msgs->lastText(), "This crop has already been included. Select another crop");
    EXPECT_EQ(wk().recordCount(), 1);
    EXPECT_EQ(job().CropCounter, 1);

    // A crop without the method's curve, with the filter off.
    m_program->dmod->tblCreateCrp->setFiltered(false);
    pickCrop("Test crop, FAO 56 only");
    form().AddCropBtnClick();
    EXPECT_FALSE(compShown);
    EXPECT_EQ(msgs->lastText(), "There is no TR21 curve data avaialble for this crop.");
    EXPECT_FALSE(m_program->dmod->tblCreateCrp->filtered());
    EXPECT_EQ(wk().recordCount(), 1);
}

// ---- the inputs dialog ------------------------------------------------------------

class CropInputs : public MainCropTest {
protected:
    // Adds crop with the inputs dialog closed unchanged.
    void addCrop(const QString& station, int method, const QString& crop)
    {
        setUpJob(station, method);
        pickCrop(crop);
        TModal<TCropCompDlg>::hook = [](TCropCompDlg& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); };
        form().AddCropBtnClick();
        ASSERT_EQ(outputs.size(), 1u);
        outputs.clear();
        msgs->clear();
    }
    void editCrop(const std::function<void(TCropCompDlg&)>& drive)
    {
        TModal<TCropCompDlg>::hook = [drive](TCropCompDlg& d) {
            ASSERT_TRUE(activate(&d));
            drive(d);
            if (d.isVisible()) QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        };
        form().EdCropBtnClick();
    }
    double field(const char* name) { return wk().field(name).asFloat(); }
};

TEST_F(CropInputs, MonthDayChecksCorrectTheDayAndSayWhere)
{
    addCrop(kMaricopa, 2, "Alfalfa hay");
    editCrop([this](TCropCompDlg& d) {
        typeInto(d.PDayEdit, "31");          // April: corrected without a message
        EXPECT_EQ(d.PDayEdit->text(), "30");
        EXPECT_EQ(msgs->count(), 0);
        typeInto(d.HMoEdit, "11");
        typeInto(d.HDayEdit, "30");
        typeInto(d.HMoEdit, "2");           // February 30
        EXPECT_EQ(d.HDayEdit->text(), "28");
        EXPECT_EQ(msgs->lastText(), "Month number 2 has maximum of 28 days.");
        EXPECT_TRUE(d.HDayEdit->hasFocus());
        typeInto(d.HMoEdit, "11");
        typeInto(d.Cut1MoEdit, "7");
        typeInto(d.Cut1DayEdit, "31");
        EXPECT_EQ(d.Cut1DayEdit->text(), "31");
        typeInto(d.Cut1MoEdit, "6");
        EXPECT_EQ(d.Cut1DayEdit->text(), "30");
        EXPECT_EQ(msgs->lastText(), "Month number 6 has maximum of 30 days.");
        typeInto(d.CutEdit, "4");
        typeInto(d.PMoEdit, "13");          // no month 13: refused, the month stays
        EXPECT_EQ(d.PMoEdit->text(), "4");
        EXPECT_EQ(ctx().HarvestMonth, 11);
        EXPECT_EQ(ctx().HarvestDay, 28);
    });
    EXPECT_EQ(wk().field("Plant Mo").asInteger(), 4);
    EXPECT_EQ(wk().field("Plant Day").asInteger(), 30);
    EXPECT_EQ(wk().field("Harvest Mo").asInteger(), 11);
    EXPECT_EQ(wk().field("Harvest Day").asInteger(), 28);
    EXPECT_EQ(wk().field("End Dat").asString(), "11/28");
    EXPECT_EQ(wk().field("Cut1Mo").asInteger(), 6);
    EXPECT_EQ(wk().field("Cut1Day").asInteger(), 30);
    EXPECT_EQ(wk().field("Cuttings").asInteger(), 4);
    ASSERT_EQ(outputs.size(), 1u);
    expectSameResults(outputs[0], recompute(ctx(), "Alfalfa hay"));
}

TEST_F(CropInputs, StressFactorFollowsAvailableWaterAndSensitivity)
{
    addCrop(kMaricopa, 2, "Corn, grain");
    editCrop([](TCropCompDlg& d) {
        if (!d.CheckBox1->isChecked()) QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
        typeInto(d.ASWEdit, "40");
        EXPECT_EQ(d.StressEdit->text(), "0.80");
        QTest::mouseClick(d.CheckBox1, Qt::LeftButton);   // not sensitive: 40 >= 25
        EXPECT_EQ(d.StressEdit->text(), "1.00");
        QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
        typeInto(d.ASWEdit, "30");
        EXPECT_EQ(d.StressEdit->text(), "0.60");
    });
    EXPECT_DOUBLE_EQ(field("Stress Factor"), 0.6);
    EXPECT_DOUBLE_EQ(field("ASW"), 30);
    EXPECT_TRUE(wk().field("Sensitive").asBoolean());
    ASSERT_EQ(outputs.size(), 1u);
    const CropRunContext engine = recompute(ctx(), "Corn, grain");
    EXPECT_DOUBLE_EQ(engine.StressFactor, 0.6);
    expectSameResults(outputs[0], engine);
}

TEST_F(CropInputs, StressFactorGivesAvailableWaterUntilTheWaterIsTyped)
{
    addCrop(kMaricopa, 2, "Corn, grain");
    ctx().AvailableSoilWater = 0;   // the last computation's value differs from the dialog's
    editCrop([](TCropCompDlg& d) {
        if (!d.CheckBox1->isChecked()) QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
        d.ASWEdit->setMarkedModified(false);
        typeInto(d.StressEdit, "0.6");
        EXPECT_EQ(d.ASWEdit->text(), "30.0");
        EXPECT_TRUE(d.ASWEdit->markedModified());
    });
    EXPECT_DOUBLE_EQ(field("ASW"), 30);
    EXPECT_DOUBLE_EQ(field("Stress Factor"), 0.6);
}

TEST_F(CropInputs, IrrigationTypeSetsTheFractionWetted)
{
    addCrop(kMaricopa, 2, "Corn, grain");
    editCrop([](TCropCompDlg& d) {
        // The local default "Sprinklers- above canopy" shows as the list's own spelling.
        EXPECT_EQ(d.IrrTypeComboBox->currentText(), "Spinklers- above canopy");
        d.IrrTypeComboBox->setFocus();
        for (int i = 0; i < 10 && d.IrrTypeComboBox->currentText() != "Trickle irrigation"; ++i)
            QTest::keyClick(d.IrrTypeComboBox, Qt::Key_Down);
        EXPECT_EQ(d.FracWettedEdit->text(), "0.25");
        d.SoilComboBox->setFocus();
        QTest::keyClick(d.SoilComboBox, Qt::Key_Up);
        EXPECT_EQ(d.SoilComboBox->currentText(), "Clay Loam");
    });
    EXPECT_EQ(wk().field("Irrigation Type").asString(), "Trickle irrigation");
    EXPECT_DOUBLE_EQ(field("Fraction Wetted"), 0.25);
    EXPECT_EQ(wk().field("Soil").asString(), "Clay Loam");
    ASSERT_EQ(outputs.size(), 1u);
    const CropRunContext engine = recompute(ctx(), "Corn, grain");
    EXPECT_DOUBLE_EQ(engine.FractionWetted, 0.25);
    expectSameResults(outputs[0], engine);
}

TEST_F(CropInputs, UnchangedInputsKeepTheStoredSpellingAndStillCompute)
{
    addCrop(kMaricopa, 3, "Sugar beets");
    const QVariantList before = wk().rowValues();
    editCrop([](TCropCompDlg&) {});
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(wk().field("Irrigation Type").asString(), "Sprinklers- above canopy");
    for (const char* f : {"Net Irr", "Carry Beg", "Carry End", "Plant Mo", "Plant Day", "Stress Factor", "ASW"})
        EXPECT_EQ(wk().field(f).value(), before[wk().field(f).index()]) << f;
    expectSameResults(outputs[0], recompute(ctx(), "Sugar beets"));
}

TEST_F(CropInputs, MetricModeShowsAndTakesCentimetresWhileTheRowKeepsInches)
{
    addCrop(kMaricopa, 3, "Sugar beets");
    m_program->dmod->MetricUnits = true;
    const double carryEnd = field("Carry End");
    editCrop([](TCropCompDlg& d) {
        EXPECT_EQ(d.NetIrrLbl->text(), "cm");
        EXPECT_EQ(d.CarryBegLbl->text(), "cm");
        EXPECT_EQ(d.CarryEndLbl->text(), "cm");
        EXPECT_EQ(d.NetDepthEdit->text(), "7.62");    // 3 inches
        typeInto(d.NetDepthEdit, "5.08");
        typeInto(d.CaryBegEdit, "12.7");               // beyond 9.99 in the inch picture
    });
    EXPECT_DOUBLE_EQ(field("Net Irr"), 2.0);
    EXPECT_DOUBLE_EQ(field("Carry Beg"), 5.0);
    EXPECT_DOUBLE_EQ(field("Carry End"), carryEnd);
    EXPECT_NEAR(ctx().NetIrrDepthCm, 5.08, 1e-12);
}

TEST_F(CropInputs, DateCalculatorProposesDatesFromTheStationTemperatures)
{
    addCrop(kKetchum, 1, "Spring grain (barley, oats, wheat)");
    wk().edit();
    wk().field("StartT").setAsFloat(45);
    wk().field("StartTM").setAsFloat(7.22);
    wk().field("EndT").setAsFloat(40);
    wk().field("EndTM").setAsFloat(4.44);
    wk().post();
    int minDays = 0;
    {
        TTable crops("QuenCrop.DB");
        crops.open();
        ASSERT_TRUE(crops.locate("Cop Name", "Spring grain (barley, oats, wheat)"));
        minDays = crops.field("Min Grow Days").asInteger();
    }
    ASSERT_GT(minDays, 1);
    const GrowthDate spring = SpringDate(45, ctx().MonthlyTemp, {});
    const GrowthDate fall = FallDate(40, ctx().MonthlyTemp, {});
    ASSERT_GT(spring.month, 0);

    bool shown = false;
    TModal<TCompPHDatesDlg>::hook = [&](TCompPHDatesDlg& d) {
        shown = true;
        EXPECT_EQ(d.MinDaysLbl->text(), QString::number(minDays));   // the crop record's minimum
        EXPECT_EQ(d.GrowDaysEdit->text(), QString::number(minDays));
        EXPECT_EQ(d.NewPMoLbl->text(), QString::number(spring.month));
        EXPECT_EQ(d.NewPDayLbl->text(), QString::number(spring.day));
        EXPECT_EQ(d.TempEndMoLbl->text(), QString::number(fall.month));
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    editCrop([&](TCropCompDlg& d) {
        QTest::mouseClick(d.btnCompDate, Qt::LeftButton);
        EXPECT_EQ(d.PMoEdit->text(), QString::number(spring.month));
        EXPECT_EQ(d.PDayEdit->text(), QString::number(spring.day));
    });
    ASSERT_TRUE(shown);
    const int harvestDoy = DayOfYear(spring.month, spring.day) + minDays;
    EXPECT_EQ(wk().field("Plant Mo").asInteger(), spring.month);
    EXPECT_EQ(wk().field("Plant Day").asInteger(), spring.day);
    EXPECT_EQ(DayOfYear(wk().field("Harvest Mo").asInteger(), wk().field("Harvest Day").asInteger()), harvestDoy);
    EXPECT_DOUBLE_EQ(field("StartT"), 45);
    expectSameResults(outputs.at(0), recompute(ctx(), "Spring grain (barley, oats, wheat)"));
}

TEST_F(CropInputs, DateCalculatorWarnsOfTooLongSeasonsAndCancelRestores)
{
    addCrop(kKetchum, 1, "Spring grain (barley, oats, wheat)");
    wk().edit();
    wk().field("StartT").setAsFloat(45);
    wk().field("EndT").setAsFloat(40);
    wk().post();
    ctx().BeginGrowthTemp = 1.5;   // whatever the context held before
    bool shown = false;
    TModal<TCompPHDatesDlg>::hook = [&](TCompPHDatesDlg& d) {
        shown = true;
        ASSERT_TRUE(activate(&d));
        msgs->clear();
        typeInto(d.GrowDaysEdit, "300");
        typeInto(d.BeginTempEdit, "42");
        QTest::mouseClick(d.ReCalcBtn, Qt::LeftButton);
        EXPECT_EQ(msgs->lastText(), "Growing period too long for temperatures used.");
        EXPECT_TRUE(d.isVisible());                  // the planner may try other values
        EXPECT_EQ(wk().field("EnteredGrowDays").asInteger(), 300);
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    };
    editCrop([&](TCropCompDlg& d) {
        d.btnCompDateClick();   // not from inside a mouse event: the tool takes the focus
        EXPECT_EQ(d.PMoEdit->text(), "3");           // the crop record's dates are back
        EXPECT_EQ(d.PDayEdit->text(), "15");
        EXPECT_DOUBLE_EQ(ctx().BeginGrowthTemp, 45);  // the row's temperature, as on entry
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ(wk().field("Plant Mo").asInteger(), 3);
    EXPECT_DOUBLE_EQ(field("StartT"), 45);
}

TEST_F(CropInputs, ClosingByTheCloseBoxStoresAndComputesToo)
{
    addCrop(kMaricopa, 3, "Sugar beets");
    editCrop([](TCropCompDlg& d) {
        typeInto(d.NetDepthEdit, "1.75");
        d.close();
    });
    EXPECT_DOUBLE_EQ(field("Net Irr"), 1.75);
    ASSERT_EQ(outputs.size(), 1u);
    expectSameResults(outputs[0], recompute(ctx(), "Sugar beets"));
}

// An entry that does not fit its picture is refused with the field's name
// and range, never cut to a different number (ASW 100 is not 10, Ks 0.40);
// Escape closes the dialog with the number being typed taken as OK takes it.
TEST_F(CropInputs, EntriesBeyondThePictureAreRefusedAndEscapeStoresAsOKDoes)
{
    addCrop(kMaricopa, 2, "Corn, grain");
    editCrop([this](TCropCompDlg& d) {
        if (!d.CheckBox1->isChecked()) QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
        const QString asw = d.ASWEdit->text(), ks = d.StressEdit->text();
        const QString carry = d.CaryBegEdit->text(), wet = d.WetDevelEdit->text();
        struct Case {
            TNumEdit* edit;
            const char* typed;
            const char* message;
        } cases[] = {
            {d.ASWEdit, "100", "Percent total available water (ASW): 100 is out of range. Enter a number from 0.1 to 99."},
            {d.CaryBegEdit, "10",
             "Carryover used at beginning of each season: 10 is out of range. Enter a number from 0 to 9.99."},
            {d.WetDevelEdit, "999", "Wetting interval, Development: 999 is out of range. Enter a number from 1 to 99."},
            {d.WetDevelEdit, "-1", "Wetting interval, Development: -1 is out of range. Enter a number from 1 to 99."},
            {d.StressEdit, "3", "Stress Factor (Ks): 3 is out of range. Enter a number from 0 to 1."},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.typed);
            msgs->clear();
            typeInto(c.edit, QString::fromLatin1(c.typed));
            ASSERT_EQ(msgs->count(), 1);
            EXPECT_EQ(msgs->lastText(), QString::fromLatin1(c.message));
            EXPECT_EQ(QApplication::focusWidget(), c.edit);
        }
        EXPECT_EQ(d.ASWEdit->text(), asw);
        EXPECT_EQ(d.StressEdit->text(), ks);
        EXPECT_EQ(d.CaryBegEdit->text(), carry);
        EXPECT_EQ(d.WetDevelEdit->text(), wet);

        msgs->clear();
        d.ASWEdit->setFocus();
        d.ASWEdit->selectAll();
        QTest::keyClicks(d.ASWEdit, "45");
        QTest::keyClick(d.ASWEdit, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(msgs->count(), 0);
    });
    EXPECT_DOUBLE_EQ(field("ASW"), 45);
    EXPECT_DOUBLE_EQ(field("Stress Factor"), 0.9);   // sensitive crop: 45 x 0.02, as leaving the field gives
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_DOUBLE_EQ(outputs[0].StressFactor, 0.9);
}

TEST_F(CropInputs, DateCalculatorRefusesWarmStationsAndCropsWithoutTemperatures)
{
    addCropRecord("Test potatoes, no temperatures", "Blaney Criddle Annual Crop", "Potatoes (TR-21)", "");
    addCrop(kKetchum, 1, "Test potatoes, no temperatures");
    const int plantMo = wk().field("Plant Mo").asInteger();
    bool shown = false;
    TModal<TCompPHDatesDlg>::hook = [&](TCompPHDatesDlg&) { shown = true; };
    editCrop([&](TCropCompDlg& d) {
        QTest::mouseClick(d.btnCompDate, Qt::LeftButton);
        EXPECT_EQ(msgs->lastText(), "Temperature data not available. Can't use this method.");
        EXPECT_EQ(d.PMoEdit->text(), QString::number(plantMo));
    });
    EXPECT_FALSE(shown);

    TTable clim("Climate.DB");
    clim.open();
    ASSERT_TRUE(clim.locate("Station Name", kKetchum));
    clim.edit();
    clim.field("Spr mo/dy 28").setAsString("00/00");
    clim.post();
    editCrop([&](TCropCompDlg& d) {
        QTest::mouseClick(d.btnCompDate, Qt::LeftButton);
        EXPECT_EQ(msgs->lastText(),
                  "It's too warm!  This procedure won't work. Enter start and end growth dates directly.");
    });
    clim.edit();
    clim.field("Spr mo/dy 28").clear();
    clim.post();
    clim.close();
    EXPECT_FALSE(shown);
    EXPECT_EQ(wk().field("Plant Mo").asInteger(), plantMo);
}

// The farm water group: a new crop shows its type's application efficiency
// and its crop's FAO-29 threshold; a type chosen brings its own efficiency;
// an area without an efficiency is refused naming the field and the dialog
// stays open; with metric units the area is shown and typed in hectares
// while the row keeps acres.
TEST_F(CropInputs, FarmWaterGroupSeedsStoresAndRefuses)
{
    addCrop(kMaricopa, 2, "Corn, grain");
    auto stored = [this] {
        return job::WorkingFarmCrop("Corn, grain", wk().field("Crop No").asInteger(),
                                    wk().field("Irrigation Type").asString());
    };
    editCrop([this](TCropCompDlg& d) {
        EXPECT_EQ(d.AreaLbl->text(), "acres");
        EXPECT_EQ(d.AppEffEdit->text(), "0.75");   // sprinklers
        EXPECT_EQ(d.ECeEdit->text(), "1.7");       // corn (maize), FAO-29 Table 4
        msgs->clear();
        typeInto(d.AreaEdit, "-5");
        EXPECT_EQ(msgs->lastText(), "Irrigated area: -5 is out of range. Enter a number from 0 to 99999.99.");
        typeInto(d.AreaEdit, "120");
        d.IrrTypeComboBox->setFocus();
        for (int i = 0; i < 10 && d.IrrTypeComboBox->currentText() != "Trickle irrigation"; ++i)
            QTest::keyClick(d.IrrTypeComboBox, Qt::Key_Down);
        EXPECT_EQ(d.AppEffEdit->text(), "0.90");
    });
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(stored(), (job::FarmCropValues{120.0, 0.9, 1.7}));

    // A type without an efficiency ("Rain"): an area then needs one typed.
    outputs.clear();
    job::EmptyWorkingFarmCrops();
    wk().edit();
    wk().field("Irrigation Type").setAsString("Rain");
    wk().post();
    editCrop([this](TCropCompDlg& d) {
        EXPECT_EQ(d.AppEffEdit->text(), "");
        typeInto(d.AreaEdit, "120");
        msgs->clear();
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(msgs->lastText(), "Application efficiency (Ea) of Corn, grain must be above 0 and at most 1.");
        EXPECT_EQ(QApplication::focusWidget(), d.AppEffEdit);
        typeInto(d.AppEffEdit, "0.85");
    });
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(stored(), (job::FarmCropValues{120.0, 0.85, 1.7}));

    m_program->dmod->MetricUnits = true;
    editCrop([](TCropCompDlg& d) {
        EXPECT_EQ(d.AreaLbl->text(), "ha");
        EXPECT_EQ(d.AreaEdit->text(), "48.56");    // 120 acres
        typeInto(d.ECeEdit, "2.0");
    });
    EXPECT_DOUBLE_EQ(stored().areaAcres, 120.0);   // not typed: the acres stay as they were
    EXPECT_DOUBLE_EQ(stored().ecThreshold, 2.0);
    editCrop([](TCropCompDlg& d) { typeInto(d.AreaEdit, "50"); });
    EXPECT_NEAR(stored().areaAcres, 50 / 0.40468564224, 1e-6);
}


} // namespace quen::test
