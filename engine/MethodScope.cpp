#include "MethodScope.h"

#include <cmath>

namespace quen {

namespace {

double SatVapourPressure(double tC) { return 0.6108 * std::exp(17.27 * tC / (tC + 237.3)); }   // FAO-56 eq. 11

} // namespace

bool SeasonDewPointDepression(const CropRunContext& ctx, double& depressionC)
{
    double sum = 0.0;
    int n = 0;
    for (int m = 1; m <= 12; ++m) {
        if (!ctx.SeasonMonthFlags[m] || ctx.RHmax[m] <= 0.0)
            continue;
        const double tmin = (ctx.MonthlyTmin[m] - 32.0) * 5.0 / 9.0;
        const double tmax = (ctx.MonthlyTmax[m] - 32.0) * 5.0 / 9.0;
        // FAO-56 eq. 17 with both humidities, eq. 18 with RHmax alone.
        const double ea = ctx.RHmin[m] > 0.0
                              ? (SatVapourPressure(tmin) * ctx.RHmax[m] / 100.0 +
                                 SatVapourPressure(tmax) * ctx.RHmin[m] / 100.0) / 2.0
                              : SatVapourPressure(tmin) * ctx.RHmax[m] / 100.0;
        // Dew point from ea, FAO-56 eq. 14 inverted.
        const double x = std::log(ea / 0.6108);
        const double tdew = 237.3 * x / (17.27 - x);
        sum += tmin - tdew;
        ++n;
    }
    if (n == 0)
        return false;
    depressionC = sum / n;
    return true;
}

bool Tr21WinterSeason(const CropRunContext& ctx)
{
    for (int m : {12, 1, 2})
        if (ctx.SeasonMonthFlags[m] && ctx.MonthlyTemp[m] >= kTr21LowestKtTempF)
            return true;
    return false;
}

bool PenmanMonteithAridWeather(const CropRunContext& ctx)
{
    double d = 0.0;
    return SeasonDewPointDepression(ctx, d) && d > kAridDewPointDepressionC;
}

QString MethodScopeNote(const CropRunContext& ctx, bool metric)
{
    if (ctx.ETMethodIndex == 1 && Tr21WinterSeason(ctx))
        return QStringLiteral("Note: TR21 Blaney-Criddle was developed from summer growing seasons of the arid West; "
                              "this season grows through winter months at or above 36 F (SCS TR-21, 1970).");
    if ((ctx.ETMethodIndex == 2 || ctx.ETMethodIndex == 3) && PenmanMonteithAridWeather(ctx)) {
        double d = 0.0;
        SeasonDewPointDepression(ctx, d);
        // The gap is a temperature difference: 1 deg C = 1.8 deg F.
        const QString text =
            ctx.ReferenceDewPoint
                ? QStringLiteral("Note: the station's season Tmin is %1 %2 above its dew point: arid, not reference "
                                 "weather; the run took the dew point of a well-watered site (FAO-56 eq. 48) but the "
                                 "station's temperatures as measured, so Penman-Monteith ETo may still be overstated "
                                 "(FAO-56 Annex 6, ASCE-EWRI 2005 App. D).")
                : QStringLiteral("Note: the station's season Tmin is %1 %2 above its dew point: arid, not reference "
                                 "weather; Penman-Monteith ETo may be overstated (FAO-56 Annex 6, ASCE-EWRI 2005 "
                                 "App. D).");
        return text.arg(metric ? d : d * 1.8, 0, 'f', 1)
            .arg(metric ? QLatin1Char('C') : QLatin1Char('F'));
    }
    return QString();
}

} // namespace quen
