#include "KcClimate.h"

#include <algorithm>
#include <cmath>

#include "Calendar.h"
#include "ReferenceET.h"
#include "OptionFlag.h"

namespace quen {

double KcClimateTerm(double u2, double rhMin, double heightM)
{
    u2 = std::clamp(u2, 1.0, 6.0);
    rhMin = std::clamp(rhMin, 20.0, 80.0);
    heightM = std::clamp(heightM, 0.1, 10.0);
    return (0.04 * (u2 - 2.0) - 0.004 * (rhMin - 45.0)) * std::pow(heightM / 3.0, 0.3);
}

namespace {

double SatVapourPressure(double tC) { return 0.6108 * std::exp(17.27 * tC / (tC + 237.3)); }   // FAO-56 eq. 11

double MonthRHmin(const CropRunContext& ctx, const KcStationRecord& whr, int m)
{
    if (whr.rhMin[m] > 0.0)
        return whr.rhMin[m];
    // FAO-56 eq. 63: RHmin = 100 e(Tdew) / e(Tmax).
    const double tmin = (ctx.MonthlyTmin[m] - 32.0) * 5.0 / 9.0;
    const double tmax = (ctx.MonthlyTmax[m] - 32.0) * 5.0 / 9.0;
    return 100.0 * SatVapourPressure(tmin + whr.cor[m]) / SatVapourPressure(tmax);
}

} // namespace

StageClimate StationStageClimate(const CropRunContext& ctx, const KcStationRecord& whr, int first, int last)
{
    const std::vector<int> days =
        SeasonDayList(DayOfYear(ctx.PlantMonth, ctx.PlantDay), DayOfYear(ctx.HarvestMonth, ctx.HarvestDay));
    StageClimate s;
    double u2 = 0.0, rh = 0.0;
    int n = 0;
    for (int i = std::max(first, 1); i <= last && i <= int(days.size()); ++i) {
        const int m = MonthOfDayOfYear(days[i - 1]);
        u2 += WindAt2m(whr.u2Mph[m], whr.stationType, whr.stationHeightM);
        rh += MonthRHmin(ctx, whr, m);
        ++n;
    }
    if (n > 0) {
        s.u2 = u2 / n;
        s.rhMin = rh / n;
    }
    return s;
}

FAO56Curve AdjustFAO56CurveToStation(const CropRunContext& ctx, const FAO56Curve& c, const KcClimateInputs& k,
                                     const KcStationRecord& whr)
{
    if (!k.on || !whr.found || k.kcMid <= 0.0 || k.heightM <= 0.0)
        return c;
    const int n = static_cast<int>(SeasonDayList(DayOfYear(ctx.PlantMonth, ctx.PlantDay),
                                                 DayOfYear(ctx.HarvestMonth, ctx.HarvestDay)).size()) - 1;
    const StageEnds d = StageEndsOf(n, c.Fs1, c.Fs2, c.Fs3);
    FAO56Curve a = c;
    const StageClimate mid = StationStageClimate(ctx, whr, d.d2 + 1, d.d3);
    a.Kcp = k.kcMid + KcClimateTerm(mid.u2, mid.rhMin, k.heightM);
    if (k.kcEnd > 0.45) {
        const StageClimate late = StationStageClimate(ctx, whr, d.d3 + 1, n + 1);
        a.Kcm = k.kcEnd + KcClimateTerm(late.u2, late.rhMin, k.heightM);
    } else {
        a.Kcm = k.kcEnd;
    }
    return a;
}

bool KcClimateOptionOn()
{
    return OptionFlag(QStringLiteral("FAO56KcClimate.db"), QStringLiteral("Adjust To Station"));
}

void SetKcClimateOption(bool on)
{
    SetOptionFlag(QStringLiteral("FAO56KcClimate.db"), QStringLiteral("Adjust To Station"), on);
}

} // namespace quen
