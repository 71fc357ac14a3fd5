// Where each ET method was developed, and the one line the output dialog and
// the crop reports print when a run uses its method outside it.
//
// Blaney-Criddle TR21 (USDA SCS TR-21, 1970) was derived from measured
// seasonal use of summer growing seasons in the arid and semi-arid West; a
// crop grown through the mild winter of a low desert lies outside it.
// FAO-56 Penman-Monteith assumes reference weather, taken over well-watered
// grass; weather of a dry site overstates ETo (FAO-56 Annex 6, ASCE-EWRI
// 2005 Appendix D).
#pragma once

#include <QString>

#include "CropRunContext.h"

namespace quen {

// Mean of Tmin - Tdew (deg C) over the season months whose station record has
// humidity (RHmax above 0); Tdew from the actual vapour pressure of FAO-56
// eq. 17 or 18 as the Penman-Monteith run takes it. Returns false when no
// season month has humidity.
bool SeasonDewPointDepression(const CropRunContext& ctx, double& depressionC);

// FAO-56 Chapter 3 (text of eq. 48) and Annex 6, ASCE-EWRI 2005 Appendix D:
// over well-watered reference grass the dew point is near Tmin; in arid
// regions the air is not saturated at Tmin and Tdew lies 2-3 deg C or more
// below it. A season mean gap above the lower end of that range marks arid,
// non-reference weather.
constexpr double kAridDewPointDepressionC = 2.0;

// TR-21 temperature coefficient kt = 0.0173 t - 0.314 holds from 36 deg F;
// a season month from December to February at or above it is a crop growing
// through winter.
constexpr double kTr21LowestKtTempF = 36.0;
bool Tr21WinterSeason(const CropRunContext& ctx);
bool PenmanMonteithAridWeather(const CropRunContext& ctx);

// The line for the computed crop, empty when its method is used where it was
// developed; temperatures in deg C when metric, else deg F.
QString MethodScopeNote(const CropRunContext& ctx, bool metric = true);

} // namespace quen
