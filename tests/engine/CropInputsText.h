// The inputs of crop runs as plain text, so that a test can run RunCrop on a
// saved job's crops without a database (scenarios/<name>/inputs.txt, written
// by tests/engine/tools/make_runcrop_inputs from the scenario's tables with
// the reader ComputeCrop uses).
//
// Format, one item a line:
//   # ...                 a comment; blank lines are ignored
//   [crop]                starts the inputs of the next crop, in the job's order
//   key = value           one field of CropInputs (names as in engine/CropRun.h:
//                         "plantMonth", "station.tmin", "whr.u2", "forage.lowKc")
// Values: a number; true or false; a string in double quotes (\" \\ and \n
// escaped); for the 1-based arrays (MonthlyValues and the curves' tables) the
// values of index 1 upwards separated by blanks (12 months; "bcAnnual.K" 21
// values at 0 %, 5 %, ..., 100 %). Doubles carry 17 significant digits
// (%.17g), so that a value read back is the value written, bit for bit.
// The table lookups are lines of their own, any number of them:
//   wetFactors[<days>] = <factor>                   "WetSoil.db" row of the soil
//   daytimePercents[<degrees>] = <12 monthly %>     "MoPctDay.db" row
//   chanceRows[<inches>] = <anPcp pct50 pct80 of the upper row> <the same of the lower row>
// Every other field is required in each [crop] block; an unknown or repeated
// key, a missing field or a malformed value is an error naming its line.
//
// Regenerate after a change of the scenario tables or of what CropInputs
// holds (cmake --build build --target make_runcrop_inputs):
//   build/tests/engine/tools/make_runcrop_inputs tests/engine/scenarios
#pragma once

#include <QString>
#include <vector>

#include "CropRun.h"

namespace quen::test {

// The text of the crops' inputs, headed by the comment lines of heading.
QString CropInputsText(const std::vector<CropInputs>& crops, const QString& heading = {});

// The crops of a text; false, with the line and the fault in *error, on any fault.
bool ParseCropInputsText(const QString& text, std::vector<CropInputs>& crops, QString* error);

} // namespace quen::test
