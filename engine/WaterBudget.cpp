#include "WaterBudget.h"

#include <algorithm>
#include <cmath>

#include <QStringList>

#include "Calendar.h"
#include "db/MessageService.h"

namespace quen {

RatioPair PctChanceRatios(double A, const PcpChanceLookup& lookup)
{
    if (A <= 3.0)
        return {0.8, 0.45};
    if (A >= 90.0)
        return {0.99, 0.9};
    const auto [upper, lower] = lookup(static_cast<int>(std::trunc(A + 1.0)));
    // Rows of equal precipitation (the first row of the table, or a duplicate)
    // bracket nothing: the upper row's ratios hold.
    if (upper.anPcp == lower.anPcp)
        return {upper.pct50, upper.pct80};
    const double g = (A - lower.anPcp) / (upper.anPcp - lower.anPcp);
    return {Interpolate(g, lower.pct50, upper.pct50), Interpolate(g, lower.pct80, upper.pct80)};
}

RatioPair DefaultEffPrecipRatios(double P)
{
    RatioPair r;
    r.ratio50 = 0.774261 + 0.0200712 * P - 0.000741843 * std::pow(P, 2) + 0.0000127653 * std::pow(P, 3)
        - 0.000000101543 * std::pow(P, 4) + 0.000000000301104 * std::pow(P, 5);
    r.ratio80 = 0.415008 + 0.0295972 * P - 0.000779763 * std::pow(P, 2) + 0.00000905045 * std::pow(P, 3)
        - 0.0000000372727 * std::pow(P, 4);
    return r;
}

double NetDepthFactor(double D)
{
    // The fit has no meaning for a depth of 0 or less; such a depth counts as 0.
    if (!(D > 0.0))
        D = 0.0;
    return 0.531747 + 0.295164 * D - 0.057697 * D * D + 0.003804 * D * D * D;
}

double MonthlyEffectivePrecip(double P, double ET, double D)
{
    double pe = 0.0;
    if (P > 0.0)
        pe = (0.70917 * std::pow(P, 0.82416) - 0.11556) * std::pow(10.0, 0.02426 * ET) * NetDepthFactor(D);
    if (pe > P || pe > ET)
        pe = ET <= P ? ET : P;
    // Small monthly precipitation makes the fit go below 0: effective
    // precipitation is never negative.
    return std::max(0.0, pe);
}

double PeakRatio(int curve, double D)
{
    static const double c[5][6] = {
        {0, 0, 0, 0, 0, 0},
        {1.28111, -0.221974, 0.101922, -0.0238152, 0.00265824, -0.000112116},
        {1.37841, -0.210545, 0.0752058, -0.0151563, 0.00152693, -0.0000598766},
        {1.53839, -0.334518, 0.128234, -0.0267237, 0.0027516, -0.000109859},
        {1.64258, -0.42213, 0.169287, -0.0363614, 0.00382531, -0.000155192},
    };
    const double* k = c[curve];
    return k[0] + D * (k[1] + D * (k[2] + D * (k[3] + D * (k[4] + D * k[5]))));
}

double PeakDailyCropET(const CropRunContext& ctx, int m, int peakMethod)
{
    if (!ctx.SeasonMonthFlags[m] || m == ctx.PlantMonth || m == ctx.HarvestMonth)
        return 0.0;
    const double Dn = ctx.NetIrrDepth;
    // Without a positive net depth the peak-period formulas have no value:
    // the month's average daily crop ET stands for its peak.
    if (!(Dn > 0.0))
        return ctx.DailyCropET[m];
    switch (peakMethod) {
    case 0:
        // The TR-21 peak-period fit drops below the month's own mean daily use
        // when the month uses little water (under about 2 in at Dn 3 in); the
        // mean of a peak period is never below the mean of its month.
        return std::max(ctx.DailyCropET[m],
                        0.034 * std::pow(std::max(0.0, ctx.MonthlyCropET[m]), 1.09) * std::pow(Dn, -0.09));
    case 1:
    case 2:
    case 3:
    case 4:
        return PeakRatio(peakMethod, Dn) * ctx.DailyCropET[m];
    default:
        return 0.034 * std::pow(std::max(0.0, ctx.DailyCropET[m]), 1.09) * std::pow(Dn, -0.09);
    }
}

std::array<int, 12> BudgetMonthOrder(int plantMonth)
{
    std::array<int, 12> order{};
    int m = WrapMonth(plantMonth);
    for (int i = 0; i < 12; ++i) {
        order[i] = m;
        m = NextMonth(m);
    }
    return order;
}

MonthlyFlags SeasonMonths(int plant, int harvest)
{
    MonthlyFlags f{};
    for (int m = 1; m <= 12; ++m) {
        if (harvest <= plant)
            f[m] = !(harvest < m && m < plant);
        else
            f[m] = plant <= m && m <= harvest;
    }
    return f;
}

namespace {

// Backward walk of the end carry-over from the harvest month.
void WalkEndCarryOver(CropRunContext& ctx, int harvestMonth, double E, const MonthlyValues& eff,
                      MonthlyValues& req, MonthlyValues& used)
{
    int k = harvestMonth;
    for (int visited = 0; visited < 12; ++visited) {
        const double dk = ctx.MonthlyCropET[k] - eff[k];
        if (E <= dk) {
            req[k] = dk - E;
            used[k] = E;
            return;
        }
        req[k] = 0.0;
        used[k] = dk;
        E = dk > 0 ? E - dk : 0.0;
        k = PrevMonth(k);
    }
}

} // namespace

namespace {
const char* const kMonthNames[] = {"", "January", "February", "March", "April", "May", "June",
                                   "July", "August", "September", "October", "November", "December"};
} // namespace

void RunWaterBudget(CropRunContext& ctx, int peakMethod)
{
    double B50 = ctx.CarryBeg, B80 = ctx.CarryBeg;
    double E50 = ctx.CarryEnd, E80 = ctx.CarryEnd;
    const double Dn = ctx.NetIrrDepth;

    QStringList clippedMonths;   // season months whose crop ET was taken as 0
    for (int m : BudgetMonthOrder(ctx.PlantMonth)) {
        const int Dm = DaysInMonth(m);
        const bool season = ctx.SeasonMonthFlags[m];
        const bool plant = m == ctx.PlantMonth;
        const bool harvest = m == ctx.HarvestMonth;

        // 1. Crop ET depth. A cold month's reference ET can come out below 0
        // (net outgoing radiation, FAO-56 eq. 40 and 6): the crop uses no
        // water then, and the month's crop ET is taken as 0.
        if (season && ctx.DailyCropET[m] < 0.0) {
            ctx.DailyCropET[m] = ctx.DailyCropETmm[m] = 0.0;
            clippedMonths << QLatin1String(kMonthNames[m]);
        }
        if (!season)
            ctx.MonthlyCropET[m] = 0.0;
        else if (plant)
            ctx.MonthlyCropET[m] = (Dm - ctx.PlantDay) * ctx.DailyCropET[m];
        else if (harvest)
            ctx.MonthlyCropET[m] = ctx.HarvestDay * ctx.DailyCropET[m];
        else
            ctx.MonthlyCropET[m] = Dm * ctx.DailyCropET[m];

        // 2. Effective precipitation.
        const double P = ctx.MonthlyPrecip[m];
        double pe;
        if (plant)
            pe = (Dm - ctx.PlantDay) * MonthlyEffectivePrecip(P, Dm * ctx.DailyCropET[m], Dn) / Dm;
        else if (harvest)
            pe = ctx.HarvestDay * MonthlyEffectivePrecip(P, Dm * ctx.DailyCropET[m], Dn) / Dm;
        else
            pe = MonthlyEffectivePrecip(P, ctx.MonthlyCropET[m], Dn);
        ctx.EffPrecip50[m] = pe * ctx.PctChanceRatio50;
        ctx.EffPrecip80[m] = pe * ctx.PctChanceRatio80;

        // 3. Deficits.
        const double d50 = ctx.MonthlyCropET[m] - ctx.EffPrecip50[m];
        const double d80 = ctx.MonthlyCropET[m] - ctx.EffPrecip80[m];

        // 4. Requirement and carry-over.
        if (!season) {
            ctx.NetIrrReq50[m] = ctx.NetIrrReq80[m] = 0.0;
            ctx.CarryOverUsed50[m] = ctx.CarryOverUsed80[m] = 0.0;
        } else if (plant && ctx.CarryBeg == 0.0) {
            ctx.NetIrrReq50[m] = d50;
            ctx.NetIrrReq80[m] = d80;
            ctx.CarryOverUsed50[m] = ctx.CarryOverUsed80[m] = 0.0;
        } else if (B50 > 0.0) {
            if (B50 <= d50) {
                ctx.NetIrrReq50[m] = d50 - B50;
                ctx.CarryOverUsed50[m] = B50;
                B50 = 0.0;
            } else {
                ctx.NetIrrReq50[m] = 0.0;
                ctx.CarryOverUsed50[m] = d50;
                B50 -= d50;
            }
            if (B80 <= d80) {
                ctx.NetIrrReq80[m] = d80 - B80;
                ctx.CarryOverUsed80[m] = B80;
                B80 = 0.0;
            } else {
                ctx.NetIrrReq80[m] = 0.0;
                ctx.CarryOverUsed80[m] = d80;
                B80 -= d80;
            }
        } else if (harvest) {
            if (E50 <= 0.0) {
                ctx.NetIrrReq50[m] = d50;
                ctx.NetIrrReq80[m] = d80;
                ctx.CarryOverUsed50[m] = ctx.CarryOverUsed80[m] = 0.0;
                E50 = E80 = 0.0;
            } else {
                WalkEndCarryOver(ctx, m, E50, ctx.EffPrecip50, ctx.NetIrrReq50, ctx.CarryOverUsed50);
                WalkEndCarryOver(ctx, m, E80, ctx.EffPrecip80, ctx.NetIrrReq80, ctx.CarryOverUsed80);
                E50 = E80 = 0.0;
            }
        } else {
            ctx.NetIrrReq50[m] = d50;
            ctx.NetIrrReq80[m] = d80;
            ctx.CarryOverUsed50[m] = ctx.CarryOverUsed80[m] = 0.0;
        }

        ctx.PeakDailyET[m] = PeakDailyCropET(ctx, m, peakMethod);
    }
    // One warning for the run, not one window per cold month.
    if (!clippedMonths.isEmpty())
        messages().show(MsgKind::Warning, QStringLiteral("Reference ET below 0 in %1: crop ET taken as 0")
                                              .arg(clippedMonths.join(QStringLiteral(", "))));
}

} // namespace quen
