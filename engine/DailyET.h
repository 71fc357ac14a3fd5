// The daily rows of a crop run ("ETKc.db"): the day's crop coefficients from
// the crop curve and the day's reference and crop ET for the ET curves.
//
// Between the mid-month days the reference rate changes linearly; the slope
// of the stretch from mid-month m-1 to mid-month m is taken from the season's
// monthly rates, with the shoulder rates of the months just before planting
// and just after harvest where the stretch touches them. The first day of a
// month repeats the last day of the month before. The day's crop ET is the
// day's Kca times its reference ET.
#pragma once

#include <array>
#include <vector>

#include "CropRunContext.h"

namespace quen {

// The daily rows of "ETKc.db" of a run, one per curve day, in the order the
// curve gave them: day of year, crop coefficient, basal value, and the day's
// reference and crop ET in both unit systems (0 on the days outside the
// season) with its month.
struct DailyKcRows {
    std::vector<double> day, kca, kcb;   // "JDate", "Kca", "Kcb" of each row
    std::vector<double> eto, etc;        // "ETo", "ETc": in/day
    std::vector<double> etoMm, etcMm;    // "EToM", "ETcM": mm/day
    std::vector<int> month;              // "Mo"
    int size() const { return int(day.size()); }
    // Whether the daily ET has been set (a curve that failed half way leaves it empty).
    bool hasDailyET() const { return eto.size() == day.size() && !day.empty(); }
    void clear()
    {
        day.clear();
        kca.clear();
        kcb.clear();
        eto.clear();
        etc.clear();
        etoMm.clear();
        etcMm.clear();
        month.clear();
    }
};

// Interpolation of the daily reference rate from the monthly rates.
struct RefEtInterpolation {
    std::array<double, 13> E{};   // rate used for interpolation [1..12]
    std::array<double, 13> S{};   // slope of the stretch ending at mid-month m [1..12]

    // Rate of day of year d (1..365).
    double daily(int dayOfYear) const;
};

// rate: the season's daily reference rate of each month (0 outside it);
// shoulder: the rate of the months just before planting and after harvest.
RefEtInterpolation MakeRefEtInterpolation(const MonthlyValues& rate, const MonthlyValues& shoulder, int plantMonth,
                                          int harvestMonth);

// The season of the daily ET: the plant and harvest dates and the monthly
// reference rates in both unit systems.
struct DailyETSeason {
    int plantMonth = 1, plantDay = 1, harvestMonth = 1, harvestDay = 1;
    MonthlyValues refET{}, shoulderRefET{};       // in/day
    MonthlyValues refETmm{}, shoulderRefETmm{};   // mm/day
};

// Sets "ETo", "ETc", "EToM", "ETcM" and "Mo" of every row. The rows are taken
// in day order: within one calendar year from the first row on or after the
// plant day, one day per row, up to the harvest day; across the year end the
// rows of January 1 to the harvest day and of the plant day to December 31.
// The other rows have 0 and the month of their day.
void SetDailyET(DailyKcRows& rows, const DailyETSeason& season);

} // namespace quen
