// The computation context of the main program and the per-crop curve state.
//
// One CropRunContext and one CropCurveState live for the whole run of the
// main program. The main window fills the job and station groups; ComputeCrop
// copies the inputs of one working-crop row into the crop group, computes every
// result into it and leaves them there for the output dialog, the reports and
// the charts.
//
// Units are customary (inches, inches per day, degrees Fahrenheit, feet)
// unless a name ends in a metric unit (Cm, mm, C, M). Monthly arrays are
// indexed by month 1..12 (January = 1); index 0 is not used.
#pragma once

#include <QString>
#include <array>

namespace quen {

using MonthlyValues = std::array<double, 13>;   // [1..12]
using MonthlyFlags = std::array<bool, 13>;      // [1..12]

struct CropRunContext {
    // ---- Group 1: job values (main window, "QuenJob.db") ------------------
    QString JobName;
    QString JobLocation;
    QString JobPlanner;
    QString JobDate;
    QString JobLandUser;
    QString JobID;
    QString JobClass;
    QString WeatherStationName;   // key of the station in "Climate.DB"
    QString StationNumber;
    QString County;
    double Elevation = 0.0;       // feet
    double ElevationM = 0.0;      // metres (Elevation x 0.3048)
    double Latitude = 0.0;        // as stored for the job
    double Longitude = 0.0;
    double EffPcpFact50 = 0.0;    // job's normal-year (50 %) ratio
    double EffPcpFact80 = 0.0;    // job's dry-year (80 %) ratio
    int ETMethodIndex = 0;        // 1 Blaney-Criddle, 2 PM + NEH2 basal, 3 PM + FAO 56 Table 12; 0 after reset
    bool ReferenceDewPoint = false;   // the last Penman-Monteith run took Tmin + Cor as its dew point (FAO-56 eq. 48)
    QString ETMethodText;         // method name shown in the main window and outputs

    // ---- Group 2: station climate -----------------------------------------
    MonthlyValues MonthlyPrecip{};     // inches, "P1".."P12"
    MonthlyValues MonthlyPrecipCm{};   // cm
    MonthlyValues MonthlyTemp{};       // deg F, "T1".."T12"
    MonthlyValues MonthlyTempC{};      // deg C
    double AnnualPrecip = 0.0;         // inches, sum of MonthlyPrecip
    double AnnualPrecipCm = 0.0;       // cm
    MonthlyValues MonthlyTmin{};       // deg F, "Tmin1".."Tmin12"
    MonthlyValues MonthlyTmax{};       // deg F, "Tmax1".."Tmax12"
    MonthlyValues MonthlyTminC{};      // deg C, "TminM1".."TminM12"
    MonthlyValues MonthlyTmaxC{};      // deg C, "TmaxM1".."TmaxM12"
    MonthlyValues WindU2{};            // mph, "U21".."U212" of "ClimWHR.DB"
    MonthlyValues WindU2m{};           // metric, "U2m1".."U2m12"
    MonthlyValues SolarRs{};           // langleys/day, "Rs1".."Rs12"
    MonthlyValues SolarRsm{};          // MJ/m2/day, "Rsm1".."Rsm12"
    MonthlyValues RHmin{};             // percent
    MonthlyValues RHmax{};             // percent

    // ---- Group 3: working-crop inputs ("QuenWkCrop.DB") -------------------
    QString CropName;                  // set by the caller before a run
    QString CurveName;                 // "Curve Name"
    int PlantMonth = 1;
    int PlantDay = 1;
    int HarvestMonth = 1;
    int HarvestDay = 1;
    QString CropCurveType;
    int CurveIndex = 0;                // 0..5
    int Cuttings = 1;
    int Cut1Month = 1;
    int Cut1Day = 1;
    int CutEndMonth = 1;
    int CutEndDay = 1;
    QString FirstCuttingText;          // "m/d"
    QString LastCuttingText;           // "m/d"
    QString BeginDateText;             // "Beg Dat"
    QString EndDateText;               // "End Dat"
    double NetIrrDepth = 0.0;          // inches, "Net Irr"
    double CarryBeg = 0.0;             // inches
    double CarryEnd = 0.0;             // inches
    int DaysWetDeveloped = 7;
    int DaysWetMature = 14;
    double StressFactor = 1.0;
    bool Sensitive = true;
    double AvailableSoilWater = 1.0;   // "ASW"
    double FractionWetted = 1.0;
    QString IrrigationType;
    QString Soil;
    double BeginGrowthTemp = 0.0;      // deg F, "StartT"
    double BeginGrowthTempC = 0.0;     // deg C, "StartTM"
    double EndGrowthTemp = 0.0;        // deg F, "EndT"
    double EndGrowthTempC = 0.0;       // deg C, "EndTM"

    // ---- Group 4: results ---------------------------------------------------
    MonthlyFlags SeasonMonthFlags{};
    bool HayFlag = false;
    double PctChanceRatio50 = 0.0;
    double PctChanceRatio80 = 0.0;
    MonthlyValues MonthlyKc{};
    MonthlyValues DailyRefET{};        // in/day
    MonthlyValues DailyRefETmm{};      // mm/day
    MonthlyValues DailyCropET{};       // in/day
    MonthlyValues DailyCropETmm{};     // mm/day
    MonthlyValues ShoulderRefET{};     // in/day
    MonthlyValues ShoulderRefETmm{};   // mm/day
    MonthlyValues MonthlyCropET{};     // inches
    MonthlyValues EffPrecip50{};
    MonthlyValues EffPrecip80{};
    MonthlyValues NetIrrReq50{};
    MonthlyValues NetIrrReq80{};
    MonthlyValues CarryOverUsed50{};
    MonthlyValues CarryOverUsed80{};
    MonthlyValues PeakDailyET{};       // in/day
    double TotalCropET = 0.0;
    double TotalEffPrecip50 = 0.0;
    double TotalEffPrecip80 = 0.0;
    double TotalNetIrrReq50 = 0.0;
    double TotalNetIrrReq80 = 0.0;

    // ---- Group 5: metric twins (set by ComputeCrop with the results) --------
    MonthlyValues MonthlyCropETcm{};
    MonthlyValues EffPrecip50cm{};
    MonthlyValues EffPrecip80cm{};
    MonthlyValues NetIrrReq50cm{};
    MonthlyValues NetIrrReq80cm{};
    MonthlyValues CarryOverUsed50cm{};
    MonthlyValues CarryOverUsed80cm{};
    MonthlyValues PeakDailyETmm{};
    double TotalEffPrecip50cm = 0.0;
    double TotalEffPrecip80cm = 0.0;
    double TotalNetIrrReq50cm = 0.0;
    double TotalNetIrrReq80cm = 0.0;
    double TotalCropETcm = 0.0;
    double NetIrrDepthCm = 0.0;
    double CarryBegCm = 0.0;
    double CarryEndCm = 0.0;

    // Back to the empty state of program start-up ("New Job", "Cancel Job").
    void reset() { *this = CropRunContext{}; }
};

// The station's metric twins of the customary values the context holds:
// cm = in x 2.54, deg C = (deg F - 32) x 5 / 9. Set whenever the station
// values change (a station taken into the job, a crop run's results).
inline void SetStationMetricTwins(CropRunContext& ctx)
{
    for (int m = 1; m <= 12; ++m) {
        ctx.MonthlyPrecipCm[m] = ctx.MonthlyPrecip[m] * 2.54;
        ctx.MonthlyTempC[m] = (ctx.MonthlyTemp[m] - 32.0) * 5.0 / 9.0;
    }
    ctx.AnnualPrecipCm = ctx.AnnualPrecip * 2.54;
}

// Per-crop working state of the curve routines.
struct CropCurveState {
    int SeasonStartDay = 1;            // day of year 1..365
    int SeasonEndDay = 1;              // day of year 1..365
    int SeasonDays = 0;                // n: season length in days
    std::array<double, 367> DailyKc{}; // [1..366]
    std::array<double, 367> DailyBasalKc{}; // basal value b of each day (NEH 2 curves)

    void reset() { *this = CropCurveState{}; }
};

} // namespace quen
