// FAO-56 Kc mid and Kc end adjusted to the station's own climate (FAO-56
// eq. 62 and 65): the Table 12 values stand for a sub-humid climate (RHmin
// 45 %, u2 2 m/s); a planner may ask that a FAO-56 curve take the station's
// mean RHmin and wind of the months of its mid- and late-season stages
// instead of the curve's stored Kcp and Kcm.
#pragma once

#include "CropCurves.h"
#include "CropRunContext.h"

#include <QString>

namespace quen {

// The station's wind and humidity record as the adjustment reads it
// ("ClimWHR.DB": "U2" mph, "RHmin" %, "Cor" deg C, "StationType", "StationHeight").
struct KcStationRecord {
    bool found = false;
    MonthlyValues u2Mph{}, rhMin{}, cor{};
    QString stationType;
    double stationHeightM = 0.0;
};

// The curve row's Table 12 values the adjustment starts from.
struct KcClimateInputs {
    bool on = false;          // the planner's option; off leaves the curve as stored
    double kcMid = 0.0;       // "Kcmid" (Table 12)
    double kcEnd = 0.0;       // "Kcend" (Table 12)
    double heightM = 0.0;     // "MaxHeightM" (Table 12 maximum crop height)
};

// [0.04 (u2 - 2) - 0.004 (RHmin - 45)] (h / 3)^0.3, FAO-56 eq. 62 and 65,
// with u2, RHmin and h held to the ranges the equation was derived for
// (1 to 6 m/s, 20 to 80 %, 0.1 to 10 m).
double KcClimateTerm(double u2, double rhMin, double heightM);

// Mean u2 (m/s, FAO-56 eq. 47) and RHmin (%) of the station over the days
// i = first..last of the season (day 1 the planting day), each day taking
// its month's value. A month without RHmin takes FAO-56 eq. 63 with the
// dew point Tmin + Cor, as Penman-Monteith does without humidity.
struct StageClimate { double u2 = 2.0, rhMin = 45.0; };
StageClimate StationStageClimate(const CropRunContext& ctx, const KcStationRecord& whr, int first, int last);

// The curve with Kcp = Kc mid + term (mid season) and, when Kc end exceeds
// 0.45, Kcm = Kc end + term (late season); Kc end of 0.45 or less stays
// (FAO-56 eq. 65). Unchanged when the option is off or the row has no
// Table 12 values.
FAO56Curve AdjustFAO56CurveToStation(const CropRunContext& ctx, const FAO56Curve& c, const KcClimateInputs& k,
                                     const KcStationRecord& whr);

// The planner's option: the one row of "FAO56KcClimate.db", field "Adjust To
// Station"; off when the table has no row.
bool KcClimateOptionOn();
void SetKcClimateOption(bool on);

} // namespace quen
