// The bar chart of a crop's monthly water use and its report.
#include <gtest/gtest.h>

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QStackedBarSeries>
#include <QTemporaryDir>

#include "BarChart.h"
#include "ChartsFixture.h"
#include "Render.h"
#include "Report.h"
#include "ReportTestUtil.h"
#include "Table.h"

using namespace quen;
using namespace quen::test;

namespace {

class BarChartTest : public ::testing::Test {
protected:
    CropRunContext ctx;
    CropCurveState curves;
    TTable wk{QStringLiteral("QuenWkCrop.DB")};
};

QList<QBarSet*> Sets(QChartView* v)
{
    for (QAbstractSeries* s : v->chart()->series())
        if (auto* bars = qobject_cast<QStackedBarSeries*>(s))
            return bars->barSets();
    return {};
}

} // namespace

TEST_F(BarChartTest, StacksCarryOverPrecipitationAndIrrigationByMonth)
{
    // carry-over at season begin only: a yellow part in the first season months
    RunJob(ctx, curves, wk,
           {QStringLiteral("MARICOPA AZMET"), 2, {{QStringLiteral("Corn, grain"), 0, 0, 0, 0, 0, 2.0, 0.0}}});
    for (bool metric : {false, true}) {
        TBarChart form(ctx, metric);
        form.show();
        const QList<QBarSet*> norm = Sets(form.NormChart);
        const QList<QBarSet*> dry = Sets(form.DryChart);
        ASSERT_EQ(norm.size(), 3);
        ASSERT_EQ(dry.size(), 3);
        EXPECT_EQ(norm[0]->label(), QStringLiteral("Carryover Used"));
        EXPECT_EQ(norm[1]->label(), QStringLiteral("Effective Precipitation"));
        EXPECT_EQ(norm[2]->label(), QStringLiteral("Irrigation Required"));
        EXPECT_EQ(norm[0]->color(), QColor(255, 255, 0));
        EXPECT_EQ(norm[2]->color(), QColor(255, 0, 0));
        const double f = metric ? 2.54 : 1.0;
        for (int m = 1; m <= 12; ++m) {
            EXPECT_NEAR(norm[0]->at(m - 1), ctx.CarryOverUsed50[m] * f, 1e-9);
            EXPECT_NEAR(norm[1]->at(m - 1), ctx.EffPrecip50[m] * f, 1e-9);
            EXPECT_NEAR(norm[2]->at(m - 1), ctx.NetIrrReq50[m] * f, 1e-9);
            EXPECT_NEAR(dry[2]->at(m - 1), ctx.NetIrrReq80[m] * f, 1e-9);
        }
        EXPECT_EQ(norm[2]->at(0), 0.0);   // January, outside the season
        EXPECT_GT(norm[0]->at(3), 0.0);   // April: carry-over used
        EXPECT_EQ(norm[0]->at(8), 0.0);   // September: used up
        form.close();
    }
}

TEST_F(BarChartTest, ReportPrintsHeaderAndBothChartsOnce)
{
    RunJob(ctx, curves, wk, {QStringLiteral("KETCHUM RS"), 1, {{QStringLiteral("Potatoes"), 3}}});
    const report::PreparedReport en = prepareBarReport(ctx, false);
    ASSERT_EQ(en.pageCount(), 1);
    const QStringList texts = testutil::allTexts(en);
    EXPECT_EQ(texts.count(QStringLiteral("Monthly Crop Water Requirements")), 1);
    EXPECT_TRUE(texts.contains(QStringLiteral("Potatoes")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Irrigation Type:")));   // TR-21 curve
    EXPECT_FALSE(texts.contains(QStringLiteral("Surface Soil:")));
    int pictures = 0;
    for (const report::DrawOp& op : en.pages[0].ops)
        pictures += op.kind == report::DrawOp::Picture;
    EXPECT_EQ(pictures, 2);

    const report::PreparedReport me = prepareBarReport(ctx, true);
    const QStringList mt = testutil::allTexts(me);
    EXPECT_TRUE(mt.contains(QStringLiteral("cm      End:")));
    EXPECT_NEAR(ctx.NetIrrReq50cm[7], ctx.NetIrrReq50[7] * 2.54, 1e-12);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bar.pdf"));
    ASSERT_TRUE(report::writePdf(me, pdf));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    EXPECT_TRUE(data.startsWith("%PDF"));
    EXPECT_FALSE(data.contains("/Subtype /Image"));   // charts as vectors, not bitmaps
}
