// quenpm-calc's daily commands.
//
//   quenpm-calc --import-daily FILE --station NAME [--format plain|ncei|ncei-metric]
//               [--wind-height M] [--coastal] [--replace]
//     imports the daily weather of a station (job/DailyImport.h). Rows of the
//     file that are refused are listed on standard error and the others
//     imported (the refused lines are listed); a station that already has daily weather is replaced only
//     with --replace. Exit status: 0 done, 1 usage, 2 no database, 3 damaged
//     or unreadable database, 10 refused (file, station, or a replacement
//     without --replace).
//
//   quenpm-calc --daily --job JOB [--crop CROP] [--year YEAR] [--json | --csv]
//     the daily soil-water balance of a crop of a saved job over every year
//     of its station's daily weather (job/DailyRun.h): the 50, 80 and 90 %
//     values of the seasons' net irrigation and number of irrigations beside
//     the monthly method's normal- and dry-year figures, every season, and
//     the schedule of YEAR (default: the last complete season); --csv the
//     daily table of YEAR. Exit status: 0 done, 1 usage, 2 no database, 3
//     damaged or unreadable database, 4 no such job, 5 no such crop, 10 no
//     daily balance (no daily weather, soil or crop values, no season planted
//     in YEAR; the reason on standard error).
#pragma once

#include <QString>
#include <QStringList>

#include "DailyRun.h"

namespace quen::calc {

bool WantsDaily(const QStringList& args);        // has "--daily"
bool WantsImportDaily(const QStringList& args);  // first word "--import-daily"

int DailyCommand(const QStringList& args);
int ImportDailyCommand(const QStringList& args);

// The text, JSON and daily CSV of a daily run (for the command and its tests).
QString DailyRunText(const QString& jobName, const QString& cropName, const job::DailyRun& run);
QString DailyRunJson(const QString& jobName, const QString& cropName, const job::DailyRun& run);
QString DailyRunCsv(const job::DailyRun& run);

} // namespace quen::calc
