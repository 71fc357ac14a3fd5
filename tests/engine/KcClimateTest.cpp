// FAO-56 eq. 62 and 65: Kc mid and Kc end of a FAO-56 curve to the station's climate.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/KcClimate.h"

using namespace quen;

TEST(KcClimate, Eq62TermAndItsRanges)
{
    EXPECT_DOUBLE_EQ(KcClimateTerm(2.0, 45.0, 3.0), 0.0);         // the climate Table 12 stands for
    EXPECT_NEAR(KcClimateTerm(2.0, 20.0, 3.0), 0.1, 1e-12);
    EXPECT_NEAR(KcClimateTerm(4.0, 45.0, 2.0), 0.08 * std::pow(2.0 / 3.0, 0.3), 1e-12);
    // Outside 1-6 m/s, 20-80 % and 0.1-10 m the equation takes its range's end.
    EXPECT_DOUBLE_EQ(KcClimateTerm(9.0, 10.0, 3.0), KcClimateTerm(6.0, 20.0, 3.0));
    EXPECT_DOUBLE_EQ(KcClimateTerm(0.5, 95.0, 0.0), KcClimateTerm(1.0, 80.0, 0.1));
}

namespace {

// 1 May to 27 September (n = 149), stages 0.2 / 0.5 / 0.8: mid season
// 15 July to 27 August, late season 28 August to 27 September.
struct Season {
    CropRunContext ctx;
    KcStationRecord st;
    FAO56Curve curve{0.3, 1.0, 0.5, 0.2, 0.5, 0.8};
    KcClimateInputs k{true, 1.20, 0.60, 3.0};
    Season()
    {
        ctx.PlantMonth = 5;
        ctx.PlantDay = 1;
        ctx.HarvestMonth = 9;
        ctx.HarvestDay = 27;
        st.found = true;
        st.stationType = QStringLiteral("Agrometeorological station");
        for (int m = 1; m <= 12; ++m) {
            st.u2Mph[m] = 2.0 / 0.44704;   // 2 m/s
            st.rhMin[m] = 45.0;
        }
    }
};

} // namespace

TEST(KcClimate, CurveTakesTheStationsMidAndLateSeason)
{
    Season s;
    // Table 12 climate: the Table 12 values themselves, not the stored curve's.
    FAO56Curve a = AdjustFAO56CurveToStation(s.ctx, s.curve, s.k, s.st);
    EXPECT_NEAR(a.Kcp, 1.20, 1e-12);
    EXPECT_NEAR(a.Kcm, 0.60, 1e-12);
    EXPECT_EQ(a.Kcb, 0.3);

    // Dry July and August, humid September: mid season reads 20 %, late
    // season 4 August days at 20 % and 27 September days at 70 %.
    s.st.rhMin[7] = s.st.rhMin[8] = 20.0;
    s.st.rhMin[9] = 70.0;
    a = AdjustFAO56CurveToStation(s.ctx, s.curve, s.k, s.st);
    EXPECT_NEAR(a.Kcp, 1.20 + 0.1, 1e-9);
    const double lateRh = (4 * 20.0 + 27 * 70.0) / 31.0;
    EXPECT_NEAR(a.Kcm, 0.60 - 0.004 * (lateRh - 45.0), 1e-9);

    // Kc end of 0.45 or less is not adjusted (FAO-56 eq. 65).
    s.k.kcEnd = 0.45;
    EXPECT_EQ(AdjustFAO56CurveToStation(s.ctx, s.curve, s.k, s.st).Kcm, 0.45);

    // Off, no station record or no Table 12 values: the curve as stored.
    for (int i = 0; i < 3; ++i) {
        Season t;
        if (i == 0) t.k.on = false;
        if (i == 1) t.st.found = false;
        if (i == 2) t.k.kcMid = 0.0;
        const FAO56Curve b = AdjustFAO56CurveToStation(t.ctx, t.curve, t.k, t.st);
        EXPECT_EQ(b.Kcp, 1.0);
        EXPECT_EQ(b.Kcm, 0.5);
    }
}

TEST(KcClimate, MonthWithoutHumidityTakesEq63)
{
    Season s;
    s.st.rhMin[9] = 0.0;   // September has no RHmin: 100 e(Tmin + Cor) / e(Tmax)
    s.ctx.MonthlyTmin[9] = 50.0;   // 10 C
    s.ctx.MonthlyTmax[9] = 86.0;   // 30 C
    s.st.cor[9] = -2.0;
    const StageClimate c = StationStageClimate(s.ctx, s.st, 120, 150);
    const double e8 = 0.6108 * std::exp(17.27 * 8.0 / 245.3), e30 = 0.6108 * std::exp(17.27 * 30.0 / 267.3);
    EXPECT_NEAR(c.rhMin, (4 * 45.0 + 27 * 100.0 * e8 / e30) / 31.0, 1e-9);
    EXPECT_NEAR(c.u2, 2.0, 1e-12);
}
