#include "DailyBalance.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Calendar.h"
#include "CropCurves.h"

namespace quen {

namespace {

struct Table19Row {
    const char* name;
    double fcLo, fcHi, wpLo, wpHi, rewLo, rewHi;
};

// FAO-56 Table 19: thetaFC, thetaWP (m3/m3) and REW (mm), ranges as printed.
constexpr Table19Row kTable19[] = {
    {"Sand", 0.07, 0.17, 0.02, 0.07, 2, 7},
    {"Loamy sand", 0.11, 0.19, 0.03, 0.10, 4, 8},
    {"Sandy loam", 0.18, 0.28, 0.06, 0.16, 6, 10},
    {"Loam", 0.20, 0.30, 0.07, 0.17, 8, 10},
    {"Silt loam", 0.22, 0.36, 0.09, 0.21, 8, 11},
    {"Silt", 0.28, 0.36, 0.12, 0.22, 8, 11},
    {"Silt clay loam", 0.30, 0.37, 0.17, 0.24, 8, 11},
    {"Silty clay", 0.30, 0.42, 0.17, 0.29, 8, 12},
    {"Clay", 0.32, 0.40, 0.20, 0.24, 8, 12},
};

// Kcb index of a calendar date on the 365-day year.
int KcbDay(const CivilDate& d)
{
    if (d.month == 2 && d.day == 29)
        return DayOfYear(2, 28);
    return DayOfYear(d.month, d.day);
}

} // namespace

bool Fao56Table19Soil(const QString& name, DailySoil& out)
{
    for (const Table19Row& r : kTable19)
        if (name.trimmed().compare(QLatin1String(r.name), Qt::CaseInsensitive) == 0) {
            out.name = QLatin1String(r.name);
            out.thetaFC = (r.fcLo + r.fcHi) / 2.0;
            out.thetaWP = (r.wpLo + r.wpHi) / 2.0;
            out.rew = (r.rewLo + r.rewHi) / 2.0;
            out.ze = 0.10;
            return true;
        }
    return false;
}

bool SetKcbFromCurveRows(DailyCropInputs& crop, const DailyKcRows& rows, int curveIndex)
{
    if (curveIndex < 0 || curveIndex > 2 || rows.kcb.size() != rows.day.size())
        return false;
    for (int i = 0; i < rows.size(); ++i) {
        const int d = int(rows.day[i]);
        if (d >= 1 && d <= 365)
            crop.kcb[d] = rows.kcb[i];
    }
    return true;
}

QString CheckDailyCropInputs(const DailyCropInputs& c)
{
    if (c.plantMonth < 1 || c.plantMonth > 12 || c.plantDay < 1 || c.plantDay > DaysInMonth(c.plantMonth))
        return QStringLiteral("The planting date is not a date.");
    if (c.harvestMonth < 1 || c.harvestMonth > 12 || c.harvestDay < 1 || c.harvestDay > DaysInMonth(c.harvestMonth))
        return QStringLiteral("The harvest date is not a date.");
    if (DayOfYear(c.plantMonth, c.plantDay) == DayOfYear(c.harvestMonth, c.harvestDay))
        return QStringLiteral("The harvest date is the planting date.");
    const DailySoil& s = c.soil;
    if (!(s.thetaWP >= 0) || !(s.thetaFC > s.thetaWP) || !(s.thetaFC < 1))
        return QStringLiteral("The soil needs 0 <= wilting point < field capacity < 1.");
    if (!(s.ze > 0) || !(s.rew >= 0) || !(s.tew() > 0))
        return QStringLiteral("The soil needs an evaporating layer with TEW above 0 and REW of 0 or more.");
    if (!(c.rootDepthM > 0))
        return QStringLiteral("The root depth must be above 0.");
    if (!(c.p > 0) || !(c.p < 1))
        return QStringLiteral("The depletion fraction p must be between 0 and 1.");
    if (!(c.fw > 0) || !(c.fw <= 1))
        return QStringLiteral("The fraction wetted must be above 0 and at most 1.");
    if (!(c.aswPercent > 0) || !(c.aswPercent < 100))
        return QStringLiteral("ASW must be between 0 and 100 %.");
    if (c.rule == IrrigationRule::FixedDepth && !(c.netDepthMm > 0))
        return QStringLiteral("A fixed irrigation needs a net depth above 0.");
    if (!(c.heightM >= 0) || !(c.kcMin >= 0))
        return QStringLiteral("The crop height and Kc min must be 0 or more.");
    for (int d = 1; d <= 365; ++d) {
        if (!(c.kcb[d] >= 0) || !(c.kcb[d] < 3))
            return QStringLiteral("Kcb of day %1 is not between 0 and 3.").arg(d);
        if (c.fractionCoverGiven && !(c.fractionCover[d] >= 0 && c.fractionCover[d] <= 1))
            return QStringLiteral("The ground cover of day %1 is not between 0 and 1.").arg(d);
    }
    // A season whose Kcb is 0 on every day has been given no curve.
    bool anyKcb = false;
    for (int d : SeasonDayList(DayOfYear(c.plantMonth, c.plantDay), DayOfYear(c.harvestMonth, c.harvestDay)))
        anyKcb = anyKcb || c.kcb[d] > 0;
    if (!anyKcb)
        return QStringLiteral("Kcb is 0 on every day of the season.");
    const double taw = 1000.0 * (s.thetaFC - s.thetaWP) * c.rootDepthM;
    if (!(c.initialDrMm >= 0) || c.initialDrMm > taw)
        return QStringLiteral("The starting root-zone depletion must be between 0 and TAW.");
    if (!(c.initialDeMm >= 0) || c.initialDeMm > s.tew())
        return QStringLiteral("The starting surface depletion must be between 0 and TEW.");
    return {};
}

SeasonBalance RunSeason(const DailyEtoDay* days, int count, const DailyCropInputs& c, bool keepRows)
{
    SeasonBalance s;
    if (count > 0)
        s.year = days[0].date.year;
    s.complete = true;

    const double tew = c.soil.tew();
    const double rew = std::min(c.soil.rew, tew);
    const double taw = 1000.0 * (c.soil.thetaFC - c.soil.thetaWP) * c.rootDepthM;   // eq. 82
    const double allowed = (1.0 - c.aswPercent / 100.0) * taw;
    double dr = c.initialDrMm, de = c.initialDeMm;
    double fwLast = 1.0;   // before any irrigation the surface was last wetted by rain
    s.initialDr = dr;
    if (keepRows)
        s.rows.reserve(count);

    for (int i = 0; i < count; ++i) {
        const DailyEtoDay& w = days[i];
        const double eto = std::max(0.0, w.eto);
        const double rain = w.rain;
        const int kd = KcbDay(w.date);
        const double kcb = c.kcb[kd];

        // Irrigation at the start of the day when the allowed depletion is reached.
        double irr = 0.0;
        if (c.rule != IrrigationRule::None && dr >= allowed && dr > 0.0) {
            irr = c.rule == IrrigationRule::Refill ? dr : c.netDepthMm;
            s.schedule.push_back({w.date, irr});
            s.netIrrigation += irr;
            ++s.irrigations;
        }
        if (rain > 0)
            fwLast = 1.0;          // Table 20: precipitation wets the whole surface
        else if (irr > 0)
            fwLast = c.fw;

        // Kc max, eq. 72, with u2 and RHmin kept in the ranges of eq. 70.
        const double u2 = std::clamp(w.u2, 1.0, 6.0);
        const double rhMin = std::clamp(w.rhMin, 20.0, 80.0);
        const double kcMax = std::max(1.2 + (0.04 * (u2 - 2.0) - 0.004 * (rhMin - 45.0)) * std::pow(c.heightM / 3.0, 0.3),
                                      kcb + 0.05);

        // Ground cover, eq. 76 (limited to 0..0.99 as FAO-56 advises).
        double fc;
        if (c.fractionCoverGiven)
            fc = c.fractionCover[kd];
        else if (kcb <= c.kcMin || kcMax <= c.kcMin)
            fc = 0.0;
        else
            fc = std::pow((kcb - c.kcMin) / (kcMax - c.kcMin), 1.0 + 0.5 * c.heightM);
        fc = std::clamp(fc, 0.0, 0.99);
        const double few = std::min(1.0 - fc, fwLast);   // eq. 75

        // Surface layer: wetting, then Kr (eq. 74), Ke (eq. 71), E, De (eq. 77).
        const double wetting = rain + (irr > 0 ? irr / c.fw : 0.0);
        const double dpe = std::max(0.0, wetting - de);   // eq. 79
        const double deStart = std::max(0.0, de - wetting);
        double kr;
        if (deStart <= rew)
            kr = 1.0;
        else if (tew > rew)
            kr = std::max(0.0, (tew - deStart) / (tew - rew));
        else
            kr = 0.0;
        const double ke = std::max(0.0, std::min(kr * (kcMax - kcb), few * kcMax));
        double evap = ke * eto;

        // Root zone: p adjusted for the day's ETc (Table 22 footnote), RAW
        // (eq. 83), Ks (eq. 84) from the depletion after the day's water.
        const double etc = (kcb + ke) * eto;                  // eq. 69
        double p = c.p;
        if (c.adjustP)
            p = std::clamp(c.p + 0.04 * (5.0 - etc), 0.1, 0.8);
        const double raw = p * taw;
        const double drStart = std::max(0.0, dr - rain - irr);
        double ks = 1.0;
        if (drStart > raw)
            ks = std::max(0.0, (taw - drStart) / ((1.0 - p) * taw));
        double transp = ks * kcb * eto;

        // eqs. 85, 88; the root zone gives no more than it holds: evaporation,
        // then transpiration, cut where the depletion would pass TAW.
        double dp = 0.0, drEnd;
        const double surplus = rain + irr - (evap + transp) - dr;
        if (surplus > 0.0) {
            dp = surplus;
            drEnd = 0.0;
        } else {
            drEnd = dr - rain - irr + evap + transp;
            if (drEnd > taw) {
                double over = drEnd - taw;
                const double cutE = std::min(over, evap);
                evap -= cutE;
                over -= cutE;
                transp -= std::min(over, transp);
                drEnd = dr - rain - irr + evap + transp;
            }
        }
        const double etcAdj = evap + transp;
        const double deEnd = few > 0 ? std::clamp(deStart + evap / few, 0.0, tew) : std::min(tew, deStart);

        s.eto += eto;
        s.etc += etc;
        s.etcAdj += etcAdj;
        s.rain += rain;
        s.deepPercolation += dp;
        if (keepRows) {
            DailyBalanceRow r;
            r.date = w.date;
            r.eto = eto;
            r.rain = rain;
            r.irrigation = irr;
            r.kcb = kcb;
            r.kcMax = kcMax;
            r.fc = fc;
            r.fw = fwLast;
            r.few = few;
            r.kr = kr;
            r.ke = ke;
            r.evaporation = evap;
            r.de = deEnd;
            r.dpe = dpe;
            r.taw = taw;
            r.p = p;
            r.raw = raw;
            r.ks = ks;
            r.etc = etc;
            r.etcAdj = etcAdj;
            r.dp = dp;
            r.dr = drEnd;
            s.rows.push_back(r);
        }
        dr = drEnd;
        de = deEnd;
    }
    s.finalDr = dr;
    return s;
}

double WeibullValue(std::vector<double> v, double probability)
{
    if (v.empty())
        return std::numeric_limits<double>::quiet_NaN();
    std::sort(v.begin(), v.end());
    const int n = int(v.size());
    // position of the m-th smallest (1-based): m / (n + 1)
    const double m = probability * (n + 1);
    if (m <= 1.0)
        return v.front();
    if (m >= n)
        return v.back();
    const int lo = int(std::floor(m));
    const double f = m - lo;
    return v[lo - 1] + f * (v[lo] - v[lo - 1]);
}

DesignValues DesignValuesOf(const std::vector<double>& values)
{
    DesignValues d;
    d.years = int(values.size());
    d.p50 = WeibullValue(values, 0.5);
    d.p80 = WeibullValue(values, 0.8);
    d.p90 = WeibullValue(values, 0.9);
    return d;
}

DailyBalanceResult RunDailyBalance(const std::vector<DailyEtoDay>& weather, const DailyCropInputs& crop,
                                   int detailYear)
{
    DailyBalanceResult res;
    res.error = CheckDailyCropInputs(crop);
    if (!res.ok() || weather.empty())
        return res;

    const std::int64_t first = weather.front().date.serial();
    const std::int64_t last = weather.back().date.serial();
    // index of each calendar day in `weather`, -1 where it has no day
    std::vector<int> index(std::size_t(last - first + 1), -1);
    for (int i = 0; i < int(weather.size()); ++i)
        index[std::size_t(weather[i].date.serial() - first)] = i;

    const bool crossesYear = DayOfYear(crop.harvestMonth, crop.harvestDay) < DayOfYear(crop.plantMonth, crop.plantDay);
    std::vector<double> netIrr, counts;
    for (int year = weather.front().date.year; year <= weather.back().date.year; ++year) {
        const std::int64_t start = CivilDate{year, crop.plantMonth, crop.plantDay}.serial();
        const std::int64_t end = CivilDate{crossesYear ? year + 1 : year, crop.harvestMonth, crop.harvestDay}.serial();
        if (end < first || start > last)
            continue;
        SeasonBalance s;
        int missing = 0;
        for (std::int64_t d = start; d <= end; ++d)
            if (d < first || d > last || index[std::size_t(d - first)] < 0)
                ++missing;
        if (missing == 0) {
            const int i0 = index[std::size_t(start - first)];
            // consecutive calendar days are consecutive rows of `weather`
            s = RunSeason(weather.data() + i0, int(end - start + 1), crop, year == detailYear);
            s.complete = true;
            netIrr.push_back(s.netIrrigation);
            counts.push_back(double(s.irrigations));
        } else {
            s.complete = false;
            s.missingDays = missing;
        }
        s.year = year;
        res.seasons.push_back(std::move(s));
    }
    res.netIrrigation = DesignValuesOf(netIrr);
    res.irrigations = DesignValuesOf(counts);
    return res;
}

} // namespace quen
