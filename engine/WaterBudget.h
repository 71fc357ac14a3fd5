// Effective precipitation, carry-over, net irrigation requirement and peak
// daily use (SCS monthly effective-precipitation method, TR21 / Doorenbos and
// Pruitt peak-period ratios).
#pragma once

#include <functional>
#include <utility>

#include "CropRunContext.h"

namespace quen {

struct RatioPair {
    double ratio50 = 0.0;
    double ratio80 = 0.0;
};

// One row of "PcpChance.DB".
struct PcpChanceRow {
    double anPcp = 0, pct50 = 0, pct80 = 0;
};

// The row found by nearest match on the whole-inch key in "AnPrecip" order
// (upper) and the row before it (lower).
using PcpChanceLookup = std::function<std::pair<PcpChanceRow, PcpChanceRow>(int key)>;

// Effective-precipitation probability ratios of an annual precipitation.
RatioPair PctChanceRatios(double annualPrecip, const PcpChanceLookup& lookup);

// Default job ratios from the annual precipitation (curve fits of the
// normal-year and dry-year ratios).
RatioPair DefaultEffPrecipRatios(double annualPrecip);

// f(D) of the effective-precipitation method; depths of 0 or less count as 0.
double NetDepthFactor(double netDepth);

// Effective precipitation (inches) of a month with precipitation P and crop
// ET, before the probability ratio; never negative, never above P or ET.
double MonthlyEffectivePrecip(double precip, double cropET, double netDepth);

// Peak-to-mean ratio of a Doorenbos-Pruitt curve 1..4 at depth D.
double PeakRatio(int curve, double depth);

// Peak-period daily crop ET of a month (inches/day), by the system default
// "Peak ET Method"; 0 outside the season and in the plant and harvest months.
double PeakDailyCropET(const CropRunContext& ctx, int month, int peakMethod);

// The twelve months starting at the plant month.
std::array<int, 12> BudgetMonthOrder(int plantMonth);

// Season month flags by the plant and harvest months.
MonthlyFlags SeasonMonths(int plantMonth, int harvestMonth);

// Monthly water budget over the months in budget order: MonthlyCropET,
// EffPrecip50/80, NetIrrReq50/80, CarryOverUsed50/80 and PeakDailyET.
void RunWaterBudget(CropRunContext& ctx, int peakMethod);

} // namespace quen
