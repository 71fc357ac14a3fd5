// The planner's option of a reference site's humidity for Penman-Monteith.
//
// FAO-56 defines ETo over well-watered grass, where the air is near
// saturation at the day's minimum temperature: Tdew is near Tmin (FAO-56
// Chapter 3, text of eq. 48). The humidity of a dry station (an airport in
// an arid region) is lower than over the irrigated fields a planner designs
// for, and raises ETo. With the option on, the monthly Penman-Monteith run
// takes the actual vapour pressure of a well-watered site, ea = e°(Tmin +
// Cor) (FAO-56 eq. 48, "Cor" the station record's dew-point correction,
// 0 unless the planner enters one), in place of the station's RHmax and
// RHmin: the path the computation already takes for a record without
// humidity. The station's temperatures are not adjusted (the temperature
// part of the aridity adjustment of ASCE-EWRI 2005 Appendix D / FAO-56
// Annex 6 is not built). The station record itself is unchanged and still
// shown as it is.
#pragma once

namespace quen {

// The one row of "FAO56DewPoint.db", field "Dew Point At Tmin"; off when the
// table has no row.
bool ReferenceDewPointOptionOn();
void SetReferenceDewPointOption(bool on);

} // namespace quen
