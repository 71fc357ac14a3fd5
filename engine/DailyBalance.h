// A crop season day by day: the FAO-56 dual crop coefficient soil-water
// balance (Ch. 7: basal Kcb plus soil evaporation Ke from the surface layer;
// Ch. 8: root-zone depletion, water stress Ks, deep percolation) with an
// irrigation rule, run over every year of a daily weather record, and the
// season results of the years with their exceedance values.
//
// Conventions of the day (all depths mm):
//  - rain and irrigation reach the soil at the start of the day; no runoff
//    is estimated (P - RO = P), the water the root zone cannot hold
//    percolates (eq. 88);
//  - irrigation is applied on a day when the root-zone depletion at the end
//    of the day before has reached the allowed depletion (1 - ASW / 100) x
//    TAW: by refilling to field capacity (I = Dr) or by the fixed net depth;
//  - Kr (eq. 74) and Ks (eq. 84) use the depletions after the day's wetting,
//    as FAO-56 Example 35 does for the surface layer;
//  - the fraction wetted fw is that of the last wetting: 1 after rain (FAO-56
//    Table 20, precipitation), the crop's "Fraction Wetted" after irrigation;
//  - Kc max (eq. 72) takes the day's u2 and RHmin within the ranges FAO-56
//    gives with eq. 70 (1 to 6 m/s, 20 to 80 %) and the crop's height;
//  - the irrigation decision does not know the day's rain: rain on a day of
//    irrigation percolates where the root zone is full;
//  - a negative ETo (condensation) is used as 0.
// Storage of the root zone = TAW - Dr; every day rain + irrigation - ETc adj -
// deep percolation equals the change of storage.
#pragma once

#include <QString>
#include <array>
#include <vector>

#include "DailyET.h"
#include "DailyWeather.h"

namespace quen {

// Soil water properties of the surface soil and the root zone.
struct DailySoil {
    QString name;
    double thetaFC = 0, thetaWP = 0;   // m3/m3, field capacity and wilting point
    double rew = 0;                    // readily evaporable water, mm
    double ze = 0.10;                  // depth of the evaporating layer, m (FAO-56 Table 19: 0.10)
    // FAO-56 eq. 73: total evaporable water, mm.
    double tew() const { return 1000.0 * (thetaFC - 0.5 * thetaWP) * ze; }
};

// FAO-56 Table 19 for a soil type ("Sand", "Loamy sand", "Sandy loam",
// "Loam", "Silt loam", "Silt", "Silt clay loam", "Silty clay", "Clay"; case
// ignored): the middle of each printed range of thetaFC, thetaWP and REW.
// False for a soil the table does not hold (e.g. "Clay Loam").
bool Fao56Table19Soil(const QString& name, DailySoil& out);

enum class IrrigationRule {
    Refill,       // bring the root zone back to field capacity
    FixedDepth,   // apply the crop's net depth
    None,         // rain only
};

// What the balance needs of one crop. The growth days and Kcb come from the
// crop's curve; root depth, p and height from the crop record or, where it
// has none, from FAO-56 Tables 22 and 12 for the crop (the caller's choice).
struct DailyCropInputs {
    int plantMonth = 1, plantDay = 1, harvestMonth = 12, harvestDay = 31;   // 365-day calendar
    // Basal crop coefficient of each day of the 365-day year [1..365];
    // February 29 takes the value of February 28.
    std::array<double, 366> kcb{};
    // Fraction of the ground covered [1..365]; when not given, FAO-56
    // eq. 76 from Kcb, kcMin and the height.
    bool fractionCoverGiven = false;
    std::array<double, 366> fractionCover{};
    double heightM = 0.3;          // crop height, m (eqs. 72, 76)
    double kcMin = 0.15;           // minimum Kc of dry bare soil (eq. 76: 0.15-0.20)
    DailySoil soil;
    double rootDepthM = 1.0;       // Zr, m (FAO-56 Table 22)
    double p = 0.5;                // depletion fraction without stress (FAO-56 Table 22)
    bool adjustP = true;           // Table 22 footnote: p + 0.04 (5 - ETc), 0.1 <= p <= 0.8
    double fw = 1.0;               // "Fraction Wetted" by irrigation
    double aswPercent = 50;        // "ASW": percent of TAW left when irrigating
    IrrigationRule rule = IrrigationRule::Refill;
    double netDepthMm = 0;         // "Net Irr", mm, for IrrigationRule::FixedDepth
    double initialDrMm = 0;        // root-zone depletion at planting
    double initialDeMm = 0;        // surface-layer depletion at planting
};

// Kcb of each day from the daily rows of a crop curve: the basal column of the
// NEH 2 basal curves (curve indexes 0, 1, 2). The other curves give a single
// crop coefficient and no daily basal value: false, Kcb left as it was.
bool SetKcbFromCurveRows(DailyCropInputs& crop, const DailyKcRows& rows, int curveIndex);

// The inputs the balance refuses, as a sentence; empty when they are usable.
QString CheckDailyCropInputs(const DailyCropInputs& crop);

// One day of the balance.
struct DailyBalanceRow {
    CivilDate date;
    double eto = 0, rain = 0, irrigation = 0;
    double kcb = 0, kcMax = 0, fc = 0, fw = 0, few = 0;
    double kr = 0, ke = 0, evaporation = 0, de = 0, dpe = 0;   // surface layer (eqs. 71-79)
    double taw = 0, p = 0, raw = 0, ks = 0;                     // root zone (eqs. 82-84)
    double etc = 0;                                             // (Kcb + Ke) ETo, eq. 69
    double etcAdj = 0;                                          // (Ks Kcb + Ke) ETo, eq. 80, as taken from storage
    double dp = 0, dr = 0;                                      // eq. 88, eq. 85 (end of day)
};

struct IrrigationEvent {
    CivilDate date;
    double depthMm = 0;
};

// One season, named by the year of planting.
struct SeasonBalance {
    int year = 0;
    bool complete = false;   // every day of the season had weather
    int missingDays = 0;
    double eto = 0, etc = 0, etcAdj = 0, rain = 0, netIrrigation = 0, deepPercolation = 0;
    int irrigations = 0;
    double initialDr = 0, finalDr = 0;
    std::vector<IrrigationEvent> schedule;
    std::vector<DailyBalanceRow> rows;   // only for the year asked for
};

// Values of a season quantity over the years: the value not exceeded in 50,
// 80 and 90 % of the years (the 80 % value is that of a dry year, exceeded
// in one year of five), with the Weibull plotting position m / (n + 1) of
// the m-th smallest of n values (Weibull 1939; Chow, Maidment and Mays 1988,
// Applied Hydrology, sec. 12.1) and straight lines between the positions;
// below the first and above the last position the extreme value is taken.
struct DesignValues {
    int years = 0;
    double p50 = 0, p80 = 0, p90 = 0;
};

// The value of `values` at non-exceedance probability `probability` (0..1);
// NaN for no values.
double WeibullValue(std::vector<double> values, double probability);
DesignValues DesignValuesOf(const std::vector<double>& values);

struct DailyBalanceResult {
    QString error;                         // the crop inputs were refused
    std::vector<SeasonBalance> seasons;    // every planting year the weather touches
    DesignValues netIrrigation, irrigations;   // over the complete seasons
    bool ok() const { return error.isEmpty(); }
};

// Runs the balance for every planting year of the weather (days in date
// order, gaps allowed: a season with a missing day is reported incomplete
// and left out of the design values). detailYear: the planting year whose
// daily rows are kept (0 none).
DailyBalanceResult RunDailyBalance(const std::vector<DailyEtoDay>& weather, const DailyCropInputs& crop,
                                   int detailYear = 0);

// One season on consecutive days (days[0] is the planting day); the core of
// RunDailyBalance, also for a given day list. keepRows: fill rows.
SeasonBalance RunSeason(const DailyEtoDay* days, int count, const DailyCropInputs& crop, bool keepRows);

} // namespace quen
