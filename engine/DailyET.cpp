#include "DailyET.h"

#include <algorithm>
#include <numeric>

#include "Calendar.h"

namespace quen {

RefEtInterpolation MakeRefEtInterpolation(const MonthlyValues& R, const MonthlyValues& sh, int plantMonth,
                                          int harvestMonth)
{
    RefEtInterpolation r;
    for (int m = 1; m <= 12; ++m)
        r.E[m] = R[m] > 0 ? R[m] : (sh[m] > 0 ? sh[m] : 0.0);
    r.S[1] = (r.E[1] - r.E[12]) / 31.0;
    for (int m = 2; m <= 12; ++m) {
        // the stretches that reach into the months just before planting and
        // just after harvest run to or from the shoulder rate
        if (m == plantMonth || m - 1 == harvestMonth)
            r.S[m] = (r.E[m] - r.E[m - 1]) / DaysInMonth(m - 1);
        else
            r.S[m] = (R[m] - R[m - 1]) / DaysInMonth(m - 1);
    }
    return r;
}

double RefEtInterpolation::daily(int dayOfYear) const
{
    // month and day of the month (without the text of DayOfYearToMonthDay)
    const int m = MonthOfDayOfYear(dayOfYear);
    const int dom = dayOfYear - kDaysBeforeMonth[m];
    if (dom == 15)
        return E[m];
    if (dom < 15) {
        // first day of a month repeats the last day of the month before
        const int k = dom == 1 ? 0 : dom;
        if (m == 1)
            return E[12] + (31 + k - 15) * S[1];
        return E[m - 1] + (DaysInMonth(m - 1) + k - 15) * S[m];
    }
    if (m == 12)
        return E[12] + (dom - 15) * S[1];
    return E[m] + (dom - 15) * S[m + 1];
}

void SetDailyET(DailyKcRows& rows, const DailyETSeason& s)
{
    const int n = rows.size();
    rows.eto.assign(n, 0.0);
    rows.etc.assign(n, 0.0);
    rows.etoMm.assign(n, 0.0);
    rows.etcMm.assign(n, 0.0);
    rows.month.resize(n);
    for (int i = 0; i < n; ++i)
        rows.month[i] = MonthOfDayOfYear(int(rows.day[i]));

    // the rows in day order, as the table keyed on the day holds them
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    const auto earlier = [&rows](int a, int b) { return rows.day[a] < rows.day[b]; };
    if (!std::is_sorted(order.begin(), order.end(), earlier))
        std::stable_sort(order.begin(), order.end(), earlier);

    const RefEtInterpolation in = MakeRefEtInterpolation(s.refET, s.shoulderRefET, s.plantMonth, s.harvestMonth);
    const RefEtInterpolation mm = MakeRefEtInterpolation(s.refETmm, s.shoulderRefETmm, s.plantMonth, s.harvestMonth);
    auto compute = [&](int i, int day) {
        rows.eto[i] = in.daily(day);
        rows.etc[i] = rows.kca[i] * rows.eto[i];
        rows.etoMm[i] = mm.daily(day);
        rows.etcMm[i] = rows.kca[i] * rows.etoMm[i];
        rows.month[i] = MonthOfDayOfYear(day);
    };

    const int start = DayOfYear(s.plantMonth, s.plantDay);
    const int end = DayOfYear(s.harvestMonth, s.harvestDay);
    if (s.harvestMonth >= s.plantMonth) {
        int k = 0;
        while (k < n && rows.day[order[k]] < start)
            ++k;
        if (k == n)
            return;
        for (int day = int(rows.day[order[k]]); day <= end && k < n; ++day, ++k)
            compute(order[k], day);
        return;
    }
    for (int k = 0; k < n; ++k) {
        const int day = int(rows.day[order[k]]);
        if (day <= end || day >= start)
            compute(order[k], day);
    }
}

} // namespace quen
