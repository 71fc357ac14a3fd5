// One crop run without tables: everything a crop's computation reads, gathered
// beforehand (CropInputs), and everything it yields (CropResults). RunCrop
// follows the procedure step by step: season months, crop curve and daily Kc,
// monthly reference ET (TR-21 Blaney-Criddle or FAO-56 Penman-Monteith), crop
// ET, the SCS effective-precipitation water budget and the totals. It opens no
// table and no file; its messages go through the message service.
#pragma once

#include <QString>
#include <map>
#include <utility>
#include <vector>

#include "CropCurves.h"
#include "DailyET.h"
#include "KcClimate.h"
#include "CropRunContext.h"
#include "Station.h"
#include "WaterBudget.h"

namespace quen {

// A station's wind, humidity and radiation record of "ClimWHR.DB".
struct WhrRecord {
    bool found = false;   // the station's own record; all values 0 without one
    MonthlyValues rhMin{}, rhMax{}, cor{}, u2{}, rs{}, rsm{}, u2m{}, as{}, bs{}, n{};
    QString stationType, stationLoc;
    double stationHeight = 0;
};

struct CropInputs {
    // The job's values as the context holds them.
    MonthlyValues monthlyPrecip{};     // inches
    double annualPrecip = 0.0;         // inches
    QString etMethodText;              // the job's method text (replaced when the run falls back)

    // The working-crop row ("QuenWkCrop.DB").
    QString cropName, jobName;
    int etMethodIndex = 0;             // "ET Index"
    int plantMonth = 1, plantDay = 1, harvestMonth = 1, harvestDay = 1;
    QString cropCurveType, soil, beginDateText, endDateText;
    int cut1Month = 1, cut1Day = 1, cutEndMonth = 1, cutEndDay = 1;
    int curveIndex = 0;                // 0..5; any other value: no curve
    QString curveName;
    int cuttings = 1;
    double netIrrDepth = 0.0, carryBeg = 0.0, carryEnd = 0.0;
    int daysWetDeveloped = 7, daysWetMature = 14;
    double stressFactor = 1.0;
    bool sensitive = true;
    double availableSoilWater = 1.0, fractionWetted = 1.0;
    QString irrigationType;

    // The station and its wind, humidity and radiation record.
    StationRecord station;
    WhrRecord whr;

    // System defaults ("SystemDefaults.db").
    int peakMethod = 0;                // "Peak ET Method"
    bool elevationCorrection = false;  // "Elevation Correction"
    // "FAO56DewPoint.db": Penman-Monteith takes the dew point of a well-watered
    // site, Tmin + Cor (FAO-56 eq. 48), in place of the station's RHmax/RHmin.
    bool referenceDewPoint = false;

    // The curve of the curve index (the one of curveIndex is read).
    AnnualBasalCurve annualBasal;
    PerennialBasalCurve perennialBasal;
    ForageCurve forage;
    BCAnnualCurve bcAnnual;
    BCPerennialCurve bcPerennial;
    FAO56Curve fao56;
    KcClimateInputs kcClimate;         // FAO-56 eq. 62 / 65 option and the curve's Table 12 values

    // Rows of the lookup tables the run asks for.
    std::map<int, double> wetFactors;              // "WetSoil.db": wetting interval (days) -> factor of the soil
    std::map<int, MonthlyValues> daytimePercents;  // "MoPctDay.db": whole degrees of latitude -> monthly %
    std::map<int, std::pair<PcpChanceRow, PcpChanceRow>> chanceRows;   // "PcpChance.DB": whole inches -> rows
};

struct CropResults {
    // The method the crop was computed by (Blaney-Criddle when Penman-Monteith lacks the station's record).
    int etMethodIndex = 0;
    QString etMethodText;
    MonthlyFlags seasonMonthFlags{};
    bool hayFlag = false;
    double pctChanceRatio50 = 0.0, pctChanceRatio80 = 0.0;
    MonthlyValues monthlyKc{};
    MonthlyValues dailyRefET{}, dailyRefETmm{};       // in/day, mm/day
    MonthlyValues dailyCropET{}, dailyCropETmm{};     // in/day, mm/day
    MonthlyValues shoulderRefET{}, shoulderRefETmm{}; // in/day, mm/day
    MonthlyValues monthlyCropET{};                    // inches
    MonthlyValues effPrecip50{}, effPrecip80{};
    MonthlyValues netIrrReq50{}, netIrrReq80{};
    MonthlyValues carryOverUsed50{}, carryOverUsed80{};
    MonthlyValues peakDailyET{};                      // in/day
    double totalCropET = 0.0, totalEffPrecip50 = 0.0, totalEffPrecip80 = 0.0;
    double totalNetIrrReq50 = 0.0, totalNetIrrReq80 = 0.0;

    // Metric twins (cm, mm/day).
    MonthlyValues monthlyCropETcm{}, effPrecip50cm{}, effPrecip80cm{}, netIrrReq50cm{}, netIrrReq80cm{};
    MonthlyValues carryOverUsed50cm{}, carryOverUsed80cm{}, peakDailyETmm{};
    double totalEffPrecip50cm = 0.0, totalEffPrecip80cm = 0.0, totalNetIrrReq50cm = 0.0, totalNetIrrReq80cm = 0.0;
    double totalCropETcm = 0.0, netIrrDepthCm = 0.0, carryBegCm = 0.0, carryEndCm = 0.0;

    // The daily crop coefficients (the curve state) and the rows of "ETKc.db"
    // with the day's reference and crop ET.
    CropCurveState curve;
    DailyKcRows daily;
};

// The crop's computation on the gathered inputs.
CropResults RunCrop(const CropInputs& in);

// The same into results, which keep what was computed when a step throws
// (the daily rows of a curve that failed half way).
void RunCropInto(const CropInputs& in, CropResults& results);

// The context as a run leaves it: the working-crop inputs, the station's
// monthly values and every result.
void CopyResults(const CropInputs& in, const CropResults& r, CropRunContext& ctx);

} // namespace quen
