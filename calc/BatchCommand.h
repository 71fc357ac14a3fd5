// quenpm-calc batch: many fields from one CSV file, each computed as a job of
// one crop (job/FieldBatch.h), one CSV row of results per field. Nothing is
// saved.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "FieldBatch.h"

namespace quen::calc {

// Exit status of a batch in which one or more fields could not be computed
// (their rows give the reason); a file that cannot be used as a whole exits
// with kExitBadJobFile (7).
inline constexpr int kExitFieldsFailed = 9;

// The results as CSV: a header naming each column and its unit, then one row
// per field in the order of the file. Customary units (in, ft, mi) or, with
// metric, cm, m and km. A field with an irrigated area has its farm's water
// (season gross requirement, diversion volume in acre-feet or cubic metres,
// system capacity in gpm or l/s); the others leave those cells empty.
QString BatchCsv(const QList<job::FieldOutcome>& fields, bool metric);

// quenpm-calc batch FIELDS.csv|- [--metric] [-o OUT.csv]
int BatchCommand(const QStringList& args);

} // namespace quen::calc
