// The farm's water of a three-crop job at a shipped station: the "Farm Water
// Requirement" report in both unit systems against its expected text, the
// "Farm Water" window showing the figures of the same computation, its job
// fields (a change recomputes and marks the job changed, a value out of range
// is refused naming the field), and a job whose crops have no area.
#include <gtest/gtest.h>

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTableWidget>

#include "ChartsFixture.h"
#include "CropReports.h"
#include "FarmStore.h"
#include "FarmWaterDlg.h"
#include "FarmWaterReport.h"
#include "FarmWaterText.h"
#include "JobState.h"
#include "NumEdit.h"
#include "Report.h"
#include "ReportNumbers.h"
#include "ReportTestUtil.h"
#include "Table.h"

using namespace quen;
using namespace quen::test;

namespace {

const QDateTime kPrinted(QDate(2026, 5, 1), QTime(8, 30));

const Job kFarmJob{QStringLiteral("MARICOPA AZMET"),
                   2,
                   {{QStringLiteral("Corn, grain"), 0},
                    {QStringLiteral("Alfalfa hay"), 2, 0, 0, 0, 0, 1.5, 0.5},
                    {QStringLiteral("Pasture, grass"), 2}}};

using job::FarmCropValues;

// The planner's inputs of the three crops: acres, Ea, ECe threshold (FAO-29
// Table 4: alfalfa 2.0, corn 1.7 dS/m; a grass mix has none).
const QMap<QString, FarmCropValues> kValues{
    {QStringLiteral("Alfalfa hay"), {160.0, 0.75, 2.0}},
    {QStringLiteral("Corn, grain"), {95.5, 0.80, 1.7}},
    {QStringLiteral("Pasture, grass"), {40.0, 0.70, 0.0}},
};

class FarmWaterTest : public ::testing::Test {
protected:
    CropRunContext ctx;
    CropCurveState curves;
    TTable wk{QStringLiteral("QuenWkCrop.DB")};
    JobState state;

    // The job with areas (or none), each crop's Ea and threshold as a new
    // crop of its type of irrigation gets them.
    void Run(bool areas)
    {
        job::EmptyWorkingFarmCrops();
        RunJob(ctx, curves, wk, kFarmJob);
        int i = 0;
        for (wk.first(); !wk.eof(); wk.next(), ++i) {
            const QString name = wk.field(QStringLiteral("Crop Name")).asString();
            const FarmCropValues v = kValues.value(name);
            ASSERT_GT(v.applicationEff, 0.0) << name.toStdString();
            job::SetWorkingFarmCrop(name, ctx.JobName, wk.field(QStringLiteral("Crop No")).asInteger(),
                                    {areas ? v.areaAcres : 0.0, v.applicationEff, v.ecThreshold});
        }
        wk.last();
        state = JobState{};
        state.Farm = {0.85, 20.0, 1.2};
    }

    FarmWater Compute() { return job::ComputeWorkingFarm(ctx, curves, wk, state.Farm).water; }
};

QStackedBarSeries* Stack(QChartView* v)
{
    for (QAbstractSeries* s : v->chart()->series())
        if (auto* bars = qobject_cast<QStackedBarSeries*>(s))
            return bars;
    return nullptr;
}

} // namespace

TEST_F(FarmWaterTest, ReportMatchesItsExpectedTextInBothUnits)
{
    Run(true);
    const FarmWater w = Compute();
    ASSERT_TRUE(w.available);
    ASSERT_EQ(w.crops.size(), 3u);
    EXPECT_GT(w.capacityGpm, 0.0);
    for (bool metric : {false, true}) {
        const report::PreparedReport pages = prepareFarmWaterReport(ctx, w, metric, kPrinted);
        const QString text = ReportText(pages);
        EXPECT_EQ(CompareGolden(QStringLiteral("maricopa-farm"),
                                metric ? QStringLiteral("farmwater-metric") : QStringLiteral("farmwater-english"), text),
                  QString());
        // the capacity line and the sources as the window shows them
        EXPECT_TRUE(text.contains(output::FarmCapacityLines(w, metric).first()));
        EXPECT_TRUE(text.contains(QStringLiteral("NEH Part 652 ch. 6")));
        EXPECT_TRUE(text.contains(QStringLiteral("FAO-29 eq. 7")));
        int pictures = 0;
        for (const report::ReportPage& p : pages.pages) {
            EXPECT_EQ(p.size, QSizeF(612, 792));   // Letter portrait
            for (const report::DrawOp& op : p.ops)
                pictures += op.kind == report::DrawOp::Picture ? 1 : 0;
        }
        EXPECT_EQ(pictures, 2);   // normal and dry year
    }
}

TEST_F(FarmWaterTest, CsvTablesCarryTheReportsFigures)
{
    Run(true);
    const FarmWater w = Compute();
    TFrmQRFarmWater english(ctx, w);
    const QList<report::CsvTable> e = english.csvTables();
    ASSERT_EQ(e.size(), 3);
    EXPECT_EQ(e[0].rows.size(), 12);   // four rows a crop
    EXPECT_EQ(e[0].header.size(), 15);
    ASSERT_EQ(e[1].rows.size(), 13);   // months and the season
    EXPECT_EQ(e[1].rows.last().at(2), output::FixedNumberText(w.seasonDiversion50AcFt, 1, 15));
    ASSERT_EQ(e[2].rows.size(), 1);
    EXPECT_EQ(e[2].rows[0].at(0), output::FarmMonthName(w.peakMonth));
    EXPECT_EQ(e[2].rows[0].at(1), output::FixedNumberText(w.capacityGpm, 0, 15));
    TFrmQRFarmWaterM metric(ctx, w);
    const QList<report::CsvTable> m = metric.csvTables();
    EXPECT_EQ(m[1].rows.last().at(2), output::FixedNumberText(w.seasonDiversion50M3, 0, 15));
    EXPECT_EQ(m[2].rows[0].at(1), output::FixedNumberText(w.capacityLps, 1, 15));
    EXPECT_TRUE(m[2].header.contains(QStringLiteral("Capacity (l/s per ha)")));
}

TEST_F(FarmWaterTest, WindowShowsTheComputedFiguresAndRecomputesOnAnEdit)
{
    Run(true);
    const FarmWater expected = Compute();
    TFarmWaterDlg dlg(ctx, curves, state, wk, false);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Farm Water"));
    EXPECT_DOUBLE_EQ(dlg.water().capacityGpm, expected.capacityGpm);
    EXPECT_EQ(dlg.water().peakMonth, expected.peakMonth);
    EXPECT_TRUE(dlg.CapacityLbl->text().contains(output::FixedNumberText(expected.capacityGpm, 0, 15) + " gpm"));
    ASSERT_EQ(dlg.CropGrid->rowCount(), 3);
    EXPECT_EQ(dlg.CropGrid->item(0, 0)->text(), QStringLiteral("Alfalfa hay"));   // the table's order
    ASSERT_EQ(dlg.MonthGrid->rowCount(), 13);
    EXPECT_EQ(dlg.MonthGrid->item(12, 2)->text(), output::FixedNumberText(expected.seasonDiversion50AcFt, 1, 15));
    EXPECT_EQ(dlg.ConveyEffEdit->value(), 0.85);
    EXPECT_EQ(dlg.HoursEdit->value(), 20.0);

    // the chart: one set per crop, stacked to the farm's diversion
    auto sums = [&](QChartView* v) {
        MonthlyValues s{};
        QStackedBarSeries* stack = Stack(v);
        if (stack)
            for (QBarSet* set : stack->barSets())
                for (int m = 1; m <= 12; ++m)
                    s[m] += set->at(m - 1);
        return s;
    };
    ASSERT_NE(Stack(dlg.DemandChart), nullptr);
    EXPECT_EQ(Stack(dlg.DemandChart)->barSets().size(), 3);
    MonthlyValues s = sums(dlg.DemandChart);
    for (int m = 1; m <= 12; ++m)
        EXPECT_NEAR(s[m], expected.diversion50AcFt[m], 1e-9) << m;
    dlg.DryYearBox->click();
    s = sums(dlg.DemandChart);
    for (int m = 1; m <= 12; ++m)
        EXPECT_NEAR(s[m], expected.diversion80AcFt[m], 1e-9) << m;

    // "Report": the pages of the same figures, with the CSV tables
    report::PreparedReport previewed;
    QList<report::CsvTable> csv;
    const output::PreviewHook old = output::setPreviewHook([&](const report::PreparedReport& p,
                                                               const QList<report::CsvTable>& c) {
        previewed = p;
        csv = c;
    });
    dlg.ReportBtn->click();
    output::setPreviewHook(old);
    EXPECT_EQ(output::preparedText(previewed).section("Date:", 0, 0),
              output::preparedText(prepareFarmWaterReport(ctx, expected, false)).section("Date:", 0, 0));
    EXPECT_EQ(csv.size(), 3);

    // fewer hours a day: the same water in less time
    EXPECT_EQ(state.JobSaveState, 0);
    dlg.HoursEdit->setText(QStringLiteral("10"));
    ASSERT_TRUE(dlg.HoursEdit->commit());
    EXPECT_EQ(state.Farm.hoursPerDay, 10.0);
    EXPECT_EQ(state.JobSaveState, 2);
    EXPECT_NEAR(dlg.water().capacityGpm, 2 * expected.capacityGpm, 1e-9);
    EXPECT_TRUE(dlg.CapacityLbl->text().contains(output::FixedNumberText(dlg.water().capacityGpm, 0, 15) + " gpm"));
    // a job still to be saved as new stays so
    state.JobSaveState = 1;
    dlg.ConveyEffEdit->setText(QStringLiteral("0.70"));
    ASSERT_TRUE(dlg.ConveyEffEdit->commit());
    EXPECT_EQ(state.JobSaveState, 1);
    EXPECT_NEAR(dlg.water().seasonDiversion50AcFt, expected.seasonDiversion50AcFt * 0.85 / 0.70, 1e-9);
    // the context is again that of the crop the table stood on
    EXPECT_EQ(ctx.CropName, QStringLiteral("Pasture, grass"));
}

TEST_F(FarmWaterTest, WindowRefusesValuesOutOfRangeNamingTheField)
{
    Run(true);
    TFarmWaterDlg dlg(ctx, curves, state, wk, true);
    dlg.show();
    const double lps = dlg.water().capacityLps;
    EXPECT_TRUE(dlg.CapacityLbl->text().contains(" l/s (")) << dlg.CapacityLbl->text().toStdString();
    struct Case {
        TNumEdit* edit;
        QString text, field;
    };
    const QList<Case> cases{{dlg.HoursEdit, "0", "Operating hours per day"},
                            {dlg.HoursEdit, "25", "Operating hours per day"},
                            {dlg.ConveyEffEdit, "0", "Conveyance efficiency (Ec)"},
                            {dlg.ConveyEffEdit, "1.5", "Conveyance efficiency (Ec)"},
                            {dlg.ECwEdit, "-1", "Irrigation water salinity (ECw), dS/m"}};
    for (const Case& c : cases) {
        testutil::ScriptedMessages msgs;
        c.edit->setText(c.text);
        EXPECT_FALSE(c.edit->commit()) << c.text.toStdString();
        ASSERT_EQ(msgs.texts.size(), 1) << c.text.toStdString();
        EXPECT_TRUE(msgs.texts[0].contains(c.field)) << msgs.texts[0].toStdString();
    }
    EXPECT_EQ(state.JobSaveState, 0);
    EXPECT_EQ(state.Farm.hoursPerDay, 20.0);
    EXPECT_EQ(state.Farm.conveyanceEff, 0.85);
    EXPECT_EQ(dlg.HoursEdit->value(), 20.0);
    EXPECT_DOUBLE_EQ(dlg.water().capacityLps, lps);
}

TEST_F(FarmWaterTest, JobWithoutAreasSaysTheFarmFiguresAreNotAvailable)
{
    Run(false);
    const FarmWater w = Compute();
    EXPECT_FALSE(w.available);
    // the crops compute as always
    EXPECT_GT(ctx.TotalNetIrrReq50, 0.0);
    TFarmWaterDlg dlg(ctx, curves, state, wk, false);
    dlg.show();
    EXPECT_EQ(dlg.CapacityLbl->text(), output::FarmNotAvailableText());
    EXPECT_EQ(dlg.CapacityLbl->text(),
              QStringLiteral("Farm figures are not available: enter each crop's irrigated area in the crop "
                             "computation inputs."));
    ASSERT_EQ(dlg.CropGrid->rowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(dlg.CropGrid->item(r, 4)->text(), QStringLiteral("not available"));
        EXPECT_EQ(dlg.CropGrid->item(r, 8)->text(), QStringLiteral("no irrigated area"));
    }
    EXPECT_EQ(dlg.MonthGrid->rowCount(), 0);
    EXPECT_EQ(Stack(dlg.DemandChart), nullptr);
    for (bool metric : {false, true}) {
        const report::PreparedReport pages = prepareFarmWaterReport(ctx, w, metric, kPrinted);
        const QString text = ReportText(pages);
        EXPECT_TRUE(text.contains(output::FarmNotAvailableText())) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Farm figures not available: no irrigated area.")));
        EXPECT_FALSE(text.contains(QStringLiteral("System capacity at the diversion")));
        EXPECT_EQ(pages.pageCount(), 1);
    }
}

TEST_F(FarmWaterTest, NegativeAreaIsRefusedNamingTheFieldAndCrop)
{
    Run(true);
    ASSERT_TRUE(wk.locate(QStringLiteral("Crop Name"), QStringLiteral("Corn, grain")));
    const int no = wk.field(QStringLiteral("Crop No")).asInteger();
    job::FarmCropValues v =
        job::WorkingFarmCrop(QStringLiteral("Corn, grain"), no, wk.field(QStringLiteral("Irrigation Type")).asString());
    v.areaAcres = -5;
    job::SetWorkingFarmCrop(QStringLiteral("Corn, grain"), ctx.JobName, no, v);
    TFarmWaterDlg dlg(ctx, curves, state, wk, false);
    ASSERT_EQ(dlg.problems().size(), 1);
    EXPECT_TRUE(dlg.ProblemLbl->text().contains(QStringLiteral("Irrigated area of Corn, grain cannot be negative.")));
    EXPECT_FALSE(dlg.ReportBtn->isEnabled());
    EXPECT_FALSE(dlg.water().available);
    EXPECT_EQ(dlg.CropGrid->rowCount(), 0);
}

TEST_F(FarmWaterTest, CropTooSalineForItsWaterIsListedWithTheReason)
{
    Run(true);
    state.Farm.ecw = 5.0;   // corn: LR = 5 / (5 x 1.7 - 5) above 1; alfalfa: 5 / (10 - 5) = 1
    const FarmWater w = Compute();
    ASSERT_TRUE(w.available);   // the pasture has no threshold: no leaching
    int shown = 0;
    for (const FarmCropWater& c : w.crops)
        shown += c.available ? 1 : 0;
    EXPECT_EQ(shown, 1);
    const QString text = ReportText(prepareFarmWaterReport(ctx, w, false, kPrinted));
    EXPECT_TRUE(text.contains(QStringLiteral(
        "Farm figures not available: ECw 5 dS/m is too saline for the crop's threshold ECe 1.7 dS/m (FAO-29).")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Irrigated area: 40.0 acres")));
    const output::FarmTextTable t = output::FarmCropTable(w, false);
    ASSERT_EQ(t.rows.size(), 3);
    EXPECT_EQ(t.rows[1].at(0), QStringLiteral("Corn, grain"));
    EXPECT_EQ(t.rows[1].at(4), QStringLiteral("not available"));
}
