// The crop computation driver.
#pragma once

#include "CropRunContext.h"

namespace quen {

class TTable;

// Computes the crop the working-crop handle ("QuenWkCrop.DB", open) is
// positioned on, for the job and station held in the context: writes
// "FAO56.txt" into the working directory, refills "ETKc.db", sets every
// result of the context and writes "IR Jan".."IR Dec", "Pk Jan".."Pk Dec",
// "IR Season" and "Hay" back into the working-crop row.
void ComputeCrop(CropRunContext& ctx, CropCurveState& state, TTable& workingCrop);

// Metric twins of the results (cm, mm/day, deg C) from the customary values.
void ComputeMetricResults(CropRunContext& ctx);

// Month abbreviations used in field names ("IR Jan", "Jan Kc"), [1..12].
extern const char* const kMonthAbbrev[13];

} // namespace quen
