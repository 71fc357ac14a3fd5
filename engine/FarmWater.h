// The farm's water: from each crop's monthly net irrigation requirement to the
// gross depth the field must be given, the volume the farm must divert or pump
// each month and the system capacity that meets the peak daily use.
//
//   gross depth     dg = dn / (Ea (1 - LR))          NEH Part 652 ch. 6 (gross application = net / Ea),
//                                                    FAO-24 Part III (field supply with leaching)
//   leaching        LR = ECw / (5 ECe - ECw)         FAO-29 (Ayers and Westcot 1985) eq. 7, ECe the crop's
//                                                    salinity threshold of its Table 4
//   field volume    acre-ft = dg (in) A (ac) / 12;   m3 = dg (mm) A (ha) 10
//   diversion       field volume / Ec                FAO-24 Part III (conveyance efficiency)
//   capacity        Q (gpm) = 453 A d / (f T)        NEH Part 652 ch. 6 (system capacity): A acres,
//                                                    d gross depth (in) every f days, T hours a day
//                   Q (l/s) = 2.778 A d / (f T)      the same in hectares and millimetres
//                                                    (1 mm on 1 ha = 10 m3 = 10 000 l; 10 000 / 3 600 s)
// System capacity takes the peak daily use of each crop (f = 1 day) as gross
// depth, summed over the crops for the month in which that sum is highest,
// and is the capacity at the farm's diversion (divided by Ec as well).
// No table and no window: callers gather the inputs.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "CropRunContext.h"

namespace quen {

inline constexpr double kAcresToHectares = 0.40468564224;   // 1 acre = 4046.8564224 m2
inline constexpr double kInchesToMm = 25.4;
inline constexpr double kGpmToLps = 0.0630901964;           // 1 US gal = 3.785411784 l; / 60 s

// The farm inputs of one crop of a job.
struct FarmCropInput {
    QString cropName;
    double areaAcres = 0.0;        // irrigated area; 0: the crop has no farm figures
    double applicationEff = 0.0;   // Ea, fraction (0, 1]
    double ecThreshold = 0.0;      // ECe threshold of the crop (dS/m); 0: not published, no leaching
    MonthlyValues netIrrReq50{};   // inches, normal year (50 % chance)
    MonthlyValues netIrrReq80{};   // inches, dry year (80 % chance)
    MonthlyValues peakDailyET{};   // in/day
};

// The job's farm inputs.
struct FarmJobInput {
    double conveyanceEff = 1.0;    // Ec, fraction (0, 1]: source to field
    double hoursPerDay = 24.0;     // T, system operating hours a day, 1 to 24
    double ecw = 0.0;              // irrigation water salinity (dS/m); 0: no leaching
};

struct FarmCropWater {
    QString cropName;
    double areaAcres = 0.0, areaHa = 0.0, applicationEff = 0.0;
    bool available = false;        // false: no area, or water too saline for the crop (see note)
    QString note;
    double leachingReq = 0.0;      // LR, fraction (0 without ECw or threshold)
    MonthlyValues grossDepth50In{}, grossDepth80In{}, grossDepth50Mm{}, grossDepth80Mm{};
    MonthlyValues volume50AcFt{}, volume80AcFt{}, volume50M3{}, volume80M3{};   // at the field
    MonthlyValues peakGrossInPerDay{};   // peak daily use / (Ea (1 - LR))
    double seasonGross50In = 0.0, seasonGross80In = 0.0;
    double seasonVolume50AcFt = 0.0, seasonVolume80AcFt = 0.0, seasonVolume50M3 = 0.0, seasonVolume80M3 = 0.0;
};

struct FarmWater {
    bool available = false;        // false: no crop has an area ("not available")
    FarmJobInput job;
    std::vector<FarmCropWater> crops;
    double areaAcres = 0.0, areaHa = 0.0;   // crops with figures
    // Monthly farm totals: delivered to the fields and diverted at the source (/ Ec).
    MonthlyValues field50AcFt{}, field80AcFt{}, diversion50AcFt{}, diversion80AcFt{};
    MonthlyValues diversion50M3{}, diversion80M3{};
    double seasonDiversion50AcFt = 0.0, seasonDiversion80AcFt = 0.0;
    double seasonDiversion50M3 = 0.0, seasonDiversion80M3 = 0.0;
    // System capacity at the diversion, from the month of the highest farm peak.
    int peakMonth = 0;                      // 0: no crop has a peak daily use
    double peakAcreInPerDay = 0.0;          // sum of A x gross peak depth (acre-in/day)
    double capacityGpm = 0.0, capacityGpmPerAcre = 0.0;
    double capacityLps = 0.0, capacityLpsPerHa = 0.0;
};

// FAO-29 eq. 7: LR = ECw / (5 ECe - ECw); 0 when either is 0 or less. A
// value of 1 or more (ECw at or above 2.5 ECe) means no depth of that water
// keeps the root zone at the threshold.
double LeachingRequirement(double ecw, double ecThreshold);

// NEH Part 652 ch. 6: Q (gpm) = 453 A d / (f T); 0 when f or T is 0 or less.
double CapacityGpm(double areaAcres, double grossDepthIn, double days, double hoursPerDay);
// The same in SI: Q (l/s) = (10 000 / 3 600) A d / (f T), A hectares, d mm.
double CapacityLps(double areaHa, double grossDepthMm, double days, double hoursPerDay);

// Why the inputs cannot be used ("" when they can): each problem names its
// field ("Irrigated area", "Application efficiency (Ea)", "Conveyance
// efficiency (Ec)", "Operating hours per day", "Irrigation water salinity
// (ECw)") and the crop.
QStringList FarmInputProblems(const FarmJobInput& job, const std::vector<FarmCropInput>& crops);

// The farm's water of the crops; inputs with problems must be refused first
// (a crop with an area 0 or below, or Ea outside (0, 1], has no figures).
FarmWater ComputeFarmWater(const FarmJobInput& job, const std::vector<FarmCropInput>& crops);

} // namespace quen
