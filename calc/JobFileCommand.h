// The job file commands of quenpm-calc: computing a job described in a job
// file (job/JobFile.h) without a window, saving it, importing a job file as a
// saved job and exporting a saved job as a job file.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "CalcFarm.h"
#include "CalcJob.h"

namespace quen::calc {

// Exit statuses of these commands, beside those of the other commands
// (0 done, 1 usage, 2 no database, 3 damaged or unreadable database, 4 no
// such job, 6 a file could not be written).
inline constexpr int kExitBadJobFile = 7;   // the job file cannot be read, is malformed or is refused
inline constexpr int kExitNameUsed = 8;     // a saved job has the name already (no --replace)

// The computed crops as CSV: a header naming each column and its unit, then
// one row per crop and month (January to December). Customary units (inches,
// inches per day) or, with metric, centimetres and millimetres per day.
QString JobCsv(const QString& jobName, const QList<CropResult>& crops, bool metric);
// The same with the farm's water in further columns of every row (a CSV of
// one table, as the job's name is on every row): the crop's irrigated area,
// Ea and leaching requirement, its gross irrigation requirement and field
// volume of the month, the farm's field and diversion volumes of the month
// and the job's system capacity. Customary units (acres, inches, acre-feet,
// gpm) or, with metric, hectares, centimetres, cubic metres and litres per
// second. A crop or a farm without figures leaves its cells empty; the notes
// say why (quenpm-calc writes them to standard error).
QString JobCsv(const QString& jobName, const QList<CropResult>& crops, bool metric, const CalcFarm& farm);

// quenpm-calc compute FILE [--json | --csv [--metric]] [--save [--replace]]
int ComputeCommand(const QStringList& args);
// quenpm-calc import FILE [--replace]
int ImportCommand(const QStringList& args);
// quenpm-calc --export-job NAME FILE
int ExportCommand(const QStringList& args);

} // namespace quen::calc
