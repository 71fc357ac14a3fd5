// The FAO-56 eq. 62 / 65 option in a crop run: off, the run is the curve as
// stored; on, Kc mid and Kc end follow the station's wind and humidity.
#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>
#include <cmath>

#include "ComputeCrop.h"
#include "EngineFixture.h"
#include "KcClimate.h"
#include "db/Table.h"

using namespace quen;
using quen::test::CropRow;
using quen::test::EngineDatabase;

namespace {

// "Tomato FAO" with Table 12 values (Kc mid 1.15, Kc end 0.80, 0.6 m) beside its stored curve.
const QMap<QString, QString> kCurves{
    {QStringLiteral("CrpFAOCurv.DB"),
     QStringLiteral("CropCurveName,Kcb,Kcp,Kcm,Fs1,Fs2,Fs3,Kcmid,Kcend,MaxHeightM\n"
                    "Alpha curve,0.5,0.9,0.8,0.2,0.4,0.8,0.9,0.8,1.0\n"
                    "Tomato FAO,0.6,1.15,0.8,0.15,0.40,0.75,1.15,0.80,0.6\n")}};

struct RunFigures {
    double total = 0.0;
    double peakKc = 0.0;
};

RunFigures Compute(bool option)
{
    EngineDatabase db(kCurves);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(db.dir());
    if (option)
        SetKcClimateOption(true);
    CropRunContext ctx;
    CropCurveState state;
    ctx.WeatherStationName = QStringLiteral("Test Station");
    ctx.JobName = QStringLiteral("Test job");
    for (int m = 1; m <= 12; ++m) {
        ctx.MonthlyPrecip[m] = EngineDatabase::kPrecip[m];
        ctx.MonthlyTemp[m] = EngineDatabase::kTemp[m];
        ctx.AnnualPrecip += EngineDatabase::kPrecip[m];
    }
    CropRow r;
    r.name = QStringLiteral("Tomato");
    r.curveIndex = 5;
    r.curveName = QStringLiteral("Tomato FAO");
    r.etIndex = 3;
    RunFigures out;
    {
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        wk.open();
        quen::test::appendWorkingCrop(wk, r, 1);
        ctx.CropName = r.name;
        ComputeCrop(ctx, state, wk);
        wk.close();
    }
    out.total = ctx.TotalCropET;
    for (int d = 1; d <= 366; ++d)
        out.peakKc = std::max(out.peakKc, state.DailyKc[d]);
    QDir::setCurrent(previous);
    return out;
}

} // namespace

TEST(KcClimateRun, OffIsTheStoredCurveOnFollowsTheStation)
{
    const RunFigures off = Compute(false);
    EXPECT_DOUBLE_EQ(off.peakKc, 1.15);
    const RunFigures on = Compute(true);
    EXPECT_GT(on.total, 0.0);
    // The fixture station is not the Table 12 climate: Kc mid moves.
    EXPECT_NE(on.peakKc, 1.15);
    EXPECT_NE(on.total, off.total);
    EXPECT_NEAR(on.peakKc, 1.15, 0.25);
}
