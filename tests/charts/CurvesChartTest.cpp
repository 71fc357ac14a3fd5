// The curves of the ET and Kc charts: the daily reference ET interpolated
// between the monthly rates, crop ET from the day's Kca, as the crop run
// stores them in "ETKc.db", a season within a year and one across the year end,
// and the graph report that draws them again from the table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QPicture>
#include <QTimer>

#include "Calendar.h"
#include "ChartsFixture.h"
#include "CurvesForm.h"
#include "QrpFile.h"
#include "Report.h"
#include "ReportTestUtil.h"
#include "Table.h"

using namespace quen;
using namespace quen::test;

namespace {

// The daily reference rate written out from the context, as the planner's
// handbook interpolation reads: straight lines between mid-month rates, the
// first of a month repeating the last day of the month before.
struct Expected {
    double E[13], S[13];
    Expected(const CropRunContext& c, bool metric)
    {
        const MonthlyValues& R = metric ? c.DailyRefETmm : c.DailyRefET;
        const MonthlyValues& Sh = metric ? c.ShoulderRefETmm : c.ShoulderRefET;
        for (int m = 1; m <= 12; ++m)
            E[m] = R[m] > 0 ? R[m] : Sh[m] > 0 ? Sh[m] : 0;
        S[0] = 0;
        S[1] = (E[1] - E[12]) / 31;
        for (int m = 2; m <= 12; ++m) {
            const bool edge = m == c.PlantMonth || m - 1 == c.HarvestMonth;
            S[m] = edge ? (E[m] - E[m - 1]) / kDaysInMonth[m - 1] : (R[m] - R[m - 1]) / kDaysInMonth[m - 1];
        }
    }
    double eto(int doy) const
    {
        int m = 12;
        while (kDaysBeforeMonth[m] >= doy)
            --m;
        const int dom = doy - kDaysBeforeMonth[m];
        const int prev = m == 1 ? 12 : m - 1;
        const int prevDays = kDaysInMonth[prev];
        if (dom == 1)
            return E[prev] + (prevDays - 15) * S[m];
        if (dom < 15)
            return E[prev] + (prevDays + dom - 15) * S[m];
        if (dom == 15)
            return E[m];
        return E[m] + (dom - 15) * S[m == 12 ? 1 : m + 1];
    }
};

class CurvesChart : public ::testing::Test {
protected:
    CropRunContext ctx;
    CropCurveState curves;
    TTable wk{QStringLiteral("QuenWkCrop.DB")};
    TTable etkc{QStringLiteral("ETKc.db")};

    QMap<int, double> column(const QString& field)
    {
        QMap<int, double> v;
        etkc.open();
        for (etkc.first(); !etkc.eof(); etkc.next())
            v[etkc.field(QStringLiteral("JDate")).asInteger()] = etkc.field(field).asFloat();
        etkc.close();
        return v;
    }
};

} // namespace

TEST_F(CurvesChart, SeasonWithinAYear)
{
    // 15 April - 2 September (the crop record's dates), NEH 2 basal curve
    RunJob(ctx, curves, wk, {QStringLiteral("MARICOPA AZMET"), 2, {{QStringLiteral("Corn, grain"), 0}}});
    const CurvesData d = drawCurves(ctx, curves, etkc, false);
    const Expected x(ctx, false);
    const int start = DayOfYear(4, 15), end = DayOfYear(9, 2);
    const QMap<int, double> kca = column(QStringLiteral("Kca"));

    ASSERT_FALSE(d.etoInterp.points.isEmpty());
    EXPECT_EQ(d.etoInterp.points.first().x, start);
    EXPECT_EQ(d.etoInterp.points.last().x, end);
    EXPECT_EQ(d.etoInterp.points.size(), end - start + 1);
    for (const CurvePoint& p : d.etoInterp.points)
        ASSERT_NEAR(p.y, x.eto(int(p.x)), 1e-12) << "day " << p.x;
    for (const CurvePoint& p : d.etc.points)
        ASSERT_NEAR(p.y, kca.value(int(p.x)) * x.eto(int(p.x)), 1e-12) << "day " << p.x;
    EXPECT_NEAR(d.etoInterp.points.first().y, ctx.DailyRefET[4], 1e-12);   // April 15 = E[4]
    // July 1 repeats June 30
    EXPECT_NEAR(x.eto(DayOfYear(7, 1)), x.eto(DayOfYear(6, 30)), 1e-12);
    for (const CurvePoint& p : d.kcb.points)
        EXPECT_GT(p.y, 0);
    EXPECT_FALSE(d.kcb.points.isEmpty());

    // as the crop run stored them: inches per day in "ETo", mm per day in "EToM"
    const QMap<int, double> eto = column(QStringLiteral("ETo")), etoM = column(QStringLiteral("EToM"));
    const QMap<int, double> mo = column(QStringLiteral("Mo"));
    const int jul20 = DayOfYear(7, 20);
    EXPECT_NEAR(eto.value(jul20), x.eto(jul20), 1e-12);
    EXPECT_NEAR(etoM.value(jul20), Expected(ctx, true).eto(jul20), 1e-12);
    EXPECT_EQ(mo.value(jul20), 7);

    // the calculated monthly rates stand at mid-month, shoulder months included
    ASSERT_EQ(d.etoCalc.points.size(), 8);   // March (shoulder), April to September, October (shoulder)
    EXPECT_EQ(d.etoCalc.points.first().x, DayOfYear(3, 15));
    EXPECT_NEAR(d.etoCalc.points.first().y, ctx.ShoulderRefET[3], 1e-12);
    // start and end labels
    ASSERT_EQ(d.startEnd.points.size(), 2);
    EXPECT_EQ(d.startEnd.points[0].x, start);
    EXPECT_EQ(d.startEnd.points[0].label, QStringLiteral("4/15 Start grow"));
    EXPECT_EQ(d.startEnd.points[1].label, QStringLiteral("9/2 End grow"));
    EXPECT_EQ(d.startEnd.points[0].y, 0.5);
}

TEST_F(CurvesChart, MetricChartDrawsTheMillimetreFields)
{
    RunJob(ctx, curves, wk, {QStringLiteral("MARICOPA AZMET"), 2, {{QStringLiteral("Corn, grain"), 0}}});
    const CurvesData d = drawCurves(ctx, curves, etkc, true);
    const Expected x(ctx, true);
    const int day = DayOfYear(6, 10);
    const QMap<int, double> eto = column(QStringLiteral("ETo")), etoM = column(QStringLiteral("EToM"));
    EXPECT_NEAR(etoM.value(day), x.eto(day), 1e-12);
    EXPECT_NEAR(eto.value(day), Expected(ctx, false).eto(day), 1e-12);   // a metric chart leaves inches in "ETo"
    EXPECT_GT(etoM.value(day), 2.0);   // mm per day, not inches
    ASSERT_FALSE(d.etoInterp.points.isEmpty());
    for (const CurvePoint& p : d.etoInterp.points)
        ASSERT_NEAR(p.y, x.eto(int(p.x)), 1e-12) << "day " << p.x;
    EXPECT_EQ(d.startEnd.points[0].y, 12.0);
}

TEST_F(CurvesChart, SeasonAcrossTheYearEndIsBridgedInvisibly)
{
    // 15 October - 31 March, FAO 56 Table 12 curve: no basal line
    RunJob(ctx, curves, wk,
           {QStringLiteral("MARICOPA AZMET"), 3, {{QStringLiteral("Winter wheat"), 5, 10, 15, 3, 31}}});
    const QColor bridge(Qt::magenta);
    etkc.open();
    const CurvesData d = BuildCurvesForWindow(ctx, curves, etkc, false, bridge);
    etkc.close();
    const Expected x(ctx, false);
    const int start = DayOfYear(10, 15), end = DayOfYear(3, 31);
    EXPECT_TRUE(d.kcb.points.isEmpty());

    const QList<CurvePoint>& p = d.etoInterp.points;
    // days 1..90, two bridge points, the start day in the bridge colour, then 288..365
    ASSERT_EQ(p.size(), end + 2 + 1 + (365 - start + 1));
    for (int i = 0; i < end; ++i) {
        ASSERT_EQ(p[i].x, i + 1);
        ASSERT_NEAR(p[i].y, x.eto(i + 1), 1e-12);
        ASSERT_NE(p[i].color, bridge);
    }
    EXPECT_EQ(p[end].x, end + 1);
    EXPECT_EQ(p[end].y, 0.01);
    EXPECT_EQ(p[end].color, bridge);
    EXPECT_EQ(p[end + 1].x, start);
    EXPECT_EQ(p[end + 1].y, 0.01);
    EXPECT_EQ(p[end + 1].color, bridge);
    EXPECT_EQ(p[end + 2].x, start);
    EXPECT_NEAR(p[end + 2].y, x.eto(start), 1e-12);
    EXPECT_EQ(p[end + 2].color, bridge);
    EXPECT_EQ(p[end + 3].x, start);
    EXPECT_NE(p[end + 3].color, bridge);
    EXPECT_NEAR(p.last().y, x.eto(365), 1e-12);
    // January 1 continues from December 31 across the year end
    EXPECT_NEAR(x.eto(1), x.eto(365), 1e-12);

    // the graph report reads the same values back, its bridge in white
    TFrmQRGraph rep(ctx, curves, etkc, false);
    const CurvesData r = rep.curvesData();
    ASSERT_EQ(r.etoInterp.points.size(), p.size());
    EXPECT_EQ(r.etoInterp.points[end].color, QColor(Qt::white));
    EXPECT_EQ(r.etoInterp.points[end + 2].color, QColor(Qt::white));
    for (qsizetype i = 0; i < p.size(); ++i) {
        ASSERT_EQ(r.etoInterp.points[i].x, p[i].x);
        ASSERT_NEAR(r.etoInterp.points[i].y, p[i].y, 1e-12);
    }
}

TEST_F(CurvesChart, WindowDrawsBothChartsAndItsReportPrintsThemAsVectors)
{
    RunJob(ctx, curves, wk, {QStringLiteral("MARICOPA AZMET"), 2, {{QStringLiteral("Alfalfa hay"), 2}}});
    TCurvesForm form(ctx, curves, &etkc, false);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Kc and ET Curves"));
    ASSERT_TRUE(form.ETChart->chart());
    EXPECT_EQ(form.ETChart->chart()->title(), QStringLiteral("Evapotranspiration Chart"));
    EXPECT_EQ(form.KcChart->chart()->title(), QStringLiteral("Crop Coefficient Chart"));
    QStringList legend;
    for (QLegendMarker* m : form.ETChart->chart()->legend()->markers())
        if (m->isVisible())
            legend << m->label();
    EXPECT_EQ(legend, QStringList({QStringLiteral("ETc (Crop)"), QStringLiteral("ETo (Interpolated)"),
                                   QStringLiteral("ETo (Calculated)")}));
    EXPECT_TRUE(etkc.isOpen());

    // the report button previews the graph report; close the preview
    bool previewed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->inherits("quen::report::PreviewWindow")) {
            previewed = true;
            w->close();
        }
    });
    poll.start(20);
    form.GraphReportBtnClick();
    poll.stop();
    EXPECT_TRUE(previewed);

    TFrmQRGraph rep(ctx, curves, etkc, false);
    const report::PreparedReport pages = rep.prepare();
    ASSERT_EQ(pages.pageCount(), 1);
    int pictures = 0;
    for (const report::DrawOp& op : pages.pages[0].ops)
        if (op.kind == report::DrawOp::Picture) {
            ++pictures;
            QPicture pic;
            pic.setData(op.picture.constData(), uint(op.picture.size()));
            EXPECT_FALSE(pic.isNull());
            EXPECT_GT(pic.boundingRect().width(), 100);
        }
    EXPECT_EQ(pictures, 2);
    const QStringList texts = testutil::allTexts(pages);
    EXPECT_TRUE(texts.contains(QStringLiteral("Crop ET and Kc Curves")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Number of Cuttings:")));   // hay crop
    EXPECT_TRUE(texts.contains(QStringLiteral("inches   End:")));

    // saved and read back unchanged
    const QByteArray qrp = report::encodeQrp(pages);
    report::PreparedReport back;
    QString err;
    ASSERT_TRUE(report::decodeQrp(qrp, back, &err)) << err.toStdString();
    EXPECT_TRUE(back == pages);
    form.close();
}
