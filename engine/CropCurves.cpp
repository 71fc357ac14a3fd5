#include "CropCurves.h"

#include <algorithm>
#include <cmath>

#include "Calendar.h"

namespace quen {

namespace {

bool IsMonthEnd(int y)
{
    for (int m = 1; m <= 12; ++m)
        if (y == kDaysBeforeMonth[m] + kDaysInMonth[m])
            return true;
    return false;
}

// Month of a day of year whose first day it is, from February on; 0 otherwise.
int MonthStartingOn(int y)
{
    for (int m = 2; m <= 12; ++m)
        if (y == kDaysBeforeMonth[m] + 1)
            return m;
    return 0;
}

// A slope over a span of days; a span of 0 days or less (a stage without
// days) has no slope.
double Slope(double rise, double span) { return span > 0 ? rise / span : 0.0; }

void SetSeason(const CropRunContext& ctx, CropCurveState& st)
{
    st.SeasonStartDay = DayOfYear(ctx.PlantMonth, ctx.PlantDay);
    st.SeasonEndDay = DayOfYear(ctx.HarvestMonth, ctx.HarvestDay);
}

// Days start..end; a season crossing the year end runs start..365, 1..end.
std::vector<int> WalkDays(int start, int end)
{
    std::vector<int> days;
    if (end < start) {
        for (int y = start; y <= 365; ++y)
            days.push_back(y);
        for (int y = 1; y <= end; ++y)
            days.push_back(y);
    } else {
        for (int y = start; y <= end; ++y)
            days.push_back(y);
    }
    return days;
}

} // namespace

QString SoilColumn(const QString& soil)
{
    static const char* soils[] = {"Clay", "Clay Loam", "Silt Loam", "Sandy Loam", "Loamy Sand", "Sand"};
    for (const char* s : soils)
        if (soil == QLatin1String(s))
            return soil;
    return QString();
}

std::vector<int> SeasonDayList(int start, int end)
{
    return WalkDays(start, end);
}

double AdjustedKc(double b, double wet, double S, double FW)
{
    return b >= 1.0 ? b : S * b + (1.0 - b) * FW * wet;
}

StageEnds StageEndsOf(int n, double Fs1, double Fs2, double Fs3)
{
    return {RoundHalfUp(n * Fs1), RoundHalfUp(n * Fs2), RoundHalfUp(n * Fs3)};
}

void MonthlyMeansByMonthEnds(const std::vector<int>& days, const CropCurveState& st, int harvestMonth,
                             MonthlyValues& monthlyKc)
{
    if (days.empty())
        return;
    const int endDay = days.back();
    double sum = 0.0;
    int count = 0;
    for (int y : days) {
        sum += st.DailyKc[y];
        ++count;
        if (IsMonthEnd(y)) {
            monthlyKc[DayOfYearToMonthDay(y).month] = sum / count;
            if (y != endDay) {
                sum = 0.0;
                count = 0;
            }
        }
    }
    if (count > 0)
        monthlyKc[WrapMonth(harvestMonth)] = sum / count;
}

void MonthlyMeansByMonthStarts(int start, int end, const CropCurveState& st, int harvestMonth,
                               MonthlyValues& monthlyKc)
{
    double sum = 0.0;
    int count = 0;
    bool first = true;
    for (int y : WalkDays(start, end)) {
        // January 1 reached by a season crossing the year end closes December.
        const int m = (y == 1 && !first) ? 13 : MonthStartingOn(y);
        if (m != 0 && !first && count > 0) {
            monthlyKc[m - 1] = sum / count;
            sum = 0.0;
            count = 0;
        }
        sum += st.DailyKc[y];
        ++count;
        first = false;
    }
    if (count > 0)
        monthlyKc[WrapMonth(harvestMonth)] = sum / count;
}

bool RunAnnualBasalCurve(CropRunContext& ctx, CropCurveState& st, const AnnualBasalCurve& c,
                         const WetFactorFn& wetFn, const DailyRowSink& sink)
{
    const double wetD = wetFn(ctx.DaysWetDeveloped);
    const double wetM = wetFn(ctx.DaysWetMature);
    SetSeason(ctx, st);
    const std::vector<int> days = SeasonDayList(st.SeasonStartDay, st.SeasonEndDay);
    const int n = static_cast<int>(days.size()) - 1;
    st.SeasonDays = n;
    const StageEnds d = StageEndsOf(n, c.Fs1, c.Fs2, c.Fs3);
    const double s1 = Slope(c.Kcp - c.Kcb, d.d2 - d.d1);
    const double s2 = Slope(c.Kcm - c.Kcp, n - d.d3 + 2);
    const double S = ctx.StressFactor, FW = ctx.FractionWetted;

    double b = c.Kcb;
    for (int i = 1; i <= n + 1; ++i) {
        const int y = days[i - 1];
        double kc;
        if (i <= d.d1) {
            b = c.Kcb;
            kc = AdjustedKc(b, wetD, S, FW);
        } else if (i <= d.d2) {
            b = (i == d.d1 + 1) ? c.Kcb : b + s1;
            kc = AdjustedKc(b, wetD, S, FW);
        } else if (i <= d.d3) {
            b = c.Kcp;
            kc = c.Kcp;
        } else {
            b = (i == d.d3 + 1) ? c.Kcp : b + s2;
            kc = AdjustedKc(b, wetM, S, FW);
        }
        st.DailyKc[y] = kc;
        st.DailyBasalKc[y] = b;
        sink(y, kc, b);
    }
    MonthlyMeansByMonthEnds(days, st, ctx.HarvestMonth, ctx.MonthlyKc);
    return true;
}

bool RunPerennialBasalCurve(CropRunContext& ctx, CropCurveState& st, const PerennialBasalCurve& c,
                            const WetFactorFn& wetFn, const DailyRowSink& sink)
{
    const double wet = wetFn(ctx.DaysWetMature);
    SetSeason(ctx, st);
    st.SeasonDays = static_cast<int>(WalkDays(st.SeasonStartDay, st.SeasonEndDay).size()) - 1;

    // Months without a value: those before the first positive value take it,
    // those after the season's last value take that one.
    std::array<double, 14> g{};
    for (int m = 1; m <= 12; ++m)
        g[m] = c.g[m];
    int firstMonth = 0;
    for (int m = 1; m <= 12 && !firstMonth; ++m)
        if (g[m] > 0)
            firstMonth = m;
    if (firstMonth) {
        const double first = g[firstMonth];
        double last = g[12];
        for (int m = firstMonth + 1; m <= 12; ++m) {
            if (g[m] == 0) {
                last = g[m - 1];
                break;
            }
        }
        for (int m = 1; m <= 12; ++m) {
            if (g[m] == 0)
                g[m] = m <= 5 ? first : last;
        }
    }
    g[13] = g[1];

    const double S = ctx.StressFactor, FW = ctx.FractionWetted;
    double b = 0.0, s = 0.0;
    for (int y = 1; y <= 365; ++y) {
        const int v = MonthOfDayOfYear(y);
        const MonthDay md{v, y - kDaysBeforeMonth[v], QString()};
        if (y == 1) {
            s = (g[1] - g[12]) / 31.0;
            b = g[1] - 15.0 * s;
        } else if (md.day == 1) {
            s = (g[v] - g[v - 1]) / (DaysInMonth(v - 1) + 1.0);
            b = g[v] - 15.0 * s;
        } else if (md.day == 15) {
            b = g[v];
            s = v == 12 ? (g[1] - g[12]) / 31.0 : (g[v + 1] - g[v]) / (DaysInMonth(v) + 1.0);
        } else {
            b = b + s;
        }
        const double kc = b >= 1.0 ? b : wet * FW * (1.0 - b) + S * b;
        st.DailyKc[y] = kc;
        st.DailyBasalKc[y] = b;
        sink(y, kc, b);
    }
    MonthlyMeansByMonthStarts(st.SeasonStartDay, st.SeasonEndDay, st, ctx.HarvestMonth, ctx.MonthlyKc);
    return true;
}

bool RunForageCurve(CropRunContext& ctx, CropCurveState& st, const ForageCurve& c,
                    const WetFactorFn& wetFn, const DailyRowSink& sink)
{
    ctx.HayFlag = c.hay;
    const double wet = wetFn(ctx.DaysWetMature);
    SetSeason(ctx, st);
    const int start = st.SeasonStartDay, end = st.SeasonEndDay;
    st.SeasonDays = static_cast<int>(WalkDays(start, end).size()) - 1;
    const bool yearRound = ctx.PlantMonth == 1 && ctx.PlantDay == 1;
    // A year-round crop at a station that freezes does not regrow through
    // the winter: it is dormant outside the 28 F freezes and its first
    // growth period starts after the spring freeze.
    const bool dormancy = yearRound && c.springFreezeDay > 0 && c.fallFreezeDay > 0;
    auto dormant = [&](int y) {
        if (!dormancy)
            return false;
        if (c.fallFreezeDay > c.springFreezeDay)
            return y <= c.springFreezeDay || y > c.fallFreezeDay;
        return y > c.fallFreezeDay && y <= c.springFreezeDay;   // fall freeze in the next January
    };
    const bool winterRegrowth = yearRound && !dormancy;

    // A season crossing the year end is walked as one run of days: days of
    // the new year count on from 365 (day 1 is 366), and so do cutting days
    // that fall before the start.
    const bool crosses = end < start;
    const int endRun = crosses ? end + 365 : end;
    auto run = [&](int day) { return crosses && day < start ? day + 365 : day; };

    int K = c.hay ? ctx.Cuttings : 1;
    if (K > 12)
        K = 12;
    if (K < 0)
        K = 0;
    ctx.Cuttings = K;
    const int C1 = c.hay ? run(DayOfYear(ctx.Cut1Month, ctx.Cut1Day)) : endRun;

    std::array<int, 12> L{};
    int CK = C1;
    double I = 0.0;
    if (K < 2) {
        L[0] = C1;
    } else {
        CK = run(DayOfYear(ctx.CutEndMonth, ctx.CutEndDay));
        I = static_cast<double>(CK - C1) / (K - 1);
        L[0] = C1;
        L[K - 1] = CK;
        for (int i = 1; i < K - 1; ++i)
            L[i] = L[i - 1] + RoundHalfUp(I);
    }

    bool daysBefore = false;
    int P = 0;
    if (c.hasPkDaysBefore) {
        daysBefore = true;
        P = c.pkDaysBefore;
    } else if (!c.hasPkPctAfter) {
        messages().show(MsgKind::Error, kPeakDataMissing);
        return false;
    } else {
        P = RoundHalfUp(c.pkPctAfter * (K < 2 ? 0.0 : I) * 0.01);
    }

    std::array<int, 12> Sd{}, O{};
    std::array<double, 12> t{};
    const double rise = c.highKc - c.lowKc;
    for (int j = 0; j < K; ++j) {
        if (j == 0) {
            Sd[0] = winterRegrowth ? CK + 1 : dormancy ? c.springFreezeDay + 1 : start;
            const int from = dormancy ? Sd[0] : start;   // where the first growth period begins
            O[0] = daysBefore ? L[0] - P : from + RoundHalfUp(L[0] - from) / 2;
            t[0] = winterRegrowth ? Slope(rise, O[0] - Sd[0] + 364) : Slope(rise, O[0] - Sd[0]);
        } else {
            Sd[j] = L[j - 1] + 1;
            O[j] = L[j] - P;
            t[j] = Slope(rise, O[j] - Sd[j]);
        }
    }
    const double t0 = K > 0 ? t[0] : 0.0;
    const int S0 = K > 0 ? Sd[0] : start;
    const double S = ctx.StressFactor, FW = ctx.FractionWetted;

    int j = 0, cnt = 0;
    double b = c.lowKc;
    for (int u = start; u <= endRun; ++u) {
        const int y = u > 365 ? u - 365 : u;
        bool assigned = true;
        if (dormant(y)) {
            b = c.lowKc;
        } else if (dormancy && j == 0 && u < S0) {
            // A fall freeze in the next January: the days before it go on
            // with the regrowth after the last cutting of the year before.
            b = std::min((u + 364 - (CK + 1)) * t0 + c.lowKc, c.highKc);
        } else if (yearRound && j == K) {
            b = cnt * t0 + c.lowKc;
            ++cnt;
        } else if (j == K) {
            b = c.lowKc;
        } else if (winterRegrowth && j == 0 && u < O[0]) {
            b = (u + 364 - S0) * t0 + c.lowKc;
        } else if (u < O[j]) {
            b = (u - Sd[j]) * t[j] + c.lowKc;
        } else if (u <= L[j]) {
            b = c.highKc;
        } else {
            assigned = false;   // past a cutting day that lies before this day: no new value
        }
        if (assigned) {
            st.DailyKc[y] = b >= 1.0 ? b : (1.0 - b) * FW * wet + b * S;
            st.DailyBasalKc[y] = b;
        }
        sink(y, st.DailyKc[y], b);
        if (j < K && u == L[j])
            ++j;
    }
    MonthlyMeansByMonthStarts(start, end, st, ctx.HarvestMonth, ctx.MonthlyKc);
    return true;
}

bool RunBCAnnualCurve(CropRunContext& ctx, CropCurveState& st, const BCAnnualCurve& c, const DailyRowSink& sink)
{
    SetSeason(ctx, st);
    const std::vector<int> days = SeasonDayList(st.SeasonStartDay, st.SeasonEndDay);
    const int n = static_cast<int>(days.size()) - 1;
    st.SeasonDays = n;
    if (n < 1)
        return true;

    std::array<int, 21> B{};      // B[1..20]
    for (int t = 1; t <= 20; ++t)
        B[t] = RoundHalfUp(t * n * 0.05);
    std::array<double, 22> s{};   // s[1..21]
    s[1] = Slope(c.K[2] - c.K[1], B[1]);
    for (int t = 2; t <= 20; ++t)
        s[t] = Slope(c.K[t + 1] - c.K[t], B[t] - B[t - 1]);

    int p = 1, k = 1;
    double kc = c.K[1];
    st.DailyKc[days[0]] = kc;
    st.DailyBasalKc[days[0]] = 0.0;
    sink(days[0], kc, 0.0);
    for (int i = 2; i <= n; ++i) {
        // A short season rounds several breakpoints onto one day (or onto
        // day 0): the curve moves on past every breakpoint reached, so it never
        // runs beyond its segment.
        if (p <= 20 && i >= B[p]) {
            while (p <= 20 && i >= B[p])
                ++p;
            kc = c.K[p];
            k = 1;
        } else {
            kc = k * s[p] + c.K[p];
            ++k;
        }
        const int y = days[i - 1];
        st.DailyKc[y] = kc;
        st.DailyBasalKc[y] = 0.0;
        sink(y, kc, 0.0);
    }

    // Monthly means by month starts over the rated days.
    double sum = 0.0;
    int count = 0;
    for (int i = 1; i <= n; ++i) {
        const int y = days[i - 1];
        const int m = MonthStartingOn(y);
        if (m != 0 && count > 0) {
            ctx.MonthlyKc[m - 1] = sum / count;
            sum = 0.0;
            count = 0;
        }
        sum += st.DailyKc[y];
        ++count;
        if (y == 365) {
            ctx.MonthlyKc[12] = sum / count;
            sum = 0.0;
            count = 0;
        }
    }
    // The harvest day itself is not rated: the days left belong to the month
    // of the last rated day (the month before the harvest month when the
    // harvest falls on the 1st).
    if (count > 0)
        ctx.MonthlyKc[DayOfYearToMonthDay(days[n - 1]).month] = sum / count;
    return true;
}

bool RunBCPerennialCurve(CropRunContext& ctx, CropCurveState& st, const BCPerennialCurve& c, const DailyRowSink& sink)
{
    SetSeason(ctx, st);
    st.SeasonDays = static_cast<int>(WalkDays(st.SeasonStartDay, st.SeasonEndDay).size()) - 1;
    double kc = 0.0, s = 0.0;
    for (int y = 1; y <= 365; ++y) {
        const int m = MonthOfDayOfYear(y);
        const MonthDay md{m, y - kDaysBeforeMonth[m], QString()};
        if (md.day == 1) {
            kc = c.A1[m];
            s = (c.A15[m] - c.A1[m]) / 14.0;
        } else if (md.day < 15) {
            kc += s;
        } else if (md.day == 15) {
            kc = c.A15[m];
            // From the 15th the curve runs to the next tabulated date: the 1st
            // of the next month or, in December, "Dec 31 Kc", reached on
            // December 31 itself (16 steps), as January 31 reaches "Feb 1 Kc".
            const double next = m == 12 ? c.Aend : c.A1[m + 1];
            s = (next - c.A15[m]) / (DaysInMonth(m) - 15.0);
        } else {
            kc += s;
        }
        st.DailyKc[y] = kc;
        st.DailyBasalKc[y] = 0.0;
        sink(y, kc, 0.0);
    }
    MonthlyMeansByMonthStarts(st.SeasonStartDay, st.SeasonEndDay, st, ctx.HarvestMonth, ctx.MonthlyKc);
    return true;
}

bool RunFAO56Curve(CropRunContext& ctx, CropCurveState& st, const FAO56Curve& c, const DailyRowSink& sink)
{
    SetSeason(ctx, st);
    const std::vector<int> days = SeasonDayList(st.SeasonStartDay, st.SeasonEndDay);
    const int n = static_cast<int>(days.size()) - 1;
    st.SeasonDays = n;
    const StageEnds d = StageEndsOf(n, c.Fs1, c.Fs2, c.Fs3);
    const double s1 = Slope(c.Kcp - c.Kcb, d.d2 - d.d1);
    const double s2 = Slope(c.Kcm - c.Kcp, n - d.d3 + 2);
    double kc = c.Kcb;
    for (int i = 1; i <= n + 1; ++i) {
        if (i <= d.d1)
            kc = c.Kcb;
        else if (i <= d.d2)
            kc = (i == d.d1 + 1) ? c.Kcb : kc + s1;
        else if (i <= d.d3)
            kc = c.Kcp;
        else
            kc = (i == d.d3 + 1) ? c.Kcp : kc + s2;
        const int y = days[i - 1];
        st.DailyKc[y] = kc;
        st.DailyBasalKc[y] = c.Kcb;
        sink(y, kc, c.Kcb);
    }
    MonthlyMeansByMonthEnds(days, st, ctx.HarvestMonth, ctx.MonthlyKc);
    return true;
}

} // namespace quen
