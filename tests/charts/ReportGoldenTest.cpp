// The job summary and the climate input details of jobs on the shipped
// stations, compared page by page with the expected text of each scenario
// (tests/charts/scenarios/<scenario>/). QUEN_REGEN_GOLDEN=1 rewrites them.
#include <gtest/gtest.h>

#include <QDateTime>

#include "ChartsFixture.h"
#include "ClimDetailReport.h"
#include "ComputeCrop.h"
#include "JobSummaryReport.h"
#include "Report.h"
#include "ReportNumbers.h"
#include "ReportTestUtil.h"
#include "Table.h"

using namespace quen;
using namespace quen::test;

namespace {

struct Scenario {
    const char* name;
    Job job;
};

const QDateTime kPrinted(QDate(2026, 5, 1), QTime(8, 30));

QList<Scenario> Scenarios()
{
    return {
        {"maricopa-basal",
         {QStringLiteral("MARICOPA AZMET"),
          2,
          {{QStringLiteral("Corn, grain"), 0},
           {QStringLiteral("Orchard (apples, cherries, pears)"), 1},
           {QStringLiteral("Alfalfa hay"), 2, 0, 0, 0, 0, 1.5, 0.5},
           {QStringLiteral("Pasture, grass"), 2}}}},
        {"maricopa-fao56",
         {QStringLiteral("MARICOPA AZMET"),
          3,
          {{QStringLiteral("Sweet corn"), 5}, {QStringLiteral("Winter wheat"), 5, 10, 15, 3, 31}}}},
        {"ketchum-tr21",
         {QStringLiteral("KETCHUM RS"),
          1,
          {{QStringLiteral("Potatoes"), 3}, {QStringLiteral("Spring grain (barley, oats, wheat)"), 3, 0, 0, 0, 0, 1.0}}}},
    };
}

int Count(const QStringList& texts, const QString& t) { return int(texts.count(t)); }

class OutputReports : public ::testing::TestWithParam<int> {
protected:
    CropRunContext ctx;
    CropCurveState curves;
    TTable wk{QStringLiteral("QuenWkCrop.DB")};
};

} // namespace

TEST_P(OutputReports, JobSummaryAndClimateDetailsMatchTheirExpectedText)
{
    const Scenario sc = Scenarios().at(GetParam());
    RunJob(ctx, curves, wk, sc.job);
    const report::PreparedReport english = prepareJobSummaryReport(ctx, wk, false, kPrinted);
    EXPECT_EQ(CompareGolden(sc.name, QStringLiteral("jobsummary-english"), ReportText(english)), QString());
    const report::PreparedReport metric = prepareJobSummaryReport(ctx, wk, true, kPrinted);
    EXPECT_EQ(CompareGolden(sc.name, QStringLiteral("jobsummary-metric"), ReportText(metric)), QString());
    const report::PreparedReport clim = prepareClimDetailReport(ctx);
    EXPECT_EQ(CompareGolden(sc.name, QStringLiteral("climdetail"), ReportText(clim)), QString());
    EXPECT_EQ(clim.pageCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, OutputReports, ::testing::Range(0, 3),
                         [](const ::testing::TestParamInfo<int>& i) {
                             QString n = QString::fromLatin1(Scenarios().at(i.param).name);
                             return n.replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
                         });

// One block per crop, each describing its own crop: the lines of the soil
// and wetting inputs only for the basal curves, the cuttings line only for
// the hay crop, whatever crop was computed last.
TEST_F(OutputReports, JobSummaryBlocksFollowEachRecordsCurveAndHayField)
{
    Job job = Scenarios().at(0).job;
    job.crops.append({QStringLiteral("Potatoes"), 5});
    RunJob(ctx, curves, wk, job);
    ASSERT_FALSE(ctx.HayFlag);   // the last crop computed is no hay crop
    const report::PreparedReport rep = prepareJobSummaryReport(ctx, wk, false, kPrinted);
    const QStringList texts = testutil::allTexts(rep);
    EXPECT_EQ(Count(texts, QStringLiteral("Mo. Net Irrig. Req. (In)")), 5);
    EXPECT_EQ(Count(texts, QStringLiteral("Surface Soil:")), 4);
    EXPECT_EQ(Count(texts, QStringLiteral("Irrigation Type:")), 4);
    EXPECT_EQ(Count(texts, QStringLiteral("Cuttings (Hay)")), 1);   // alfalfa, not pasture
    EXPECT_EQ(Count(texts, QStringLiteral("Normal Year Quen")), rep.pageCount());
    EXPECT_GE(rep.pageCount(), 2);
    // the handle is back on the crop it stood on
    EXPECT_EQ(wk.field(QStringLiteral("Crop Name")).asString(), QStringLiteral("Potatoes"));
}

// A month without requirement prints nothing in either variant; the metric
// variant prints each inch value times 2.54 with two decimals.
TEST_F(OutputReports, JobSummaryMonthValuesInBothUnits)
{
    RunJob(ctx, curves, wk, {QStringLiteral("KETCHUM RS"), 1, {{QStringLiteral("Potatoes"), 3}}});
    wk.first();
    ASSERT_EQ(wk.field(QStringLiteral("IR Season")).asFloat(), ctx.TotalNetIrrReq50);
    const double irJul = wk.field(QStringLiteral("IR Jul")).asFloat();
    ASSERT_GT(irJul, 0);
    ASSERT_EQ(wk.field(QStringLiteral("IR Jan")).asFloat(), 0.0);
    const report::PreparedReport en = prepareJobSummaryReport(ctx, wk, false, kPrinted);
    const report::PreparedReport me = prepareJobSummaryReport(ctx, wk, true, kPrinted);
    const QStringList enTexts = testutil::allTexts(en);
    const QStringList meTexts = testutil::allTexts(me);
    EXPECT_TRUE(enTexts.contains(report::formatFloat(QStringLiteral("##.##"), irJul)));
    EXPECT_TRUE(meTexts.contains(output::FixedNumberText(irJul * 2.54, 2)));
    // the requirement row holds the label, the season months and the total only
    int seasonMonths = 0;
    for (int m = 1; m <= 12; ++m)
        seasonMonths += wk.field(QStringLiteral("IR ") + QString::fromLatin1(kMonthAbbrev[m])).asFloat() != 0.0;
    for (const QString& text : {ReportText(en), ReportText(me)}) {
        const QStringList lines = text.split(QLatin1Char('\n'));
        auto row = std::find_if(lines.begin(), lines.end(),
                                [](const QString& l) { return l.startsWith(QStringLiteral("Mo. Net Irrig. Req.")); });
        ASSERT_NE(row, lines.end());
        EXPECT_EQ(row->split(QStringLiteral(" | ")).size(), 1 + seasonMonths + 1) << row->toStdString();
    }
    EXPECT_TRUE(meTexts.contains(QStringLiteral("Peak Daily Irr. Req. (mm)")));
    EXPECT_FALSE(meTexts.contains(QStringLiteral("Peak Daily Irr. Req. (In)")));
}

// Blaney-Criddle jobs print the temperature table but no wind, humidity or
// radiation values; the climate tables are left closed as they were.
TEST_F(OutputReports, ClimateDetailsOfABlaneyCriddleJob)
{
    RunJob(ctx, curves, wk, {QStringLiteral("KETCHUM RS"), 1, {{QStringLiteral("Potatoes"), 3}}});
    TTable clim(QStringLiteral("Climate.DB"));
    TTable whr(QStringLiteral("ClimWHR.DB"));
    report::PreparedReport rep;
    {
        TFrmQRClimDetail form(ctx, &clim, &whr);
        EXPECT_TRUE(clim.isOpen());
        rep = form.prepare();
    }
    EXPECT_FALSE(clim.isOpen());
    EXPECT_FALSE(whr.isOpen());
    const QStringList texts = testutil::allTexts(rep);
    EXPECT_TRUE(texts.contains(QStringLiteral("Temperature & Precipitation  Data")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Type of weather station:")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Agrometeorological station")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Surface Soil:")));   // TR-21 curve
}

// A station's table that was open before the report stays open and on its row.
TEST_F(OutputReports, ClimateDetailsLeaveAnOpenTableOpen)
{
    RunJob(ctx, curves, wk, {QStringLiteral("MARICOPA AZMET"), 2, {{QStringLiteral("Corn, grain"), 0}}});
    TTable clim(QStringLiteral("Climate.DB"));
    TTable whr(QStringLiteral("ClimWHR.DB"));
    clim.open();
    {
        TFrmQRClimDetail form(ctx, &clim, &whr);
        const QStringList texts = testutil::allTexts(form.prepare());
        EXPECT_TRUE(texts.contains(QStringLiteral("Maricopa AZMET, Arizona")));
        EXPECT_TRUE(texts.contains(QStringLiteral("Surface Soil:")));
    }
    EXPECT_TRUE(clim.isOpen());
    EXPECT_FALSE(whr.isOpen());
}

// A freeze date the station does not know (an empty field) prints as "not
// known"; a known one prints as it is stored.
TEST_F(OutputReports, ClimateDetailsSayWhenAFreezeDateIsNotKnown)
{
    RunJob(ctx, curves, wk, {QStringLiteral("MARICOPA AZMET"), 2, {{QStringLiteral("Corn, grain"), 0}}});
    const QStringList fields{QStringLiteral("Spr mo/dy 28"), QStringLiteral("Fall mo/dy 28"),
                             QStringLiteral("Spr mo/dy 32"), QStringLiteral("Fall mo/dy 32")};
    TTable clim(QStringLiteral("Climate.DB"));
    auto setDates = [&](const QStringList& dates) {
        clim.open();
        EXPECT_TRUE(clim.locate(QStringLiteral("Station Name"), ctx.WeatherStationName));
        clim.edit();
        for (int i = 0; i < 4; ++i)
            clim.field(fields[i]).setAsString(dates[i]);
        clim.post();
        clim.close();
    };
    QStringList stored;
    clim.open();
    ASSERT_TRUE(clim.locate(QStringLiteral("Station Name"), ctx.WeatherStationName));
    for (const QString& f : fields)
        stored << clim.field(f).asString();
    clim.close();

    setDates({QStringLiteral("03/10"), QString(), QStringLiteral("04/02"), QStringLiteral(" ")});
    QStringList texts = testutil::allTexts(prepareClimDetailReport(ctx));
    EXPECT_EQ(Count(texts, QStringLiteral("not known")), 2);
    EXPECT_EQ(Count(texts, QStringLiteral("03/10")), 1);
    EXPECT_EQ(Count(texts, QStringLiteral("04/02")), 1);
    EXPECT_EQ(Count(texts, QStringLiteral("Fall mo/day 28")), 1);

    setDates({QStringLiteral("03/10"), QStringLiteral("11/20"), QStringLiteral("04/02"), QStringLiteral("10/30")});
    texts = testutil::allTexts(prepareClimDetailReport(ctx));
    EXPECT_EQ(Count(texts, QStringLiteral("not known")), 0);
    EXPECT_EQ(Count(texts, QStringLiteral("10/30")), 1);
    setDates(stored);
}
