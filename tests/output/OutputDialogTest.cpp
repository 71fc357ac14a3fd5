// The output dialog shows the numbers ComputeCrop left in the context, in
// the dialog's number formats, in both unit systems; the crop-kind lines, the notes
// and the placement follow their rules; the crop pick dialog sets the
// context's crop on OK only.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "ComputeCrop.h"
#include "CropReportDlg.h"
#include "CropReports.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "MainDMod.h"
#include "Outputdlg.h"
#include "OutputFixture.h"
#include "Outputs.h"
#include "Table.h"

namespace {

using quen::TOutputdlg;
using quen::test::CropInputs;
using quen::test::OutputDatabase;

// Two decimals after rounding to 6 significant digits, ties away from zero.
QString two(double v)
{
    const double r = QString::number(v, 'g', 6).toDouble();
    const double k = std::floor(std::fabs(r) * 100 + 0.5 + 1e-7) / 100;
    return QString::asprintf("%.2f", r < 0 && k > 0 ? -k : k);
}

struct Expected {
    const quen::MonthlyValues* col[8];
    double totals[6];
};

Expected expectedOf(const quen::CropRunContext& c, bool metric)
{
    if (metric)
        return {{nullptr, &c.MonthlyCropETcm, &c.EffPrecip80cm, &c.NetIrrReq80cm, &c.EffPrecip50cm, &c.NetIrrReq50cm,
                 &c.DailyCropETmm, &c.PeakDailyETmm},
                {0, c.TotalCropETcm, c.TotalEffPrecip80cm, c.TotalNetIrrReq80cm, c.TotalEffPrecip50cm,
                 c.TotalNetIrrReq50cm}};
    return {{nullptr, &c.MonthlyCropET, &c.EffPrecip80, &c.NetIrrReq80, &c.EffPrecip50, &c.NetIrrReq50,
             &c.DailyCropET, &c.PeakDailyET},
            {0, c.TotalCropET, c.TotalEffPrecip80, c.TotalNetIrrReq80, c.TotalEffPrecip50, c.TotalNetIrrReq50}};
}

// Every cell of the grid and the totals against the context.
void checkGrid(TOutputdlg& dlg, const quen::CropRunContext& c, bool metric)
{
    const Expected e = expectedOf(c, metric);
    int seasonRows = 0;
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(dlg.SGrid->item(m, 0)->text().size() > 0, true);
        const bool season = (*e.col[1])[m] > 0;
        seasonRows += season;
        for (int col = 1; col <= 6; ++col)
            EXPECT_EQ(dlg.SGrid->item(m, col)->text(), season ? two((*e.col[col])[m]) : QString())
                << "month " << m << " column " << col << (metric ? " metric" : "");
        const bool peak = season && (*e.col[7])[m] > 0;
        EXPECT_EQ(dlg.SGrid->item(m, 7)->text(), peak ? two((*e.col[7])[m]) : QString()) << "month " << m;
    }
    EXPECT_GE(seasonRows, 3);
    EXPECT_LE(seasonRows, 11) << "a season leaves months empty";
    EXPECT_EQ(dlg.TotalsGrid->item(0, 0)->text(), QStringLiteral("TOTALS"));
    for (int col = 1; col <= 5; ++col)
        EXPECT_EQ(dlg.TotalsGrid->item(0, col)->text(), two(e.totals[col])) << "total " << col;
}

class OutputDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { db = new OutputDatabase; }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }
    void TearDown() override { quen::mainprog::DMod->MetricUnits = false; }
    static OutputDatabase* db;
};

OutputDatabase* OutputDialogTest::db = nullptr;

TEST_F(OutputDialogTest, GridHeaderAndTotalsAreTheContextsNumbersInBothUnitSystems)
{
    CropInputs s;   // corn on the NEH 2 annual basal curve, Maricopa
    s.carryBeg = 1.25;
    db->compute(s);
    for (bool metric : {false, true}) {
        quen::mainprog::DMod->MetricUnits = metric;
        TOutputdlg dlg(db->ctx, db->curves);
        EXPECT_EQ(dlg.isMetric(), metric);
        dlg.show();
        const quen::CropRunContext& c = db->ctx;
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Summary of Current Crop for Current Job"));
        checkGrid(dlg, c, metric);
        if (const QString shots = qEnvironmentVariable("QUEN_OUTPUT_SHOT_DIR"); !shots.isEmpty()) {
            QTest::qWait(50);
            dlg.grab().save(shots + (metric ? "/output-dialog-metric.png" : "/output-dialog.png"));
        }
        static const char* const en[8] = {"Month",       " (inches)",    "  (inches)", " (inches)(2)",
                                          "   (inches)", " (inches)(2)", " (inches)",  " (inches)"};
        static const char* const me[8] = {"Month",      "     (cm)",    "     (cm)", "    (cm)(2)",
                                          "      (cm)", "    (cm)(2)", "    (mm)",  "    (mm)"};
        for (int col = 1; col < 8; ++col)
            EXPECT_EQ(dlg.SGrid->item(0, col)->text(), QString::fromLatin1(metric ? me[col] : en[col]));

        EXPECT_EQ(dlg.JobLabel->text(), c.JobName);
        EXPECT_EQ(dlg.StationLabel->text(), QStringLiteral("MARICOPA AZMET"));
        EXPECT_EQ(dlg.LatitudeLabel->text(), QString::number(c.Latitude, 'g', 15));
        EXPECT_EQ(dlg.ElevationLabel->text(), QString::number(metric ? c.ElevationM : c.Elevation, 'g', 15));
        EXPECT_EQ(dlg.ElevUnitLabel->text(), metric ? QStringLiteral("meters") : QStringLiteral("feet"));
        EXPECT_EQ(dlg.NetIrrLabel->text(), QString::number(metric ? c.NetIrrDepth * 2.54 : c.NetIrrDepth, 'g', 15));
        EXPECT_EQ(dlg.NetIrrUnitLabel->text(), metric ? QStringLiteral("cm") : QStringLiteral("inches"));
        EXPECT_EQ(dlg.CarryUnitLabel->text(), metric ? QStringLiteral("cm") : QStringLiteral("inches"));
        EXPECT_EQ(dlg.CarryBegLabel->text(), metric ? QStringLiteral("3.175") : QStringLiteral("1.25"));
        EXPECT_EQ(dlg.BeginGrowthLabel->text(), QStringLiteral("%1/%2").arg(c.PlantMonth).arg(c.PlantDay));
        EXPECT_EQ(dlg.CropNameDBText->text(), QStringLiteral("Corn, grain"));
        // Carry-over at the beginning: note (2) in force; Penman-Monteith: note (3) greyed.
        for (QLabel* l : dlg.Note2Labels)
            EXPECT_TRUE(l->isEnabled());
        EXPECT_FALSE(dlg.Note3Label->isEnabled());
        // Basal annual curve: soil and wetting lines, no cuttings lines.
        EXPECT_FALSE(dlg.SoilDBText->isHidden());
        EXPECT_TRUE(dlg.CuttingsDBText->isHidden());
        dlg.CloseBtnClick();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
}

TEST_F(OutputDialogTest, CropKindLinesAndNotesFollowCurveAndMethod)
{
    // Blaney-Criddle annual curve without carry-over, elevation correction off.
    CropInputs bc{QStringLiteral("KETCHUM RS"), QStringLiteral("Potatoes"), 1, 3};
    db->compute(bc);
    {
        TOutputdlg dlg(db->ctx, db->curves);
        dlg.show();
        checkGrid(dlg, db->ctx, false);
        EXPECT_TRUE(dlg.SoilDBText->isHidden());
        EXPECT_TRUE(dlg.StressDBText->isHidden());
        EXPECT_TRUE(dlg.CuttingsDBText->isHidden());
        for (QLabel* l : dlg.Note2Labels)
            EXPECT_FALSE(l->isEnabled());
        EXPECT_TRUE(dlg.Note3Label->isEnabled());
        EXPECT_EQ(dlg.Note3Label->text(), QStringLiteral("(3) ET(Evapotranspiration) not adjusted for elevation."));
        // A summer season of TR-21: no line on where the method was developed.
        EXPECT_TRUE(dlg.MethodNoteLabel->isHidden());
    }
    bc.elevationCorrection = true;
    db->compute(bc);
    {
        TOutputdlg dlg(db->ctx, db->curves);
        dlg.show();
        EXPECT_EQ(dlg.Note3Label->text(), QStringLiteral("(3)  ET (Evapotranspiration) is adjusted upwords 10% per "
                                                         "1000 meters above sea level."));
    }
    // Forage and hay curve with cuttings: both groups of lines.
    db->compute({QStringLiteral("MARICOPA AZMET"), QStringLiteral("Alfalfa hay"), 2, 2});
    ASSERT_TRUE(db->ctx.HayFlag);
    {
        TOutputdlg dlg(db->ctx, db->curves);
        dlg.show();
        EXPECT_FALSE(dlg.CuttingsDBText->isHidden());
        if (const QString shots = qEnvironmentVariable("QUEN_OUTPUT_SHOT_DIR"); !shots.isEmpty()) {
            QTest::qWait(50);
            dlg.grab().save(shots + "/output-dialog-hay.png");
        }
        EXPECT_EQ(dlg.Cut1Label->text(), db->ctx.FirstCuttingText);
        EXPECT_EQ(dlg.CutLastLabel->text(), db->ctx.LastCuttingText);
        EXPECT_FALSE(dlg.SoilDBText->isHidden());
        // Forage without cuttings: soil lines only.
        db->ctx.HayFlag = false;
        dlg.FormShow();
        EXPECT_TRUE(dlg.CuttingsDBText->isHidden());
        EXPECT_FALSE(dlg.SoilDBText->isHidden());
    }
    // FAO 56 Table 12 curve: neither.
    db->compute({QStringLiteral("MARICOPA AZMET"), QStringLiteral("Corn, grain"), 3, 5});
    {
        quen::mainprog::DMod->MetricUnits = true;
        TOutputdlg dlg(db->ctx, db->curves);
        dlg.show();
        checkGrid(dlg, db->ctx, true);
        if (const QString shots = qEnvironmentVariable("QUEN_OUTPUT_SHOT_DIR"); !shots.isEmpty()) {
            QTest::qWait(50);
            dlg.grab().save(shots + "/output-dialog-fao-metric.png");
        }
        EXPECT_TRUE(dlg.CuttingsDBText->isHidden());
        EXPECT_TRUE(dlg.SoilDBText->isHidden());
        // Desert station weather: the line that Penman-Monteith runs on arid weather.
        EXPECT_FALSE(dlg.MethodNoteLabel->isHidden());
        EXPECT_TRUE(dlg.MethodNoteLabel->text().contains(QLatin1String("arid, not reference weather")));
        // The same station by TR-21 through its mild winter.
        db->ctx.ETMethodIndex = 1;
        db->ctx.SeasonMonthFlags[1] = true;
        dlg.FormShow();
        EXPECT_TRUE(dlg.MethodNoteLabel->text().contains(QLatin1String("summer growing seasons")));
        db->ctx.SeasonMonthFlags[1] = false;
        db->ctx.SeasonMonthFlags[12] = db->ctx.SeasonMonthFlags[2] = false;
        dlg.FormShow();
        EXPECT_TRUE(dlg.MethodNoteLabel->isHidden());
    }
}

TEST_F(OutputDialogTest, PlacementFollowsTheScreenHeight)
{
    const QSize design(TOutputdlg::kDesignWidth, TOutputdlg::kDesignHeight);
    EXPECT_EQ(TOutputdlg::placement(QRect(0, 0, 800, 600), design), QRect(50, 2, 629, 525));
    EXPECT_EQ(TOutputdlg::placement(QRect(0, 0, 1280, 1024), design), QRect(325, 4, 629, 720));
    EXPECT_EQ(TOutputdlg::placement(QRect(0, 0, 1280, 766), design).height(), 720);
    EXPECT_EQ(TOutputdlg::placement(QRect(0, 0, 1280, 765), design), QRect(50, 2, 629, 525));
    EXPECT_EQ(TOutputdlg::placement(QRect(0, 0, 1024, 588), design), QRect(2, 2, 629, 400));
    EXPECT_EQ(TOutputdlg::placement(QRect(0, 0, 1024, 479), design), QRect(2, 2, 629, 400));
    // Below 479 pixels the design height would hide the buttons: fitted to the screen.
    EXPECT_EQ(TOutputdlg::placement(QRect(0, 0, 640, 478), design), QRect(5, 1, 629, 453));
    EXPECT_EQ(TOutputdlg::placement(QRect(0, 0, 600, 400), design), QRect(0, 1, 600, 375));
}

TEST_F(OutputDialogTest, ReportButtonsPreviewTheVariantOfTheUnits)
{
    db->compute(CropInputs{});
    QList<QString> titles;
    QList<QString> firstHeaders;
    auto previous = quen::output::setPreviewHook(
        [&](const quen::report::PreparedReport& pages, const QList<quen::report::CsvTable>& csv) {
            titles << pages.title;
            firstHeaders << (csv.isEmpty() ? QString() : csv.first().header.value(1));
        });
    for (bool metric : {false, true}) {
        quen::mainprog::DMod->MetricUnits = metric;
        TOutputdlg dlg(db->ctx, db->curves);
        dlg.show();
        QTest::mouseClick(dlg.PrintBtn, Qt::LeftButton);
        QTest::mouseClick(dlg.DetailBtn, Qt::LeftButton);
    }
    quen::output::setPreviewHook(previous);
    EXPECT_EQ(titles, (QList<QString>{"Crop Data Summary", "CropDetail", "Crop Data Summary", "CropDetail"}));
    EXPECT_EQ(firstHeaders, (QList<QString>{"Total Monthly ET (inches)", "Average Temp. (deg. F)",
                                            "Total Monthly ET (cm)", "Average Temp. (deg. C)"}));
}

TEST_F(OutputDialogTest, CropPickSetsTheContextsCropOnOkOnly)
{
    db->compute({QStringLiteral("MARICOPA AZMET"), QStringLiteral("Orchard (apples, cherries, pears)"), 2, 1});
    db->compute(CropInputs{});
    quen::TTable* wk = quen::mainprog::DMod->tblQuenWkCrop;
    ASSERT_GE(wk->recordCount(), 2);
    db->ctx.CropName = QStringLiteral("unchanged");
    {
        quen::TCropReportDlg dlg(db->ctx);
        dlg.show();
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Print Crop Report"));
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_TRUE(dlg.ReportCancelled);
        EXPECT_EQ(db->ctx.CropName, QStringLiteral("unchanged"));
    }
    {
        quen::TCropReportDlg dlg(db->ctx);
        dlg.show();
        dlg.CancelBitBtn2Click();
        EXPECT_TRUE(dlg.ReportCancelled);
        EXPECT_EQ(db->ctx.CropName, QStringLiteral("unchanged"));
    }
    {
        // Choosing a row moves the table; a double click acts as OK.
        quen::TCropReportDlg dlg(db->ctx);
        dlg.show();
        quen::moveToRecNo(wk, 1);
        const QString first = wk->field(QStringLiteral("Crop Name")).asString();
        const QModelIndex idx = dlg.CropDBGrid->model()->index(0, 0);
        const QRect r = dlg.CropDBGrid->visualRect(idx);
        QTest::mouseDClick(dlg.CropDBGrid->viewport(), Qt::LeftButton, {}, r.center());
        EXPECT_FALSE(dlg.ReportCancelled);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(db->ctx.CropName, first);
    }
    {
        quen::TCropReportDlg dlg(db->ctx);
        dlg.show();
        quen::moveToRecNo(wk, 2);
        if (const QString shots = qEnvironmentVariable("QUEN_OUTPUT_SHOT_DIR"); !shots.isEmpty()) {
            QTest::qWait(50);
            dlg.grab().save(shots + "/crop-report-dlg.png");
        }
        dlg.OKBitBtn1Click();
        EXPECT_FALSE(dlg.ReportCancelled);
        EXPECT_EQ(db->ctx.CropName, wk->field(QStringLiteral("Crop Name")).asString());
    }
    // The modal entry point the report commands call: Cancel, then OK.
    for (bool ok : {false, true}) {
        db->ctx.CropName = QStringLiteral("unchanged");
        QTimer::singleShot(0, [ok] {
            auto* dlg = qobject_cast<quen::TCropReportDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            QTest::mouseClick(ok ? dlg->OKBitBtn1 : dlg->CancelBitBtn2, Qt::LeftButton);
        });
        EXPECT_EQ(quen::output::pickReportCrop(nullptr, db->ctx), ok);
        EXPECT_EQ(db->ctx.CropName == QStringLiteral("unchanged"), !ok);
    }
}

} // namespace
