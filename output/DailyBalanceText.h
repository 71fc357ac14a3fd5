// The texts and tables of a crop's daily soil-water balance, the same for the
// output dialog's "Daily balance" page, the printed "Daily Soil-Water
// Balance" report and its CSV export: the design values over the years
// beside the monthly method's normal- and dry-year figures, the seasons of
// the record, the irrigation schedule and the daily rows of the detail year,
// where the weather record's values were supplied, and the notes on the crop
// inputs.
//
// Depths in mm (metric) or inches (English, mm x 0.03936996): season totals
// with 0 decimals in mm and 2 in inches, daily values with 1 decimal in mm
// and 2 in inches.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "CsvExport.h"
#include "DailyRun.h"

namespace quen::output {

// "mm" or "inches".
QString DailyDepthUnit(bool metric);
// A season depth (mm in) in the unit system.
QString DailySeasonDepthText(double mm, bool metric);
// A daily depth or rate (mm in) in the unit system.
QString DailyDayDepthText(double mm, bool metric);

// The season of the detail year with its daily rows; nullptr when the run
// kept none.
const SeasonBalance* DailyDetailSeason(const job::DailyRun& run);

// Design values: rows "Net irrigation requirement (mm)", "Number of
// irrigations", "Seasonal ETc adj (mm)"; columns the values not exceeded in
// 50, 80 and 90 % of the complete seasons, then the monthly method's normal
// (50 %) and dry (80 %) year.
report::CsvTable DailyDesignTable(const job::DailyRun& run, bool metric);
// "Complete seasons used: 18 (2003-2020)." and the seasons left out.
QString DailyYearsUsedText(const job::DailyRun& run);

// One row per season of the record: year, ETo, ETc adj, rain, net
// irrigation, irrigations, deep percolation, and "incomplete" with the days
// missing for a season left out of the design values.
report::CsvTable DailySeasonsTable(const job::DailyRun& run, bool metric);

// The irrigations of the detail year: date and net depth.
report::CsvTable DailyScheduleTable(const job::DailyRun& run, bool metric);
// "Irrigation schedule 2010: 15 irrigations, 1046 mm net." (empty without a detail season).
QString DailyScheduleTitle(const job::DailyRun& run, bool metric);

// Every day of the detail season: date, ETo, Kcb, Ke, ETc adj, rain,
// irrigation, Dr, RAW, TAW, Ks, DP.
report::CsvTable DailyRowsTable(const job::DailyRun& run, bool metric);

// The weather record (station, source, days, first and last day) and the
// values the FAO-56 rules supplied, a line each.
QStringList DailyWeatherLines(const job::DailyRun& run);

// The tables the CSV export writes: design values, seasons, schedule, days.
QList<report::CsvTable> DailyCsvTables(const job::DailyRun& run, bool metric);

} // namespace quen::output
