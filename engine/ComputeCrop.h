// The crop computation driver.
#pragma once

#include <vector>

#include "CropRun.h"
#include "CropRunContext.h"

namespace quen {

class TTable;

// Computes the crop the working-crop handle ("QuenWkCrop.DB", open) is
// positioned on, for the job and station held in the context: writes
// "FAO56.txt" into the working directory, refills "ETKc.db" once with the
// complete daily rows (Kca, Kcb, the day's ETo and ETc in in/day and mm/day,
// the month), sets every result of the context and writes "IR Jan".."IR Dec",
// "Pk Jan".."Pk Dec", "IR Season" and "Hay" back into the working-crop row.
void ComputeCrop(CropRunContext& ctx, CropCurveState& state, TTable& workingCrop);

// Everything a run of the crop the working-crop handle is positioned on reads:
// the row, the job's station and its wind, humidity and radiation record, the
// system defaults, the curve and the rows of "WetSoil.db", "MoPctDay.db" and
// "PcpChance.DB" it asks for.
CropInputs ReadCropInputs(const CropRunContext& ctx, TTable& workingCrop);

// The parameters of a crop curve as the run reads them: the row of curveName
// (nearest match) in the table of curveIndex, into the curve fields of in
// (and, for a FAO-56 curve, its Table 12 Kc mid, Kc end and height with the
// Kc climate option).
void ReadCurveParameters(int curveIndex, const QString& curveName, CropInputs& in);

// The wetting intervals (days) whose "WetSoil.db" factors the curve of in asks
// for (the NEH 2 annual curve both, the perennial and forage curves the
// maturation one, the others none), and the column of the soil there (an
// unknown soil read as Silt Loam).
std::vector<int> WettingIntervals(const CropInputs& in);
QString WetSoilColumn(const QString& soil);

// Month abbreviations used in field names ("IR Jan", "Jan Kc"), [1..12].
extern const char* const kMonthAbbrev[13];

} // namespace quen
