// The farm's water as text: the tables, lines and CSV of the "Farm Water"
// window and the "Farm Water Requirement" report, from one FarmWater (no
// window, no table), so that both show the same figures in the same form.
//
// English: depths in inches, volumes in acre-feet, capacity in gpm and gpm
// per acre. Metric: depths in millimetres, volumes in cubic metres, capacity
// in l/s and l/s per hectare.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "CsvExport.h"
#include "FarmWater.h"

namespace quen::output {

// The window's and the report's text for a job whose crops have no area.
QString FarmNotAvailableText();

// The formulas and their sources, two lines (the capacity formula in the
// unit system's own units).
QString FarmSourcesText(bool metric);

// "Jan" .. "Dec" for 1..12.
QString FarmMonthName(int month);

// Number texts of the farm figures (FixedNumberText with the decimals of
// each quantity in the unit system).
QString FarmDepthText(double inchesOrMm, bool metric);       // in: 2 decimals; mm: 0
QString FarmVolumeText(double acreFtOrM3, bool metric);      // acre-ft: 1 decimal; m3: 0

// Units as printed.
QString FarmDepthUnit(bool metric);    // "in" / "mm"
QString FarmVolumeUnit(bool metric);   // "acre-ft" / "m3"
QString FarmAreaUnit(bool metric);     // "acres" / "ha"

// A crop's monthly gross depth and field volume in the unit system.
MonthlyValues CropGrossDepth(const FarmCropWater& c, bool dryYear, bool metric);
MonthlyValues CropVolume(const FarmCropWater& c, bool dryYear, bool metric);
// The farm's monthly delivery to the fields and diversion at the source.
MonthlyValues FarmFieldVolume(const FarmWater& w, bool dryYear, bool metric);
MonthlyValues FarmDiversion(const FarmWater& w, bool dryYear, bool metric);
double SeasonTotal(const MonthlyValues& v);   // months 1..12

// A table of texts (window grid, CSV).
struct FarmTextTable {
    QStringList header;
    QList<QStringList> rows;
};

// One row per crop: crop, area, Ea, LR, season gross depth and field volume
// of the normal (50 %) and dry (80 %) year, note ("not available" texts for
// a crop without figures).
FarmTextTable FarmCropTable(const FarmWater& w, bool metric);

// One row per month and "Season": field delivery and diversion of the
// normal and the dry year. Empty rows when the farm is not available.
FarmTextTable FarmMonthlyTable(const FarmWater& w, bool metric);

// The system capacity and what it is computed from, one line each; the
// not-available text when the farm has no figures.
QStringList FarmCapacityLines(const FarmWater& w, bool metric);

// The report's "Export CSV" tables: each crop's monthly gross depth and
// volume, the farm's monthly totals, the system capacity.
QList<report::CsvTable> FarmWaterCsvTables(const FarmWater& w, bool metric);

} // namespace quen::output
