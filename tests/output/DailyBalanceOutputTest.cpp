// The daily soil-water balance in the output dialog's "Daily balance" page
// and the "Daily Soil-Water Balance" report, for a cotton crop at Maricopa
// over the 18 AZMET years of tests/engine/daily: the page shows the design
// values of the run beside the monthly method's figures, another detail
// year brings its own schedule, a missing provider or a run with an error
// shows the text and no numbers; the report against its golden files in
// both unit systems; its CSV holds a row per day of the detail season.
//
// QUEN_UPDATE_GOLDEN=1 rewrites the golden files; QUEN_OUTPUT_PDF_DIR=<folder>
// writes the reports there as PDF, QUEN_OUTPUT_SHOT_DIR=<folder> the page as PNG.
#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QScreen>
#include <QScrollArea>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "Calendar.h"
#include "CropReports.h"
#include "DailyBalance.h"
#include "DailyBalancePage.h"
#include "DailyBalanceReport.h"
#include "DailyBalanceText.h"
#include "DailyWeather.h"
#include "MainDMod.h"
#include "OutputFixture.h"
#include "Outputdlg.h"
#include "Render.h"
#include "ReportNumbers.h"

namespace {

using quen::TOutputdlg;
using quen::test::CropInputs;
using quen::test::OutputDatabase;
using quen::job::DailyRun;

const QDateTime kPrintTime(QDate(2026, 3, 15), QTime(9, 30));

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// AZMET Maricopa: 33.069 N, 361 m, interior; wind at 3 m.
const std::vector<quen::DailyEtoDay>& Maricopa(quen::WeatherFillCounts* counts = nullptr)
{
    static quen::WeatherFillCounts filled;
    static const std::vector<quen::DailyEtoDay> days = [] {
        const quen::DailyWeatherFile f = quen::ParseDailyWeatherCsv(
            readText(QStringLiteral(QUEN_DAILY_DATA "/azmet_maricopa_2003_2020.csv")), 3.0);
        return quen::DailyReferenceET(f.days, quen::DailyStation{33.069, 361.0, false}, &filled);
    }();
    if (counts)
        *counts = filled;
    return days;
}

// Cotton from the crop's planting day: stages 30/50/60/55 days (the Arizona
// cotton row of FAO-56 Table 11), Kcb 0.15 / 1.13 / 0.45 (Table 17), root
// depth 1.35 m and p 0.65 (Table 22), height 1.35 m (Table 12), sandy loam
// (Table 19), refilled at 50 % ASW.
quen::DailyCropInputs Cotton(const quen::CropRunContext& c)
{
    quen::DailyCropInputs in;
    in.plantMonth = c.PlantMonth;
    in.plantDay = c.PlantDay;
    const int start = quen::DayOfYear(c.PlantMonth, c.PlantDay);
    const quen::MonthDay end = quen::DayOfYearToMonthDay(start + 194);
    in.harvestMonth = end.month;
    in.harvestDay = end.day;
    for (int i = 0; i < 195; ++i) {
        double k;
        if (i < 30)
            k = 0.15;
        else if (i < 80)
            k = 0.15 + (1.13 - 0.15) * (i - 30) / 50.0;
        else if (i < 140)
            k = 1.13;
        else
            k = 1.13 + (0.45 - 1.13) * (i - 140) / 55.0;
        in.kcb[start + i] = k;
    }
    EXPECT_TRUE(quen::Fao56Table19Soil(QStringLiteral("Sandy loam"), in.soil));
    in.rootDepthM = 1.35;
    in.p = 0.65;
    in.heightM = 1.35;
    in.aswPercent = 50;
    return in;
}

// The job layer's result as the engine gives it: every season, the daily
// rows of `year` (0: the last complete season), the monthly figures of the
// context in mm.
DailyRun RunFor(const quen::CropRunContext& c, int year)
{
    DailyRun run;
    run.weather.stationName = QStringLiteral("MARICOPA AZMET");
    run.weather.stationNo = QStringLiteral("06");
    run.weather.source = QStringLiteral("azmet_maricopa_2003_2020.csv (daily CSV)");
    const auto& days = Maricopa(&run.weather.filled);
    run.weather.days = int(days.size());
    run.weather.first = days.front().date;
    run.weather.last = days.back().date;
    run.inputs = Cotton(c);
    if (year == 0) {
        const quen::DailyBalanceResult all = quen::RunDailyBalance(days, run.inputs);
        for (const quen::SeasonBalance& s : all.seasons)
            if (s.complete)
                year = s.year;
    }
    run.result = quen::RunDailyBalance(days, run.inputs, year);
    run.detailYear = year;
    run.notes << QStringLiteral("Root depth 1.35 m and p 0.65: FAO-56 Table 22, cotton.")
              << QStringLiteral("Kcb 0.15 / 1.13 / 0.45: FAO-56 Table 17, cotton.");
    run.monthlyEtcMm = c.TotalCropETcm * 10;
    run.monthlyNetIrr50Mm = c.TotalNetIrrReq50cm * 10;
    run.monthlyNetIrr80Mm = c.TotalNetIrrReq80cm * 10;
    return run;
}

CropInputs CottonAtMaricopa()
{
    CropInputs s;
    s.crop = QStringLiteral("Cotton");
    s.etIndex = 3;
    s.curveIndex = 5;
    return s;
}

class DailyBalanceOutputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        db = new OutputDatabase;
        db->compute(CottonAtMaricopa());
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }
    void TearDown() override
    {
        TOutputdlg::RunDaily = {};
        quen::mainprog::DMod->MetricUnits = false;
    }
    static OutputDatabase* db;
};

OutputDatabase* DailyBalanceOutputTest::db = nullptr;

QStringList column(const QTableWidget* g, int c)
{
    QStringList l;
    for (int r = 0; r < g->rowCount(); ++r)
        l << (g->item(r, c) ? g->item(r, c)->text() : QString());
    return l;
}

} // namespace

TEST_F(DailyBalanceOutputTest, PageShowsTheRunsDesignValuesAndEachYearItsSchedule)
{
    int calls = 0;
    TOutputdlg::RunDaily = [&](const quen::CropRunContext& c, quen::CropCurveState&, int year) {
        ++calls;
        return RunFor(c, year);
    };
    for (bool metric : {false, true}) {
        calls = 0;
        quen::mainprog::DMod->MetricUnits = metric;
        TOutputdlg dlg(db->ctx, db->curves);
        dlg.show();
        EXPECT_EQ(dlg.OutputTabs->count(), 2);
        EXPECT_EQ(dlg.OutputTabs->currentWidget(), static_cast<QWidget*>(dlg.ResultsScrollBox));
        EXPECT_EQ(dlg.OutputTabs->tabText(1), QStringLiteral("Daily balance"));
        EXPECT_EQ(calls, 0) << "the balance runs only when its page is shown";
        dlg.OutputTabs->setCurrentWidget(dlg.DailyPage);
        ASSERT_EQ(calls, 1);
        quen::TDailyBalancePage& page = *dlg.DailyPage;
        const DailyRun& run = page.run();
        ASSERT_TRUE(run.ok());
        EXPECT_TRUE(page.DailyErrorLabel->isHidden());
        // The dialog grew to show the page's tables side by side without a
        // horizontal scroll bar, as far as the screen allows.
        const int avail = dlg.screen()->availableGeometry().width();
        EXPECT_GT(page.neededWidth(), TOutputdlg::kDesignWidth);
        EXPECT_GE(dlg.width(), std::min(page.neededWidth(), avail - (dlg.frameGeometry().width() - dlg.width())));
        EXPECT_LE(dlg.frameGeometry().right(), dlg.screen()->availableGeometry().right());

        // Design values of the struct, in the unit system: mm whole, inches two decimals.
        const double f = metric ? 1.0 : 0.03936996;
        const int dec = metric ? 0 : 2;
        const quen::DesignValues& ni = run.result.netIrrigation;
        ASSERT_EQ(ni.years, 18);
        ASSERT_EQ(page.DesignGrid->rowCount(), 3);
        EXPECT_EQ(page.DesignGrid->item(0, 1)->text(), quen::output::FixedNumberText(ni.p50 * f, dec));
        EXPECT_EQ(page.DesignGrid->item(0, 2)->text(), quen::output::FixedNumberText(ni.p80 * f, dec));
        EXPECT_EQ(page.DesignGrid->item(0, 3)->text(), quen::output::FixedNumberText(ni.p90 * f, dec));
        EXPECT_EQ(page.DesignGrid->item(1, 2)->text(),
                  quen::output::FixedNumberText(run.result.irrigations.p80, 1));
        // the monthly method beside them: TotalNetIrrReq50 / 80 of the context
        const quen::CropRunContext& c = db->ctx;
        EXPECT_EQ(page.DesignGrid->item(0, 4)->text(),
                  quen::output::FixedNumberText(c.TotalNetIrrReq50cm * 10 * f, dec));
        EXPECT_EQ(page.DesignGrid->item(0, 5)->text(),
                  quen::output::FixedNumberText(c.TotalNetIrrReq80cm * 10 * f, dec));
        EXPECT_TRUE(page.DesignGrid->horizontalHeaderItem(0) != nullptr);
        EXPECT_TRUE(page.YearsUsedLabel->text().contains(QStringLiteral("18 (2003-2020)")));
        EXPECT_EQ(page.SeasonsGrid->rowCount(), int(run.result.seasons.size()));

        // The detail year: the last complete season, its schedule.
        EXPECT_EQ(run.detailYear, 2020);
        EXPECT_EQ(page.DailyYearCombo->currentData().toInt(), 2020);
        const QStringList dates2020 = column(page.ScheduleGrid, 0);
        ASSERT_FALSE(dates2020.isEmpty());
        for (const QString& d : dates2020)
            EXPECT_TRUE(d.startsWith(QStringLiteral("2020-"))) << d.toStdString();
        EXPECT_FALSE(page.DailyChartView->chart()->series().isEmpty());

        if (const QString shots = qEnvironmentVariable("QUEN_OUTPUT_SHOT_DIR"); !shots.isEmpty()) {
            QTest::qWait(50);
            dlg.grab().save(shots + (metric ? "/daily-page-metric.png" : "/daily-page.png"));
        }

        // Another year: the provider runs for it, the schedule is that year's.
        page.DailyYearCombo->setCurrentIndex(page.DailyYearCombo->findData(2010));
        EXPECT_EQ(calls, 2);
        EXPECT_EQ(page.run().detailYear, 2010);
        const QStringList dates2010 = column(page.ScheduleGrid, 0);
        ASSERT_FALSE(dates2010.isEmpty());
        EXPECT_NE(dates2010, dates2020);
        for (const QString& d : dates2010)
            EXPECT_TRUE(d.startsWith(QStringLiteral("2010-"))) << d.toStdString();
        if (const QString shots = qEnvironmentVariable("QUEN_OUTPUT_SHOT_DIR"); !shots.isEmpty()) {
            QTest::qWait(50);
            dlg.grab().save(shots + (metric ? "/daily-page-2010-metric.png" : "/daily-page-2010.png"));
        }
        const quen::SeasonBalance* s = quen::output::DailyDetailSeason(page.run());
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(page.ScheduleGrid->rowCount(), s->irrigations);
        // the design values stay those of all the years
        EXPECT_EQ(page.DesignGrid->item(0, 1)->text(), quen::output::FixedNumberText(ni.p50 * f, dec));

        // "Daily Report" previews the report of the year shown.
        QList<quen::report::CsvTable> csv;
        int previews = 0;
        quen::output::setPreviewHook([&](const quen::report::PreparedReport& pages,
                                         const QList<quen::report::CsvTable>& tables) {
            ++previews;
            csv = tables;
            EXPECT_GE(pages.pageCount(), 3);
        });
        page.DailyReportBtn->click();
        quen::output::setPreviewHook({});
        EXPECT_EQ(previews, 1);
        ASSERT_EQ(csv.size(), 4);
        EXPECT_EQ(csv[3].name, QStringLiteral("Daily balance 2010"));
    }
}

TEST_F(DailyBalanceOutputTest, WithoutAProviderOrWithAnErrorThePageShowsTheTextAndNoNumbers)
{
    {
        TOutputdlg dlg(db->ctx, db->curves);
        dlg.show();
        dlg.OutputTabs->setCurrentWidget(dlg.DailyPage);
        quen::TDailyBalancePage& page = *dlg.DailyPage;
        EXPECT_FALSE(page.DailyErrorLabel->isHidden());
        EXPECT_EQ(page.DailyErrorLabel->text(), quen::TDailyBalancePage::noProviderText());
        EXPECT_EQ(page.DesignGrid->rowCount(), 0);
        EXPECT_EQ(page.ScheduleGrid->rowCount(), 0);
        EXPECT_EQ(page.DailyYearCombo->count(), 0);
        EXPECT_FALSE(page.DailyReportBtn->isEnabled());
        EXPECT_FALSE(page.DailyCsvBtn->isEnabled());
        EXPECT_TRUE(page.DailyChartView->chart()->series().isEmpty());
    }
    const QString noWeather = QStringLiteral("No daily weather for this station: import it in the climate program.");
    TOutputdlg::RunDaily = [&](const quen::CropRunContext&, quen::CropCurveState&, int) {
        DailyRun r;
        r.error = noWeather;
        return r;
    };
    TOutputdlg dlg(db->ctx, db->curves);
    dlg.show();
    dlg.OutputTabs->setCurrentWidget(dlg.DailyPage);
    EXPECT_EQ(dlg.DailyPage->DailyErrorLabel->text(), noWeather);
    EXPECT_EQ(dlg.DailyPage->SeasonsGrid->rowCount(), 0);
    EXPECT_FALSE(dlg.DailyPage->DailyReportBtn->isEnabled());
    // the report of such a run prints the text, no tables
    const QString text = quen::output::preparedText(
        quen::output::prepareDailyBalanceReport(db->ctx, dlg.DailyPage->run(), false, kPrintTime));
    EXPECT_TRUE(text.contains(noWeather));
    EXPECT_FALSE(text.contains(QStringLiteral("Design values")));
}

TEST_F(DailyBalanceOutputTest, ReportGoldenFilesInBothUnitsAndItsCsvHasADayARow)
{
    const bool update = qEnvironmentVariableIntValue("QUEN_UPDATE_GOLDEN") == 1;
    const QString pdfDir = qEnvironmentVariable("QUEN_OUTPUT_PDF_DIR");
    const DailyRun run = RunFor(db->ctx, 0);
    ASSERT_TRUE(run.ok());
    const quen::SeasonBalance* s = quen::output::DailyDetailSeason(run);
    ASSERT_NE(s, nullptr);
    for (bool metric : {false, true}) {
        const quen::report::PreparedReport pages =
            quen::output::prepareDailyBalanceReport(db->ctx, run, metric, kPrintTime);
        if (!pdfDir.isEmpty())
            quen::report::writePdf(pages, QDir(pdfDir).filePath(metric ? "daily-balance-metric.pdf" : "daily-balance.pdf"));
        const QString actual = quen::output::preparedText(pages);
        const QString path = QStringLiteral(QUEN_OUTPUT_DAILY "/") +
                             (metric ? QStringLiteral("daily-balance-metric.txt") : QStringLiteral("daily-balance.txt"));
        if (update) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
            f.write(actual.toUtf8());
        } else {
            EXPECT_EQ(readText(path), actual) << path.toStdString();
        }
        // Page 1 holds the design values and the seasons; the daily table follows the chart.
        EXPECT_GE(pages.pageCount(), 4);
        const QStringList pageTexts = actual.split(QStringLiteral("Page:  1"));
        ASSERT_GE(pageTexts.size(), 1);
        EXPECT_TRUE(pageTexts[0].contains(QStringLiteral("Design values over the years")));
        EXPECT_TRUE(pageTexts[0].contains(QStringLiteral("Seasons of the record")));
        EXPECT_LT(actual.indexOf(QStringLiteral("Irrigation schedule")), actual.indexOf(QStringLiteral("Daily balance 20")));
        EXPECT_TRUE(actual.contains(quen::output::FixedNumberText(run.result.netIrrigation.p90 * (metric ? 1 : 0.03936996),
                                                                  metric ? 0 : 2)));

        quen::TFrmQRDailyBalance en(db->ctx, run);
        quen::TFrmQRDailyBalanceM me(db->ctx, run);
        const QList<quen::report::CsvTable> csv = metric ? me.csvTables() : en.csvTables();
        ASSERT_EQ(csv.size(), 4);
        const quen::report::CsvTable& days = csv[3];
        const int seasonDays = quen::DayOfYear(run.inputs.harvestMonth, run.inputs.harvestDay) -
                               quen::DayOfYear(run.inputs.plantMonth, run.inputs.plantDay) + 1;
        EXPECT_EQ(days.rows.size(), seasonDays);
        EXPECT_EQ(days.rows.size(), qsizetype(s->rows.size()));
        EXPECT_EQ(days.header.value(4), metric ? QStringLiteral("ETc adj (mm)") : QStringLiteral("ETc adj (inches)"));
        EXPECT_EQ(days.rows.first().value(0), s->rows.front().date.text());
        EXPECT_EQ(days.rows.last().value(0), s->rows.back().date.text());
        // a day's irrigation in the CSV is the schedule's
        int irrigated = 0;
        for (const QStringList& r : days.rows)
            irrigated += r.value(6).toDouble() > 0;
        EXPECT_EQ(irrigated, int(s->schedule.size()));
        EXPECT_EQ(csv[2].rows.size(), qsizetype(s->schedule.size()));
        EXPECT_EQ(csv[1].rows.size(), qsizetype(run.result.seasons.size()));
    }
}

// A season with days missing from the weather stands in the seasons'
// table as incomplete and is left out of the design values; the year
// chooser still offers it.
TEST_F(DailyBalanceOutputTest, IncompleteSeasonsAreShownAndLeftOutOfTheDesignValues)
{
    std::vector<quen::DailyEtoDay> gapped;
    for (const quen::DailyEtoDay& d : Maricopa())
        if (!(d.date.year == 2012 && d.date.month == 7 && d.date.day >= 10 && d.date.day < 20))
            gapped.push_back(d);
    DailyRun run = RunFor(db->ctx, 2011);
    run.result = quen::RunDailyBalance(gapped, run.inputs, 2011);
    ASSERT_TRUE(run.ok());
    EXPECT_EQ(run.result.netIrrigation.years, 17);

    const QString used = quen::output::DailyYearsUsedText(run);
    EXPECT_TRUE(used.contains(QStringLiteral("Complete seasons used: 17 (2003-2020).")));
    EXPECT_TRUE(used.contains(QStringLiteral("Incomplete seasons left out: 1 (2012).")));
    const quen::report::CsvTable seasons = quen::output::DailySeasonsTable(run, true);
    int incomplete = 0;
    for (const QStringList& r : seasons.rows)
        if (r.value(0) == QStringLiteral("2012")) {
            EXPECT_EQ(r.value(7), QStringLiteral("incomplete: 10 days missing"));
            ++incomplete;
        } else {
            EXPECT_TRUE(r.value(7).isEmpty()) << r.value(0).toStdString();
        }
    EXPECT_EQ(incomplete, 1);
    // the design values are those of the 17 complete seasons
    std::vector<double> complete;
    for (const quen::SeasonBalance& s : run.result.seasons)
        if (s.complete)
            complete.push_back(s.netIrrigation);
    const quen::report::CsvTable design = quen::output::DailyDesignTable(run, true);
    EXPECT_EQ(design.rows[0].value(2), quen::output::FixedNumberText(quen::WeibullValue(complete, 0.8), 0));

    TOutputdlg::RunDaily = [&](const quen::CropRunContext&, quen::CropCurveState&, int) { return run; };
    TOutputdlg dlg(db->ctx, db->curves);
    dlg.show();
    dlg.OutputTabs->setCurrentWidget(dlg.DailyPage);
    EXPECT_GE(dlg.DailyPage->DailyYearCombo->findText(QStringLiteral("2012 (incomplete)")), 0);
    EXPECT_EQ(dlg.DailyPage->DailyYearCombo->currentText(), QStringLiteral("2011"));
}
