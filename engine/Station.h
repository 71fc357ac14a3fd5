// A weather station of "Climate.DB" as the computations read it: identity,
// position, monthly normals and frost dates, with the customary-to-metric
// conversions the programs show done once here.
#pragma once

#include <QString>

#include "CropRunContext.h"
#include "GrowthDates.h"

namespace quen {

class TTable;

struct StationRecord {
    bool present = false;              // false when "Climate.DB" holds no station: every value stays empty
    QString name;                      // "Station Name"
    QString number;                    // "Station No"
    QString county;                    // "County" ("Ada, ID": the state is part of the county key)
    QString whrLocation;               // "WHRLocation": key of its "ClimWHR.DB" record, empty when it has none
    double latitude = 0.0;             // as stored (degrees and minutes, DDMM)
    double longitude = 0.0;
    double elevationFt = 0.0;          // "Elevation"
    double elevationM = 0.0;           // Elevation x 0.3048
    StationFrostDates frost;           // "Spr mo/dy 28", "Spr mo/dy 32", "Fall mo/dy 28", "Fall mo/dy 32"
    MonthlyValues precip{};            // inches, "P1".."P12"
    MonthlyValues precipCm{};          // cm
    double annualPrecip = 0.0;         // inches, sum of the months January to December
    double annualPrecipCm = 0.0;       // cm, sum of the monthly cm
    MonthlyValues temp{};              // deg F, "T1".."T12"
    MonthlyValues tempC{};             // deg C, (T - 32) x 5 / 9
    MonthlyValues tmin{};              // deg F, "Tmin1".."Tmin12"
    MonthlyValues tmax{};              // deg F, "Tmax1".."Tmax12"
    MonthlyValues tminC{};             // deg C as stored, "TminM1".."TminM12"
    MonthlyValues tmaxC{};             // deg C as stored, "TmaxM1".."TmaxM12"
};

// The station every computation of a job reads: the row a nearest search on
// stationName lands on in "Climate.DB" (primary index: name, number).
StationRecord ReadStation(const QString& stationName);

} // namespace quen
