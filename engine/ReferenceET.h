// Reference evapotranspiration: the Blaney-Criddle consumptive-use rate of
// TR21 and the FAO-56 Penman-Monteith ETo from monthly means.
#pragma once

#include <QString>
#include <functional>

#include "CropRunContext.h"
#include "RunMessages.h"

namespace quen {

// A latitude stored as degrees and minutes run together (4119 = 41 deg 19 min).
struct LatitudeParts {
    bool valid = false;
    int degrees = 0;
    int minutes = 0;
    double decimalDegrees() const { return degrees + minutes / 60.0; }
};

// Splits the digits of a DDMM or DMM latitude. Fewer than 3 or more than 4
// characters, or minutes of 60 or more, are not a latitude.
LatitudeParts SplitLatitudeText(const QString& text);

// The stored latitude written as text (digits as stored: 4119 -> "4119").
QString LatitudeText(double storedLatitude);

inline const QString kLatitudeNotCorrect = QStringLiteral("FATAL Error: Latitude not correct");
inline const QString kLatitudeNotInRange = QStringLiteral("FATAL Error: Latitude not within range (0-64.9deg)");

// Percent of annual daytime hours of a month for a whole-degree latitude, read
// by nearest match on "Latitude N" of "MoPctDay.db".
using DaytimeLookup = std::function<double(int wholeDegrees, int month)>;

// Percentage of annual daytime hours of the month at the latitude (TR21);
// -1 after "FATAL Error: Latitude not correct" or "... not within range".
double DaytimePercent(double latitude, int month, const DaytimeLookup& lookup, RunMessages* once = nullptr);

struct BlaneyCriddleInputs {
    int month = 1;
    double t = 0, tPrev = 0, tNext = 0;   // deg F of the month, the month before, the month after
    double latitude = 0;                  // DDMM
    double elevationFt = 0;
    bool elevationCorrection = false;
    bool inSeason = false;
    int plantMonth = 1, plantDay = 1, harvestMonth = 1, harvestDay = 1;
};

// TR21 consumptive-use rate of the month, inches per day (crop coefficient
// not applied).
double BlaneyCriddleRate(const BlaneyCriddleInputs& in, const DaytimeLookup& lookup, RunMessages* once = nullptr);

// Latitude in radians from the stored DDMM latitude; -1 after "FATAL Error:
// Latitude not correct". No range check.
double LatitudeRadians(double storedLatitude, RunMessages* once = nullptr);

// ((Tmax + Tmin) / 2 - 32) x 5 / 9 for each month, from deg F.
MonthlyValues MonthlyMeanTempC(const MonthlyValues& tminF, const MonthlyValues& tmaxF);

// Wind speed at 2 m (m/s) from the station's wind in mph (FAO-56 eq. 47).
double WindAt2m(double mph, const QString& stationType, double stationHeightM);

// The monthly values of one Penman-Monteith evaluation, as the station tables
// hold them.
struct PenmanMonteithMonth {
    double tminF = 0, tmaxF = 0;    // "Tmin" m, "Tmax" m
    double windMph = 0;             // "U2" m
    double rsLangleys = 0;          // "Rs" m; <= 0 not available
    double rhMin = 0, rhMax = 0;    // percent
    double as = 0, bs = 0;          // Angstrom coefficients
    double sunshineHours = 0;       // "N" m; <= 0 not available
    double cor = 0;                 // "Cor" m, deg C
};

// Monthly inputs of one Penman-Monteith evaluation with the station's own
// values.
struct PenmanMonteithInputs : PenmanMonteithMonth {
    double elevationFt = 0;         // "Elevation"
    QString stationType;
    double stationHeightM = 0;
    QString stationLoc;
};

// FAO-56 Penman-Monteith grass-reference ETo, mm/day, for month m (1..12).
// Station and latitude terms are kept from the previous call of the same
// thread while they stay the same, so a caller going through the months of
// one station computes them once.
double PenmanMonteithETo(int month, double latitudeRad, const MonthlyValues& meanTempC,
                         const PenmanMonteithInputs& in);

// The terms of a station that stay the same in every month: pressure and
// psychrometric constant (FAO-56 eqs. 7, 8), the wind-profile log of eq. 47,
// the elevation term of the clear-sky radiation (eq. 37) and the Hargreaves
// radiation coefficient.
struct PenmanMonteithStation {
    double elevationFt = 0;
    double z = 0;                   // elevation, m
    double gamma = 0;               // kPa/deg C
    double gamma900 = 0;            // gamma x 900 (eq. 6)
    double rsoElevationFactor = 0;  // 0.75 + 2e-5 z
    bool windProfile = false;       // wind measured off 2 m with a log profile
    double windLog = 0;             // ln(67.8 h - 5.42) when windProfile
    double hargreavesK = 0.19;      // 0.16 "Interior location", 0.19 otherwise
};

PenmanMonteithStation PenmanMonteithStationTerms(double elevationFt, const QString& stationType,
                                                 double stationHeightM, const QString& stationLoc);
PenmanMonteithStation PenmanMonteithStationTerms(const PenmanMonteithInputs& in);

// The radiation geometry of a latitude in each month (FAO-56 eqs. 21-25 at the
// month's middle day): sunset hour angle and extraterrestrial radiation.
struct PenmanMonteithLatitude {
    double latitudeRad = 0;
    double ws[13] = {};             // [1..12], rad
    double Ra[13] = {};             // [1..12], MJ/m2/day
};

PenmanMonteithLatitude PenmanMonteithLatitudeTerms(double latitudeRad);

// The same ETo from terms computed once per station and once per latitude;
// equal to the call with the station's own inputs to the last bit. Only the
// monthly values of `in` are read (a PenmanMonteithInputs may be passed; its
// station values are those of `station`).
double PenmanMonteithETo(int month, const PenmanMonteithStation& station, const PenmanMonteithLatitude& latitude,
                         const MonthlyValues& meanTempC, const PenmanMonteithMonth& in);

} // namespace quen
