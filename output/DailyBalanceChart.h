// The chart of a season of the daily soil-water balance, the same for the
// output dialog's "Daily balance" page and the printed report (recorded as
// vector drawing): ETc adj of each day (FAO-56 eq. 80) on the left axis;
// on the right axis the root-zone depletion Dr at the end of each day (eq.
// 85) against the allowed depletion that triggers an irrigation ((1 - ASW /
// 100) TAW) and the readily available water RAW = p TAW (eq. 83), the day's
// rain as bars and the irrigations as markers at their net depth. Depths in mm or
// inches by the unit system.
#pragma once

#include "DailyBalance.h"

class QChart;

namespace quen::output {

struct DailyChartStyle {
    double penWidth = 1.5;
    double fontScale = 1.0;
};

// Fills an empty chart; a season without rows gives a chart with its title only.
void FillDailyBalanceChart(QChart* chart, const SeasonBalance& season, const DailyCropInputs& crop, bool metric,
                           const DailyChartStyle& style = {});

// The chart's series names, in the order added (legend texts).
inline constexpr const char* kDailyEtcSeries = "ETc adj";
inline constexpr const char* kDailyDrSeries = "Depletion Dr";
inline constexpr const char* kDailyAllowedSeries = "Allowed depletion";
inline constexpr const char* kDailyRawSeries = "RAW";
inline constexpr const char* kDailyRainSeries = "Rain";
inline constexpr const char* kDailyIrrigationSeries = "Irrigation";

} // namespace quen::output
