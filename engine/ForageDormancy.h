// The dormant winter of a year-round forage crop: TR-21 and NEH 623 Ch. 2
// put the alfalfa growing season between the mean 28 F spring and fall
// freezes; outside them the crop does not grow.
#pragma once

#include "CropCurves.h"
#include "GrowthDates.h"

namespace quen {

// Sets the curve's freeze days from the station's "Spr mo/dy 28" and "Fall
// mo/dy 28"; both stay 0 when either date is not known or is "00/00" (the
// station never gets that cold).
void SetForageFreezeDays(ForageCurve& c, const StationFrostDates& frost);

} // namespace quen
